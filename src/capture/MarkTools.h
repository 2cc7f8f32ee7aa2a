// The capture window's tools, their keys and names, and the colour and
// width the marks are made with: the choices the toolbar offers and how the
// choice is kept in the settings between captures. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/Marks.h"

namespace corvinade {

enum class MarkTool { Select, Arrow, Rectangle, Ellipse, Line, Pen, Highlighter, Text, Step, Redact };

struct MarkToolInfo {
    MarkTool tool;
    char key;            // the letter that picks it
    const char* caption; // on its button
    const char* tip;     // its tooltip, the key in brackets
};
// In the toolbar's order.
const std::vector<MarkToolInfo>& MarkTools();
std::optional<MarkTool> ToolForKey(char key);
// The kind of mark a tool makes; none for Select.
std::optional<MarkKind> KindOfTool(MarkTool tool);

// The colours and widths the toolbar offers, with their names.
struct NamedColour {
    std::uint32_t colour; // 0x00RRGGBB
    const char* name;
};
const std::vector<NamedColour>& MarkColours();
struct NamedWidth {
    int width; // image pixels
    const char* name;
};
const std::vector<NamedWidth>& MarkWidths();
// The name of a colour or width the toolbar did not offer (one a settings
// value brought): "#1A2B3C", "7 px".
std::string ColourName(std::uint32_t colour);
std::string WidthName(int width);

// What new marks are made with: a width, and a colour for the drawing
// tools; the highlighter and redactions keep a colour of their own (yellow
// and black unless the user picks another).
struct MarkStyle {
    std::uint32_t colour = 0xE02020;
    int width = 4;
    std::uint32_t redactColour = 0x000000;
    std::uint32_t highlightColour = 0xFFD820;
    bool operator==(const MarkStyle&) const = default;

    // The colour a tool's new marks take, and where a pick for it goes.
    std::uint32_t& ColourFor(MarkTool tool) {
        return tool == MarkTool::Redact        ? redactColour
               : tool == MarkTool::Highlighter ? highlightColour
                                               : colour;
    }
};

// The settings' names and texts: colours as six hexadecimal digits
// ("E02020"), the width as a decimal number of pixels (1 to MaxMarkWidth).
inline constexpr char MarkColourSetting[] = "MarkColour";
inline constexpr char MarkWidthSetting[] = "MarkWidth";
inline constexpr char RedactColourSetting[] = "RedactColour";
inline constexpr char HighlightColourSetting[] = "HighlightColour";
std::string ColourText(std::uint32_t colour);
std::optional<std::uint32_t> ColourFromText(const std::string& text);
std::optional<int> WidthFromText(const std::string& text);
// The style the settings' texts give (a missing or unreadable one keeps the
// default's value).
MarkStyle StyleFromTexts(const std::optional<std::string>& colour, const std::optional<std::string>& width,
                         const std::optional<std::string>& redactColour,
                         const std::optional<std::string>& highlightColour = std::nullopt);

} // namespace corvinade
