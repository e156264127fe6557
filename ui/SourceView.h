#pragma once
// The read-only code views of the preview: dark Pascal colouring shared by
// both views, a grey gutter of marks, line numbers and a coloured border line.

#include <QColor>
#include <QString>
#include <cstddef>
#include <vector>

class QObject;
class QsciLexerPascal;
class QsciScintilla;

// The two colours in which the views differ.
struct TSourceViewColours {
    QColor GutterBorder;
    QColor CaretLine;
};

// The one colouring object of both views; AOwner destroys it.
QsciLexerPascal* CreatePascalLexer(QObject* AOwner);

// Sets fonts, colours, gutter bands and read-only behaviour of one view; the
// view keeps the Tab key rather than passing the focus on.
void ConfigureSourceView(QsciScintilla& AView, const TSourceViewColours& AColours);

// Replaces the whole text; the gutter grows with the number of lines.
void SetSourceText(QsciScintilla& AView, const QString& AText);

// Puts the change mark on the given 0-based lines and removes it from all others.
void MarkChangedLines(QsciScintilla& AView, const std::vector<std::size_t>& ALines);

// The lines that carry the change mark, for tests and checks.
std::vector<std::size_t> ChangedLineMarks(QsciScintilla& AView);
