// The image list; see ImageList.h.
#include "gui/ImageList.h"

namespace corvinade::gui {

bool ImageList::AddIcon(HICON icon) {
    UniqueIcon copy(static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, width_, height_, 0)));
    if (!copy)
        return false;
    icons_.push_back(std::move(copy));
    return true;
}

HICON ImageList::CopyIcon(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return ::CopyIcon(icons_[static_cast<std::size_t>(index)].Get());
}

} // namespace corvinade::gui
