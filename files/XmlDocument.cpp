#include "XmlDocument.h"

#include <algorithm>
#include <stdexcept>

namespace quorvel::files {
namespace {

bool IsBlank(char16_t AChar) { return AChar == u' ' || AChar == u'\t' || AChar == u'\r' || AChar == u'\n'; }
bool IsNameChar(char16_t AChar) { return !IsBlank(AChar) && AChar != u'>' && AChar != u'/' && AChar != u'=' && AChar != u'<'; }

void AppendCodePoint(std::u16string& AText, char32_t ACode) {
    if (ACode < 0x10000) {
        AText += static_cast<char16_t>(ACode);
    } else if (ACode <= 0x10FFFF) {
        ACode -= 0x10000;
        AText += static_cast<char16_t>(0xD800 + (ACode >> 10));
        AText += static_cast<char16_t>(0xDC00 + (ACode & 0x3FF));
    }
}

class Parser {
public:
    explicit Parser(std::u16string_view AText) : FText(AText) {}

    XmlElement Document() {
        SkipMisc();
        if (!At(u"<")) Fail("no root element");
        XmlElement root = Element();
        return root;
    }

private:
    std::u16string_view FText;
    std::size_t FPos = 0;

    [[noreturn]] void Fail(const std::string& AReason) const {
        const auto line = 1 + std::count(FText.begin(), FText.begin() + static_cast<std::ptrdiff_t>(std::min(FPos, FText.size())), u'\n');
        throw std::runtime_error("line " + std::to_string(line) + ": " + AReason);
    }
    bool At(std::u16string_view AText) const { return FText.substr(FPos).starts_with(AText); }
    void SkipBlanks() {
        while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos;
    }
    void SkipPast(std::u16string_view AEnd, const char* AWhat) {
        const std::size_t end = FText.find(AEnd, FPos);
        if (end == std::u16string_view::npos) Fail(std::string("unterminated ") + AWhat);
        FPos = end + AEnd.size();
    }
    // Declarations, comments, processing instructions and blanks between elements.
    void SkipMisc() {
        for (;;) {
            SkipBlanks();
            if (At(u"<?")) SkipPast(u"?>", "processing instruction");
            else if (At(u"<!--")) SkipPast(u"-->", "comment");
            else if (At(u"<!")) SkipPast(u">", "declaration");
            else return;
        }
    }
    std::u16string Name() {
        const std::size_t start = FPos;
        while (FPos < FText.size() && IsNameChar(FText[FPos])) ++FPos;
        if (FPos == start) Fail("a name was expected");
        return std::u16string(FText.substr(start, FPos - start));
    }
    std::u16string Decoded(std::u16string_view ARaw) const {
        std::u16string text;
        for (std::size_t i = 0; i < ARaw.size(); ++i) {
            if (ARaw[i] != u'&') {
                text += ARaw[i];
                continue;
            }
            const std::size_t end = ARaw.find(u';', i);
            if (end == std::u16string_view::npos) {
                text += ARaw.substr(i);
                break;
            }
            const std::u16string_view entity = ARaw.substr(i + 1, end - i - 1);
            if (entity == u"amp") text += u'&';
            else if (entity == u"lt") text += u'<';
            else if (entity == u"gt") text += u'>';
            else if (entity == u"quot") text += u'"';
            else if (entity == u"apos") text += u'\'';
            else if (entity.starts_with(u"#")) {
                const bool hex = entity.size() > 1 && (entity[1] == u'x' || entity[1] == u'X');
                char32_t code = 0;
                for (char16_t c : entity.substr(hex ? 2 : 1)) {
                    const int digit = c >= u'0' && c <= u'9' ? c - u'0'
                                      : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                                      : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
                    if (digit < 0 || code > 0x10FFFF) break;
                    code = code * (hex ? 16 : 10) + static_cast<char32_t>(digit);
                }
                AppendCodePoint(text, code);
            } else {
                text += ARaw.substr(i, end - i + 1);  // an entity of a DTD: kept as written
            }
            i = end;
        }
        return text;
    }
    XmlElement Element() {
        ++FPos;  // '<'
        XmlElement element;
        element.Name = Name();
        for (;;) {
            SkipBlanks();
            if (At(u"/>")) {
                FPos += 2;
                return element;
            }
            if (At(u">")) {
                ++FPos;
                break;
            }
            std::u16string name = Name();
            SkipBlanks();
            if (!At(u"=")) Fail("\"=\" was expected after attribute " + std::string(name.begin(), name.end()));
            ++FPos;
            SkipBlanks();
            if (FPos >= FText.size() || (FText[FPos] != u'"' && FText[FPos] != u'\'')) Fail("a quoted value was expected");
            const char16_t quote = FText[FPos++];
            const std::size_t end = FText.find(quote, FPos);
            if (end == std::u16string_view::npos) Fail("unterminated attribute value");
            element.Attributes.emplace_back(std::move(name), Decoded(FText.substr(FPos, end - FPos)));
            FPos = end + 1;
        }
        Content(element);
        return element;
    }
    void Content(XmlElement& AElement) {
        for (;;) {
            const std::size_t open = FText.find(u'<', FPos);
            if (open == std::u16string_view::npos) Fail("element " + std::string(AElement.Name.begin(), AElement.Name.end()) + " is not closed");
            AElement.Text += Decoded(FText.substr(FPos, open - FPos));
            FPos = open;
            if (At(u"</")) {
                FPos += 2;
                if (Name() != AElement.Name) Fail("closing tag does not match");
                SkipBlanks();
                if (!At(u">")) Fail("\">\" was expected");
                ++FPos;
                return;
            }
            if (At(u"<!--")) SkipPast(u"-->", "comment");
            else if (At(u"<![CDATA[")) {
                const std::size_t start = FPos + 9;
                SkipPast(u"]]>", "CDATA section");
                AElement.Text += FText.substr(start, FPos - 3 - start);
            } else if (At(u"<?")) SkipPast(u"?>", "processing instruction");
            else AElement.Children.push_back(Element());
        }
    }
};

}  // namespace

std::optional<std::u16string> XmlElement::Attribute(std::u16string_view AName) const {
    for (const auto& [name, value] : Attributes)
        if (name == AName) return value;
    return std::nullopt;
}

const XmlElement* XmlElement::Child(std::u16string_view AName) const {
    for (const XmlElement& child : Children)
        if (child.Name == AName) return &child;
    return nullptr;
}

const XmlElement* XmlElement::Find(std::initializer_list<std::u16string_view> APath) const {
    const XmlElement* element = this;
    for (std::u16string_view name : APath) {
        element = element->Child(name);
        if (!element) return nullptr;
    }
    return element;
}

XmlElement ParseXml(std::u16string_view AText) {
    if (AText.starts_with(u"\uFEFF")) AText.remove_prefix(1);
    return Parser(AText).Document();
}

}  // namespace quorvel::files
