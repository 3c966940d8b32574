// The profiles' views of the services window: the check boxes of the services each profile leaves
// alone by the user's choice, kept in the settings and in files.
#include "ui/services/services_window.h"

#include <algorithm>

#include "engine/choice/settings.h"
#include "engine/text/printable.h"
#include "ui/ids/identifiers.h"
#include "ui/services/services_parts.h"
#include "ui/window/list_view.h"
#include "ui/words/reason_words.h"

namespace quillora::ui {

using namespace services_parts;

// The profile's choice as saved; nullopt where it cannot be read, which is said once until it can
// be read again.
std::optional<std::vector<std::wstring>> ServicesWindow::readChoice(Profile profile)
{
    try {
        std::vector<std::wstring> keys = skips_.skipped(profile);
        choiceUnreadableSaid_ = false;
        return keys;
    } catch (const PlatformFailure& failure) {
        if (!std::exchange(choiceUnreadableSaid_, true)) {
            // Said once the window is up: the list may be filled while it is still being made.
            sayChoiceProblem(failureText(host().language(), Text::ChoiceNotRead, failure));
        }
        return std::nullopt;
    }
}

void ServicesWindow::sayChoiceProblem(std::wstring text)
{
    choiceProblems_.push_back(std::move(text));
    PostMessageW(handle(), kSayChoiceProblem, 0, 0);
}

// Each problem in the order it arose, one box for each; a box lets messages through, so a problem
// that arises while one waits is said after it.
void ServicesWindow::sayNextChoiceProblem()
{
    if (choiceProblems_.empty())
        return;
    const std::wstring text = std::move(choiceProblems_.front());
    choiceProblems_.pop_front();
    dialogs_.showError(handle(), text, kMainCaption);
}

// Space checks or unchecks every selected row that has a box, once, as the focused row's box
// goes (or, where it has none, the first selected box); the list's own toggle of the focused row,
// which follows the key, is refused while this key press lasts.
void ServicesWindow::onSpace()
{
    ListView list(control(ServicesControls::ServiceList));
    std::vector<std::size_t> boxes;
    selectedAtSpace_ = list.selected();
    for (const std::size_t selected : selectedAtSpace_) {
        if (selected < rows_.size() && rows_[selected].choosable)
            boxes.push_back(selected);
    }
    spaceHandled_ = true;
    PostMessageW(handle(), kSpaceHandled, 0, 0);
    if (boxes.empty() || !choosingProfile())
        return;
    const int focused = list.focused();
    const bool focusedHasBox = focused >= 0 && static_cast<std::size_t>(focused) < rows_.size()
        && rows_[static_cast<std::size_t>(focused)].choosable;
    const bool checked = !list.isChecked(focusedHasBox ? static_cast<std::size_t>(focused) : boxes.front());
    setByWindow([&] {
        for (const std::size_t row : boxes)
            list.setChecked(row, checked);
    });
    keepChoice();
}

// Whether the list may change a row's check box: only a row that has one, never during a Space
// already applied, and always when the window sets them itself.
bool ServicesWindow::mayChangeCheck(int row) const
{
    if (filling_)
        return true;
    return !spaceHandled_ && row >= 0 && static_cast<std::size_t>(row) < rows_.size()
        && rows_[static_cast<std::size_t>(row)].choosable && choice_.has_value();
}

void ServicesWindow::checkAll(bool checked)
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    ListView list(control(ServicesControls::ServiceList));
    setByWindow([&] {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].choosable)
                list.setChecked(i, checked);
        }
    });
    keepChoice();
}

// The unchecked rows are the profile's services left alone by choice, from now on; the choice is
// kept for the next start, and a failure to keep it is said once.
void ServicesWindow::keepChoice()
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    ListView list(control(ServicesControls::ServiceList));
    std::vector<std::wstring> skipped;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].choosable && !list.isChecked(i))
            skipped.push_back(rows_[i].serviceKey);
    }
    try {
        skips_.choose(*profile, skipped);
    } catch (const PlatformFailure& failure) {
        if (!std::exchange(choiceFailureSaid_, true))
            sayChoiceProblem(failureText(host().language(), Text::ChoiceNotSaved, failure));
    }
    choice_ = skipped;
    // Whether each row would change follows the choice at once.
    const std::vector<ServiceRow> now = profileRows(*profile, runs_.answersOrAllYes(), states_, machine_.windowsVersion(),
                                                    host().language(), *choice_);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        for (const ServiceRow& fresh : now) {
            if (fresh.serviceKey == rows_[i].serviceKey && fresh.cells.back() != rows_[i].cells.back()) {
                rows_[i].cells.back() = fresh.cells.back();
                list.setCell(i, rows_[i].cells.size() - 1, rows_[i].cells.back());
            }
        }
    }
    fitColumns();
    showChoice();
}

void ServicesWindow::showChoice()
{
    const ViewKind kind = viewKind();
    std::optional<std::size_t> count;
    if (kind == ViewKind::Own && ownShown_)
        count = ownShown_->size();
    else if (kind == ViewKind::Profile && choice_)
        count = choice_->size();
    const std::wstring text = kind == ViewKind::Runs ? L""
        : !count                                     ? host().text(Text::ChoiceUnreadable)
                                                     : host().text(kind == ViewKind::Own ? Text::OwnCount : Text::ChoiceCount,
                                                                   {std::to_wstring(*count)});
    SetWindowTextW(control(ServicesControls::ChoiceCount), text.c_str());
}

void ServicesWindow::saveChoiceToFile()
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    const std::string name = profileName(*profile);
    const std::optional<std::wstring> path = dialogs_.chooseFileToSave(handle(), fromUtf8("quillora-skip-" + name + ".txt"));
    if (!path)
        return;
    try {
        machine_.files().writeAtomically(toUtf8(*path), formatSkipFile(name, *choice_), true);
    } catch (const PlatformFailure& failure) {
        host().reportFailure(handle(), failure);
    }
}

void ServicesWindow::readChoiceFromFile()
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    useFileChosen([&](const std::wstring&, const std::string& bytes) {
        // The choice, its check marks and the saved file change together, or none of them.
        skips_.replace(*profile, parseSkipFile(bytes));
        refresh();
    });
}

// A file the user chooses, read whole and used; one that cannot be read or used is said, naming
// it, and use has changed nothing.
void ServicesWindow::useFileChosen(const std::function<void(const std::wstring& path, const std::string& bytes)>& use)
{
    const std::optional<std::wstring> path = dialogs_.chooseFileToOpen(handle());
    if (!path)
        return;
    std::wstring problem;
    try {
        use(*path, readFile(machine_.files(), toUtf8(*path)));
        return;
    } catch (const FileProblemError& error) {
        problem = reasonIn(host().language(), error);
    } catch (const PlatformFailure& failure) {
        problem = reasonIn(host().language(), failure);
    }
    dialogs_.showError(handle(), host().text(Text::ChoiceFileRefused, {visibly(*path, path->size()), problem}),
                       kMainCaption);
}

}  // namespace quillora::ui
