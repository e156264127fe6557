#pragma once
// The main window: file intake, the side-by-side preview, the log, the
// options with their settings file, and the batch run. The controls are named
// after the layout; each event has one short handler named after its control.

#include <QMainWindow>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "OptionTable.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QToolButton;
class QsciLexerPascal;
class QsciScintilla;
class TDialogs;
class TIniFile;
namespace quorvel {
class TQuorvel;
}

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(TDialogs& ADialogs, QWidget* AParent = nullptr);
    ~TFrmMain() override;

    // The formatter, read-only for callers: the options change through the controls.
    const quorvel::TQuorvel* Formatter() const { return FFormatter.get(); }
    // Appends one line (or several, broken by LF) to the log and follows it.
    void Log(const QString& AMsg);

    // The control tree; Qt's parent chain owns every control.
    QFrame* PnlDrop = nullptr;
    QLabel* LblDrop = nullptr;
    QLabel* LblInfo = nullptr;
    QToolButton* btnAbout = nullptr;
    QWidget* PnlButtons = nullptr;
    QPushButton* BtnScan = nullptr;
    QPushButton* BtnFormat = nullptr;
    QPushButton* BtnClear = nullptr;
    QCheckBox* ChkBackup = nullptr;
    QCheckBox* ChkRecursive = nullptr;
    QProgressBar* PrgRun = nullptr;  // "i / n" while a run goes on
    QSplitter* SplHoriz = nullptr;
    QWidget* PnlLeft = nullptr;
    QSplitter* splitterFiles = nullptr;
    QFrame* pnlFiles = nullptr;
    QLabel* LblFiles = nullptr;
    QListWidget* LstFiles = nullptr;
    QWidget* pnlOption = nullptr;
    QCheckBox* chkUnitsVertical = nullptr;
    QLabel* lblUsesWordWrap = nullptr;
    QLineEdit* edtUsesWordwrap = nullptr;
    QCheckBox* chkAutoUpdateCheck = nullptr;
    // The controls made from the option table, one per row with a label,
    // laid out below the options above by a layout of their own.
    QWidget* pnlTableOptions = nullptr;
    QCheckBox* chkKeepFirst = nullptr;    // the built-in units that must come first
    QLineEdit* edtKeepFirst = nullptr;    // the user's own, comma-separated
    QCheckBox* chkKeepNames = nullptr;    // keep every name resolving as before
    QLineEdit* edtUnitsPath = nullptr;    // folders separated by ";"
    QToolButton* btnUnitsPath = nullptr;  // adds a folder picked in the folder browser
    QWidget* PnlRight = nullptr;
    QSplitter* SplPreview = nullptr;
    QWidget* PnlPreviewTop = nullptr;
    QSplitter* SplVert = nullptr;
    QWidget* PnlOriginal = nullptr;
    QLabel* LblOriginal = nullptr;
    QsciScintilla* SynOriginal = nullptr;
    QWidget* PnlFormatted = nullptr;
    QLabel* lblFormatted = nullptr;
    QsciScintilla* SynFormatted = nullptr;
    QWidget* PnlLog = nullptr;
    QLabel* LblLog = nullptr;
    QPlainTextEdit* MmoLog = nullptr;

protected:
    void showEvent(QShowEvent* AEvent) override;
    void closeEvent(QCloseEvent* AEvent) override;
    void dragEnterEvent(QDragEnterEvent* AEvent) override;
    void dragMoveEvent(QDragMoveEvent* AEvent) override;
    void dropEvent(QDropEvent* AEvent) override;
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    // Building the window (FormMainLayout.cpp).
    void CreateControls();
    void CreateDropStrip(QWidget* AParent);
    void CreateButtonStrip(QWidget* AParent);
    void CreateLeftColumn(QWidget* AParent);
    void CreateTableOptions();
    void AddTableOption(const quorvel::files::OptionRow& ARow, QGridLayout& AGrid);
    void CreateRightColumn(QWidget* AParent);
    void SetTabOrder();
    void ConnectHandlers();

    // Life of the window (FormMain.cpp).
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void BtnClearClick();
    void btnAboutClick();
    void PnlDropDblClick();
    // Runs a handler; an error escaping it goes to the standard error box.
    template <typename TFunction>
    void RunGuarded(TFunction&& AHandler);
    void ReportError(const QString& AMessage);

    // Preview, log and options (FormMainPreview.cpp).
    void ShowPreview(const QString& APath);
    void LstFilesClick();
    void LstFilesMouseMove(int X, int Y);
    void chkUnitsVerticalClick();
    void edtUsesWordwrapChange();
    void chkAutoUpdateCheckClick();
    void OrderOptionChange();
    void ApplyOrderOptions();
    void BrowseFolderClick(QLineEdit* AEdit);
    // The options of the table's controls, over those only the settings file holds.
    quorvel::files::OptionSet TableOptions() const;
    void LoadStoredOptions(const TIniFile& ASettings);
    void HandleSkipBlock(const std::u16string& AMsg);

    // Settings (FormMainSettings.cpp).
    QString GetSettingsFileName() const;
    void LoadSettings();
    void SaveSettings();

    // Intake (FormMainIntake.cpp).
    void BtnScanClick();
    void ScanFolder(const QString& APath);
    void WMDropFiles(const QStringList& APaths);
    void SetDropEnabled(bool AEnabled);
    void AppendToFileList(const QStringList& APaths);
    void UpdateFormatButton();

    // The batch run (FormMainRun.cpp).
    void BtnFormatClick();
    void FormatAllFiles();

    TDialogs& FDialogs;
    std::unique_ptr<quorvel::TQuorvel> FFormatter;
    QsciLexerPascal* FSynHighlighter = nullptr;  // owned by the window, shared by both views
    // A control made from a row of the option table.
    struct TOptionControl {
        const quorvel::files::OptionRow* Row = nullptr;
        QCheckBox* Check = nullptr;  // a Flag row
        QLineEdit* Edit = nullptr;   // a Names or Folders row
        QPlainTextEdit* Lines = nullptr;  // a Groups row: one group a line
        QComboBox* Choice = nullptr;      // a Choice row: its words
        QToolButton* Browse = nullptr;  // a Folders row: adds a folder from the folder browser
    };
    std::vector<TOptionControl> FOptionControls;
    // Options the window has no control for (UnitScopes), as the settings file
    // holds them: written there by hand, never by the window.
    quorvel::files::OptionSet FStoredOptions;
    bool FLogStarted = false;  // a line was logged since the log was last cleared
    bool FShown = false;
    bool FDropEnabled = false;
    bool FRunning = false;
    int FRowPreviewedOnPress = -1;  // the row a mouse press selected and previewed
};

template <typename TFunction>
void TFrmMain::RunGuarded(TFunction&& AHandler) {
    try {
        AHandler();
    } catch (const std::exception& error) {
        ReportError(QString::fromUtf8(error.what()));
    } catch (...) {
        ReportError(QStringLiteral("Unknown error"));
    }
}
