#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/machine/machine.h"
#include "engine/records/history/run_history.h"
#include "engine/records/transaction/run_results.h"
#include "engine/choice/own_profile.h"
#include "engine/records/backups/profile_file.h"
#include "engine/choice/skip_choice.h"
#include "platform/change_watch.h"
#include "platform/dialogs.h"
#include "ui/runs/run_controller.h"
#include "ui/rows/service_rows.h"
#include "ui/window/window.h"

namespace quillora::ui {

// What a view of the services window shows, for what its rows, columns and buttons are.
enum class ViewKind { Profile, Runs, Own };

// Every service of the catalogue as this Windows has it: its mode and state now, what a chosen
// profile would do to it and whether that would change anything here, Windows' own description of
// it, and the runs so far: what each really did, what has changed since, and the way back to
// before any of them. In a profile's views a check box before each row says
// whether the profile changes it: an unchecked row is one the user chose to leave alone, which
// every run of the profile then leaves alone. One shared instance, resizable, opened from the main
// window's system menu. It shows a new result as the results tell of it. In the view of the user's
// own profile each row says the mode the user chose for the service, which the keyboard, a context
// menu and two ways of filling it change, and which runs through the same door as the profiles.
class ServicesWindow : public Window, private ResultListener {
public:
    // waits: the message loop's, on which the runs' view watches the machine while it shows.
    ServicesWindow(WindowHost& host, RunController& runs, RunResults& results, ChosenSkips& skips, KeptOwnProfile& own,
                   platform::Dialogs& dialogs, Machine& machine, platform::Waits& waits);
    ~ServicesWindow() override;

    static const WindowDesign& windowDesign();

    // Shows the window, or brings it to the front where it is open.
    void open();
    // Opens it on the runs so far, the newest chosen.
    void openLastRun();
    // Reads every service's state again (F5).
    void refresh();
    // The rows as the list shows them, each as its cells joined by tabs; for tests.
    std::vector<std::wstring> rowTexts();

protected:
    const WindowDesign& design() const override { return windowDesign(); }
    void onLoaded() override;
    void onCommand(int controlId, int notification) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onClose() override;

private:
    void resultsChanged() override;
    void onLanguageChanged() override;
    void fillViewChoice(int selected);
    void fillRows();
    void showRows();
    void fitColumns();
    void fitWindowToScreen(bool opening);
    void showView();
    void sortBy(int column);
    void showDescription();
    std::wstring runText();
    void fillRunChoice();
    void fillRunRows(Language language);
    void showRunDetail(Language language);
    std::vector<BackupEntry> startModesNow();
    void followServices();
    const HistoryRun* chosenRun() const;
    std::wstring madeByWords(const HistoryRun& run) const;
    std::wstring restorePointWords(const RestorePointAnswer& answer) const;
    std::wstring countWords(const RunCounts& counts) const;
    std::wstring unfinishedWords(const HistoryRun& run) const;
    static const ControlDesign& designOf(int id);
    static int textWidth(HWND control, const std::wstring& text);
    void fitRunEntryHeight();
    static void drawRunEntry(const DRAWITEMSTRUCT& item);
    void showWhatDiffersFromLastSet();
    void watchMachine(bool on);
    void showRunSummary();
    void goBackFromChosen(bool setAgain);
    void copySelection();
    void layOut(int width, int height);
    // answer: what the window procedure answers a notification handled here.
    bool onListNotification(const NMHDR& header, LRESULT& answer);
    int selectedView();
    ViewKind viewKind();
    std::optional<Profile> viewedProfile();
    std::optional<Profile> choosingProfile();
    void setByWindow(const std::function<void()>& change);
    std::vector<std::wstring> columnTitles();

    // The choice.
    std::optional<std::vector<std::wstring>> readChoice(Profile profile);
    void sayChoiceProblem(std::wstring text);
    void sayNextChoiceProblem();
    void onSpace();
    bool mayChangeCheck(int row) const;
    void checkAll(bool checked);
    void keepChoice();
    void showChoice();
    void saveChoiceToFile();
    void readChoiceFromFile();
    void useFileChosen(const std::function<void(const std::wstring& path, const std::string& bytes)>& use);

    // The own profile's view.
    void fillOwnRows(Language language);
    void showOwnMenu(POINT at);
    void chooseOwnMode(OwnMode mode);
    bool onOwnKey(WORD key);
    void keepOwn(OwnProfile profile);
    void fillOwnFromProfile();
    void fillOwnFromMachine();
    void saveOwnToFile();
    void readOwnFromFile();
    bool mayReplaceOwn();
    std::vector<OwnMode> ownModesHere();
    void enableOwnButtons();

    RunController& runs_;
    RunResults& results_;
    ChosenSkips& skips_;
    KeptOwnProfile& own_;
    // The own profile as last read or chosen; nullopt where it cannot be read.
    std::optional<OwnProfile> ownShown_;
    platform::Dialogs& dialogs_;
    Machine& machine_;
    std::vector<ServiceRow> rows_;
    // The runs so far, newest first, as last listed; the one chosen, by name (empty: the newest);
    // what it did as read when chosen, and what has changed since.
    std::vector<HistoryRun> history_;
    std::optional<PlatformFailure> historyProblem_;
    std::string chosenRun_;
    std::optional<RunDetail> runDetail_;
    std::vector<ModeChange> changedSince_;
    HWND openedFrom_ = nullptr;  // the window the keyboard goes back to when this one closes
    platform::Waits& waits_;
    // While the runs' view shows: the program's folder and the services, so that a run made
    // anywhere on the machine, or a service changed from outside, shows by itself.
    std::unique_ptr<platform::ChangeWatch> machineWatch_;
    bool refreshWhenChoiceCloses_ = false;
    int widestRunEntry_ = 0;  // the runs' drop-down's widest entry, as its list shows it
    // What differs now from what the program last set, whichever run set it; nullopt while unknown.
    std::optional<std::vector<ModeChange>> changedSinceLastSet_;
    std::optional<std::vector<LastSet>> lastSet_;  // what the program last set, as last read
    LastSetReadings lastSetReadings_;               // what each run said, read again only once changed
    std::size_t runsRead_ = 0;                      // of the runs listed, those read into it since
    // The start modes the view last compared with; what changed since the last refresh.
    std::vector<BackupEntry> modesSeen_;
    bool folderChanged_ = false;
    bool servicesChanged_ = false;
    std::vector<std::optional<ServiceState>> states_;  // as last read, in catalogue order
    int sortColumn_ = 0;
    bool ascending_ = true;
    // The viewed profile's choice as last read or made; nullopt where it cannot be read.
    std::optional<std::vector<std::wstring>> choice_;
    bool filling_ = false;       // check boxes set by the window, not by the user
    bool spaceHandled_ = false;  // a Space key press has been applied to the selection
    std::vector<std::size_t> selectedAtSpace_;  // the selection it was applied to
    bool choiceFailureSaid_ = false;
    bool choiceUnreadableSaid_ = false;
    bool nameCut_ = false;  // the list is too narrow for the longest service name or key
    std::deque<std::wstring> choiceProblems_;  // what is to be said of a choice that cannot be read or saved
    // Widths the user gave columns by hand, by view kind and column; kept until the window closes.
    std::array<std::map<int, int>, 3> widthsByHand_;
};

}  // namespace quillora::ui
