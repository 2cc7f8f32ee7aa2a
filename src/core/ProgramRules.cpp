// Unit ProgramRules; see ProgramRules.h.
#include "core/ProgramRules.h"

#include <algorithm>

#include "core/HotkeyFilter.h"
#include "core/Unicode.h"

namespace corvinade {

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

std::u32string Folded(std::string_view text) {
    std::u32string folded;
    folded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        folded.push_back(c.Value == U'/' ? U'\\' : FoldCase(c.Value));
        pos += c.Length;
    }
    return folded;
}

std::string Joined(const std::vector<std::string>& names, const char* between) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : between) + name;
    return text;
}

} // namespace

std::vector<std::string> ProgramNames(std::string_view list) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos <= list.size()) {
        const std::size_t end = std::min(list.find(';', pos), list.size());
        std::string_view name = list.substr(pos, end - pos);
        while (!name.empty() && Blank(name.front()))
            name.remove_prefix(1);
        while (!name.empty() && Blank(name.back()))
            name.remove_suffix(1);
        if (!name.empty())
            names.emplace_back(name);
        pos = end + 1;
    }
    return names;
}

std::string ProgramListText(std::string_view list) {
    return Joined(ProgramNames(list), ";");
}

std::string WithProgram(std::string_view list, std::string_view name) {
    std::vector<std::string> names = ProgramNames(list);
    const std::u32string added = Folded(name);
    if (!added.empty() &&
        std::ranges::none_of(names, [&](const std::string& n) { return Folded(n) == added; }))
        names.emplace_back(name);
    return Joined(names, ";");
}

FrontProgram::FrontProgram(std::string_view path) : path_(Folded(path)) {
    const std::size_t slash = path_.find_last_of(U'\\');
    name_ = slash == std::u32string::npos ? path_ : path_.substr(slash + 1);
}

ProgramRule::ProgramRule(std::string_view onlyIn, std::string_view notIn)
    : onlyIn_(Names(onlyIn)), notIn_(Names(notIn)) {}

std::vector<ProgramRule::Name> ProgramRule::Names(std::string_view list) {
    std::vector<Name> names;
    for (const std::string& name : ProgramNames(list)) {
        std::u32string folded = Folded(name);
        const bool withFolder = folded.find(U'\\') != std::u32string::npos;
        names.push_back({std::move(folded), withFolder});
    }
    return names;
}

bool ProgramRule::Matches(const std::vector<Name>& names, const FrontProgram& front) {
    return front.Known() && std::ranges::any_of(names, [&](const Name& n) {
               return n.text == (n.withFolder ? front.Path() : front.Name());
           });
}

bool ProgramRule::Allows(const FrontProgram& front) const {
    if (!onlyIn_.empty() && !Matches(onlyIn_, front))
        return false;
    return !Matches(notIn_, front);
}

std::string RuleText(std::string_view onlyIn, std::string_view notIn) {
    std::string text;
    if (const auto names = ProgramNames(onlyIn); !names.empty())
        text = "only in " + Joined(names, ", ");
    if (const auto names = ProgramNames(notIn); !names.empty())
        text += (text.empty() ? "not in " : "; not in ") + Joined(names, ", ");
    return text;
}

} // namespace corvinade
