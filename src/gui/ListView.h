// A table of rows: the system's list view in its report view, read-only,
// whole rows selected, one tab stop. Its owner names the columns and adds
// the rows; the columns are sized to what they hold, the last one taking
// the width that is left, again whenever the list's size or dpi changes.
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
    void AddRow(const std::vector<std::string>& cells);
    int RowCount() const;
    void FitColumns();

protected:
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    int columns_ = 0;
    bool fitting_ = false;
};

} // namespace corvinade::gui
