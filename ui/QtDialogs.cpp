#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "Dialogs.h"

namespace {

// Modal box captioned with the application title, text shown as plain text.
int RunBox(QMessageBox::Icon AIcon, const QString& AText, QMessageBox::StandardButtons AButtons,
           QMessageBox::StandardButton ADefault) {
    QMessageBox box(AIcon, QApplication::applicationName(), AText, AButtons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(ADefault);
    return box.exec();
}

}  // namespace

void TQtDialogs::ShowMessage(const QString& AText) {
    RunBox(QMessageBox::NoIcon, AText, QMessageBox::Ok, QMessageBox::Ok);
}

void TQtDialogs::ShowError(const QString& AText) {
    RunBox(QMessageBox::Critical, AText, QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtDialogs::ConfirmWarning(const QString& AText) {
    return RunBox(QMessageBox::Warning, AText, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

std::optional<QString> TQtDialogs::PickFolder(QWidget* AParent, const QString& ATitle) {
    const QString folder = QFileDialog::getExistingDirectory(AParent, ATitle, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

TUpdateAnswer TQtDialogs::AskUpdate(const TUpdateQuestion& AQuestion) {
    QMessageBox box(QMessageBox::Information, AQuestion.Caption, AQuestion.Title,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(AQuestion.Text);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes: return TUpdateAnswer::Yes;
        case QMessageBox::No: return TUpdateAnswer::No;
        default: return TUpdateAnswer::Cancel;
    }
}

bool TQtDialogs::OpenUrl(const QUrl& AUrl) { return QDesktopServices::openUrl(AUrl); }
