#pragma once

#include <string>

#include "window.h"

namespace quillora::ui {

// "Form1": the window the program starts with. It carries the three runs as its public
// operations; closing it in any way ends the program.
class MainWindow : public Window {
public:
    enum ControlId { Command1 = 101, Label1, Command2, Label2, Command3, Label3, Image1, Command5, Command4, Label4 };

    using Window::Window;

    // Optimisation by questions: reads the wizard's three answers.
    void youhua1();
    // Automatic optimisation.
    void youhua2();
    // Restore of the system defaults.
    void youhua3();

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
    void openWebSite();
    void showProgressAndRun(void (MainWindow::*run)());
    LRESULT labelColours(HDC dc, HWND label);
    bool paintBackground(HDC dc);
};

}  // namespace quillora::ui
