#include "BatchFile.h"

#include "FileBytes.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

void FormatAndWrite(FileResult& AResult, const SourceFormatter& AFormatter, const BatchOptions& AOptions) {
    const Bytes bytes = ReadFileBytes(AResult.Path);
    try {
        const SourceRewrite rewrite = AFormatter.Rewrite(
            bytes, AResult.Path, [&](const TClauseNote& ANote) { AResult.Notes.push_back(ANote); });
        if (!rewrite.Changed()) return;
        if (AOptions.WriteChanges) {
            const Bytes rewritten = RewrittenBytes(bytes, rewrite);
            if (AOptions.Backup) WriteBackupFile(AResult.Path, bytes);
            WriteFileBytes(AResult.Path, rewritten);
        }
        if (AOptions.KeepTexts) {
            const auto [encoding, markLength] = rewrite.Encoding;
            AResult.Text = DecodeSourceText(bytes, encoding, markLength);
            AResult.Formatted = DecodeSourceText(RewrittenBytes(bytes, rewrite), encoding, markLength);
        }
    } catch (const ContentError& error) {
        throw error.ForFile(AResult.Path);
    }
    AResult.Outcome = FileOutcome::Changed;
}

}  // namespace

FileResult ProcessBatchFile(const std::filesystem::path& APath, const SourceFormatter& AFormatter,
                            const BatchOptions& AOptions) {
    FileResult result;
    result.Path = APath;
    try {
        FormatAndWrite(result, AFormatter, AOptions);
    } catch (const std::exception& error) {
        result.Outcome = FileOutcome::Failed;
        result.Error = TextFromUtf8(error.what());
    } catch (...) {
        result.Outcome = FileOutcome::Failed;
        result.Error = u"Unknown error";
    }
    return result;
}

}  // namespace quorvel::files
