// The own profile's view of the services window: a mode chosen for each service, kept in the data
// folder, filled from a profile or from the machine, carried in files, and run through the same
// door as the profiles.
#include "ui/services/services_window.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "engine/plan/plan.h"
#include "engine/records/backups/profile_file.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"
#include "ui/ids/identifiers.h"
#include "ui/window/list_view.h"
#include "ui/words/reason_words.h"

namespace quillora::ui {

using namespace services_parts;

namespace {

struct OwnModeKey {
    OwnMode mode;
    WORD key;  // the letter of its menu item, which chooses it in the list
    Text item;
};

constexpr OwnModeKey kOwnModeKeys[] = {
    {OwnMode::Unchanged, 'U', Text::MenuUnchanged},     {OwnMode::Disabled, 'D', Text::MenuDisabled},
    {OwnMode::Manual, 'M', Text::MenuManual},           {OwnMode::Automatic, 'A', Text::MenuAutomatic},
    {OwnMode::DelayedAutomatic, 'L', Text::MenuDelayed},
};

// What a profile's row would leave a service in, as a mode of the own profile: Unchanged where it
// launches nothing.
OwnMode ownModeOfRow(const PlannedRow& row)
{
    if (row.leftAlone || !row.setsMode)
        return OwnMode::Unchanged;
    return ownModeFor(row.mode, row.delayed).value_or(OwnMode::Unchanged);
}

}  // namespace

// The modes this Windows can set: a delayed start only from Windows Vista on.
std::vector<OwnMode> ServicesWindow::ownModesHere()
{
    const std::optional<WindowsVersion> windows = machine_.windowsVersion();
    std::vector<OwnMode> modes;
    for (const OwnModeKey& entry : kOwnModeKeys) {
        if (entry.mode != OwnMode::DelayedAutomatic || !windows || hasDelayedStart(*windows))
            modes.push_back(entry.mode);
    }
    return modes;
}

// A profile that cannot be read can be filled or read anew, not saved or run.
void ServicesWindow::enableOwnButtons()
{
    for (const int id : {ServicesControls::SaveOwnButton, ServicesControls::RunOwnButton})
        EnableWindow(control(id), ownShown_.has_value());
}

void ServicesWindow::fillOwnRows(Language language)
{
    try {
        ownShown_ = own_.profile();
        choiceUnreadableSaid_ = false;
    } catch (const PlatformFailure& failure) {
        ownShown_.reset();
        if (!std::exchange(choiceUnreadableSaid_, true))
            sayChoiceProblem(failureText(language, Text::ChoiceNotRead, failure));
    }
    enableOwnButtons();
    rows_ = ownRows(ownShown_.value_or(OwnProfile{}), states_, machine_.windowsVersion(), language);
}

// The choice's menu, at the mouse or, from the keyboard, at the focused row; the mode chosen goes
// to every selected row.
void ServicesWindow::showOwnMenu(POINT at)
{
    ListView list(control(ServicesControls::ServiceList));
    const int focused = list.focused();
    if (!ownShown_ || list.selected().empty())
        return;
    if (at.x == -1 && at.y == -1) {
        const HWND listWindow = control(ServicesControls::ServiceList);
        RECT row{LVIR_LABEL, 0, 0, 0};
        SendMessageW(listWindow, LVM_GETITEMRECT, std::max(focused, 0), reinterpret_cast<LPARAM>(&row));
        at = {row.left, row.bottom};
        ClientToScreen(listWindow, &at);
    }
    const std::vector<OwnMode> modes = ownModesHere();
    std::vector<std::wstring> items;
    for (const OwnMode mode : modes)
        items.push_back(host().text(std::find_if(std::begin(kOwnModeKeys), std::end(kOwnModeKeys),
                                                 [&](const OwnModeKey& entry) { return entry.mode == mode; })
                                        ->item));
    std::optional<std::size_t> checked;
    if (focused >= 0 && static_cast<std::size_t>(focused) < rows_.size()) {
        const OwnMode now = ownModeOf(*ownShown_, rows_[static_cast<std::size_t>(focused)].serviceKey);
        checked = static_cast<std::size_t>(std::find(modes.begin(), modes.end(), now) - modes.begin());
    }
    if (const std::optional<std::size_t> chosen = dialogs_.chooseFromMenu(handle(), at, items, checked))
        chooseOwnMode(modes[*chosen]);
}

// A mode's letter chooses it for every selected row; the list's own search for a row beginning
// with that letter, which follows the key, finds none (the first column holds numbers), and the
// selection is given back all the same.
bool ServicesWindow::onOwnKey(WORD key)
{
    const std::vector<OwnMode> modes = ownModesHere();
    for (const OwnModeKey& entry : kOwnModeKeys) {
        if (entry.key != key || std::find(modes.begin(), modes.end(), entry.mode) == modes.end())
            continue;
        selectedAtSpace_ = ListView(control(ServicesControls::ServiceList)).selected();
        PostMessageW(handle(), kSpaceHandled, 0, 0);
        chooseOwnMode(entry.mode);
        return true;
    }
    return false;
}

void ServicesWindow::chooseOwnMode(OwnMode mode)
{
    if (!ownShown_)
        return;
    std::vector<std::wstring> keys;
    for (const std::size_t row : ListView(control(ServicesControls::ServiceList)).selected()) {
        if (row < rows_.size())
            keys.push_back(rows_[row].serviceKey);
    }
    if (!keys.empty())
        keepOwn(withMode(*ownShown_, keys, mode));
}

// The choice holds at once and is kept for the next start; a failure to keep it is said once. Each
// row's cells follow it, only those that changed drawn again.
void ServicesWindow::keepOwn(OwnProfile profile)
{
    ownShown_ = profile;
    try {
        own_.choose(std::move(profile));
    } catch (const PlatformFailure& failure) {
        if (!std::exchange(choiceFailureSaid_, true))
            sayChoiceProblem(failureText(host().language(), Text::ChoiceNotSaved, failure));
    }
    enableOwnButtons();
    std::map<std::wstring, ServiceRow> fresh;
    for (ServiceRow& row : ownRows(*ownShown_, states_, machine_.windowsVersion(), host().language()))
        fresh.emplace(row.serviceKey, std::move(row));
    ListView list(control(ServicesControls::ServiceList));
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto now = fresh.find(rows_[i].serviceKey);
        if (now == fresh.end())
            continue;
        for (std::size_t cell = 0; cell < rows_[i].cells.size() && cell < now->second.cells.size(); ++cell) {
            if (rows_[i].cells[cell] != now->second.cells[cell]) {
                rows_[i].cells[cell] = now->second.cells[cell];
                list.setCell(i, cell, rows_[i].cells[cell]);
            }
        }
    }
    fitColumns();
    showChoice();
}

// A fill replaces every choice: where the user has made some, they are asked first.
bool ServicesWindow::mayReplaceOwn()
{
    return !ownShown_ || ownShown_->empty()
        || dialogs_.ask(handle(), host().text(Text::OwnReplaces, {std::to_wstring(ownShown_->size())}), kMainCaption);
}

// Each service as the chosen profile would leave it here, with the answers and the choice the
// profile's view shows; the services it leaves alone, unchanged.
void ServicesWindow::fillOwnFromProfile()
{
    RECT button{};
    GetWindowRect(control(ServicesControls::FillFromProfileButton), &button);
    std::vector<std::wstring> items;
    for (std::size_t i = 0; i < std::size(kProfiles); ++i)
        items.push_back(host().text(kViews[i]));
    const std::optional<std::size_t> chosen = dialogs_.chooseFromMenu(handle(), {button.left, button.bottom}, items, std::nullopt);
    if (!chosen || !mayReplaceOwn())
        return;
    const Profile profile = kProfiles[*chosen];
    std::vector<std::wstring> skipped;
    try {
        skipped = skips_.skipped(profile);
    } catch (const PlatformFailure&) {
        // The profile as designed, none left alone: its own view says that its choice cannot be read.
    }
    const Answers answers = runs_.answersOrAllYes();
    const PlanInputs inputs =
        inputsFor(profile, answers, skipped, machine_.windowsVersion(), states_, NeededServices::LeftAlone);
    OwnProfile filled;
    for (const PlannedRow& row : planRows(inputs)) {
        if (const OwnMode mode = ownModeOfRow(row); mode != OwnMode::Unchanged)
            filled.push_back({row.step.serviceKey, mode});
    }
    keepOwn(std::move(filled));
}

// Every installed service in the mode it has now: a profile that, carried to another machine, makes
// it like this one.
void ServicesWindow::fillOwnFromMachine()
{
    if (!mayReplaceOwn())
        return;
    const std::vector<std::wstring> keys = catalogueKeys(listsFor(machine_.windowsVersion()));
    OwnProfile filled;
    for (std::size_t i = 0; i < keys.size() && i < states_.size(); ++i) {
        const std::optional<ServiceState>& now = states_[i];
        if (const std::optional<OwnMode> mode = now ? ownModeFor(now->mode, now->delayed) : std::nullopt)
            filled.push_back({keys[i], *mode});
    }
    keepOwn(std::move(filled));
}

void ServicesWindow::saveOwnToFile()
{
    if (!ownShown_)
        return;
    const std::optional<std::wstring> path = dialogs_.chooseFileToSave(handle(), L"quillora-profile.txt");
    if (!path)
        return;
    try {
        machine_.files().writeAtomically(toUtf8(*path), formatOwnProfile(*ownShown_), true);
    } catch (const PlatformFailure& failure) {
        host().reportFailure(handle(), failure);
    }
}

// A profile's file or a backup's, fitted to this machine; what it could not use is said once, and
// a file that cannot be used changes nothing.
void ServicesWindow::readOwnFromFile()
{
    useFileChosen([&](const std::wstring& path, const std::string& bytes) {
        const Answers none;
        PlanInputs here = inputsFor(Profile::Own, none, {}, machine_.windowsVersion(), states_, NeededServices::LeftAlone);
        const FittedOwnProfile fitted = planOwnProfile(here, parseOwnProfile(bytes));
        own_.replace(fitted.profile);
        refresh();
        std::wstring notes;
        for (const auto& [keys, text] : {std::pair{&fitted.otherWindows, Text::OwnOtherWindows},
                                         std::pair{&fitted.noDelayedStart, Text::OwnNoDelayedStart},
                                         std::pair{&fitted.notInstalled, Text::OwnNotInstalled}}) {
            if (!keys->empty())
                notes += L"\r\n\r\n" + host().text(text, {namesInShortLines(host().language(), *keys)});
        }
        if (!notes.empty())
            dialogs_.inform(handle(), host().text(Text::OwnFileRead, {visibly(path, path.size())}) + notes,
                            kMainCaption, false);
    });
}

}  // namespace quillora::ui
