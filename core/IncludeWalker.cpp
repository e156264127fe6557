#include "IncludeWalker.h"

#include <optional>

#include "CompilerDirective.h"

namespace quorvel::detail {

void IncludeWalker::Walk(std::u16string_view AText, std::size_t AFrom, const Visitor& AVisit) {
    FVisit = &AVisit;
    Visit(AText, AFrom, 0);
    FVisit = nullptr;
}

// False once the visitor has ended the walk.
bool IncludeWalker::Visit(std::u16string_view AText, std::size_t AFrom, int ADepth) {
    for (std::size_t pos = AFrom; pos < AText.size();) {
        const Token token = NextToken(AText, pos, FLexRules);
        pos = token.End;
        if (*FVisit && !(*FVisit)(AText, token)) return false;
        if (token.Kind != TokenKind::Directive) continue;
        const std::u16string_view directive = AText.substr(token.Begin, token.End - token.Begin);
        const std::u16string_view name = IncludedFile(ReadDirective(directive));
        if (name.empty()) continue;
        if (const std::u16string* text = Read(name, ADepth); text && !Visit(*text, 0, ADepth + 1)) return false;
    }
    return true;
}

// The file AName as stored, or nullptr when it is not read.
const std::u16string* IncludeWalker::Read(std::u16string_view AName, int ADepth) {
    if (ADepth >= FLimits.Depth || FTexts.size() >= FLimits.Count) return nullptr;
    std::optional<std::u16string> text;
    try {
        if (FReadInclude) text = FReadInclude(AName);
    } catch (...) {
        text.reset();  // a reader that fails finds nothing
    }
    if (!text || FUnits + text->size() > FLimits.Units) {
        FComplete = false;
        return nullptr;
    }
    FUnits += text->size();
    return &FTexts.emplace_back(std::move(*text));
}

}  // namespace quorvel::detail
