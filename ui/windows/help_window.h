#pragma once

#include <string>

#include "ui/window/window.h"

namespace quillora::ui {

// The fixed help text and the maker's contacts. Edits to the text last until the window closes.
class HelpWindow : public Window {
public:
    using Window::Window;

    static const WindowDesign& windowDesign();
    static std::wstring helpText();

protected:
    const WindowDesign& design() const override { return windowDesign(); }
    void onCommand(int controlId, int notification) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quillora::ui
