#include "FormatTestSupport.h"

namespace quorvel::test {

std::u16string Utf16(std::string_view AUtf8) { return DecodeUtf8(AUtf8).value(); }

std::u16string WithBreaks(std::string_view AUtf8, std::u16string_view ALineBreak) {
    std::u16string result;
    for (char16_t c : Utf16(AUtf8)) {
        if (c == u'\n') result += ALineBreak;
        else result += c;
    }
    return result;
}

void VerifyFormat(const TQuorvel& AFormatter, std::u16string_view AExpected, std::u16string_view AInput) {
    SCOPED_TRACE("input: " + Show(AInput));
    const std::u16string once = AFormatter.F_FormatSource(std::u16string(AInput));
    EXPECT_EQ(Show(AExpected), Show(once));
    const std::u16string twice = AFormatter.F_FormatSource(once);
    EXPECT_EQ(Show(once), Show(twice)) << "formatting the result again changed it";
}

void VerifyFormatAndNotes(TQuorvel& AFormatter, std::string_view AInput, std::string_view AExpected,
                          const std::vector<std::string_view>& ANotes) {
    std::vector<std::string> notes;
    AFormatter.SetOnClauseNote([&](const TClauseNote& ANote) { notes.push_back(Show(F_ClauseNoteLine(ANote))); });
    const std::u16string input = WithBreaks(AInput, u"\r\n");
    const std::u16string expected = AExpected.empty() ? input : WithBreaks(AExpected, u"\r\n");
    SCOPED_TRACE("input: " + Show(input));
    EXPECT_EQ(Show(expected), Show(AFormatter.F_FormatSource(input)));
    std::vector<std::string> expectedNotes;
    for (std::string_view note : ANotes) expectedNotes.push_back(Show(Utf16(note)));
    EXPECT_EQ(expectedNotes, notes);
    AFormatter.SetOnClauseNote({});
    EXPECT_EQ(Show(expected), Show(AFormatter.F_FormatSource(expected))) << "formatting the result again changed it";
}

}  // namespace quorvel::test
