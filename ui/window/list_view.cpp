#include "ui/window/list_view.h"

#include <commctrl.h>

#include <algorithm>

namespace quillora::ui {

void ListView::setColumns(const std::vector<std::wstring>& titles, const std::vector<int>& widths)
{
    while (SendMessageW(list_, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (std::size_t i = 0; i < titles.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(titles[i].c_str());
        column.cx = i < widths.size() ? widths[i] : widths.back();
        SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void ListView::setRows(const std::vector<std::vector<std::wstring>>& rows)
{
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(rows[i].empty() ? L"" : rows[i][0].c_str());
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t column = 1; column < rows[i].size(); ++column) {
            item.iSubItem = static_cast<int>(column);
            item.pszText = const_cast<wchar_t*>(rows[i][column].c_str());
            SendMessageW(list_, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

std::vector<std::size_t> ListView::selected() const
{
    std::vector<std::size_t> rows;
    for (int i = -1; (i = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
        rows.push_back(static_cast<std::size_t>(i));
    return rows;
}

int ListView::focused() const
{
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void ListView::selectAll()
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void ListView::focus(std::size_t row)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ListView::select(const std::vector<std::size_t>& rows)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    for (const std::size_t row : rows)
        SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ListView::showCheckBoxes(bool shown)
{
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, shown ? LVS_EX_CHECKBOXES : 0);
}

bool ListView::isChecked(std::size_t row) const
{
    const UINT state = static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void ListView::setChecked(std::size_t row, bool checked)
{
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ListView::hideCheckBox(std::size_t row)
{
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(0);
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ListView::setCell(std::size_t row, std::size_t column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = static_cast<int>(column);
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::vector<int> ListView::widthsToShow(const std::vector<std::wstring>& titles,
                                        const std::vector<std::vector<std::wstring>>& rows) const
{
    const auto textWidth = [this](const std::wstring& text) {
        return static_cast<int>(SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    };
    // A cell's text stands inside a margin on each side; the first column also holds the check box,
    // and a title the sort mark.
    const int margin = 2 * GetSystemMetrics(SM_CXEDGE) + 12;
    const bool checkBoxes = (SendMessageW(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
    std::vector<int> widths;
    for (std::size_t column = 0; column < titles.size(); ++column) {
        int widest = textWidth(titles[column]) + margin;
        for (const std::vector<std::wstring>& row : rows) {
            if (column < row.size())
                widest = std::max(widest, textWidth(row[column]) + margin);
        }
        if (column == 0 && checkBoxes)
            widest += GetSystemMetrics(SM_CXSMICON) + 4;
        widths.push_back(widest);
    }
    return widths;
}

std::vector<int> ListView::columnWidths() const
{
    std::vector<int> widths;
    for (int column = 0;; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_WIDTH;
        if (!SendMessageW(list_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info)))
            return widths;
        widths.push_back(info.cx);
    }
}

int ListView::room() const
{
    RECT client;
    GetClientRect(list_, &client);
    return client.right - client.left;
}

int ListView::height() const
{
    RECT client;
    GetClientRect(list_, &client);
    return client.bottom - client.top;
}

int ListView::heightToShow(std::size_t rows) const
{
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0)), &header);
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (rows == 0 || !SendMessageW(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
        return header.bottom - header.top;
    return header.bottom - header.top + static_cast<int>(rows) * (row.bottom - row.top);
}

}  // namespace quillora::ui
