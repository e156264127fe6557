#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "Dialogs.h"

namespace {

enum class TPlace { OverWindow, ScreenCentre };

// A message box that can stand in the middle of its screen's work area rather
// than over its window; it still belongs to the window, so it stays in front.
class TPlacedBox final : public QMessageBox {
public:
    TPlacedBox(TPlace APlace, QMessageBox::Icon AIcon, const QString& AText, QMessageBox::StandardButtons AButtons)
        : QMessageBox(AIcon, QApplication::applicationName(), AText, AButtons, QApplication::activeWindow()),
          FPlace(APlace) {}

protected:
    // Runs when the box has its final size and before it appears.
    void showEvent(QShowEvent* AEvent) override {
        QMessageBox::showEvent(AEvent);
        if (FPlace != TPlace::ScreenCentre) return;
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }

private:
    TPlace FPlace;
};

// Modal box captioned with the application title, text shown as plain text.
int RunBox(TPlace APlace, QMessageBox::Icon AIcon, const QString& AText, QMessageBox::StandardButtons AButtons,
           QMessageBox::StandardButton ADefault) {
    TPlacedBox box(APlace, AIcon, AText, AButtons);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(ADefault);
    return box.exec();
}

// The update question: information icon, the title over the text, Yes (the
// default) and No; Escape and the close box cancel. A box of its own rather
// than QMessageBox, whose informative text would read markup from the server.
class TUpdateQuestionBox final : public QDialog {
public:
    TUpdateQuestionBox(const TUpdateQuestion& AQuestion, QWidget* AParent) : QDialog(AParent) {
        setWindowTitle(AQuestion.Caption);
        auto* icon = new QLabel(this);
        const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(iconSize));
        auto* title = PlainLabel(AQuestion.Title);
        QFont titleFont = title->font();
        titleFont.setBold(true);
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
        title->setFont(titleFont);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, this);
        QPushButton* yes = buttons->button(QDialogButtonBox::Yes);
        yes->setDefault(true);
        yes->setFocus();
        connect(yes, &QPushButton::clicked, this, [this] { done(YesCode); });
        connect(buttons->button(QDialogButtonBox::No), &QPushButton::clicked, this, [this] { done(NoCode); });

        auto* layout = new QGridLayout(this);
        layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
        layout->addWidget(title, 0, 1);
        layout->addWidget(PlainLabel(AQuestion.Text), 1, 1);
        layout->addWidget(buttons, 2, 0, 1, 2);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }

    TUpdateAnswer Ask() {
        switch (exec()) {
            case YesCode: return TUpdateAnswer::Yes;
            case NoCode: return TUpdateAnswer::No;
            default: return TUpdateAnswer::Cancel;  // rejected: Escape or the close box
        }
    }

private:
    static constexpr int YesCode = 100;
    static constexpr int NoCode = 101;

    QLabel* PlainLabel(const QString& AText) {
        auto* label = new QLabel(AText, this);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
};

}  // namespace

void TQtDialogs::ShowMessage(const QString& AText) {
    RunBox(TPlace::ScreenCentre, QMessageBox::NoIcon, AText, QMessageBox::Ok, QMessageBox::Ok);
}

void TQtDialogs::ShowError(const QString& AText) {
    RunBox(TPlace::OverWindow, QMessageBox::Critical, AText, QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtDialogs::ConfirmWarning(const QString& AText) {
    return RunBox(TPlace::OverWindow, QMessageBox::Warning, AText, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

std::optional<QString> TQtDialogs::PickFolder(QWidget* AParent, const QString& ATitle) {
    const QString folder = QFileDialog::getExistingDirectory(AParent, ATitle, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

TUpdateAnswer TQtDialogs::AskUpdate(const TUpdateQuestion& AQuestion) {
    TUpdateQuestionBox box(AQuestion, QApplication::activeWindow());
    return box.Ask();
}

bool TQtDialogs::OpenUrl(const QUrl& AUrl) { return QDesktopServices::openUrl(AUrl); }
