#pragma once
// The little of XML that project and settings files need: elements with
// their attributes, text and children. No namespaces, no DTD; entities are the
// five predefined ones and character references.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel::files {

struct XmlElement {
    std::u16string Name;
    std::vector<std::pair<std::u16string, std::u16string>> Attributes;
    std::u16string Text;  // the element's own text, entities decoded, children's text left out
    std::vector<XmlElement> Children;

    // The attribute AName (exact case); nothing when it is not there.
    std::optional<std::u16string> Attribute(std::u16string_view AName) const;
    // The first child named AName (exact case), or nullptr.
    const XmlElement* Child(std::u16string_view AName) const;
    // The element at the end of the path of child names below this one, or nullptr.
    const XmlElement* Find(std::initializer_list<std::u16string_view> APath) const;
};

// The document's root element. Throws std::runtime_error with the reason and
// the line when the text is not well-formed enough to read.
XmlElement ParseXml(std::u16string_view AText);

}  // namespace quorvel::files
