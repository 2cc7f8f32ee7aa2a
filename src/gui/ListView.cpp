// The list view; see ListView.h.
#include "gui/ListView.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "core/Wide_win.h"

namespace corvinade::gui {

namespace {

// A column sized to its texts takes at most this share of the list.
constexpr int MaxColumnPercent = 45;
// Room around a cell's text, as the view draws it (at 96 dpi).
constexpr int ColumnPadding = 14;

} // namespace

ListView::ListView(Container& parent, const ControlArgs& args)
    : Control(parent, WC_LISTVIEWW,
              LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
              WS_EX_CLIENTEDGE, args) {
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

void ListView::SetColumns(const std::vector<std::string>& titles) {
    for (auto c = titles_.size(); c > 0; --c)
        ::SendMessageW(Handle(), LVM_DELETECOLUMN, c - 1, 0);
    titles_.clear();
    for (const std::string& title : titles) {
        titles_.push_back(Wide(title));
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = titles_.back().data();
        column.cx = Scale(100);
        column.iSubItem = static_cast<int>(titles_.size() - 1);
        ::SendMessageW(Handle(), LVM_INSERTCOLUMNW, titles_.size() - 1, reinterpret_cast<LPARAM>(&column));
    }
}

void ListView::SetRows(const std::vector<std::vector<std::string>>& rows) {
    rows_.clear();
    rows_.reserve(rows.size());
    for (const std::vector<std::string>& cells : rows) {
        std::vector<std::wstring>& row = rows_.emplace_back();
        for (const std::string& cell : cells)
            row.push_back(Wide(cell));
    }
    ::SendMessageW(Handle(), LVM_SETITEMCOUNT, rows_.size(), 0);
    MeasureTexts();
    FitColumns();
}

int ListView::RowCount() const {
    return static_cast<int>(rows_.size());
}

bool ListView::HandleNotify(NMHDR& header, LRESULT&) {
    if (header.code != LVN_GETDISPINFOW)
        return false;
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
    if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0 || item.iItem < 0 || item.iItem >= RowCount())
        return true;
    const std::vector<std::wstring>& row = rows_[static_cast<std::size_t>(item.iItem)];
    const std::wstring empty;
    const std::wstring& text = item.iSubItem >= 0 && item.iSubItem < static_cast<int>(row.size())
                                   ? row[static_cast<std::size_t>(item.iSubItem)]
                                   : empty;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), n, item.pszText);
    item.pszText[n] = L'\0';
    return true;
}

// A text's width is the sum of its characters' advances: a list of
// thousands of rows is measured at the cost of one lookup per character.
void ListView::MeasureTexts() {
    textWidths_.assign(titles_.size(), 0);
    HDC dc = ::GetDC(Handle());
    const HGDIOBJ oldFont =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    std::unordered_map<wchar_t, int> advances;
    const auto measure = [&](const std::wstring& text) {
        int width = 0;
        for (const wchar_t c : text) {
            auto [at, added] = advances.try_emplace(c, 0);
            if (added)
                ::GetCharWidth32W(dc, c, c, &at->second);
            width += at->second;
        }
        return width;
    };
    for (std::size_t c = 0; c < titles_.size(); ++c) {
        textWidths_[c] = measure(titles_[c]);
        for (const std::vector<std::wstring>& row : rows_)
            if (c < row.size())
                textWidths_[c] = std::max(textWidths_[c], measure(row[c]));
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(Handle(), dc);
}

// Each column but the last as wide as its widest text or its title, up to a
// share of the list; the last one fills the rest.
void ListView::FitColumns() {
    if (textWidths_.size() != titles_.size())
        return;
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int limit = client.right * MaxColumnPercent / 100;
    const int padding = Scale(ColumnPadding);
    const std::vector<int>& widths = textWidths_;
    const std::size_t last = titles_.size() - 1;
    int used = 0;
    for (std::size_t c = 0; c < last; ++c) {
        const int width = std::min(widths[c] + padding, limit);
        ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, c, width);
        used += width;
    }
    ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, last,
                   std::max(widths[last] + padding, static_cast<int>(client.right) - used));
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
    MeasureTexts(); // the font follows the dpi
    FitColumns();
}

} // namespace corvinade::gui
