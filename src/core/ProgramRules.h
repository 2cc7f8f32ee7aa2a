// Unit ProgramRules: where a hotkey works. A hotkey's "only in" list names
// the programs in which it works, its "not in" list those in which it does
// not; elsewhere the combination is left to the program in front. A list
// holds executable names separated by ";" ("notepad.exe;winword.exe"),
// compared without regard to case with the file name of the program in
// front; a name with a folder ("C:\Tools\app.exe") matches that full path
// only. The program's path and the names are folded once, so that a change
// of the program in front costs a comparison per name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvinade {

// The names of a list, blanks around each removed, empty ones dropped.
std::vector<std::string> ProgramNames(std::string_view list);
// The list as it is stored: the names joined by ";".
std::string ProgramListText(std::string_view list);
// The list with `name` added at its end, unless it holds it already.
std::string WithProgram(std::string_view list, std::string_view name);

// The program in front: its executable's full path, empty when unknown.
class FrontProgram {
public:
    FrontProgram() = default;
    explicit FrontProgram(std::string_view path);
    bool Known() const { return !path_.empty(); }
    const std::u32string& Path() const { return path_; }
    const std::u32string& Name() const { return name_; }

private:
    std::u32string path_, name_; // folded, "\" for "/"
};

// One hotkey's rule.
class ProgramRule {
public:
    ProgramRule() = default;
    ProgramRule(std::string_view onlyIn, std::string_view notIn);
    bool Empty() const { return onlyIn_.empty() && notIn_.empty(); }
    // Whether the hotkey works with this program in front. With none known,
    // a hotkey that works only in some programs does not.
    bool Allows(const FrontProgram& front) const;

private:
    struct Name {
        std::u32string text;
        bool withFolder;
    };
    static std::vector<Name> Names(std::string_view list);
    static bool Matches(const std::vector<Name>& names, const FrontProgram& front);

    std::vector<Name> onlyIn_, notIn_;
};

// The rule as the windows show it: "only in notepad.exe, winword.exe",
// "not in ...", both joined by "; "; empty for none.
std::string RuleText(std::string_view onlyIn, std::string_view notIn);

} // namespace corvinade
