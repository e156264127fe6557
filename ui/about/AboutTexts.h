#pragma once
// The fixed texts of the About dialog.

#include <QString>

// The description box's 21 lines joined by line breaks; the last line names
// AVendorAddress, which the box turns into a link.
QString DescriptionText(const QString& AVendorAddress);

// The rights notice under the version.
QString CopyrightNotice();
