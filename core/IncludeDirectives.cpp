#include "IncludeDirectives.h"

#include <optional>

#include "TextRules.h"

namespace quorvel::detail {
namespace {

class IncludeWalk {
public:
    explicit IncludeWalk(const TIncludeReader& AReadInclude) : FReadInclude(AReadInclude) {}

    void Visit(std::u16string_view AText, int ADepth) {
        for (std::size_t pos = 0; pos < AText.size();) {
            const Token token = NextToken(AText, pos);
            pos = token.End;
            if (token.Kind != TokenKind::Directive) continue;
            const Directive directive = ReadDirective(AText, token);
            if (!IsIncludeDirective(directive)) continue;
            if (const std::u16string_view name = IncludeName(directive.Argument); !name.empty()) Read(name, ADepth);
        }
    }

    IncludedTexts Result;

private:
    const TIncludeReader& FReadInclude;
    std::size_t FUnits = 0;

    void Read(std::u16string_view AName, int ADepth) {
        if (ADepth >= kMaxIncludeDepth || Result.Texts.size() >= static_cast<std::size_t>(kMaxIncludes)) return;
        std::optional<std::u16string> text;
        try {
            if (FReadInclude) text = FReadInclude(AName);
        } catch (...) {
            text.reset();  // a reader that fails finds nothing
        }
        if (!text || FUnits + text->size() > kMaxIncludedUnits) {
            Result.Complete = false;
            return;
        }
        FUnits += text->size();
        Result.Texts.push_back(std::move(*text));
        Visit(Result.Texts.back(), ADepth + 1);
    }
};

}  // namespace

Directive ReadDirective(std::u16string_view AText, const Token& AToken) {
    const bool brace = AText[AToken.Begin] == u'{';
    std::size_t begin = AToken.Begin + (brace ? 2 : 3);
    std::size_t end = AToken.End;
    if (!AToken.IsUnterminated) end -= brace ? 1 : 2;
    if (begin > end) begin = end;
    const std::u16string_view body = AText.substr(begin, end - begin);
    std::size_t nameEnd = 0;
    while (nameEnd < body.size() && IsIdentifierChar(body[nameEnd])) ++nameEnd;
    return {body.substr(0, nameEnd), TrimBlanks(body.substr(nameEnd))};
}

std::u16string_view IncludeName(std::u16string_view AArgument) {
    if (AArgument.empty() || AArgument[0] == u'+' || AArgument[0] == u'-' || AArgument[0] == u'%') return {};
    if (AArgument[0] == u'\'') {
        const std::size_t close = AArgument.find(u'\'', 1);
        return AArgument.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
    }
    std::size_t end = 0;
    while (end < AArgument.size() && !IsBlank(AArgument[end])) ++end;
    return AArgument.substr(0, end);
}

bool IsIncludeDirective(const Directive& ADirective) {
    return KeywordEquals(ADirective.Name, u"I") || KeywordEquals(ADirective.Name, u"INCLUDE");
}

IncludedTexts ReadIncludedTexts(std::u16string_view AText, const TIncludeReader& AReadInclude) {
    IncludeWalk walk(AReadInclude);
    walk.Visit(AText, 0);
    return std::move(walk.Result);
}

}  // namespace quorvel::detail
