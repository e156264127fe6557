#pragma once
// Addresses on the vendor's web server: the version file the update check
// reads and the download page it offers.

#include <QString>
#include <QUrl>

inline constexpr char16_t VersionFilePath[] = u"/downloads/quorvel/version_quorvel.txt";
inline constexpr char16_t DownloadPagePath[] = u"/quorvel_en.php";

// The server's base address: the build's QUORVEL_UPDATE_BASE_URL, replaced at
// run time by the environment variable QUORVEL_UPDATE_URL when it is set and
// not empty.
QString VendorBaseAddress();

// APath appended to the base address's own path; invalid when the base
// address is no absolute URL.
QUrl VendorUrl(QStringView APath);
