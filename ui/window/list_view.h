#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace quillora::ui {

// The few things the services window asks of a report-style list view control.
class ListView {
public:
    explicit ListView(HWND list) : list_(list) {}

    // Replaces the columns: one title and width in pixels each.
    void setColumns(const std::vector<std::wstring>& titles, const std::vector<int>& widths);
    // Replaces the rows, each a list of cells, without redrawing row by row.
    void setRows(const std::vector<std::vector<std::wstring>>& rows);
    // The selected rows, in list order.
    std::vector<std::size_t> selected() const;
    // The row with the focus, which the user last chose; -1 for none.
    int focused() const;
    void selectAll();
    // Gives a row the focus, selected, and shows it.
    void focus(std::size_t row);
    // Selects these rows too.
    void select(const std::vector<std::size_t>& rows);

    // Check boxes before the rows, or none.
    void showCheckBoxes(bool shown);
    bool isChecked(std::size_t row) const;
    void setChecked(std::size_t row, bool checked);
    void hideCheckBox(std::size_t row);
    void setCell(std::size_t row, std::size_t column, const std::wstring& text);

    // The width each column needs for its title and every cell of these rows to show whole.
    std::vector<int> widthsToShow(const std::vector<std::wstring>& titles,
                                  const std::vector<std::vector<std::wstring>>& rows) const;
    std::vector<int> columnWidths() const;
    // The room the columns have: the list's client width.
    int room() const;
    // The list's client height, and the height that would show its header and so many rows whole.
    int height() const;
    int heightToShow(std::size_t rows) const;

private:
    HWND list_;
};

}  // namespace quillora::ui
