#include "IncludedTexts.h"

#include <optional>

#include "CompilerDirective.h"
#include "PascalLexer.h"

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
            const std::u16string_view directive = AText.substr(token.Begin, token.End - token.Begin);
            if (const std::u16string_view name = IncludedFile(ReadDirective(directive)); !name.empty())
                Read(name, ADepth);
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

IncludedTexts ReadIncludedTexts(std::u16string_view AText, const TIncludeReader& AReadInclude) {
    IncludeWalk walk(AReadInclude);
    walk.Visit(AText, 0);
    return std::move(walk.Result);
}

}  // namespace quorvel::detail
