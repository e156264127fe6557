#include "BatchFile.h"

#include "FileBytes.h"
#include "SourceFormatting.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

void FormatAndWrite(FileResult& AResult, const TQuorvel& AFormatter, const BatchOptions& AOptions,
                    const FileUnitCatalog* ACatalog) {
    const Bytes bytes = ReadFileBytes(AResult.Path);
    TQuorvel formatter = AFormatter;  // one copy per file: threads share nothing, skip messages stay with the file
    formatter.SetOnSkipBlock({});
    formatter.SetOnClauseNote([&](const TClauseNote& ANote) { AResult.Notes.push_back(ANote); });
    if (ACatalog) formatter.SetIncludeReader(ACatalog->IncludeReaderFor(AResult.Path.parent_path()));
    try {
        const SourceRewrite rewrite = RewriteSourceBytes(bytes, formatter);
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

FileResult ProcessBatchFile(const std::filesystem::path& APath, const TQuorvel& AFormatter,
                            const BatchOptions& AOptions, const FileUnitCatalog* ACatalog) {
    FileResult result;
    result.Path = APath;
    try {
        FormatAndWrite(result, AFormatter, AOptions, ACatalog);
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
