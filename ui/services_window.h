#pragma once

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "ui/run_controller.h"
#include "ui/window.h"

namespace quillora::ui {

// Every service of the catalogue as this Windows has it: its mode and state now, what a chosen
// profile would do to it and whether that would change anything here, Windows' own description of
// it, and what the last run really did. One shared instance, resizable, opened from the main
// window's system menu.
class ServicesWindow : public Window {
public:
    ServicesWindow(WindowHost& host, RunController& runs, platform::Desktop& desktop);

    static const WindowDesign& windowDesign();

    // Shows the window, or brings it to the front where it is open.
    void open();
    // Reads every service's state again (F5).
    void refresh();
    // The rows as the list shows them, each as its cells; for tests and the copy.
    std::vector<std::wstring> rowTexts();

protected:
    const WindowDesign& design() const override { return windowDesign(); }
    void onLoaded() override;
    void onCommand(int controlId, int notification) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Row {
        std::wstring serviceKey;
        std::vector<std::wstring> cells;
        std::wstring note;  // shown below the description: why a run failed on it
    };

    void showColumns(const std::vector<Text>& titles);
    void fillViewChoice(int selected);
    void onLanguageChanged() override;
    void fillProfileRows(Profile profile);
    void fillResultRows();
    void showRows();
    void sortBy(int column);
    void showDescription();
    void copySelection();
    void selectAll();
    void layOut(int width, int height);
    bool onListNotification(const NMHDR& header);
    int selectedView();

    RunController& runs_;
    platform::Desktop& desktop_;
    std::vector<Row> rows_;
    int sortColumn_ = 0;
    bool ascending_ = true;
    bool showedPending_ = false;
};

}  // namespace quillora::ui
