// The toolkit's image list: icons of one size, kept as plain icon handles so
// that the idle program (whose tray icon takes its image from such a list)
// needs no common-controls library.
#pragma once

#include <windows.h>

#include <vector>

#include "gui/Handles.h"

namespace corvinade::gui {

class ImageList {
public:
    ImageList(int width, int height) : width_(width), height_(height) {}

    int Count() const { return static_cast<int>(icons_.size()); }
    // Adds a copy of the icon at the list's size; false when it cannot be copied.
    bool AddIcon(HICON icon);
    // A copy of image `index` for the caller to destroy; null out of range.
    HICON CopyIcon(int index) const;
    // Adds image `index` greyed and faded, with a pause mark (two bars) in
    // its lower right corner; false when it cannot be made.
    bool AddPausedCopy(int index);

private:
    int width_, height_;
    std::vector<UniqueIcon> icons_;
};

} // namespace corvinade::gui
