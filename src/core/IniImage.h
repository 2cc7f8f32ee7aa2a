// The in-memory image of an ini file as hotkeys.ini uses it: sections in file
// order, each with its entries in file order. Parsing tolerates any bytes;
// names compare without regard to (ASCII) letter case; the first occurrence
// of a section or entry name is the one that is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvinade {

// Optionally signed decimal; "$HEX", or "0xHEX"/"0XHEX" with three or more
// characters, as 32-bit hexadecimal (so $FFFFFFFF is -1). Anything else, an
// overflow included, gives fallback.
std::int32_t ParseIniInteger(std::string_view text, std::int32_t fallback);

// Leading and trailing bytes up to and including the blank (control characters,
// NUL included) removed.
std::string_view TrimBlanks(std::string_view text);

// Section and entry names are the same without regard to (ASCII) letter case.
bool SameIniName(std::string_view a, std::string_view b);

class IniImage {
public:
    struct Entry {
        std::string Name;
        std::optional<std::string> Value; // none: a line without "="
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    // Reads text (decoded already: no byte-order mark) by the reading rules;
    // CR, LF and CR LF all end a line.
    static IniImage Parse(std::string_view text);
    // Every section as "[name]", its entries as "name=value", then an empty
    // line; lines end in CR LF.
    std::string ToText() const;

    const std::vector<Section>& Sections() const { return sections_; }
    // The first section of that name, or null.
    const Section* FindSection(std::string_view name) const;

    // Looks in the first section of that name; nullopt when the section or entry
    // is missing or the entry has no "=".
    std::optional<std::string> Read(std::string_view section, std::string_view name) const;
    std::string ReadString(std::string_view section, std::string_view name,
                           const std::string& fallback) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view name, std::int32_t fallback) const;

    // Sets the entry in the first section of that name, appending the section or
    // the entry when missing.
    void WriteString(std::string_view section, std::string_view name, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view name, std::int32_t value);
    // Appends a section, even one whose name is used already; its entries
    // are the caller's to fill, as they are to be written.
    Section& AddSection(std::string_view name);
    // Removes every section of that name.
    void EraseSection(std::string_view section);
    void Clear();

private:
    void Reindex();

    std::vector<Section> sections_;
    // Lower-cased name -> position of its first section, so that lookups stay
    // fast in files with very many sections.
    std::unordered_map<std::string, std::size_t> firstSection_;
};

} // namespace corvinade
