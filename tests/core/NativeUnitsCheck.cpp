#include "NativeUnitsCheck.h"

#include <vector>

#include "TestText.h"

namespace quorvel::test {
namespace {

std::u16string WidenLatin1(std::string_view ABytes) {
    std::u16string text;
    text.reserve(ABytes.size());
    for (const char c : ABytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
    return text;
}

// The rewrites of one reading and the notes given meanwhile.
struct Reading {
    std::vector<TClauseRewrite> Rewrites;
    std::vector<std::u16string> Notes;
};

template <typename Format>
Reading Read(const TQuorvel& AFormatter, Format AFormat) {
    Reading reading;
    TQuorvel formatter = AFormatter;
    formatter.SetOnClauseNote([&](const TClauseNote& ANoteSeen) { const std::u16string ANote = F_ClauseNoteLine(ANoteSeen); reading.Notes.push_back(ANote); });
    reading.Rewrites = AFormat(formatter);
    return reading;
}

std::string Spliced(std::string_view ABytes, const std::vector<TClauseRewrite>& ARewrites) {
    std::string result;
    std::size_t copied = 0;
    for (const TClauseRewrite& r : ARewrites) {
        result.append(ABytes.substr(copied, r.Begin - copied));
        result += EncodeUtf8(r.Text);
        copied = r.End;
    }
    result.append(ABytes.substr(copied));
    return result;
}

bool SameRewrites(const std::vector<TClauseRewrite>& ALeft, const std::vector<TClauseRewrite>& ARight) {
    if (ALeft.size() != ARight.size()) return false;
    for (std::size_t i = 0; i < ALeft.size(); ++i) {
        if (ALeft[i].Begin != ARight[i].Begin || ALeft[i].End != ARight[i].End || ALeft[i].Text != ARight[i].Text) {
            return false;
        }
    }
    return true;
}

std::string CheckLatin1(const TQuorvel& AFormatter, std::string_view ABytes) {
    const std::u16string text = WidenLatin1(ABytes);
    const Reading bytes = Read(AFormatter, [&](const TQuorvel& AF) { return AF.F_ClauseRewrites(ABytes, WidenLatin1); });
    const Reading wide = Read(AFormatter, [&](const TQuorvel& AF) { return AF.F_ClauseRewrites(text); });
    if (!SameRewrites(bytes.Rewrites, wide.Rewrites)) return "Latin-1: the rewrites differ for " + Show(text);
    if (bytes.Notes != wide.Notes) return "Latin-1: the notes differ for " + Show(text);
    return {};
}

std::string CheckUtf8(const TQuorvel& AFormatter, std::string_view ABytes, const std::u16string& AText) {
    const TWiden widen = [](std::string_view APiece) { return DecodeUtf8(APiece).value_or(u"<split character>"); };
    const Reading bytes = Read(AFormatter, [&](const TQuorvel& AF) { return AF.F_ClauseRewrites(ABytes, widen); });
    const Reading wide = Read(AFormatter, [&](const TQuorvel& AF) { return AF.F_ClauseRewrites(AText); });
    std::u16string expected = AText;
    for (auto r = wide.Rewrites.rbegin(); r != wide.Rewrites.rend(); ++r) expected.replace(r->Begin, r->End - r->Begin, r->Text);
    if (DecodeUtf8(Spliced(ABytes, bytes.Rewrites)) != expected) return "UTF-8: the results differ for " + Show(AText);
    if (bytes.Notes != wide.Notes) return "UTF-8: the notes differ for " + Show(AText);
    return {};
}

}  // namespace

std::string CheckNativeUnits(const TQuorvel& AFormatter, std::string_view ABytes) {
    if (std::string failure = CheckLatin1(AFormatter, ABytes); !failure.empty()) return failure;
    if (const auto text = DecodeUtf8(ABytes)) return CheckUtf8(AFormatter, ABytes, *text);
    return {};
}

}  // namespace quorvel::test
