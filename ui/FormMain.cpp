#include "FormMain.h"

#include <QApplication>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include "Dialogs.h"
#include "QuorvelCore.h"
#include "SourceView.h"
#include "StandardBoxTexts.h"
#include "TextColour.h"
#include "ufrmAbout.h"

TFrmMain::TFrmMain(TDialogs& ADialogs, QWidget* AParent) : QMainWindow(AParent), FDialogs(ADialogs) {
    CreateControls();
    ConnectHandlers();
    FormCreate();
}

TFrmMain::~TFrmMain() {
    FormDestroy();
    // The controls outlive this part of the window: none of their signals may reach a handler now.
    for (QObject* control : findChildren<QObject*>()) disconnect(control, nullptr, this, nullptr);
}

void TFrmMain::ConnectHandlers() {
    auto wire = [this](auto* ASender, auto ASignal, void (TFrmMain::*AHandler)()) {
        connect(ASender, ASignal, this, [this, AHandler] { RunGuarded([this, AHandler] { (this->*AHandler)(); }); });
    };
    wire(BtnScan, &QPushButton::clicked, &TFrmMain::BtnScanClick);
    wire(BtnFormat, &QPushButton::clicked, &TFrmMain::BtnFormatClick);
    wire(BtnClear, &QPushButton::clicked, &TFrmMain::BtnClearClick);
    wire(btnAbout, &QToolButton::clicked, &TFrmMain::btnAboutClick);
    wire(LstFiles, &QListWidget::currentRowChanged, &TFrmMain::LstFilesClick);
    // A click reads the clicked file again also when it is already selected,
    // so a file changed on disk can be looked at anew; a click that changed
    // the selection was previewed when the button went down.
    connect(LstFiles, &QListWidget::currentRowChanged, this, [this](int ARow) {
        FRowPreviewedOnPress = QApplication::mouseButtons() != Qt::NoButton ? ARow : -1;
    });
    connect(LstFiles, &QListWidget::itemClicked, this, [this](QListWidgetItem* AItem) {
        const bool previewed = LstFiles->row(AItem) == FRowPreviewedOnPress;
        FRowPreviewedOnPress = -1;
        if (!previewed) RunGuarded([this] { LstFilesClick(); });
    });
    wire(chkUnitsVertical, &QCheckBox::toggled, &TFrmMain::chkUnitsVerticalClick);
    wire(chkAutoUpdateCheck, &QCheckBox::toggled, &TFrmMain::chkAutoUpdateCheckClick);
    wire(edtUsesWordwrap, &QLineEdit::textChanged, &TFrmMain::edtUsesWordwrapChange);
    for (const TOptionControl& control : FOptionControls) {
        if (control.Check) wire(control.Check, &QCheckBox::toggled, &TFrmMain::OrderOptionChange);
        // Names and folders are taken when the user is done typing, not per key.
        if (control.Edit) wire(control.Edit, &QLineEdit::editingFinished, &TFrmMain::OrderOptionChange);
        // Groups and choices show in the preview at once.
        if (control.Lines) wire(control.Lines, &QPlainTextEdit::textChanged, &TFrmMain::OrderOptionChange);
        if (control.Choice) wire(control.Choice, &QComboBox::currentIndexChanged, &TFrmMain::OrderOptionChange);
        if (control.Browse) {
            QLineEdit* edit = control.Edit;
            connect(control.Browse, &QToolButton::clicked, this, [this, edit] { RunGuarded([=, this] { BrowseFolderClick(edit); }); });
        }
    }
}

void TFrmMain::FormCreate() {
    FFormatter = std::make_unique<quorvel::TQuorvel>();
    FFormatter->SetPreserveComments(true);
    // A settings file that cannot be read or made is reported, but the window
    // still gets its colouring, title and skip messages.
    RunGuarded([this] { LoadSettings(); });
    FSynHighlighter = CreatePascalLexer(this);
    SynOriginal->setLexer(FSynHighlighter);
    SynFormatted->setLexer(FSynHighlighter);
    setWindowTitle(QStringLiteral("Quorvel"));
    FFormatter->SetOnSkipBlock([this](const std::u16string& AMsg) { HandleSkipBlock(AMsg); });
}

void TFrmMain::FormShow() {
    SetDropEnabled(true);
    if (chkAutoUpdateCheck->isChecked()) TfrmAbout::CheckForUpdate(true, FDialogs);
}

void TFrmMain::FormDestroy() {
    RunGuarded([this] { SaveSettings(); });
    FFormatter.reset();
}

void TFrmMain::showEvent(QShowEvent* AEvent) {
    QMainWindow::showEvent(AEvent);
    if (FShown) return;
    FShown = true;
    if (const QScreen* display = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(display->availableGeometry().center());
        move(frame.topLeft());
    }
    RunGuarded([this] { FormShow(); });
}

void TFrmMain::closeEvent(QCloseEvent* AEvent) {
    // A run cannot be left half done: the window stays until it ends.
    if (FRunning) {
        AEvent->ignore();
        return;
    }
    QMainWindow::closeEvent(AEvent);
}

bool TFrmMain::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AEvent->type() == QEvent::MouseButtonDblClick) {
        // The status line under the drop area has no double-click of its own.
        if (AWatched == PnlDrop || AWatched == LblDrop) RunGuarded([this] { PnlDropDblClick(); });
        if (AWatched == PnlDrop || AWatched == LblDrop || AWatched == LblInfo) return true;
    }
    if (AEvent->type() == QEvent::MouseMove && AWatched == LstFiles->viewport()) {
        const QPoint at = static_cast<QMouseEvent*>(AEvent)->position().toPoint();
        RunGuarded([this, at] { LstFilesMouseMove(at.x(), at.y()); });
    }
    return QMainWindow::eventFilter(AWatched, AEvent);
}

void TFrmMain::BtnClearClick() {
    LstFiles->clear();
    MmoLog->clear();
    FLogStarted = false;
    SetSourceText(*SynOriginal, QString());
    SetSourceText(*SynFormatted, QString());
    LblOriginal->setText(QStringLiteral("Original"));
    lblFormatted->setText(QStringLiteral("Formatted"));
    SetTextColour(lblFormatted, HeadingGrey);
    LblInfo->setText(QStringLiteral("0 file(s) found"));
    BtnFormat->setEnabled(false);
}

void TFrmMain::btnAboutClick() { TfrmAbout::ShowInfo(this, FDialogs); }

void TFrmMain::PnlDropDblClick() { BtnScanClick(); }

void TFrmMain::ReportError(const QString& AMessage) { ShowErrorBox(FDialogs, AMessage); }
