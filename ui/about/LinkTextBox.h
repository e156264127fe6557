#pragma once
// A read-only box of plain text whose web addresses become links: underlined,
// named in a tool tip while the mouse rests on them, and reported when the
// left or the right mouse button is released over them.

#include <QTextEdit>

class TLinkTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit TLinkTextBox(QWidget* AParent = nullptr);

    // Replaces the text; every http:// or https:// address in it becomes a link.
    void SetPlainTextWithLinks(const QString& AText);

signals:
    // AUrl is the link's text, at most 2048 characters.
    void LinkClicked(const QString& AUrl, Qt::MouseButton AButton);

protected:
    void mouseMoveEvent(QMouseEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;
    bool viewportEvent(QEvent* AEvent) override;

private:
    void MarkLinks();
};
