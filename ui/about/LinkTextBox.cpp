#include "LinkTextBox.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

namespace {

constexpr qsizetype MaxLinkLength = 2048;

// An address runs to the next blank or quote; punctuation that ends a
// sentence is not part of it.
const QRegularExpression& WebAddressPattern() {
    static const QRegularExpression pattern(QStringLiteral(R"(https?://[^\s"'<>]*[^\s"'<>.,;:!?)])"));
    return pattern;
}

}  // namespace

TLinkTextBox::TLinkTextBox(QWidget* AParent) : QTextEdit(AParent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setContextMenuPolicy(Qt::NoContextMenu);  // the right button opens links
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void TLinkTextBox::SetPlainTextWithLinks(const QString& AText) {
    setPlainText(AText);
    MarkLinks();
}

void TLinkTextBox::MarkLinks() {
    auto matches = WebAddressPattern().globalMatch(document()->toPlainText());
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        QTextCursor cursor(document());
        cursor.setPosition(static_cast<int>(match.capturedStart()));
        cursor.setPosition(static_cast<int>(match.capturedEnd()), QTextCursor::KeepAnchor);
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(match.captured().left(MaxLinkLength));
        link.setFontUnderline(true);
        link.setForeground(palette().link());
        cursor.mergeCharFormat(link);
    }
}

void TLinkTextBox::mouseMoveEvent(QMouseEvent* AEvent) {
    const bool overLink = !anchorAt(AEvent->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QTextEdit::mouseMoveEvent(AEvent);
}

void TLinkTextBox::mouseReleaseEvent(QMouseEvent* AEvent) {
    QTextEdit::mouseReleaseEvent(AEvent);
    const Qt::MouseButton button = AEvent->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) return;
    const QString url = anchorAt(AEvent->position().toPoint());
    if (!url.isEmpty()) emit LinkClicked(url, button);
}

bool TLinkTextBox::viewportEvent(QEvent* AEvent) {
    if (AEvent->type() != QEvent::ToolTip) return QTextEdit::viewportEvent(AEvent);
    const auto* help = static_cast<QHelpEvent*>(AEvent);
    const QString url = anchorAt(help->pos());
    if (url.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), url, viewport());
    return true;
}
