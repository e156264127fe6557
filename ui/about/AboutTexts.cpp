#include "AboutTexts.h"

#include <QStringList>

QString DescriptionText(const QString& AVendorAddress) {
    // Blanks before a closing quote belong to the line, and line 18 has two
    // blanks before "applying".
    const QStringList lines = {
        QStringLiteral("Quorvel v1.0"),
        QString(),
        QStringLiteral("A lightweight utility for formatting 'uses' clauses in "),
        QStringLiteral("Delphi / RAD Studio Pascal source files."),
        QString(),
        QStringLiteral("Features:"),
        QStringLiteral("  \u2022 Sorts all units alphabetically"),
        QStringLiteral("  \u2022 Places each unit on its own line"),
        QStringLiteral("  \u2022 Processes both interface and implementation sections "),
        QStringLiteral("separately"),
        QStringLiteral("  \u2022 Preserves inline comments (//)"),
        QStringLiteral("  \u2022 Automatic encoding detection (ANSI / UTF-8)"),
        QStringLiteral("  \u2022 Optional .bak backup before formatting"),
        QString(),
        QStringLiteral("Usage:"),
        QStringLiteral("Drag & Drop a folder or individual .pas / .dpr / .dpk "),
        QStringLiteral("files onto the window, or use \"Select folder\" to browse. "),
        QStringLiteral("Click a file to preview the changes before  applying them. "),
        QStringLiteral("Use \"Format uses\" to write the changes to disk."),
        QString(),
        QStringLiteral("Downloads and updates: ") + AVendorAddress,
    };
    return lines.join(u'\n');
}

QString CopyrightNotice() {
    return QStringLiteral("Copyright \u00A9 2025 The Quorvel developers.\nAll rights reserved.");
}
