#include "ClauseLayout.h"

#include "TextRules.h"

namespace quorvel::detail {
namespace {

constexpr std::u16string_view kIndent = u"   ";

class ClauseWriter {
public:
    ClauseWriter(const LayoutOptions& AOptions, std::u16string_view ALineBreak)
        : FOptions(AOptions), FLineBreak(ALineBreak) {}

    std::u16string Write(const std::vector<std::u16string>& ALeadingComments, const std::vector<TUsesEntry>& AEntries,
                         const std::vector<char>& AGroupStarts) {
        FText.reserve(EstimateSize(ALeadingComments, AEntries));
        FText += u"uses";
        FText += FLineBreak;
        if (FOptions.PreserveComments) {
            for (const std::u16string& comment : ALeadingComments) WriteLine(comment);
        }
        FLine = kIndent;
        for (std::size_t i = 0; i < AEntries.size(); ++i) {
            const bool last = i + 1 == AEntries.size();
            if (FOptions.GroupSeparator && i < AGroupStarts.size() && AGroupStarts[i]) StartGroup();
            if (FOptions.VerticalList) WriteVertical(AEntries[i], last);
            else WriteWrapped(AEntries[i], last);
        }
        if (FLine.size() > kIndent.size()) FlushLine();
        return std::move(FText);
    }

private:
    const LayoutOptions& FOptions;
    std::u16string_view FLineBreak;
    std::u16string FText;
    std::u16string FLine;  // the wrapped layout's line in progress

    std::size_t EstimateSize(const std::vector<std::u16string>& ALeadingComments,
                             const std::vector<TUsesEntry>& AEntries) const {
        std::size_t size = 8;
        for (const std::u16string& comment : ALeadingComments) size += comment.size() + 5;
        for (const TUsesEntry& entry : AEntries) size += entry.UnitName.size() + entry.TrailingComment.size() + 8;
        return size;
    }

    void WriteLine(std::u16string_view ALine) {
        FText += kIndent;
        FText += ALine;
        FText += FLineBreak;
    }

    std::u16string_view CommentOf(const TUsesEntry& AEntry) const {
        return FOptions.PreserveComments ? std::u16string_view(AEntry.TrailingComment) : std::u16string_view();
    }

    void StartGroup() {
        if (FOptions.VerticalList) {
            FText += FLineBreak;
        } else if (FLine.size() > kIndent.size()) {
            FlushLine();
            FLine = kIndent;
        }
    }

    void WriteVertical(const TUsesEntry& AEntry, bool ALast) {
        FText += kIndent;
        FText += AEntry.UnitName;
        FText += ALast ? u';' : u',';
        if (!CommentOf(AEntry).empty()) {
            FText += u' ';
            FText += CommentOf(AEntry);
        }
        FText += FLineBreak;
    }

    // An item joins the line while the line, indent and the item's own trailing
    // blank counted, stays within WordWrapAt; a line holding only the indent
    // takes any item. A trailing comment is part of its item and ends the line.
    void WriteWrapped(const TUsesEntry& AEntry, bool ALast) {
        std::u16string item = AEntry.UnitName;
        const std::u16string_view comment = CommentOf(AEntry);
        if (comment.empty()) {
            item += ALast ? u";" : u", ";
        } else {
            item += ALast ? u"; " : u", ";
            item += comment;
        }
        const auto width = static_cast<std::int64_t>(FLine.size() + item.size());
        if (FOptions.WordWrapAt < width && FLine.size() > kIndent.size()) {
            FlushLine();
            FLine = kIndent;
        }
        FLine += item;
        if (!comment.empty()) {
            FlushLine();
            FLine = kIndent;
        }
    }

    void FlushLine() {
        FText += TrimTrailingBlanks(FLine);
        FText += FLineBreak;
    }
};

}  // namespace

std::u16string BuildUsesText(const std::vector<std::u16string>& ALeadingComments,
                             const std::vector<TUsesEntry>& ASortedEntries, const LayoutOptions& AOptions,
                             std::u16string_view ALineBreak, const std::vector<char>& AGroupStarts) {
    return ClauseWriter(AOptions, ALineBreak).Write(ALeadingComments, ASortedEntries, AGroupStarts);
}

}  // namespace quorvel::detail
