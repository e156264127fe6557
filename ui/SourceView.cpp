#include "SourceView.h"

#include <QKeyEvent>
#include <Qsci/qscilexer.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

namespace {

const QColor ViewBackground(57, 57, 57);
const QColor GutterGrey(128, 128, 128);

enum TMargin { MarksBand, LineNumbersBand, SpacerBand, BorderLine, MarginCount };
constexpr int ChangeMarker = 0;

// 13 pixels at 96 DPI; Scintilla takes font sizes in points only.
QFont CodeFont() {
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(9.75);
    return font;
}

void SetTokenColours(QsciLexerPascal& ALexer) {
    struct TToken {
        int Style;
        QColor Colour;
    };
    const TToken tokens[] = {
        {QsciLexerPascal::Default, Qt::white},
        {QsciLexerPascal::Identifier, Qt::white},
        {QsciLexerPascal::Comment, QColor(106, 170, 100)},
        {QsciLexerPascal::CommentParenthesis, QColor(106, 170, 100)},
        {QsciLexerPascal::CommentLine, QColor(106, 170, 100)},
        {QsciLexerPascal::PreProcessor, QColor(214, 140, 230)},
        {QsciLexerPascal::PreProcessorParenthesis, QColor(214, 140, 230)},
        {QsciLexerPascal::Number, QColor(181, 206, 168)},
        {QsciLexerPascal::HexNumber, QColor(181, 206, 168)},
        {QsciLexerPascal::Keyword, QColor(110, 170, 255)},
        {QsciLexerPascal::SingleQuotedString, QColor(230, 160, 120)},
        {QsciLexerPascal::UnclosedString, QColor(255, 110, 110)},
        {QsciLexerPascal::Character, QColor(230, 160, 120)},
        {QsciLexerPascal::Operator, QColor(220, 220, 220)},
        {QsciLexerPascal::Asm, QColor(220, 220, 170)},
    };
    for (const auto& token : tokens) ALexer.setColor(token.Colour, token.Style);
    QFont keywordFont = CodeFont();
    keywordFont.setBold(true);
    ALexer.setFont(keywordFont, QsciLexerPascal::Keyword);
}

void ConfigureGutter(QsciScintilla& AView, const QColor& ABorder) {
    AView.setMargins(MarginCount);
    AView.setMarginType(MarksBand, QsciScintilla::SymbolMarginColor);
    AView.setMarginBackgroundColor(MarksBand, GutterGrey);
    AView.setMarginWidth(MarksBand, 13);
    AView.setMarginMarkerMask(MarksBand, 1 << ChangeMarker);

    AView.setMarginType(LineNumbersBand, QsciScintilla::NumberMargin);
    AView.setMarginLineNumbers(LineNumbersBand, true);
    AView.setMarginsBackgroundColor(GutterGrey);
    AView.setMarginsForegroundColor(Qt::black);
    AView.setMarginsFont(CodeFont());
    AView.setMarginWidth(LineNumbersBand, QStringLiteral("00"));

    AView.setMarginType(SpacerBand, QsciScintilla::SymbolMarginColor);
    AView.setMarginBackgroundColor(SpacerBand, GutterGrey);
    AView.setMarginWidth(SpacerBand, 3);
    AView.setMarginType(BorderLine, QsciScintilla::SymbolMarginColor);
    AView.setMarginBackgroundColor(BorderLine, ABorder);
    AView.setMarginWidth(BorderLine, 2);
    for (int margin = LineNumbersBand; margin < MarginCount; ++margin) AView.setMarginMarkerMask(margin, 0);

    AView.markerDefine(QsciScintilla::RightTriangle, ChangeMarker);
    AView.setMarkerBackgroundColor(QColor(255, 200, 0), ChangeMarker);
    AView.setMarkerForegroundColor(QColor(90, 60, 0), ChangeMarker);
}

// A read-only Scintilla view hands Tab and Shift+Tab on to the next control;
// these views keep them, as an editor does, and nothing is typed.
class TKeepTabKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* AEvent) override {
        if (AEvent->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(AEvent);
        return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    }
};

void ConfigureBehaviour(QsciScintilla& AView) {
    AView.setUtf8(true);
    AView.setReadOnly(true);
    AView.setFolding(QsciScintilla::NoFoldStyle);
    AView.setTabWidth(3);
    AView.setIndentationsUseTabs(false);
    AView.setAutoIndent(true);
    AView.setBackspaceUnindents(true);
    // Nothing is edited, so no undo history: it would also double the memory of a large file.
    AView.SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 0L);
    // The horizontal scroll range follows the widest line shown so far.
    AView.SendScintilla(QsciScintilla::SCI_SETSCROLLWIDTH, 1L);
    AView.SendScintilla(QsciScintilla::SCI_SETSCROLLWIDTHTRACKING, 1L);
    AView.SendScintilla(QsciScintilla::SCI_SETVIRTUALSPACEOPTIONS, long(QsciScintilla::SCVS_USERACCESSIBLE));
    AView.setAcceptDrops(false);  // dropped files go to the window's file list
    AView.installEventFilter(new TKeepTabKeys(&AView));
}

}  // namespace

QsciLexerPascal* CreatePascalLexer(QObject* AOwner) {
    auto* lexer = new QsciLexerPascal(AOwner);
    lexer->setDefaultPaper(ViewBackground);
    lexer->setDefaultColor(Qt::white);
    lexer->setDefaultFont(CodeFont());
    lexer->setPaper(ViewBackground, -1);
    lexer->setFont(CodeFont(), -1);
    SetTokenColours(*lexer);
    return lexer;
}

void ConfigureSourceView(QsciScintilla& AView, const TSourceViewColours& AColours) {
    ConfigureBehaviour(AView);
    AView.setPaper(ViewBackground);
    AView.setColor(Qt::white);
    AView.setFont(CodeFont());
    AView.setCaretForegroundColor(Qt::white);
    AView.setCaretLineVisible(true);
    AView.setCaretLineBackgroundColor(AColours.CaretLine);
    // Keeps the caret line shown while the other view has the focus.
    AView.SendScintilla(QsciScintilla::SCI_SETCARETLINEVISIBLEALWAYS, 1L);
    AView.setSelectionBackgroundColor(QColor(120, 150, 200, 102));  // opacity 0.4
    ConfigureGutter(AView, AColours.GutterBorder);
}

void SetSourceText(QsciScintilla& AView, const QString& AText) {
    AView.markerDeleteAll(ChangeMarker);
    AView.setText(AText);
    const int digits = int(QString::number(AView.lines()).size());
    AView.setMarginWidth(LineNumbersBand, QString(digits + 1, u'0'));
}

void MarkChangedLines(QsciScintilla& AView, const std::vector<std::size_t>& ALines) {
    AView.markerDeleteAll(ChangeMarker);
    for (const std::size_t line : ALines) AView.markerAdd(int(line), ChangeMarker);
}

std::vector<std::size_t> ChangedLineMarks(QsciScintilla& AView) {
    std::vector<std::size_t> lines;
    for (int line = AView.markerFindNext(0, 1 << ChangeMarker); line >= 0;
         line = AView.markerFindNext(line + 1, 1 << ChangeMarker))
        lines.push_back(std::size_t(line));
    return lines;
}
