#pragma once

#include <string>

#include "engine/catalogue.h"
#include "ui/window.h"

namespace quillora::ui {

// The window the program starts with. It carries the three runs as its public operations; closing
// it in any way ends the program.
class MainWindow : public Window {
public:
    using Window::Window;

    // Optimisation by questions: reads the wizard's three answers.
    void runOptimiseByQuestions();
    // Automatic optimisation.
    void runAutomatic();
    // Restore of the system defaults.
    void runRestoreDefaults();

    // What every caller of a run does: keeps the start modes the run is about to change, shows
    // the progress window and runs. A run whose backup cannot be saved shows nothing: no window is
    // left claiming a run that never started.
    void startRun(void (MainWindow::*run)());

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
    void run(Profile profile);
    void openWebSite();
    void addUndoToSystemMenu();
    void updateSystemMenu();
    bool onSystemCommand(WPARAM command);
    LRESULT labelColours(HDC dc, HWND label);
    bool paintBackground(HDC dc);
};

}  // namespace quillora::ui
