// A table of rows: the system's list view in its report view, read-only,
// whole rows selected, one tab stop. Its owner names the columns and adds
// the rows; the columns are sized to what they hold, the last one taking
// the width that is left, again whenever the list's size or dpi changes.
// The list holds the texts and the view asks for those it shows, so ten
// thousand rows cost what the rows in view cost.
#pragma once

#include <string>
#include <vector>

#include "gui/Controls.h"

namespace corvinade::gui {

class ListView : public Control {
public:
    ListView(Container& parent, const ControlArgs& args);

    void SetColumns(const std::vector<std::string>& titles);
    // Data texts, shown as they are ("&" included); one per column.
    void SetRows(const std::vector<std::vector<std::string>>& rows);
    int RowCount() const;

protected:
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;
    void DpiChanged() override;

private:
    void MeasureTexts();
    void FitColumns();

    std::vector<std::wstring> titles_;
    std::vector<std::vector<std::wstring>> rows_;
    // The widest text of each column and its title, in pixels of the list's
    // font: measured when the texts or the font change, not at each size.
    std::vector<int> textWidths_;
    bool fitting_ = false;
};

} // namespace corvinade::gui
