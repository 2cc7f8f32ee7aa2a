// The marks' text ink; see TextInk_win.h.
#include "capture/TextInk_win.h"

#include <algorithm>

#include "core/Wide_win.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/ImageView.h"

namespace corvinade {

namespace {

constexpr std::size_t KeptMasks = 64;
constexpr int SmallestHeight = 6, LargestHeight = 400;

NONCLIENTMETRICSW Metrics() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        metrics.cbSize = 0;
    return metrics;
}

std::vector<std::wstring> Lines(const std::string& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(Wide(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

} // namespace

GdiTextInk::GdiTextInk() {
    const NONCLIENTMETRICSW metrics = Metrics();
    face_ =
        metrics.cbSize && metrics.lfMessageFont.lfFaceName[0] ? metrics.lfMessageFont.lfFaceName : L"Tahoma";
}

int GdiTextInk::UserFontHeight(int dpi) {
    const NONCLIENTMETRICSW metrics = Metrics();
    const int height = metrics.cbSize ? std::abs(metrics.lfMessageFont.lfHeight) : 0;
    // The setting is in pixels at the system's dpi.
    return ::MulDiv(height > 0 ? height : 11, dpi, gui::ScreenDpi());
}

HFONT GdiTextInk::FontFor(int height, bool bold) {
    height = std::clamp(height, SmallestHeight, LargestHeight);
    const auto key = std::make_pair(height, bold);
    if (auto found = fonts_.find(key); found != fonts_.end())
        return found->second.Get();
    gui::GdiObject<HFONT> font(::CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                             ANTIALIASED_QUALITY, DEFAULT_PITCH, face_.c_str()));
    if (!font)
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    return fonts_.emplace(key, std::move(font)).first->second.Get();
}

int GdiTextInk::LineHeight(int height) {
    gui::MemoryDC dc(::CreateCompatibleDC(nullptr));
    gui::ScopedSelect select(dc.Get(), FontFor(height, false));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return std::max<int>(1, metrics.tmHeight);
}

int GdiTextInk::LineWidth(const std::string& line, int height) {
    gui::MemoryDC dc(::CreateCompatibleDC(nullptr));
    gui::ScopedSelect select(dc.Get(), FontFor(height, false));
    const std::wstring wide = Wide(line);
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

// White text on black in a bitmap of its own: each pixel's brightness is
// the ink's coverage there. Lines one under the other, each from the left.
const AlphaMask& GdiTextInk::TextInk(const std::string& text, int height, bool bold) {
    const auto key = std::make_tuple(text, height, bold);
    if (auto found = masks_.find(key); found != masks_.end())
        return found->second;
    if (masks_.size() >= KeptMasks)
        masks_.clear();
    AlphaMask& mask = masks_[key];
    gui::MemoryDC measure(::CreateCompatibleDC(nullptr));
    gui::ScopedSelect font(measure.Get(), FontFor(height, bold));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(measure.Get(), &metrics);
    const std::vector<std::wstring> lines = Lines(text);
    int width = 0;
    for (const std::wstring& line : lines) {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(measure.Get(), line.c_str(), static_cast<int>(line.size()), &size);
        width = std::max<int>(width, size.cx + metrics.tmOverhang);
    }
    const int lineHeight = std::max<int>(1, metrics.tmHeight);
    const int total = lineHeight * static_cast<int>(lines.size());
    if (width <= 0 || total <= 0)
        return mask;
    gui::Bitmap32 canvas(width, total);
    gui::ScopedSelect canvasFont(canvas.DC(), FontFor(height, bold));
    ::SetBkMode(canvas.DC(), TRANSPARENT);
    ::SetTextColor(canvas.DC(), RGB(255, 255, 255));
    for (std::size_t i = 0; i < lines.size(); ++i)
        ::ExtTextOutW(canvas.DC(), 0, static_cast<int>(i) * lineHeight, 0, nullptr, lines[i].c_str(),
                      static_cast<UINT>(lines[i].size()), nullptr);
    ::GdiFlush();
    mask.width = width;
    mask.height = total;
    mask.alpha.resize(static_cast<std::size_t>(width) * total);
    for (int y = 0; y < total; ++y) {
        const std::uint32_t* row = canvas.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            mask.alpha[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(std::max({p & 0xFFu, (p >> 8) & 0xFFu, (p >> 16) & 0xFFu}));
        }
    }
    return mask;
}

} // namespace corvinade
