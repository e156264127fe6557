#pragma once
// One source file through the engine: bytes in, decoded and formatted text
// out, and the bytes a rewrite would write. No file is touched here.

#include <string>

#include "Bytes.h"
#include "QuorvelCore.h"
#include "SourceCodec.h"

namespace quorvel::files {

struct FormattedSource {
    DetectedEncoding Encoding;
    std::u16string Text;       // as decoded by the run rule
    std::u16string Formatted;  // the engine's result
    bool Changed() const;  // any code unit differs, or the length
};

// Decodes ABytes by the run rule and formats the text; the engine's skip
// messages go to AFormatter's OnSkipBlock. Throws ContentError when the bytes
// cannot be decoded.
FormattedSource FormatSourceBytes(const Bytes& ABytes, const TQuorvel& AFormatter);

// A file is only rewritten when nothing of it is lost: throws ContentError
// when its text, encoded again, does not give back exactly the bytes after
// its mark (a final odd UTF-16 byte, an ANSI byte the code page does not map
// back), or when the formatted text cannot be encoded.
void CheckRewritable(const Bytes& AOriginal, const FormattedSource& ASource);

// CheckRewritable, then the bytes of the rewritten file: the same mark, then
// the formatted text in the same encoding.
Bytes RewrittenBytes(const Bytes& AOriginal, const FormattedSource& ASource);

}  // namespace quorvel::files
