#pragma once

#include "ui/runs/run_controller.h"
#include "ui/window/window.h"

namespace quillora::ui {

// The progress window in which every run writes its log. A run reaches it only through the
// operations of RunDisplay; each of them loads the window, hidden, if the user closed it.
class ProgressWindow : public Window, public RunDisplay {
public:
    using Window::Window;

    std::wstring text() override;
    void setText(const std::wstring& text) override;
    void append(const std::wstring& more) override;
    bool atLineStart() override;
    void setCaption(const std::wstring& caption) override;
    void setStatusLabel(const std::wstring& status) override;
    void enableExit() override;
    void present() override;
    void showRunning() override;
    void showMakingRestorePoint() override;
    void showWaitingForEarlierCommands() override;
    void withdraw() override;
    const Wording& words() override;

    static const WindowDesign& windowDesign();

protected:
    const WindowDesign& design() const override { return windowDesign(); }
    void onLoaded() override;
    void onLanguageChanged() override;
    void onCommand(int controlId, int notification) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool loadedForRun_ = false;  // loaded by the last present, for a run that may yet not start
};

}  // namespace quillora::ui
