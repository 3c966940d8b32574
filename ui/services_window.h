#pragma once

#include <string>
#include <vector>

#include "engine/machine.h"
#include "engine/run_results.h"
#include "ui/run_controller.h"
#include "ui/service_rows.h"
#include "ui/window.h"

namespace quillora::ui {

// Every service of the catalogue as this Windows has it: its mode and state now, what a chosen
// profile would do to it and whether that would change anything here, Windows' own description of
// it, and what the last run really did. One shared instance, resizable, opened from the main
// window's system menu. It shows a new result as the results tell of it.
class ServicesWindow : public Window, private ResultListener {
public:
    ServicesWindow(WindowHost& host, const RunController& runs, RunResults& results, Machine& machine);
    ~ServicesWindow() override;

    static const WindowDesign& windowDesign();

    // Shows the window, or brings it to the front where it is open.
    void open();
    // Opens it on the result of the last run.
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

private:
    void resultsChanged() override;
    void onLanguageChanged() override;
    void fillViewChoice(int selected);
    void fillRows();
    void showRows();
    void sortBy(int column);
    void showDescription();
    std::wstring lastRunText();
    void copySelection();
    void layOut(int width, int height);
    bool onListNotification(const NMHDR& header);
    int selectedView();

    const RunController& runs_;
    RunResults& results_;
    Machine& machine_;
    std::vector<ServiceRow> rows_;
    int sortColumn_ = 0;
    bool ascending_ = true;
};

}  // namespace quillora::ui
