#include "PascalTextGenerator.h"

namespace quorvel::test {
namespace {

constexpr std::u16string_view kNames[] = {
    u"SysUtils", u"sysutils", u"Classes", u"Forms", u"A", u"a", u"B", u"b", u"Zed", u"_x", u"z1",
    u"Z9", u"\u00C4rger", u"\u00C9t\u00E9", u"Vcl", u"System", u"SystemX", u"in", u"uses",
};
constexpr std::u16string_view kComments[] = {
    u"{c}", u"{ note, with; stop }", u"(* p *)", u"(* a, b; *)", u"// line", u"// x, y; z",
    u"{ multi\nline }", u"(* multi\n line *)", u"{}", u"(**)", u"{ $X }", u"// trailing  \t",
};
constexpr std::u16string_view kDirectives[] = {u"{$IFDEF X}", u"{$ENDIF}", u"(*$R+*)", u"{$I inc.inc}"};
constexpr std::u16string_view kJunk[] = {u"1", u":=", u"(", u")", u"'open", u"{ open", u"(* open", u"..", u"#13",
                                         u"begin", u"&", u"\u00A0", u"\t"};
constexpr std::u16string_view kPaths[] = {u"'a.pas'", u"'a;b,c//d.pas'", u"'it''s.pas'", u"''", u"'{x}'"};
constexpr std::u16string_view kBreaks[] = {u"\r\n", u"\n", u"\r"};
constexpr std::u16string_view kCode[] = {u"type T = class end;", u"var X: Integer;", u"{$R *.res}",
                                         u"x := 'uses'; // uses", u"begin end.", u"const S = ';';"};

}  // namespace

bool PascalTextGenerator::Chance(int APercent) {
    return std::uniform_int_distribution<int>(0, 99)(FRandom) < APercent;
}

template <std::size_t N> std::u16string_view PascalTextGenerator::Pick(const std::u16string_view (&AChoices)[N]) {
    return AChoices[std::uniform_int_distribution<std::size_t>(0, N - 1)(FRandom)];
}

// Spacing between atoms: nothing, blanks, or line breaks with indentation.
std::u16string PascalTextGenerator::Blank() {
    std::u16string blank;
    if (Chance(25)) return blank;
    if (Chance(70)) blank += Chance(80) ? u" " : u" \t ";
    if (Chance(35)) {
        blank += Chance(90) ? FBreak : std::u16string(Pick(kBreaks));
        if (Chance(20)) blank += FBreak;
        blank += u"  ";
    }
    return blank;
}

// Multi-line comments use the text's line break; a line comment always ends its line.
std::u16string PascalTextGenerator::Comment() {
    std::u16string comment;
    for (char16_t c : Pick(kComments)) {
        if (c == u'\n') comment += FBreak;
        else comment += c;
    }
    if (comment.starts_with(u"//")) comment += FBreak;
    return comment;
}

std::u16string PascalTextGenerator::Element() {
    std::u16string element;
    if (Chance(10)) element += Comment() + Blank();
    element += Pick(kNames);
    while (Chance(20)) {
        element += u'.';
        element += Pick(kNames);
    }
    if (Chance(20)) element += Blank() + u"in" + Blank() + std::u16string(Pick(kPaths));
    if (Chance(10)) element += Blank() + Comment();
    return element;
}

std::u16string PascalTextGenerator::Clause() {
    std::u16string clause = Chance(80) ? u"uses" : (Chance(50) ? u"USES" : u"Uses");
    const int pieces = std::uniform_int_distribution<int>(0, 7)(FRandom);
    for (int i = 0; i < pieces; ++i) {
        clause += Blank();
        if (Chance(12)) clause += Comment() + Blank();
        if (Chance(3)) clause += std::u16string(Pick(kDirectives)) + Blank();
        if (Chance(3)) clause += std::u16string(Pick(kJunk)) + Blank();
        if (!Chance(4)) clause += Element();
        clause += Blank();
        if (Chance(12)) clause += Comment() + Blank();
        if (i + 1 < pieces || Chance(5)) clause += u",";
    }
    clause += Blank();
    if (!Chance(4)) clause += u";";
    return clause + AfterClause();
}

std::u16string PascalTextGenerator::AfterClause() {
    std::u16string after;
    if (Chance(20)) after += Chance(50) ? u" " : u" \t";
    if (Chance(20)) after += Comment();
    if (Chance(10)) after += u" " + std::u16string(Chance(50) ? Pick(kCode) : Pick(kDirectives));
    if (Chance(85)) after += FBreak;
    return after;
}

std::u16string PascalTextGenerator::CodeLine() {
    std::u16string line = Chance(80) ? std::u16string(Pick(kCode)) : std::u16string(Pick(kJunk));
    if (Chance(10)) line += Comment();
    return line + FBreak;
}

std::u16string PascalTextGenerator::Next() {
    FBreak = Pick(kBreaks);
    std::u16string text;
    const int shape = std::uniform_int_distribution<int>(0, 3)(FRandom);
    if (shape == 0) {
        text = u"program P;" + FBreak + Clause();
    } else if (shape <= 2) {
        text = u"unit U;" + FBreak + (Chance(90) ? u"interface" : u"implementation") + FBreak;
        if (Chance(80)) text += Clause();
        if (Chance(30)) text += CodeLine();
        text += (Chance(90) ? u"implementation" : u"interface") + FBreak;
        if (Chance(80)) text += Clause();
    } else {
        while (Chance(70)) text += Chance(50) ? Clause() : CodeLine();
    }
    while (Chance(40)) text += CodeLine();
    if (Chance(10)) FBreak = Pick(kBreaks);
    if (Chance(50)) text += u"end." + FBreak;
    return text;
}

}  // namespace quorvel::test
