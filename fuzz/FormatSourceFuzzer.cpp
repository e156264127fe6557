// Fuzzes F_FormatSource with the properties every formatting must keep
// (FormatInvariants.h). The first byte chooses the options and how the rest
// becomes text: one byte per code unit, so that `uses` and the comment
// delimiters turn up often, or little-endian pairs of bytes as UTF-16 code
// units, so that every code unit, lone surrogates included, does. Most runs
// keep names resolving with a catalog made up from the text itself; the text
// is also read as a unit's interface, including itself through {$I}. Byte
// texts also go through the engine as 8-bit code units, which must give the
// same results (NativeUnitsCheck.h).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "DerivedUnitCatalog.h"
#include "FormatInvariants.h"
#include "NativeUnitsCheck.h"
#include "QuorvelCore.h"
#include "UnitInterface.h"

namespace {

constexpr std::int32_t kWidths[] = {80, 17, 0, -5, 1, 40, 2147483647, 10};

std::u16string ReadText(const std::uint8_t* AData, std::size_t ASize, bool AAsUtf16) {
    std::u16string text;
    if (AAsUtf16) {
        for (std::size_t i = 0; i + 1 < ASize; i += 2) {
            text += static_cast<char16_t>(AData[i] | (AData[i + 1] << 8));
        }
    } else {
        text.assign(AData, AData + ASize);
    }
    return text;
}

[[noreturn]] void Fail(const std::string& AWhat) {
    std::fprintf(stderr, "%s\n", AWhat.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    if (ASize == 0) return 0;
    const std::uint8_t mode = AData[0];
    const std::u16string text = ReadText(AData + 1, ASize - 1, (mode & 1) != 0);

    const quorvel::test::DerivedUnitCatalog catalog(text);
    quorvel::TQuorvel formatter;
    formatter.SetVerticalList((mode & 2) == 0);
    formatter.SetPreserveComments((mode & 4) == 0);
    formatter.SetWordWrapAt(kWidths[(mode >> 3) & 7]);
    if ((mode & 0xC0) != 0) formatter.SetUnitCatalog(&catalog);
    else formatter.SetOptions(quorvel::TFormatOptions(formatter.Options()).WithPlainOrder());
    // Both catalog bits: groups and blank-line blocks too, against the name rule.
    if ((mode & 0xC0) == 0xC0) {
        quorvel::TFormatOptions options = formatter.Options();
        options.UnitGroups = {u"keep-blocks", u"A*;s*", u"other", u"*.*"};
        formatter.SetOptions(std::move(options));
    }
    int skipped = 0;
    formatter.SetOnSkipBlock([&](const std::u16string& AMsg) {
        if (AMsg.starts_with(u"  [SKIP]")) ++skipped;
    });

    if (const std::string failure = quorvel::test::CheckFormatting(formatter, text); !failure.empty()) Fail(failure);
    // Two formattings ran: at most one message per section each time. Counted
    // before the 8-bit check, which formats again.
    if (skipped > 4) Fail("more skip messages than sections");
    if ((mode & 1) == 0) {
        const std::string_view bytes(reinterpret_cast<const char*>(AData + 1), ASize - 1);
        if (const std::string failure = quorvel::test::CheckNativeUnits(formatter, bytes); !failure.empty()) Fail(failure);
    }

    int includes = 0;  // a few levels show the recursion; thousands would only slow the run
    const quorvel::TIncludeReader readSelf = [&](std::u16string_view) {
        return ++includes <= 4 ? std::optional<std::u16string>(text) : std::nullopt;
    };
    (void)quorvel::F_InterfaceIdentifiers(text, readSelf);
    return 0;
}
