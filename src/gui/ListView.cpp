// The list view; see ListView.h.
#include "gui/ListView.h"

#include <commctrl.h>

#include <algorithm>

#include "core/Wide_win.h"

namespace corvinade::gui {

namespace {

// A column sized to its texts takes at most this share of the list.
constexpr int MaxColumnPercent = 45;

} // namespace

ListView::ListView(Container& parent, const ControlArgs& args)
    : Control(parent, WC_LISTVIEWW,
              LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
              WS_EX_CLIENTEDGE, args) {
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

void ListView::SetColumns(const std::vector<std::string>& titles) {
    while (columns_ > 0)
        ::SendMessageW(Handle(), LVM_DELETECOLUMN, static_cast<WPARAM>(--columns_), 0);
    for (const std::string& title : titles) {
        std::wstring text = Wide(title);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = Scale(100);
        column.iSubItem = columns_;
        ::SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(columns_),
                       reinterpret_cast<LPARAM>(&column));
        ++columns_;
    }
}

void ListView::AddRow(const std::vector<std::string>& cells) {
    const int row = RowCount();
    for (int c = 0; c < columns_ && c < static_cast<int>(cells.size()); ++c) {
        std::wstring text = Wide(cells[static_cast<std::size_t>(c)]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = c;
        item.pszText = text.data();
        ::SendMessageW(Handle(), c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
    }
}

int ListView::RowCount() const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

// Each column but the last as wide as its widest text or its title, up to a
// share of the list; the last one fills the rest.
void ListView::FitColumns() {
    if (columns_ == 0)
        return;
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int limit = client.right * MaxColumnPercent / 100;
    int used = 0;
    for (int c = 0; c + 1 < columns_; ++c) {
        ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), LVSCW_AUTOSIZE_USEHEADER);
        const int width =
            static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
        if (width > limit)
            ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), limit);
        used += std::min(width, limit);
    }
    ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(columns_ - 1), LVSCW_AUTOSIZE_USEHEADER);
    const int last =
        static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(columns_ - 1), 0));
    if (last < client.right - used)
        ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(columns_ - 1), client.right - used);
}

// A scroll bar that comes or goes with the widths sizes the list again.
bool ListView::ControlMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_SIZE && !fitting_) {
        fitting_ = true;
        FitColumns();
        fitting_ = false;
    }
    return false;
}

void ListView::DpiChanged() {
    Control::DpiChanged();
    FitColumns();
}

} // namespace corvinade::gui
