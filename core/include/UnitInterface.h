#pragma once
// What the interface section of a unit declares, and where the engine finds
// that for the units a clause names.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvel {

// Identifiers are stored folded: FoldAscii (AsciiCase.h), only a-z mapped to A-Z.
using TIdentifierSet = std::unordered_set<std::u16string>;

// What a unit brings into a program besides its names: its "USES <Unit>" and
// "INIT CODE" facts (see F_InterfaceIdentifiers).
struct TUnitLinks {
    std::vector<std::u16string> Uses;  // the units its uses clauses name, as written
    bool InitCode = false;             // its initialization or finalization section holds code
};

// Returns the text of an include file named in a {$I name} / {$INCLUDE name} directive of the unit being scanned
// (the name exactly as written in the directive, quotes removed), or std::nullopt when it cannot be found.
using TIncludeReader = std::function<std::optional<std::u16string>(std::u16string_view AIncludeName)>;

// The identifiers that the interface section of AUnitSource declares at top level: constants, types (with the
// members of enumerated types unless {$SCOPEDENUMS ON} is in force, anonymous ones in fields and array indexes
// too), variables, threadvars, resourcestrings, procedures, functions, properties; through include files
// (recursively, with a depth guard against include cycles); every branch of conditional compilation counts, and
// where comments read nested (Free Pascal's own modes) or not (Delphi's) differ, both readings count. Members of
// records, classes and interfaces do not.
// Facts besides names come as pseudo-identifiers (folded, each with a blank, so no name equals one):
//   "HELPER FOR <TYPE>"  a class, record or type helper, once for each predefined type the target may be
//                        (`string`: ANSISTRING, SHORTSTRING, UNICODESTRING), an alias as its type; only the last
//                        helper for a type is active, so such units keep their order although no file names them;
//   "OPERATOR <OP>"      a global operator (`+`, `:=`, `AND`, ...): the last one for its types wins, unnamed;
//   "OVERLOAD <NAME>"    a routine declared with `overload`, and "SIGNATURE <NAME> <PARAMETERS>" for each one;
//   "USES <Unit>"        a unit of the interface's or the implementation's uses clause, spelled as written;
//   "INIT CODE"          the initialization or finalization section (or the closing begin-block) holds code.
// Never throws for any text; an include reader that throws counts as one that finds nothing.
TIdentifierSet F_InterfaceIdentifiers(std::u16string_view AUnitSource, const TIncludeReader& AReadInclude);

// The links a set of F_InterfaceIdentifiers gives: its "USES" and "INIT CODE" facts.
TUnitLinks F_UnitLinks(const TIdentifierSet& AIdentifiers);
// AInto with AFrom's links too; the uses in ASCII-case-blind order, each once.
void F_MergeUnitLinks(TUnitLinks& AInto, const TUnitLinks& AFrom);

// The dotted unit name of the `unit` heading of AUnitSource as it spells it, comments left out; empty when the text
// does not start, comments aside, with a unit heading. Never throws.
std::u16string F_UnitHeadingName(std::u16string_view AUnitSource);

// Where the engine finds what the units of a clause declare. Must be safe to call from several threads at once.
// A returned set must stay unchanged while the catalog is set on a formatter (the formatter remembers facts
// about each set; setting a catalog again forgets them).
class TUnitCatalog {
public:
    virtual ~TUnitCatalog() = default;
    // The declarations of the unit whose name (dotted, any ASCII letter case) is AUnitName, or nullptr when no source
    // for it is known. The engine tries the name as written, then with each unit scope name in front.
    virtual const TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const = 0;
    // The links of the unit F_FindUnit(AUnitName) finds, for following what
    // units bring in at any depth: a catalog may know them without reading the
    // whole set. nullptr: the engine reads them from F_FindUnit's set (the default).
    virtual const TUnitLinks* F_FindUnitLinks(std::u16string_view AUnitName) const {
        (void)AUnitName;
        return nullptr;
    }
    // Told once for each unit of a clause for which no name, as written or with a
    // scope name in front, was found; for the run's summary.
    virtual void NoteUnitWithoutSource(std::u16string_view AUnitName) const { (void)AUnitName; }
    // The name of the unit AUnitName (any ASCII letter case, no scope name tried) as its `unit` heading spells it,
    // or as its file is named when it has none; empty when no source for it is known.
    virtual std::u16string F_DeclaredName(std::u16string_view AUnitName) const {
        (void)AUnitName;
        return {};
    }
    // Whether the source of AUnitName lies in the project's own folders (those of the files formatted).
    virtual bool F_IsProjectUnit(std::u16string_view AUnitName) const {
        (void)AUnitName;
        return false;
    }
};

}  // namespace quorvel
