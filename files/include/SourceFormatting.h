#pragma once
// One source file through the engine: bytes in, the byte ranges a rewrite
// replaces out. Only the rewritten clauses are decoded and encoded where the
// encoding allows: every other byte of the file stays the byte read. No file
// is touched here.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "Bytes.h"
#include "QuorvelCore.h"
#include "SourceCodec.h"

namespace quorvel::files {

// A range of a file's bytes, mark included, and the bytes that replace it.
struct ByteSplice {
    std::size_t Begin = 0;
    std::size_t End = 0;
    Bytes Replacement;
};

struct SourceRewrite {
    DetectedEncoding Encoding;
    std::vector<ByteSplice> Splices;  // in the file's order, apart from each other
    bool Changed() const { return !Splices.empty(); }
};

// Formats the bytes of a file read by the run rule; the engine's skip messages
// go to AFormatter's OnSkipBlock. UTF-8 and ANSI in a code page whose syntax
// characters are ASCII bytes are scanned as bytes; UTF-16 and the double-byte
// code pages are decoded whole. A file is only rewritten when nothing of it is
// lost: throws ContentError when the bytes cannot be decoded, when the bytes
// of a rewritten range do not come back from its text (an ANSI byte the code
// page does not map back; a final odd UTF-16 byte), or when the new text
// cannot be encoded.
SourceRewrite RewriteSourceBytes(const Bytes& ABytes, const TQuorvel& AFormatter);

// The rewritten file, piece by piece in order: the bytes read between the
// splices, and the splices' bytes.
void ForEachRewrittenPiece(ByteView AOriginal, const SourceRewrite& ARewrite,
                           const std::function<void(ByteView APiece)>& AVisit);

// The rewritten file whole.
Bytes RewrittenBytes(ByteView AOriginal, const SourceRewrite& ARewrite);

}  // namespace quorvel::files
