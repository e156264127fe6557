#include "ufrmAbout.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "AboutTexts.h"
#include "Dialogs.h"
#include "ExecutableDate.h"
#include "LinkTextBox.h"
#include "RoundedCorners.h"
#include "VendorAddress.h"

namespace {

QFont PixelFont(const QString& AFamily, int APixels, bool ABold = false) {
    QFont font(AFamily);
    font.setPixelSize(APixels);
    font.setBold(ABold);
    return font;
}

QFont SegoeUi(int APixels, bool ABold = false) { return PixelFont(QStringLiteral("Segoe UI"), APixels, ABold); }

// Grey text that stays readable: the disabled-text grey of some styles is so
// light that enabled buttons would look disabled.
QColor GreyText() { return QApplication::palette().color(QPalette::PlaceholderText); }

void SetTextColour(QWidget& AWidget, QPalette::ColorRole ARole, const QColor& AColour) {
    QPalette palette = AWidget.palette();
    palette.setColor(ARole, AColour);
    AWidget.setPalette(palette);
}

QLabel* NewLabel(QWidget* AParent, const QString& AName, const QString& AText, const QRect& AGeometry) {
    auto* label = new QLabel(AText, AParent);
    label->setObjectName(AName);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(AGeometry);
    return label;
}

QPushButton* NewButton(QWidget* AParent, const QString& AName, const QString& ACaption, const QRect& AGeometry) {
    auto* button = new QPushButton(ACaption, AParent);
    button->setObjectName(AName);
    button->setGeometry(AGeometry);
    button->setFont(SegoeUi(12));
    SetTextColour(*button, QPalette::ButtonText, GreyText());
    return button;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* AOwner, TDialogs& ADialogs, TAboutEnvironment AEnvironment)
    : QDialog(AOwner), FDialogs(ADialogs), FEnvironment(std::move(AEnvironment)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(507, 601);
    setFont(SegoeUi(12));
    CreateHeader();
    CreateDescription();
    CreateButtons();
    RequestRoundedCorners(*this);
}

void TfrmAbout::CreateHeader() {
    imgAppGlyph = new QLabel(this);
    imgAppGlyph->setObjectName(QStringLiteral("imgAppGlyph"));
    imgAppGlyph->setGeometry(24, 8, 145, 153);
    imgAppGlyph->setPixmap(QPixmap(QStringLiteral(":/about/app-glyph.png")));
    imgAppGlyph->setScaledContents(true);  // stretched to the box, proportions not kept

    // The labels are wider than the panel, which cuts them at its right edge.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(183, 0, 316, 178);
    constexpr int labelWidth = 377;

    lblAppname = NewLabel(Panel1, QStringLiteral("lblAppname"), QStringLiteral("Quorvel"), {0, 8, labelWidth, 25});
    lblAppname->setFont(SegoeUi(18, true));
    lblAppname->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextColour(*lblAppname, QPalette::WindowText, QApplication::palette().color(QPalette::Highlight));

    lblVersion = NewLabel(Panel1, QStringLiteral("lblVersion"), QStringLiteral("lblVersion"), {0, 39, labelWidth, 34});
    lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextColour(*lblVersion, QPalette::WindowText, GreyText());

    lblCopyright = NewLabel(Panel1, QStringLiteral("lblCopyright"), CopyrightNotice(), {0, 105, labelWidth, 45});
    lblCopyright->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCopyright->setWordWrap(true);
}

void TfrmAbout::CreateDescription() {
    richeditDescription = new TLinkTextBox(this);
    richeditDescription->setObjectName(QStringLiteral("richeditDescription"));
    richeditDescription->setGeometry(24, 184, 469, 373);
    // No border, and the dialog's face shows through, also under a visual style
    // whose style sheet frames text boxes.
    richeditDescription->setStyleSheet(QStringLiteral("#richeditDescription { background: transparent; border: none; }"));
    richeditDescription->setFrameShape(QFrame::NoFrame);
    richeditDescription->viewport()->setAutoFillBackground(false);
    richeditDescription->setFocusPolicy(Qt::NoFocus);
    richeditDescription->setFont(PixelFont(QStringLiteral("Consolas"), 12));
    richeditDescription->SetPlainTextWithLinks(DescriptionText(VendorBaseAddress()));
    connect(richeditDescription, &TLinkTextBox::LinkClicked, this,
            [this](const QString& AUrl, Qt::MouseButton AButton) {
                richeditDescriptionLinkClick(richeditDescription, AUrl, AButton);
            });
}

void TfrmAbout::CreateButtons() {
    // Created in tab order: Close first, so it has the focus when the dialog opens.
    btnClose = NewButton(this, QStringLiteral("btnClose"), QStringLiteral("Close"), {261, 563, 121, 25});
    btnUpdateCheck =
        NewButton(this, QStringLiteral("btnUpdateCheck"), QStringLiteral("Check for update"), {105, 563, 121, 25});
    setTabOrder(btnClose, btnUpdateCheck);
    btnClose->setFocus();
    connect(btnClose, &QPushButton::clicked, this, &TfrmAbout::btnCloseClick);
    connect(btnUpdateCheck, &QPushButton::clicked, this, &TfrmAbout::btnUpdateCheckClick);
}

void TfrmAbout::ShowInfo(QWidget* AOwner, TDialogs& ADialogs, const TAboutEnvironment& AEnvironment) {
    TfrmAbout dialog(AOwner, ADialogs, AEnvironment);
    dialog.FormShow();
    dialog.exec();
}

QString TfrmAbout::F_GetAppVersion() const { return AppVersionText(FEnvironment.ReadFileVersion()); }

QString TfrmAbout::F_GetBuildVersion(const TVersionSource& ASource) { return BuildVersionText(ASource()); }

void TfrmAbout::FormShow() {
    const QString executable = FEnvironment.ExecutablePath.isEmpty() ? QCoreApplication::applicationFilePath()
                                                                      : FEnvironment.ExecutablePath;
    const QString dateText = ExecutableDateText(executable);
    const QString appVersion = F_GetAppVersion();
    const QString buildVersion = F_GetBuildVersion(FEnvironment.ReadFileVersion);
    lblVersion->setText(QStringLiteral("App-Version:  ") + appVersion + QStringLiteral("\r\nFile-Version: ") +
                        buildVersion + QStringLiteral(" | ") + dateText);
    lblAppname->setText(QStringLiteral("Quorvel"));
}

void TfrmAbout::keyPressEvent(QKeyEvent* AEvent) {
    // The dialog has no cancel button: Escape leaves it open.
    if (AEvent->matches(QKeySequence::Cancel)) {
        AEvent->accept();
        return;
    }
    QDialog::keyPressEvent(AEvent);
}

void TfrmAbout::btnUpdateCheckClick() { CheckForUpdate(false, FDialogs, FEnvironment); }

void TfrmAbout::btnCloseClick() { close(); }

void TfrmAbout::richeditDescriptionLinkClick(QObject* /*Sender*/, const QString& URL, Qt::MouseButton /*Button*/) {
    FDialogs.OpenUrl(QUrl(URL));
}
