#pragma once
// The formatting engine: finds the `uses` clauses of one Object Pascal source
// text, sorts their units and lays them out again. Standard library only; it
// never touches files and never throws for any input text.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FormatOptions.h"
#include "UnitInterface.h"

namespace quorvel {

namespace detail {
class UnitFactsCache;
class UnitEffectsCache;
}

// A note about a clause: left unchanged (compiler directives, the keep-order
// marker), an order kept so that every name resolves as before (and a unit
// kept out of its group for that) or so that units start as before, a unit
// name written in its declared letter case, a unit scope name added or
// removed, a unit the file does not need (removable, or kept as it runs code
// as the program starts or ends), or an interface unit only the
// implementation needs (movable, or kept for a name another unit declares).
enum class TClauseNoteKind { Skip, Keep, Init, Group, Case, Scope, Unused, UnusedKept, Move, MoveKept };

struct TClauseNote {
    TClauseNoteKind Kind = TClauseNoteKind::Skip;
    std::u16string Section;  // "interface uses", "implementation uses" or "uses"
    std::u16string Text;     // "contains compiler directives", "Windows stays before SysUtils (DeleteFile)"
    bool Applied = false;    // the unit was removed or moved
};

// The note as a log line: "  [SKIP] interface uses — contains compiler directives";
// the other kinds as "[KEEP]", "[INIT]", "[GROUP]", "[CASE]", "[SCOPE]", "[UNUSED]" and "[MOVE]".
std::u16string F_ClauseNoteLine(const TClauseNote& ANote);

// Called with each clause left unchanged, as its log line.
using TOnSkipBlock = std::function<void(const std::u16string& AMsg)>;
// Called with each note about a clause, as it is.
using TOnClauseNote = std::function<void(const TClauseNote& ANote)>;

// One element of a clause.
struct TUsesEntry {
    std::u16string UnitName;         // as written: `SysUtils`, `MainForm in 'MainForm.pas' {FrmMain}`
    std::u16string TrailingComment;  // comments after the element on its line, written after its separator
    std::size_t NameStart = 0;       // where the unit name begins in UnitName: comments in front
                                     // of it travel with the entry but take no part in the order
    bool BlankLineBefore = false;    // a blank line stands between the element and the one before
};

// One located clause. Positions are 1-based code-unit indices into the text.
struct TUsesBlock {
    std::vector<TUsesEntry> Entries;
    std::vector<std::u16string> LeadingComments;
    std::int32_t StartPos = 0;  // the `u` of `uses`; 0 while none was found
    std::int32_t EndPos = 0;    // the terminating `;`; 0 while none was found
    // The last code unit the rewrite replaces: EndPos, or, when only comments and
    // blanks follow the `;` on its line, the end of that line's break.
    std::int32_t ReplaceEndPos = 0;
    bool HasConditionals = false;  // a compiler directive stands anywhere in the clause
    bool IsUnitList = false;       // comments aside, the clause is a list of unit names
};

// A rewritten clause: the code units [Begin, End) of the source (0-based) give
// way to Text.
struct TClauseRewrite {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::u16string Text;
};

// Decodes a piece of 8-bit source text (the file's single-byte code page, or
// UTF-8) into UTF-16 code units. Pieces never split a character: they begin
// and end next to ASCII syntax.
using TWiden = std::function<std::u16string(std::string_view APiece)>;

// A unit that must come first in its clause, and why.
struct TKeepFirstUnit {
    std::u16string Name;
    std::u16string Reason;
};

class TQuorvel {
public:
    explicit TQuorvel(TFormatOptions AOptions = {});

    const TFormatOptions& Options() const { return FOptions; }
    void SetOptions(TFormatOptions AOptions);
    // The layout options one by one, as the window changes them.
    bool PreserveComments() const { return FOptions.PreserveComments; }
    void SetPreserveComments(bool AValue) { FOptions.PreserveComments = AValue; }
    bool VerticalList() const { return FOptions.VerticalList; }
    void SetVerticalList(bool AValue) { FOptions.VerticalList = AValue; }
    std::int32_t WordWrapAt() const { return FOptions.WordWrapAt; }
    void SetWordWrapAt(std::int32_t AValue) { FOptions.WordWrapAt = AValue; }

    // Called with each clause left unchanged (compiler directives, the
    // keep-order marker), as its log line.
    const TOnSkipBlock& OnSkipBlock() const { return FOnSkipBlock; }
    void SetOnSkipBlock(TOnSkipBlock AHandler) { FOnSkipBlock = std::move(AHandler); }
    // Called with every note, of each kind, as it is.
    const TOnClauseNote& OnClauseNote() const { return FOnClauseNote; }
    void SetOnClauseNote(TOnClauseNote AHandler) { FOnClauseNote = std::move(AHandler); }

    // What the units declare; nullptr: no unit declares anything. Not owned.
    const TUnitCatalog* UnitCatalog() const { return FUnitCatalog; }
    void SetUnitCatalog(const TUnitCatalog* ACatalog);
    // Reads the include files the text being formatted names: the names used in
    // them count as the file's own. Without one, or when one cannot be read,
    // every name two units of a clause share counts as used.
    const TIncludeReader& IncludeReader() const { return FIncludeReader; }
    void SetIncludeReader(TIncludeReader AReader) { FIncludeReader = std::move(AReader); }

    // The built-in keep-first units, each with the reason it must come first.
    static const std::vector<TKeepFirstUnit>& BuiltInKeepFirstUnits();

    // The whole text of one source file in, the same text with its clauses
    // rewritten out; equal to ASource when nothing was rewritten.
    std::u16string F_FormatSource(const std::u16string& ASource) const;

    // The clauses a rewrite changes, in the order of the text, each replacing
    // exactly what F_FormatSource replaces; empty when nothing changes. The
    // text outside them stays as it is, so a caller can keep its own bytes.
    std::vector<TClauseRewrite> F_ClauseRewrites(std::u16string_view ASource) const;
    // The same for 8-bit text whose Pascal syntax characters are all ASCII (UTF-8
    // or a single-byte code page): positions count its bytes, texts and their
    // layout are UTF-16 exactly as for the widened text.
    std::vector<TClauseRewrite> F_ClauseRewrites(std::string_view ASource, const TWiden& AWiden) const;

private:
    TFormatOptions FOptions;
    TOnSkipBlock FOnSkipBlock;
    TOnClauseNote FOnClauseNote;
    const TUnitCatalog* FUnitCatalog = nullptr;
    TIncludeReader FIncludeReader;
    // Facts derived from the catalog's sets, shared by copies of the formatter
    // (the batch run copies it per file) and safe to use from several threads.
    std::shared_ptr<detail::UnitFactsCache> FUnitFacts;
    std::shared_ptr<detail::UnitEffectsCache> FUnitEffects;

    template <typename CharT>
    std::vector<TClauseRewrite> ClauseRewrites(std::basic_string_view<CharT> AText, const TWiden& AWiden) const;
    // Positions are 1-based; -1 when the keyword is not found.
    template <typename CharT>
    std::int32_t FindKeyword(std::basic_string_view<CharT> AText, std::u16string_view AKeyword, std::int32_t AStart,
                             std::int32_t AEnd) const;
    // Locates the clause, parses its elements (widened to UTF-16) and takes the
    // comments closing its line.
    template <typename CharT>
    bool ExtractUsesBlock(std::basic_string_view<CharT> AText, std::int32_t AStart, std::int32_t AEnd,
                          TUsesBlock& ABlock, const TWiden& AWiden) const;
    void ParseUnits(std::u16string_view AClauseText, TUsesBlock& ABlock) const;
    // The block's leading comments and AOrderedEntries, laid out; AGroupStarts
    // (by entry) marks where groups begin.
    std::u16string BuildUsesText(const TUsesBlock& ABlock, const std::vector<TUsesEntry>& AOrderedEntries,
                                 std::u16string_view ALineBreak, const std::vector<char>& AGroupStarts) const;
};

}  // namespace quorvel
