#include "IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF");

QString LineText(const QByteArray& ALine, bool AFirst) {
    QByteArray bytes = ALine;
    if (AFirst && bytes.startsWith(Utf8Mark)) bytes.remove(0, Utf8Mark.size());
    return QString::fromUtf8(bytes).trimmed();
}

bool IsComment(const QString& AText) { return AText.startsWith(u';') || AText.startsWith(u'#'); }

std::optional<QString> SectionName(const QString& AText) {
    if (!AText.startsWith(u'[')) return std::nullopt;
    const qsizetype close = AText.indexOf(u']');
    return (close < 0 ? AText.mid(1) : AText.mid(1, close - 1)).trimmed();
}

bool SameName(const QString& A, const QString& B) { return A.compare(B, Qt::CaseInsensitive) == 0; }

}  // namespace

bool TIniFile::Load(const QString& APath) {
    FLines.clear();
    FEndsWithBreak = false;
    QFile file(APath);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    if (content.isEmpty()) return true;
    for (const QByteArray& line : content.split('\n')) FLines.push_back(line);
    FEndsWithBreak = content.endsWith('\n');
    if (FEndsWithBreak) FLines.pop_back();  // the empty piece after the final break
    return true;
}

std::optional<TIniFile::TLineRange> TIniFile::FindSection(const QString& ASection) const {
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const auto name = SectionName(LineText(FLines[i], i == 0));
        if (!name || !SameName(*name, ASection)) continue;
        std::size_t end = i + 1;
        while (end < FLines.size() && !SectionName(LineText(FLines[end], false))) ++end;
        return TLineRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> TIniFile::FindKey(const TLineRange& ASection, const QString& AKey) const {
    for (std::size_t i = ASection.First + 1; i < ASection.End; ++i) {
        const QString text = LineText(FLines[i], false);
        const qsizetype equals = text.indexOf(u'=');
        if (equals < 0 || IsComment(text)) continue;
        if (SameName(text.left(equals).trimmed(), AKey)) return i;
    }
    return std::nullopt;
}

std::optional<QString> TIniFile::ReadString(const QString& ASection, const QString& AKey) const {
    const auto section = FindSection(ASection);
    if (!section) return std::nullopt;
    const auto key = FindKey(*section, AKey);
    if (!key) return std::nullopt;
    const QString text = LineText(FLines[*key], false);
    return text.mid(text.indexOf(u'=') + 1).trimmed();
}

bool TIniFile::UsesCrLf() const {
#ifdef _WIN32
    return FLines.empty() || FLines.front().endsWith('\r');
#else
    return !FLines.empty() && FLines.front().endsWith('\r');
#endif
}

// A new line in the file's own line-break style; line breaks inside the text would split it.
QByteArray TIniFile::NewLine(const QString& AText) const {
    QString text = AText;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    QByteArray line = text.toUtf8();
    if (UsesCrLf()) line += '\r';
    return line;
}

void TIniFile::InsertLine(std::size_t AAt, const QByteArray& ALine) {
    if (AAt == FLines.size()) {
        // The old last line may have had no break of its own.
        if (!FEndsWithBreak && !FLines.empty() && UsesCrLf() && !FLines.back().endsWith('\r')) FLines.back() += '\r';
        FEndsWithBreak = true;
    }
    FLines.insert(FLines.begin() + std::ptrdiff_t(AAt), ALine);
}

void TIniFile::WriteString(const QString& ASection, const QString& AKey, const QString& AValue) {
    const QByteArray keyLine = NewLine(AKey + u'=' + AValue);
    const auto section = FindSection(ASection);
    if (!section) {
        InsertLine(FLines.size(), NewLine(u'[' + ASection + u']'));
        InsertLine(FLines.size(), keyLine);
        return;
    }
    if (const auto key = FindKey(*section, AKey)) {
        FLines[*key] = keyLine;
        return;
    }
    // After the section's last non-blank line, so blank lines stay between sections.
    std::size_t at = section->End;
    while (at > section->First + 1 && LineText(FLines[at - 1], false).isEmpty()) --at;
    InsertLine(at, keyLine);
}

bool TIniFile::Save(const QString& APath) const {
    QSaveFile file(APath);
    if (!file.open(QIODevice::WriteOnly)) return false;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        file.write(FLines[i]);
        if (i + 1 < FLines.size() || FEndsWithBreak) file.write("\n");
    }
    return file.commit();
}
