#pragma once
// The About dialog. Its class-level operations (the build version, the update
// check, the version compare, the download page) need no dialog instance.

#include <QDialog>
#include <QString>

#include "AboutEnvironment.h"

class QLabel;
class QPushButton;
class TDialogs;
class TLinkTextBox;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    TfrmAbout(QWidget* AOwner, TDialogs& ADialogs, TAboutEnvironment AEnvironment = {});

    // Shows a new dialog modally over AOwner and destroys it afterwards, also
    // when FormShow throws (the program file is missing).
    static void ShowInfo(QWidget* AOwner, TDialogs& ADialogs, const TAboutEnvironment& AEnvironment = {});

    // Asks the vendor's server for the published version and offers the
    // download page when it is newer; that offer shows in silent mode too.
    // Silent leaves out the current-version and the failure message. Never throws.
    static void CheckForUpdate(bool ASilent, TDialogs& ADialogs, const TAboutEnvironment& AEnvironment = {});
    // -1, 0 or 1 as AVersion1 is lower than, equal to or higher than AVersion2.
    static int CompareVersions(const QString& AVersion1, const QString& AVersion2);
    // Opens the vendor's download page; the outcome is not reported.
    static void OpenDownloadPage(TDialogs& ADialogs);

    // "1.0.0" / "1.0.0.13", or empty without a version; read anew on each call.
    QString F_GetAppVersion() const;
    QString AppVersion() const { return F_GetAppVersion(); }
    static QString F_GetBuildVersion(const TVersionSource& ASource = ProgramFileVersion);
    static QString BuildVersion() { return F_GetBuildVersion(); }

    // Fills the version label and the title; runs right before the dialog
    // appears. Throws std::runtime_error when the program file is missing.
    void FormShow();

protected:
    void keyPressEvent(QKeyEvent* AEvent) override;

private:
    void CreateHeader();
    void CreateDescription();
    void CreateButtons();

    void btnUpdateCheckClick();
    void btnCloseClick();
    void richeditDescriptionLinkClick(QObject* Sender, const QString& URL, Qt::MouseButton Button);

    TDialogs& FDialogs;
    const TAboutEnvironment FEnvironment;

    QLabel* imgAppGlyph = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* lblAppname = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    TLinkTextBox* richeditDescription = nullptr;
    QPushButton* btnUpdateCheck = nullptr;
    QPushButton* btnClose = nullptr;
};
