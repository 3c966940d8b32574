#pragma once

#include <string>

#include "platform/desktop.h"
#include "ui/run_controller.h"
#include "ui/services_window.h"
#include "ui/window.h"

namespace quillora::ui {

// The window the program starts with: it starts two of the runs itself and the third through the
// wizard's first question, opens the help window and the maker's web site, and offers the undo.
// Closing it in any way ends the program.
class MainWindow : public Window {
public:
    // firstQuestion and helpWindow: the windows its buttons open; servicesWindow: the one its
    // system menu opens.
    MainWindow(WindowHost& host, RunController& runs, platform::Desktop& desktop, Window& firstQuestion,
               Window& helpWindow, ServicesWindow& servicesWindow);

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
    void addToSystemMenu();
    void switchLanguage();
    void onLanguageChanged() override;
    void updateSystemMenu();
    bool onSystemCommand(WPARAM command);
    LRESULT labelColours(HDC dc, HWND label);
    bool paintBackground(HDC dc);

    RunController& runs_;
    platform::Desktop& desktop_;
    Window& firstQuestion_;
    Window& helpWindow_;
    ServicesWindow& servicesWindow_;
};

}  // namespace quillora::ui
