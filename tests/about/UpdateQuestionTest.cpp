// The real update question box: its answers and its plain texts.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Dialogs.h"

namespace {

enum class TUserAction { Enter, Escape, ClickNo, CloseBox };

void Act(QDialog& ABox, TUserAction AAction) {
    switch (AAction) {
        case TUserAction::Enter: QTest::keyClick(&ABox, Qt::Key_Return); break;
        case TUserAction::Escape: QTest::keyClick(&ABox, Qt::Key_Escape); break;
        case TUserAction::ClickNo:
            QTest::mouseClick(ABox.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::No), Qt::LeftButton);
            break;
        case TUserAction::CloseBox: ABox.close(); break;
    }
}

}  // namespace

class TUpdateQuestionTest : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<TUserAction>("action");
        QTest::addColumn<TUpdateAnswer>("answer");
        QTest::newRow("Enter takes Yes, the default") << TUserAction::Enter << TUpdateAnswer::Yes;
        QTest::newRow("No") << TUserAction::ClickNo << TUpdateAnswer::No;
        QTest::newRow("Escape cancels") << TUserAction::Escape << TUpdateAnswer::Cancel;
        QTest::newRow("close box cancels") << TUserAction::CloseBox << TUpdateAnswer::Cancel;
    }
    void answers() {
        QFETCH(TUserAction, action);
        QFETCH(TUpdateAnswer, answer);
        // Markup from the server must show as it is, never as rich text or a link.
        const TUpdateQuestion question{"Launcher", "Update available", "Version <a href=\"x\">1.0.0.14</a>"};
        QStringList labels;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            QCOMPARE(box->windowTitle(), question.Caption);
            for (QLabel* label : box->findChildren<QLabel*>())
                if (!label->text().isEmpty()) labels << label->text() + (label->textFormat() == Qt::PlainText ? "" : " (rich)");
            Act(*box, action);
        });
        TQtDialogs dialogs;
        QCOMPARE(dialogs.AskUpdate(question), answer);
        QCOMPARE(labels, (QStringList{question.Title, question.Text}));
    }
};

QTEST_MAIN(TUpdateQuestionTest)
#include "UpdateQuestionTest.moc"
