#include "FormatInvariants.h"

#include <algorithm>
#include <vector>

#include "TestText.h"

namespace quorvel::test {
namespace {

struct CheckToken {
    std::u16string Text;
    bool AfterLineBreak = false;  // a line break stands between it and the token before
    bool Closed = true;           // comments and strings: the closing delimiter was found
};

bool IsBlankChar(char16_t AChar) { return AChar <= u' '; }
bool IsBreakChar(char16_t AChar) { return AChar == u'\r' || AChar == u'\n'; }
bool IsWordChar(char16_t AChar) {
    return AChar > 0x7F || AChar == u'_' || (AChar >= u'0' && AChar <= u'9') || (AChar >= u'A' && AChar <= u'Z') ||
           (AChar >= u'a' && AChar <= u'z');
}

bool IsUsesKeyword(std::u16string_view AText) {
    if (AText.size() != 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        char16_t c = AText[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        if (c != u"uses"[i]) return false;
    }
    return true;
}

// End of the literal or comment that starts at APos, and whether it closed.
std::pair<std::size_t, bool> DelimitedEnd(std::u16string_view AText, std::size_t APos) {
    const auto closeAt = [&](std::size_t AFound, std::size_t ALength) {
        return AFound == std::u16string_view::npos ? std::pair{AText.size(), false} : std::pair{AFound + ALength, true};
    };
    const char16_t c = AText[APos];
    if (c == u'{') return closeAt(AText.find(u'}', APos + 1), 1);
    if (c == u'(') return closeAt(AText.find(u"*)", APos + 2), 2);
    if (c == u'/') {
        std::size_t end = APos;
        while (end < AText.size() && !IsBreakChar(AText[end])) ++end;
        return {end, true};
    }
    std::size_t from = APos + 1;  // a string; a doubled quote goes on
    for (;;) {
        const std::size_t quote = AText.find(u'\'', from);
        if (quote == std::u16string_view::npos) return {AText.size(), false};
        if (quote + 1 < AText.size() && AText[quote + 1] == u'\'') from = quote + 2;
        else return {quote + 1, true};
    }
}

std::vector<CheckToken> Tokenize(std::u16string_view AText) {
    std::vector<CheckToken> tokens;
    bool afterBreak = false;
    std::size_t i = 0;
    while (i < AText.size()) {
        const char16_t c = AText[i];
        if (IsBlankChar(c)) {
            afterBreak = afterBreak || IsBreakChar(c);
            ++i;
            continue;
        }
        const char16_t next = i + 1 < AText.size() ? AText[i + 1] : u'\0';
        std::size_t end = i + 1;
        bool closed = true;
        if (c == u'{' || c == u'\'' || (c == u'(' && next == u'*') || (c == u'/' && next == u'/')) {
            std::tie(end, closed) = DelimitedEnd(AText, i);
        } else if (IsWordChar(c)) {
            while (end < AText.size() && IsWordChar(AText[end])) ++end;
        }
        std::u16string text(AText.substr(i, end - i));
        if (c == u'/' && next == u'/') {
            while (!text.empty() && IsBlankChar(text.back())) text.pop_back();  // spacing, not content
        }
        if (IsUsesKeyword(text)) text = u"uses";
        tokens.push_back({std::move(text), afterBreak, closed});
        afterBreak = false;
        i = end;
    }
    return tokens;
}

bool IsPlainComment(const CheckToken& AToken) {
    const std::u16string& t = AToken.Text;
    if (!AToken.Closed) return false;
    return t.starts_with(u"//") || (t.starts_with(u"{") && !t.starts_with(u"{$")) ||
           (t.starts_with(u"(*") && !t.starts_with(u"(*$"));
}

// A token outside every clause, or a whole clause: its tokens sorted, commas
// dropped, its plain comments apart from the rest.
struct Item {
    std::vector<std::u16string> Code;
    std::vector<std::u16string> Comments;
};

std::vector<Item> Canonical(const std::vector<CheckToken>& ATokens) {
    std::vector<Item> items;
    const auto add = [&](std::size_t ABegin, std::size_t AEnd) {
        Item clause;
        for (std::size_t k = ABegin; k < AEnd; ++k) {
            if (ATokens[k].Text == u",") continue;
            (IsPlainComment(ATokens[k]) ? clause.Comments : clause.Code).push_back(ATokens[k].Text);
        }
        std::sort(clause.Code.begin(), clause.Code.end());
        std::sort(clause.Comments.begin(), clause.Comments.end());
        items.push_back(std::move(clause));
    };
    std::size_t i = 0;
    while (i < ATokens.size()) {
        std::size_t semicolon = i;
        if (ATokens[i].Text == u"uses") {
            while (semicolon < ATokens.size() && ATokens[semicolon].Text != u";") ++semicolon;
        }
        if (ATokens[i].Text != u"uses" || semicolon == ATokens.size()) {
            if (ATokens[i].Text != u",") items.push_back({{ATokens[i].Text}, {}});
            ++i;
            continue;
        }
        std::size_t end = semicolon + 1;
        while (end < ATokens.size() && !ATokens[end].AfterLineBreak && IsPlainComment(ATokens[end])) ++end;
        if (end < ATokens.size() && !ATokens[end].AfterLineBreak) end = semicolon + 1;
        add(i, end);
        i = end;
    }
    return items;
}

std::string Describe(const Item& AItem) {
    std::string result = "[";
    for (const auto* part : {&AItem.Code, &AItem.Comments}) {
        for (const std::u16string& text : *part) {
            result += ' ';
            result += Show(text);
        }
    }
    return result + " ]";
}

// Without comments kept, a clause may lose comments but nothing else.
bool Keeps(const Item& ABefore, const Item& AAfter, bool AKeepComments) {
    if (ABefore.Code != AAfter.Code) return false;
    if (AKeepComments) return ABefore.Comments == AAfter.Comments;
    return std::includes(ABefore.Comments.begin(), ABefore.Comments.end(), AAfter.Comments.begin(),
                         AAfter.Comments.end());
}

std::string CompareTokens(std::u16string_view AInput, std::u16string_view AOutput, bool AKeepComments) {
    const auto before = Canonical(Tokenize(AInput));
    const auto after = Canonical(Tokenize(AOutput));
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (!Keeps(before[i], after[i], AKeepComments)) {
            return "tokens differ at item " + std::to_string(i) + ": " + Describe(before[i]) + " became " +
                   Describe(after[i]);
        }
    }
    if (before.size() != after.size()) {
        return "token count " + std::to_string(before.size()) + " became " + std::to_string(after.size());
    }
    return {};
}

std::u16string Folded(std::u16string_view AText) {
    std::u16string folded(AText);
    for (char16_t& c : folded) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    }
    return folded;
}

bool IsIdentifierToken(const CheckToken& AToken) {
    const char16_t first = AToken.Text[0];
    return IsWordChar(first) && !(first >= u'0' && first <= u'9');
}

bool IsCommentOrDirective(const CheckToken& AToken) {
    const std::u16string& t = AToken.Text;
    return t.starts_with(u"{") || t.starts_with(u"(*") || t.starts_with(u"//");
}

// The unit names of every `uses` .. `;` span, in order: identifiers and dots
// of each element up to its `in`, comments left out. A span that runs across
// `interface` or `implementation` is none (its tokens are still checked).
std::vector<std::vector<std::u16string>> ClauseUnits(const std::vector<CheckToken>& ATokens) {
    std::vector<std::vector<std::u16string>> clauses;
    for (std::size_t i = 0; i < ATokens.size(); ++i) {
        if (ATokens[i].Text != u"uses") continue;
        std::vector<std::u16string> units;
        std::u16string name;
        bool afterIn = false;
        std::size_t k = i + 1;
        for (; k < ATokens.size() && ATokens[k].Text != u";"; ++k) {
            const CheckToken& token = ATokens[k];
            if (Folded(token.Text) == u"IMPLEMENTATION" || Folded(token.Text) == u"INTERFACE") {
                break;  // a section's clause starts after its keyword: no clause runs across one
            } else if (token.Text == u",") {
                units.push_back(Folded(name));
                name.clear();
                afterIn = false;
            } else if (IsCommentOrDirective(token) || afterIn) {
                continue;
            } else if (Folded(token.Text) == u"IN" && !name.empty() && name.back() != u'.') {
                afterIn = true;
            } else if (IsIdentifierToken(token) || token.Text == u".") {
                name += token.Text;
            }
        }
        if (k == ATokens.size()) break;
        if (ATokens[k].Text != u";") {
            i = k;
            continue;
        }
        units.push_back(Folded(name));
        clauses.push_back(std::move(units));
        i = k;
    }
    return clauses;
}

const TIdentifierSet* FindUnit(const TQuorvel& AFormatter, const std::u16string& AName) {
    if (AName.empty()) return nullptr;
    if (const TIdentifierSet* set = AFormatter.UnitCatalog()->F_FindUnit(AName)) return set;
    for (const std::u16string& scope : AFormatter.Options().UnitScopeNames) {
        if (const TIdentifierSet* set = AFormatter.UnitCatalog()->F_FindUnit(scope + u"." + AName)) return set;
    }
    return nullptr;
}

// The clause's units (folded names) with what each declares (nullptr: no source).
using ClauseSets = std::vector<std::pair<std::u16string, const TIdentifierSet*>>;

ClauseSets FindUnits(const TQuorvel& AFormatter, const std::vector<std::u16string>& AUnits) {
    ClauseSets sets;
    for (const std::u16string& unit : AUnits) sets.emplace_back(unit, FindUnit(AFormatter, unit));
    return sets;
}

// The unit that supplies AIdentifier: the last of the clause that declares it.
std::u16string Supplier(const ClauseSets& AUnits, const std::u16string& AIdentifier) {
    for (auto it = AUnits.rbegin(); it != AUnits.rend(); ++it) {
        if (it->second != nullptr && it->second->contains(AIdentifier)) return it->first;
    }
    return {};
}

// Every unit declaring AIdentifier declares it with `overload`: all of them
// are seen in any order and the parameters choose, which this check does not model.
bool OverloadedEverywhere(const ClauseSets& AUnits, const std::u16string& AIdentifier) {
    const std::u16string overload = u"OVERLOAD " + AIdentifier;
    bool declared = false;
    for (const auto& unit : AUnits) {
        if (unit.second == nullptr || !unit.second->contains(AIdentifier)) continue;
        if (!unit.second->contains(overload)) return false;
        declared = true;
    }
    return declared;
}

// Every identifier the input uses, and every helper a clause unit declares,
// comes from the same unit of each clause before and after.
std::string CompareSuppliers(const TQuorvel& AFormatter, std::u16string_view AInput, std::u16string_view AOutput) {
    const std::vector<CheckToken> input = Tokenize(AInput);
    const auto before = ClauseUnits(input);
    const auto after = ClauseUnits(Tokenize(AOutput));
    if (before.size() != after.size()) return "clause count changed";
    // A name right after a lone `.` is a member or qualified by its unit: no use.
    // A name whose first use declares it may be the text's own, which wins
    // over every unit: it is not compared (a looser view than the engine's,
    // which also asks that the declaration be at top level).
    std::vector<const CheckToken*> code;
    for (const CheckToken& token : input) {
        if (!IsCommentOrDirective(token)) code.push_back(&token);
    }
    const auto text = [&](std::size_t AIndex) {
        return AIndex < code.size() ? Folded(code[AIndex]->Text) : std::u16string();
    };
    std::vector<std::u16string> used;
    std::vector<std::u16string> own;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (!IsIdentifierToken(*code[i])) continue;
        if (i >= 2 && text(i - 1) == u"." && text(i - 2) != u".") continue;
        if (i == 1 && text(0) == u".") continue;
        std::u16string name = Folded(code[i]->Text);
        if (std::find(used.begin(), used.end(), name) != used.end()) continue;
        const std::u16string before = i > 0 ? text(i - 1) : std::u16string(), next = text(i + 1);
        const bool declares = before == u"PROCEDURE" || before == u"FUNCTION" || next == u"=" || next == u":" ||
                              ((before == u"(" || before == u",") && (next == u"," || next == u")"));
        if (declares) own.push_back(name);
        used.push_back(std::move(name));
    }
    std::erase_if(used, [&](const std::u16string& AName) {
        return std::find(own.begin(), own.end(), AName) != own.end();
    });
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    for (std::size_t c = 0; c < before.size(); ++c) {
        if (before[c] == after[c]) continue;
        const ClauseSets was = FindUnits(AFormatter, before[c]);
        const ClauseSets is = FindUnits(AFormatter, after[c]);
        std::vector<std::u16string> identifiers = used;
        for (const auto& unit : was) {
            if (unit.second == nullptr) continue;
            for (const std::u16string& identifier : *unit.second) {
                if (identifier.starts_with(u"HELPER FOR ") || identifier.starts_with(u"OPERATOR ")) {
                    identifiers.push_back(identifier);
                }
            }
        }
        for (const std::u16string& identifier : identifiers) {
            if (OverloadedEverywhere(was, identifier)) continue;
            const std::u16string from = Supplier(was, identifier);
            const std::u16string now = Supplier(is, identifier);
            if (from != now) {
                return Show(identifier) + " came from " + Show(from) + " and now comes from " + Show(now);
            }
        }
    }
    return {};
}

bool MentionsUses(std::u16string_view AText) {
    for (std::size_t i = 0; i + 4 <= AText.size(); ++i) {
        if (IsUsesKeyword(AText.substr(i, 4))) return true;
    }
    return false;
}

}  // namespace

std::string CheckFormatting(const TQuorvel& AFormatter, std::u16string_view AInput) {
    const std::u16string once = AFormatter.F_FormatSource(std::u16string(AInput));
    const std::u16string twice = AFormatter.F_FormatSource(once);
    if (twice != once) return "formatting again changed the text:\n" + Show(once) + "\n" + Show(twice);
    if (!MentionsUses(AInput) && once != AInput) return "a text without uses was changed";
    if (std::string failure = CompareTokens(AInput, once, AFormatter.PreserveComments()); !failure.empty())
        return failure;
    if (AFormatter.Options().KeepNameResolution && AFormatter.UnitCatalog() != nullptr) {
        if (std::string failure = CompareSuppliers(AFormatter, AInput, once); !failure.empty()) return failure;
    }
    return {};
}

}  // namespace quorvel::test
