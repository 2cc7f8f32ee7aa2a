// The tools, colours and widths; see MarkTools.h.
#include "capture/MarkTools.h"

#include <cctype>
#include <cstdio>

namespace corvinade {

const std::vector<MarkToolInfo>& MarkTools() {
    static const std::vector<MarkToolInfo> tools = {
        {MarkTool::Select, 'V', "Select", "Select an area or a mark (V)"},
        {MarkTool::Arrow, 'A', "Arrow", "Arrow (A)"},
        {MarkTool::Rectangle, 'R', "Rectangle", "Rectangle (R)"},
        {MarkTool::Ellipse, 'E', "Ellipse", "Ellipse (E)"},
        {MarkTool::Line, 'L', "Line", "Line (L)"},
        {MarkTool::Pen, 'F', "Pen", "Pen, freehand (F)"},
        {MarkTool::Highlighter, 'H', "Highlighter", "Highlighter (H)"},
        {MarkTool::Text, 'T', "Text", "Text: Enter starts a new line, Esc ends (T)"},
        {MarkTool::Step, 'N', "Step", "Numbered step (N)"},
        {MarkTool::Redact, 'X', "Redact", "Redact: covers an area with one colour (X)"},
    };
    return tools;
}

std::optional<MarkTool> ToolForKey(char key) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    for (const MarkToolInfo& info : MarkTools())
        if (info.key == upper)
            return info.tool;
    return std::nullopt;
}

std::optional<MarkKind> KindOfTool(MarkTool tool) {
    switch (tool) {
    case MarkTool::Select:
        return std::nullopt;
    case MarkTool::Arrow:
        return MarkKind::Arrow;
    case MarkTool::Rectangle:
        return MarkKind::Rectangle;
    case MarkTool::Ellipse:
        return MarkKind::Ellipse;
    case MarkTool::Line:
        return MarkKind::Line;
    case MarkTool::Pen:
        return MarkKind::Pen;
    case MarkTool::Highlighter:
        return MarkKind::Highlighter;
    case MarkTool::Text:
        return MarkKind::Text;
    case MarkTool::Step:
        return MarkKind::Step;
    case MarkTool::Redact:
        return MarkKind::Redact;
    }
    return std::nullopt;
}

const std::vector<NamedColour>& MarkColours() {
    static const std::vector<NamedColour> colours = {
        {0xE02020, "Red"},  {0xF08010, "Orange"},  {0xFFD820, "Yellow"}, {0x20A040, "Green"},
        {0x2060E0, "Blue"}, {0xC020C0, "Magenta"}, {0x000000, "Black"},  {0xFFFFFF, "White"},
    };
    return colours;
}

const std::vector<NamedWidth>& MarkWidths() {
    static const std::vector<NamedWidth> widths = {{2, "Thin"}, {4, "Medium"}, {6, "Thick"}, {10, "Heavy"}};
    return widths;
}

std::string ColourName(std::uint32_t colour) {
    return "#" + ColourText(colour);
}

std::string WidthName(int width) {
    return std::to_string(width) + " px";
}

std::string ColourText(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour & 0xFFFFFFu));
    return text;
}

std::optional<std::uint32_t> ColourFromText(const std::string& text) {
    if (text.size() != 6)
        return std::nullopt;
    std::uint32_t colour = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        colour = colour * 16 +
                 static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c))
                                                ? c - '0'
                                                : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    return colour;
}

std::optional<int> WidthFromText(const std::string& text) {
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int width = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        width = width * 10 + (c - '0');
    }
    if (width < 1 || width > MaxMarkWidth)
        return std::nullopt;
    return width;
}

MarkStyle StyleFromTexts(const std::optional<std::string>& colour, const std::optional<std::string>& width,
                         const std::optional<std::string>& redactColour,
                         const std::optional<std::string>& highlightColour) {
    MarkStyle style;
    if (colour)
        style.colour = ColourFromText(*colour).value_or(style.colour);
    if (width)
        style.width = WidthFromText(*width).value_or(style.width);
    if (redactColour)
        style.redactColour = ColourFromText(*redactColour).value_or(style.redactColour);
    if (highlightColour)
        style.highlightColour = ColourFromText(*highlightColour).value_or(style.highlightColour);
    return style;
}

} // namespace corvinade
