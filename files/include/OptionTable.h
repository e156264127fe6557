#pragma once
// Every option a user sets, in one table: its key in an options file and in
// the window's settings file, its default, its command-line flag and help,
// its control in the window, and what it sets in the engine. The tool's flags,
// its help and manual page, the options file and the window all come from
// here, so an option is added in one row.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "FormatOptions.h"

namespace quorvel::files {

enum class OptionKind {
    Flag,     // a whole number: 0 is off, any other on
    Width,    // a whole number of at least 1; an empty value means the default
    Names,    // unit names separated by ","; blanks around them and empty pieces are dropped
    Folders,  // folders separated by ";"; a relative one is taken from the options file's folder
    Groups,   // groups of units separated by ","; each as F_UnitGroupProblem (FormatOptions.h) accepts it
    Choice,   // one word of the row's Choices, ASCII case ignored; the value is its index (std::int32_t)
};

using OptionValue =
    std::variant<bool, std::int32_t, std::vector<std::u16string>, std::vector<std::filesystem::path>>;

struct OptionRow {
    std::u16string_view Key;      // in [Settings]
    OptionKind Kind;
    std::u16string_view Default;  // as a new settings file holds it
    std::string_view Flag;        // the command-line flag; empty: none
    std::u16string_view FlagSets; // a flag that takes no value sets this; empty: the flag takes a value
    std::string_view ValueName;   // for a flag that takes one: "N", "NAMES", "DIR"
    bool Repeatable;              // the flag may be given again, each time adding to the list
    std::u16string_view Implies;  // a Flag key the flag also switches off ("--wrap-at" implies wrapped); empty: none
    std::string_view Help;        // the flag's help, also in the manual page
    std::u16string_view Label;    // the window's control for it; empty: none made from the table
    std::u16string_view ToolTip;  // the window control's help
    // What the value sets in the engine's options; nullptr: not the engine's.
    void (*Apply)(const OptionValue& AValue, TFormatOptions& AOptions);
    std::u16string_view Choices = {};  // a Choice row's words separated by "|", its default first
};

// The words of a Choice row, in order.
std::vector<std::u16string_view> ChoiceWords(const OptionRow& ARow);

std::span<const OptionRow> OptionTable();
// The row of AKey, ignoring ASCII letter case; nullptr when it is none.
const OptionRow* FindOption(std::u16string_view AKey);
const OptionRow& OptionByKey(std::u16string_view AKey);  // a key the table has
// "VerticalList, WordWrapAt, ..." for messages.
std::string KnownOptionKeys();

struct OptionReading {
    std::filesystem::path BaseFolder;  // relative folders are taken from here
    bool FoldersMustExist = true;      // the window keeps a folder that is gone, the tool refuses it
};

class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// AText read by ARow's kind; nothing for an empty Width (the default applies).
// Throws OptionError with the reason: "\"wide\" is not a whole number".
std::optional<OptionValue> ParseOptionValue(const OptionRow& ARow, std::u16string_view AText,
                                            const OptionReading& AReading);

// "A, B,C" -> {"A", "B", "C"}: blanks around names and empty pieces are dropped.
void AppendNames(std::u16string_view AList, std::vector<std::u16string>& ANames);

// The options one place sets (the command line, an options file, the
// window); the others stay unset, so places are laid over each other option
// by option.
class OptionSet {
public:
    OptionSet();
    void Set(const OptionRow& ARow, OptionValue AValue);
    // Reads AText by the row's rule (see ParseOptionValue) and sets it.
    void SetText(const OptionRow& ARow, std::u16string_view AText, const OptionReading& AReading);
    // Adds to a list option already set (a repeated flag); sets it otherwise.
    void Append(const OptionRow& ARow, OptionValue AValue);
    const OptionValue* Find(const OptionRow& ARow) const;

    // Each option from ATop where it is set there, else from ABottom. Lists
    // are not merged: a list set in ATop replaces ABottom's.
    static OptionSet Overlay(const OptionSet& ATop, const OptionSet& ABottom);

    // The engine's options: unset ones keep the engine's defaults.
    TFormatOptions EngineOptions() const;
    // Folders searched, with their subfolders, for the units named in clauses.
    std::vector<std::filesystem::path> UnitsPath() const;
    // Whether the installed compilers' sources are searched too (on unless set off).
    bool DefaultUnitsPath() const;
    // The extensions folders give (".pas", ...), when set.
    std::optional<std::vector<std::u16string>> FileKinds() const;

private:
    std::vector<std::optional<OptionValue>> FValues;  // by row of the table
};

}  // namespace quorvel::files
