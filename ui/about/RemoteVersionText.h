#pragma once
// Turns the body of the version file's reply into the published version text.

#include <QByteArray>
#include <QString>

// Decodes ABody in the charset named by AContentType's charset parameter, or
// as UTF-8 without one, skipping that charset's byte-order mark, then trims
// code units up to U+0020 from both ends; inner lines stay. Throws
// TUpdateCheckError for a charset the platform does not know.
QString RemoteVersionText(const QByteArray& ABody, const QByteArray& AContentType);
