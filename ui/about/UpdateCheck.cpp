// The class-level update operations of the About dialog.

#include <QStringView>
#include <exception>

#include "Dialogs.h"
#include "RemoteVersionText.h"
#include "UpdateCheckError.h"
#include "VendorAddress.h"
#include "VersionCompare.h"
#include "VersionFetch.h"
#include "ufrmAbout.h"

namespace {

QString PublishedVersion(const TAboutEnvironment& AEnvironment) {
    const QUrl url = VendorUrl(VersionFilePath);
    if (!url.isValid()) throw TUpdateCheckError(QStringLiteral("No valid server address: ") + VendorBaseAddress());
    const TFetchedReply reply = FetchReply(url, TFetchLimits{.PhaseTimeoutMs = AEnvironment.PhaseTimeoutMs});
    return RemoteVersionText(reply.Body, reply.ContentType);
}

TUpdateQuestion UpdateQuestion(const QString& ARemoteVersion, const QString& ALocalVersion) {
    return {QStringLiteral("Launcher"), QStringLiteral("Update available"),
            QStringLiteral("Version ") + ARemoteVersion + QStringLiteral(" is available.\r\nYour version: ") +
                ALocalVersion + QStringLiteral("\r\n\r\nShow downloadpage?")};
}

std::u16string_view Utf16(const QString& AText) {
    return {reinterpret_cast<const char16_t*>(AText.utf16()), static_cast<std::size_t>(AText.size())};
}

}  // namespace

void TfrmAbout::CheckForUpdate(bool ASilent, TDialogs& ADialogs, const TAboutEnvironment& AEnvironment) {
    const QString localVersion = F_GetBuildVersion(AEnvironment.ReadFileVersion);
    try {
        const QString remoteVersion = PublishedVersion(AEnvironment);
        if (CompareVersions(remoteVersion, localVersion) > 0) {
            if (ADialogs.AskUpdate(UpdateQuestion(remoteVersion, localVersion)) == TUpdateAnswer::Yes)
                OpenDownloadPage(ADialogs);
        } else if (!ASilent) {
            ADialogs.ShowMessage(QStringLiteral("You already have the current version (") + localVersion +
                                 QStringLiteral(")."));
        }
    } catch (const std::exception& error) {
        if (!ASilent) ADialogs.ShowMessage(QStringLiteral("Update-check failed: \r\n") + QString::fromUtf8(error.what()));
    } catch (...) {
        if (!ASilent) ADialogs.ShowMessage(QStringLiteral("Update-check failed: \r\nUnknown error."));
    }
}

int TfrmAbout::CompareVersions(const QString& AVersion1, const QString& AVersion2) {
    return quorvel::CompareVersions(Utf16(AVersion1), Utf16(AVersion2));
}

void TfrmAbout::OpenDownloadPage(TDialogs& ADialogs) {
    const QUrl page = VendorUrl(DownloadPagePath);
    if (page.isValid()) ADialogs.OpenUrl(page);
}
