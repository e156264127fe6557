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
    formatter.SetOnSkipBlock([&](const std::u16string& AMsg) { AResult.SkipMessages.push_back(AMsg); });
    if (ACatalog) formatter.SetIncludeReader(ACatalog->IncludeReaderFor(AResult.Path.parent_path()));
    FormattedSource source;
    try {
        source = FormatSourceBytes(bytes, formatter);
        if (!source.Changed()) return;
        if (AOptions.WriteChanges) {
            const Bytes rewritten = RewrittenBytes(bytes, source);
            if (AOptions.Backup) WriteBackupFile(AResult.Path, bytes);
            WriteFileBytes(AResult.Path, rewritten);
        } else {
            CheckRewritable(bytes, source);  // what would fail when written is reported now
        }
    } catch (const ContentError& error) {
        throw error.ForFile(AResult.Path);
    }
    AResult.Outcome = FileOutcome::Changed;
    if (AOptions.KeepTexts) {
        AResult.Text = std::move(source.Text);
        AResult.Formatted = std::move(source.Formatted);
    }
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
