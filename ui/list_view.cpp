#include "ui/list_view.h"

#include <commctrl.h>

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

}  // namespace quillora::ui
