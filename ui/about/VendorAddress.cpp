#include "VendorAddress.h"

#include <QtGlobal>

#include "QuorvelVersion.h"

QString VendorBaseAddress() {
    const QString overridden = qEnvironmentVariable("QUORVEL_UPDATE_URL");
    return overridden.isEmpty() ? QStringLiteral(QUORVEL_UPDATE_BASE_URL) : overridden;
}

QUrl VendorUrl(QStringView APath) {
    QUrl url(VendorBaseAddress(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) return {};
    QString basePath = url.path();
    while (basePath.endsWith(u'/')) basePath.chop(1);
    url.setPath(basePath + APath.toString());
    return url;
}
