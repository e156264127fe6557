#include "CompilerDirective.h"

#include "TextRules.h"

namespace quorvel::detail {

CompilerDirective ReadDirective(std::u16string_view ADirective) {
    const bool brace = ADirective.starts_with(u"{");
    std::u16string_view body = ADirective.substr(std::min(ADirective.size(), std::size_t{brace ? 2u : 3u}));
    if (brace && body.ends_with(u"}")) body.remove_suffix(1);
    else if (!brace && body.ends_with(u"*)")) body.remove_suffix(2);
    std::size_t nameEnd = 0;
    while (nameEnd < body.size() && IsIdentifierChar(body[nameEnd])) ++nameEnd;
    return {body.substr(0, nameEnd), TrimBlanks(body.substr(nameEnd))};
}

std::u16string_view IncludedFile(const CompilerDirective& ADirective) {
    if (!KeywordEquals(ADirective.Name, u"I") && !KeywordEquals(ADirective.Name, u"INCLUDE")) return {};
    const std::u16string_view argument = ADirective.Argument;
    if (argument.empty() || argument[0] == u'+' || argument[0] == u'-' || argument[0] == u'%') return {};
    if (argument[0] == u'\'') {
        const std::size_t close = argument.find(u'\'', 1);
        return argument.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
    }
    std::size_t end = 0;
    while (end < argument.size() && !IsBlank(argument[end])) ++end;
    return argument.substr(0, end);
}

}  // namespace quorvel::detail
