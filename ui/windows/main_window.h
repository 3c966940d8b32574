#pragma once

#include <string>

#include "engine/machine/machine.h"
#include "engine/records/transaction/run_results.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "ui/runs/run_controller.h"
#include "ui/services/services_window.h"
#include "ui/window/window.h"

namespace quillora::ui {

// The window the program starts with: it starts two of the runs itself and the third through the
// wizard's first question, opens the help window and the maker's web site, and offers the undo.
// It says when a run's result holds failures, and when a result cannot be read or saved. Closing
// it in any way ends the program.
class MainWindow : public Window, private ResultListener {
public:
    // firstQuestion and helpWindow: the windows its buttons open; servicesWindow: the one its
    // system menu opens.
    MainWindow(WindowHost& host, RunController& runs, RunResults& results, platform::Processes& processes,
               platform::Dialogs& dialogs, Machine& machine, Window& firstQuestion, Window& helpWindow,
               ServicesWindow& servicesWindow);
    ~MainWindow() override;

    static const WindowDesign& windowDesign();
    // "explorer " and the maker's web address.
    static std::wstring webSiteCommandLine();

protected:
    const WindowDesign& design() const override { return windowDesign(); }
    void onLoaded() override;
    void onCommand(int controlId, int notification) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onClose() override;

private:
    void resultArrived(const RunResult& result) override;
    void resultProblem(const RunProblem& problem, const std::string& resultPath) override;
    void resultsFailed(const PlatformFailure& failure) override;
    void openWebSite();
    void addToSystemMenu();
    void chooseLanguage(const LanguageChoice& chosen);
    void toggleRestorePoints();
    void checkLanguageItem();
    void onLanguageChanged() override;
    void updateSystemMenu();
    bool onSystemCommand(WPARAM command);
    LRESULT labelColours(HDC dc, HWND label);

    RunController& runs_;
    RunResults& results_;
    platform::Processes& processes_;
    platform::Dialogs& dialogs_;
    Machine& machine_;
    Window& firstQuestion_;
    Window& helpWindow_;
    ServicesWindow& servicesWindow_;
};

}  // namespace quillora::ui
