// The ini image: parsing, lookup and writing of hotkeys.ini's text.
#include "core/IniImage.h"

#include <algorithm>

namespace corvinade {

namespace {

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    // Eight hex digits fill all 32 bits: $FFFFFFFF reads as -1.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

// Splits text into lines at CR, LF or CR LF and hands each to f.
template <class F> void ForEachLine(std::string_view text, F f) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            f(text.substr(pos));
            return;
        }
        f(text.substr(pos, end - pos));
        pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && Byte(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && Byte(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

bool SameIniName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::int32_t ParseIniInteger(std::string_view text, std::int32_t fallback) {
    std::optional<std::int32_t> value;
    if (!text.empty() && text[0] == '$')
        value = ParseHex(text.substr(1));
    else if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        value = ParseHex(text.substr(2));
    else
        value = ParseDecimal(text);
    return value.value_or(fallback);
}

IniImage IniImage::Parse(std::string_view text) {
    IniImage image;
    Section* current = nullptr;
    ForEachLine(text, [&](std::string_view raw) {
        std::string_view line = TrimBlanks(raw);
        if (line.empty() || line.front() == ';')
            return;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &image.AddSection(TrimBlanks(line.substr(1, line.size() - 2)));
            return;
        }
        if (current == nullptr)
            return;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            current->Entries.push_back({std::string(line), std::nullopt});
        else
            current->Entries.push_back(
                {std::string(TrimBlanks(line.substr(0, eq))), std::string(TrimBlanks(line.substr(eq + 1)))});
    });
    return image;
}

std::string IniImage::ToText() const {
    std::string out;
    for (const Section& s : sections_) {
        out += '[';
        out += s.Name;
        out += "]\r\n";
        for (const Entry& e : s.Entries) {
            out += e.Name;
            if (e.Value) {
                out += '=';
                out += *e.Value;
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

std::optional<std::string> IniImage::Read(std::string_view section, std::string_view name) const {
    const Section* s = FindSection(section);
    if (s == nullptr)
        return std::nullopt;
    for (const Entry& e : s->Entries)
        if (SameIniName(e.Name, name))
            return e.Value; // the first occurrence counts, even without a value
    return std::nullopt;
}

std::string IniImage::ReadString(std::string_view section, std::string_view name,
                                 const std::string& fallback) const {
    return Read(section, name).value_or(fallback);
}

std::int32_t IniImage::ReadInteger(std::string_view section, std::string_view name,
                                   std::int32_t fallback) const {
    std::optional<std::string> text = Read(section, name);
    return text ? ParseIniInteger(*text, fallback) : fallback;
}

void IniImage::WriteString(std::string_view section, std::string_view name, std::string_view value) {
    auto found = firstSection_.find(Lower(section));
    Section& s = found != firstSection_.end() ? sections_[found->second] : AddSection(section);
    for (Entry& e : s.Entries) {
        if (SameIniName(e.Name, name)) {
            e.Value = std::string(value);
            return;
        }
    }
    s.Entries.push_back({std::string(name), std::string(value)});
}

void IniImage::WriteInteger(std::string_view section, std::string_view name, std::int32_t value) {
    WriteString(section, name, std::to_string(value));
}

void IniImage::EraseSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& s) { return SameIniName(s.Name, section); });
    Reindex();
}

void IniImage::Clear() {
    sections_.clear();
    firstSection_.clear();
}

IniImage::Section& IniImage::AddSection(std::string_view name) {
    sections_.push_back({std::string(name), {}});
    firstSection_.try_emplace(Lower(name), sections_.size() - 1);
    return sections_.back();
}

const IniImage::Section* IniImage::FindSection(std::string_view name) const {
    auto found = firstSection_.find(Lower(name));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

void IniImage::Reindex() {
    firstSection_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i)
        firstSection_.try_emplace(Lower(sections_[i].Name), i);
}

} // namespace corvinade
