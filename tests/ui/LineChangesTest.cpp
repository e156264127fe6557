// The lines of a rewritten text that the preview marks as changed.

#include <QTest>

#include "LineChanges.h"

using TLines = QList<int>;

class TLineChangesTest : public QObject {
    Q_OBJECT
private slots:
    void marksOnlyTheRewrittenLines_data();
    void marksOnlyTheRewrittenLines();
    void largeTextWithOneClauseChanged();
};

void TLineChangesTest::marksOnlyTheRewrittenLines_data() {
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("changed");
    QTest::addColumn<TLines>("marked");
    QTest::newRow("identical") << "unit A;\r\nuses B;\r\n" << "unit A;\r\nuses B;\r\n" << TLines{};
    QTest::newRow("both empty") << "" << "" << TLines{};
    QTest::newRow("from empty") << "" << "a\r\nb" << TLines{0, 1};
    QTest::newRow("one line rewritten") << "a\r\nuses Z, A;\r\nb\r\n" << "a\r\nuses A, Z;\r\nb\r\n" << TLines{1};
    QTest::newRow("clause grows to one unit a line")
        << "interface\r\nuses C, B, A;\r\n\r\nimplementation\r\n"
        << "interface\r\nuses\r\n  A,\r\n  B,\r\n  C;\r\n\r\nimplementation\r\n" << TLines{1, 2, 3, 4};
    QTest::newRow("clause shrinks: nothing left to mark but its new line")
        << "uses\r\n  B,\r\n  A;\r\nbegin\r\n" << "uses A, B;\r\nbegin\r\n" << TLines{0};
    QTest::newRow("two clauses apart, blank lines around")
        << "uses B, A;\r\n\r\nx\r\n\r\nuses D, C;\r\n\r\n" << "uses A, B;\r\n\r\nx\r\n\r\nuses C, D;\r\n\r\n" << TLines{0, 4};
    QTest::newRow("line breaks CR, LF and CR LF are one kind") << "a\rb\nc\r\n" << "a\r\nb\r\nc\r\n" << TLines{};
    QTest::newRow("only the break at the end differs") << "a\r\nb" << "a\r\nb\r\n" << TLines{};
}

void TLineChangesTest::marksOnlyTheRewrittenLines() {
    QFETCH(QString, original);
    QFETCH(QString, changed);
    QFETCH(TLines, marked);
    const auto lines = ChangedLines(std::u16string_view(reinterpret_cast<const char16_t*>(original.utf16()), original.size()),
                                    std::u16string_view(reinterpret_cast<const char16_t*>(changed.utf16()), changed.size()));
    TLines actual;
    for (auto line : lines) actual << int(line);
    QCOMPARE(actual, marked);
}

// A clause rewritten near the top of a long unit whose body repeats lines:
// the body must align again, so only the clause's lines are marked.
void TLineChangesTest::largeTextWithOneClauseChanged() {
    std::u16string body;
    for (int i = 0; i < 50000; ++i) body += (i % 3 ? u"  x := x + 1;\r\n" : u"\r\n");
    const std::u16string original = u"unit A;\r\ninterface\r\nuses C, B, A;\r\n" + body;
    const std::u16string changed = u"unit A;\r\ninterface\r\nuses\r\n  A,\r\n  B,\r\n  C;\r\n" + body;
    const auto lines = ChangedLines(original, changed);
    QCOMPARE(lines, (std::vector<std::size_t>{2, 3, 4, 5}));
}

QTEST_APPLESS_MAIN(TLineChangesTest)
#include "LineChangesTest.moc"
