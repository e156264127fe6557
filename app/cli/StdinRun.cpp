#include "StdinRun.h"

#include <cstdio>

#include "Console.h"
#include "SourceFormats.h"
#include "RunReport.h"
#include "SourceFormatter.h"
#include "UnifiedDiff.h"

namespace quorvel::cli {
namespace {

constexpr const char* kLabel = "<stdin>";

files::Bytes ReadAll(std::FILE* AStream) {
    files::Bytes bytes;
    // A file given as standard input is taken in one buffer of its size.
    if (const auto size = RegularFileSize(AStream)) bytes.reserve(*size + 1);
    std::uint8_t buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, AStream)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    if (std::ferror(AStream)) throw files::FileError(std::string("Cannot read ") + kLabel);
    return bytes;
}

void WriteDiff(const files::Bytes& AInput, const files::SourceRewrite& ARewrite) {
    const auto [encoding, markLength] = ARewrite.Encoding;
    const std::u16string text = files::DecodeSourceText(AInput, encoding, markLength);
    const std::u16string formatted =
        files::DecodeSourceText(files::RewrittenBytes(AInput, ARewrite), encoding, markLength);
    WriteText(stdout, UnifiedDiff(text, formatted, kLabel));
}

int Fail(const std::string& AMessage) {
    WriteText(stderr, AMessage + "\n");
    return kExitFailed;
}

}  // namespace

int RunOnStandardInput(const CliOptions& AOptions) {
    UseBinaryMode(stdin);
    UseBinaryMode(stdout);
    try {
        // Standard input has no folder of its own: the current one stands in
        // for it, for the options file, the units and the include files.
        const std::filesystem::path folder(".");
        SourceFormats formats(AOptions);
        const files::FormatSetup& setup = formats.Formats()[formats.FormatFor(folder)];
        files::ProjectLookup projects;
        const files::SourceFormatter formatter(setup, {folder},
                                               files::NeedsCatalog(setup.Options) ? projects.For(folder) : nullptr);
        const files::Bytes input = ReadAll(stdin);
        bool unitFindings = false;
        const files::SourceRewrite rewrite =
            formatter.Rewrite(input, folder / kLabel, [&](const TClauseNote& ANote) {
                unitFindings = unitFindings || files::IsUnitFinding(ANote);
                if (!AOptions.Quiet) WriteLine(stderr, F_ClauseNoteLine(ANote));
            });
        if (AOptions.WritesNothing()) {
            if (rewrite.Changed() && AOptions.Diff) WriteDiff(input, rewrite);
            if (rewrite.Changed() && AOptions.Check) WriteText(stdout, std::string("Would change: ") + kLabel + "\n");
            const bool findings = AOptions.Check && unitFindings;
            if (findings) WriteText(stdout, std::string("Unneeded units: ") + kLabel + "\n");
            return rewrite.Changed() || findings ? kExitWouldChange : kExitDone;
        }
        files::ForEachRewrittenPiece(input, rewrite, [](files::ByteView APiece) {
            WriteBytes(stdout, {reinterpret_cast<const char*>(APiece.data()), APiece.size()});
        });
        return std::fflush(stdout) == 0 ? kExitDone : Fail("Cannot write the formatted text to standard output");
    } catch (const files::ContentError& error) {
        return Fail(error.ForFile(kLabel).what());
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}

}  // namespace quorvel::cli
