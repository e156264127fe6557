// The control tree of the main window: sizes are pixels at 96 DPI, which Qt
// scales with the screen.

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>
#include <stdexcept>
#include <tuple>

#include "DigitKeyFilter.h"
#include "FormMain.h"
#include "SourceView.h"
#include "TextColour.h"

namespace {

QFont UiFont(int APixels, bool ABold = false) {
    QFont font(QStringLiteral("Segoe UI"));
    font.setPixelSize(APixels);
    font.setBold(ABold);
    return font;
}

QFont MonoFont(int APixels) {
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(APixels);
    return font;
}

template <typename TWidget>
TWidget* Named(TWidget* AWidget, const char* AName) {
    AWidget->setObjectName(QString::fromLatin1(AName));
    return AWidget;
}

// A heading of fixed height above a pane.
QLabel* Heading(QWidget* AParent, const char* AName, const QString& AText, Qt::Alignment AAlignment) {
    auto* label = Named(new QLabel(AText, AParent), AName);
    label->setFont(UiFont(12, true));
    label->setFixedHeight(15);
    label->setAlignment(AAlignment | Qt::AlignVCenter);
    return label;
}

QVBoxLayout* StackLayout(QWidget* AParent) {
    auto* layout = new QVBoxLayout(AParent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The heading on top, the content filling the rest of the panel.
QVBoxLayout* StackUnderHeading(QWidget* APanel, QLabel* AHeading, QWidget* AContent) {
    auto* layout = StackLayout(APanel);
    layout->addWidget(AHeading);
    layout->addWidget(AContent, 1);
    return layout;
}

// One of the two preview panes: panel, coloured heading and source view.
std::tuple<QWidget*, QLabel*, QsciScintilla*> PreviewPane(QSplitter* AParent, const char* APanel, const char* AHeading,
                                                          const char* AView, const QString& AText,
                                                          const TSourceViewColours& AColours) {
    auto* panel = Named(new QWidget(AParent), APanel);
    panel->setMinimumWidth(30);
    QLabel* heading = Heading(panel, AHeading, AText, Qt::AlignHCenter);
    SetTextColour(heading, AColours.GutterBorder);  // lime over lime, red over red
    auto* view = Named(new QsciScintilla(panel), AView);
    ConfigureSourceView(*view, AColours);
    StackUnderHeading(panel, heading, view);
    return {panel, heading, view};
}

QSplitter* Splitter(Qt::Orientation AOrientation, const char* AName, bool AResizeWhileDragged) {
    auto* splitter = Named(new QSplitter(AOrientation), AName);
    splitter->setHandleWidth(5);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(AResizeWhileDragged);
    return splitter;
}

// Bars in the system's grey-text colour. A style sheet, because a visual
// style's sheet would otherwise paint over the bar's palette.
void ColourSplitterBars(QSplitter* ASplitter) {
    const QColor grey = ASplitter->palette().color(QPalette::Disabled, QPalette::WindowText);
    ASplitter->setStyleSheet(QStringLiteral("QSplitter::handle { background-color: %1; }").arg(grey.name()));
}

// The panes' sizes at the start; pane AGrowing takes what the window gains or loses.
void SizePanes(QSplitter* ASplitter, int AFirst, int ASecond, int AGrowing) {
    ASplitter->setStretchFactor(AGrowing, 1);
    ASplitter->setStretchFactor(1 - AGrowing, 0);
    ASplitter->setSizes({AFirst, ASecond});
    ColourSplitterBars(ASplitter);
}

QCheckBox* CheckBox(QWidget* AParent, const char* AName, const QString& AText, QRect AGeometry, bool AChecked) {
    auto* box = Named(new QCheckBox(AText, AParent), AName);
    box->setGeometry(AGeometry);
    box->setChecked(AChecked);
    return box;
}

QPushButton* Button(QWidget* AParent, const char* AName, const QString& AText, QRect AGeometry) {
    auto* button = Named(new QPushButton(AText, AParent), AName);
    button->setGeometry(AGeometry);
    return button;
}

}  // namespace

void TFrmMain::CreateControls() {
    setFont(UiFont(13));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* layout = StackLayout(client);
    CreateDropStrip(client);
    CreateButtonStrip(client);
    layout->addWidget(PnlDrop);
    layout->addWidget(PnlButtons);

    SplHoriz = Splitter(Qt::Horizontal, "SplHoriz", false);
    CreateLeftColumn(SplHoriz);
    CreateRightColumn(SplHoriz);
    SplHoriz->addWidget(PnlLeft);
    SplHoriz->addWidget(PnlRight);
    SizePanes(SplHoriz, 280, 915, 1);
    layout->addWidget(SplHoriz, 1);
    resize(1200, 750);
    SetTabOrder();
}

void TFrmMain::CreateDropStrip(QWidget* AParent) {
    PnlDrop = Named(new QFrame(AParent), "PnlDrop");
    PnlDrop->setFixedHeight(95);
    PnlDrop->setAutoFillBackground(true);
    auto* layout = StackLayout(PnlDrop);
    layout->setContentsMargins(0, 0, 0, 10);

    LblDrop = Named(new QLabel(QStringLiteral("Drag & Drop folder or files here  -  or double click here to browse for files"),
                               PnlDrop),
                    "LblDrop");
    LblDrop->setAlignment(Qt::AlignCenter);
    LblDrop->setFont(UiFont(21));
    LblDrop->setAutoFillBackground(true);
    QPalette dropPalette = LblDrop->palette();
    dropPalette.setColor(QPalette::Window, QColor(72, 61, 139));
    // The system's button-face colour, also under a dark visual style.
    dropPalette.setColor(QPalette::WindowText, style()->standardPalette().color(QPalette::Button));
    LblDrop->setPalette(dropPalette);

    LblInfo = Named(new QLabel(QStringLiteral("0 File(s) found"), PnlDrop), "LblInfo");
    LblInfo->setFixedHeight(21);
    LblInfo->setAlignment(Qt::AlignCenter);
    LblInfo->setFont(UiFont(16));
    SetTextColour(LblInfo, Lime);
    layout->addWidget(LblDrop, 1);
    layout->addWidget(LblInfo);

    btnAbout = Named(new QToolButton(PnlDrop), "btnAbout");
    btnAbout->setGeometry(16, 22, 39, 41);
    btnAbout->setAutoRaise(true);
    btnAbout->setFocusPolicy(Qt::NoFocus);
    btnAbout->setIcon(QIcon(QStringLiteral(":/about/info-i.png")));  // the light-blue "i"
    btnAbout->setIconSize(QSize(18, 38));
    btnAbout->setToolTip(QStringLiteral("About Dialog"));
    btnAbout->raise();

    for (QWidget* area : {static_cast<QWidget*>(PnlDrop), static_cast<QWidget*>(LblDrop), static_cast<QWidget*>(LblInfo)})
        area->installEventFilter(this);
}

void TFrmMain::CreateButtonStrip(QWidget* AParent) {
    PnlButtons = Named(new QWidget(AParent), "PnlButtons");
    PnlButtons->setFixedHeight(45);
    BtnScan = Button(PnlButtons, "BtnScan", QStringLiteral("Select folder ..."), {8, 8, 150, 28});
    BtnFormat = Button(PnlButtons, "BtnFormat", QStringLiteral("Apply preview to files"), {168, 8, 150, 28});
    BtnFormat->setEnabled(false);
    BtnClear = Button(PnlButtons, "BtnClear", QStringLiteral("Clear file list"), {328, 8, 110, 28});
    ChkBackup = CheckBox(PnlButtons, "ChkBackup", QStringLiteral(".bak Create backups"), {455, 12, 160, 20}, true);
    ChkRecursive = CheckBox(PnlButtons, "ChkRecursive", QStringLiteral("include subfolders"), {625, 12, 180, 20}, true);

    PrgRun = Named(new QProgressBar(PnlButtons), "PrgRun");
    PrgRun->setGeometry(815, 10, 260, 24);
    PrgRun->setFormat(QStringLiteral("%v / %m"));
    PrgRun->setAlignment(Qt::AlignCenter);
    PrgRun->setFocusPolicy(Qt::NoFocus);
    PrgRun->hide();
}

void TFrmMain::CreateLeftColumn(QWidget* AParent) {
    PnlLeft = Named(new QWidget(AParent), "PnlLeft");
    PnlLeft->setMinimumWidth(30);
    splitterFiles = Splitter(Qt::Vertical, "splitterFiles", true);
    StackLayout(PnlLeft)->addWidget(splitterFiles);

    pnlFiles = Named(new QFrame(splitterFiles), "pnlFiles");
    pnlFiles->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlFiles->setLineWidth(1);
    pnlFiles->setMinimumHeight(80);
    LblFiles = Heading(pnlFiles, "LblFiles", QStringLiteral("Files found"), Qt::AlignHCenter);
    LstFiles = Named(new QListWidget(pnlFiles), "LstFiles");
    LstFiles->setFont(MonoFont(11));
    LstFiles->setUniformItemSizes(true);
    LstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    LstFiles->viewport()->setMouseTracking(true);
    LstFiles->viewport()->installEventFilter(this);
    StackUnderHeading(pnlFiles, LblFiles, LstFiles)->setContentsMargins(1, 1, 1, 1);

    // The options scroll when their pane is lower than they are.
    auto* optionScroll = Named(new QScrollArea(splitterFiles), "scrOption");
    optionScroll->setFrameShape(QFrame::NoFrame);
    optionScroll->setWidgetResizable(true);
    pnlOption = Named(new QWidget, "pnlOption");
    optionScroll->setWidget(pnlOption);
    chkUnitsVertical = CheckBox(pnlOption, "chkUnitsVertical", QStringLiteral("Uses-list vertical"), {8, 16, 185, 17}, true);
    lblUsesWordWrap = Named(new QLabel(QStringLiteral("Uses wordwrap at"), pnlOption), "lblUsesWordWrap");
    lblUsesWordWrap->move(8, 39);
    edtUsesWordwrap = Named(new QLineEdit(QStringLiteral("80"), pnlOption), "edtUsesWordwrap");
    edtUsesWordwrap->setGeometry(152, 35, 41, 25);
    edtUsesWordwrap->installEventFilter(new TDigitKeyFilter(edtUsesWordwrap));
    edtUsesWordwrap->setAcceptDrops(false);
    lblUsesWordWrap->setBuddy(edtUsesWordwrap);
    chkAutoUpdateCheck = CheckBox(pnlOption, "chkAutoUpdateCheck", QStringLiteral("Updatecheck on start"), {8, 64, 185, 17}, false);
    CreateTableOptions();
    // Caption on the left, box on the right, as in the layout.
    for (QCheckBox* box : {chkUnitsVertical, chkAutoUpdateCheck}) box->setLayoutDirection(Qt::RightToLeft);

    SizePanes(splitterFiles, 385, 220, 0);
}

// One control for each row of the option table that has a label, in the
// table's order, so a new option appears here without placing it by hand.
void TFrmMain::CreateTableOptions() {
    pnlTableOptions = Named(new QWidget(pnlOption), "pnlTableOptions");
    auto* grid = new QGridLayout(pnlTableOptions);
    grid->setContentsMargins(8, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    for (const quorvel::files::OptionRow& row : quorvel::files::OptionTable()) {
        if (!row.Label.empty()) AddTableOption(row, *grid);
    }
    grid->setColumnStretch(1, 1);
    pnlTableOptions->setGeometry(0, 86, 193, pnlTableOptions->sizeHint().height());
    pnlOption->setMinimumSize(pnlTableOptions->geometry().right() + 1, pnlTableOptions->geometry().bottom() + 5);
    const auto control = [this](std::u16string_view AKey) -> const TOptionControl& {
        for (const TOptionControl& c : FOptionControls)
            if (c.Row->Key == AKey) return c;
        throw std::logic_error("no control for an option of the table");
    };
    chkKeepFirst = control(u"KeepFirstBuiltIn").Check;
    edtKeepFirst = control(u"KeepFirst").Edit;
    chkKeepNames = control(u"KeepNameResolution").Check;
    edtUnitsPath = control(u"UnitsPath").Edit;
    btnUnitsPath = control(u"UnitsPath").Browse;
}

void TFrmMain::AddTableOption(const quorvel::files::OptionRow& ARow, QGridLayout& AGrid) {
    using quorvel::files::OptionKind;
    const QString key = QString::fromStdU16String(std::u16string(ARow.Key));
    const QString caption = QString::fromStdU16String(std::u16string(ARow.Label));
    const QString toolTip = QString::fromStdU16String(std::u16string(ARow.ToolTip));
    const int line = AGrid.rowCount();
    TOptionControl control{&ARow};
    if (ARow.Kind == OptionKind::Flag) {
        control.Check = new QCheckBox(caption, pnlTableOptions);
        control.Check->setObjectName(QStringLiteral("chk") + key);
        control.Check->setChecked(ARow.Default == u"1");
        control.Check->setToolTip(toolTip);
        control.Check->setLayoutDirection(Qt::RightToLeft);  // caption on the left, box on the right
        AGrid.addWidget(control.Check, line, 0, 1, 3);
    } else if (ARow.Kind == OptionKind::Choice) {
        auto* label = new QLabel(caption, pnlTableOptions);
        label->setObjectName(QStringLiteral("lbl") + key);
        control.Choice = new QComboBox(pnlTableOptions);
        control.Choice->setObjectName(QStringLiteral("cmb") + key);
        for (std::u16string_view word : quorvel::files::ChoiceWords(ARow))
            control.Choice->addItem(QString::fromStdU16String(std::u16string(word)));
        control.Choice->setToolTip(toolTip);
        label->setBuddy(control.Choice);
        AGrid.addWidget(label, line, 0);
        AGrid.addWidget(control.Choice, line, 1, 1, 2);
    } else if (ARow.Kind == OptionKind::Groups) {
        // A box of its own line below its label: one group a line reads better than commas.
        auto* label = new QLabel(caption, pnlTableOptions);
        label->setObjectName(QStringLiteral("lbl") + key);
        control.Lines = new QPlainTextEdit(pnlTableOptions);
        control.Lines->setObjectName(QStringLiteral("mmo") + key);
        control.Lines->setAcceptDrops(false);
        control.Lines->setToolTip(toolTip);
        control.Lines->setPlaceholderText(QStringLiteral("one group a line, e.g.\nWinapi.*\nSystem.*\nVcl.*;Vcl\nor: vcl"));
        control.Lines->setTabChangesFocus(true);
        control.Lines->setFixedHeight(78);
        label->setBuddy(control.Lines);
        AGrid.addWidget(label, line, 0, 1, 3);
        AGrid.addWidget(control.Lines, line + 1, 0, 1, 3);
    } else {
        auto* label = new QLabel(caption, pnlTableOptions);
        label->setObjectName(QStringLiteral("lbl") + key);
        control.Edit = new QLineEdit(pnlTableOptions);
        control.Edit->setObjectName(QStringLiteral("edt") + key);
        control.Edit->setAcceptDrops(false);
        control.Edit->setToolTip(toolTip);
        control.Edit->setFixedHeight(25);
        label->setBuddy(control.Edit);
        AGrid.addWidget(label, line, 0);
        AGrid.addWidget(control.Edit, line, 1, 1, ARow.Kind == OptionKind::Folders ? 1 : 2);
        if (ARow.Kind == OptionKind::Folders) {
            control.Browse = new QToolButton(pnlTableOptions);
            control.Browse->setObjectName(QStringLiteral("btn") + key);
            control.Browse->setText(QStringLiteral("\u2026"));
            control.Browse->setToolTip(QStringLiteral("Add a folder"));
            control.Browse->setFixedSize(25, 25);
            AGrid.addWidget(control.Browse, line, 2);
        }
    }
    FOptionControls.push_back(control);
}

void TFrmMain::CreateRightColumn(QWidget* AParent) {
    PnlRight = Named(new QWidget(AParent), "PnlRight");
    PnlRight->setMinimumWidth(30);
    SplPreview = Splitter(Qt::Vertical, "SplPreview", true);
    StackLayout(PnlRight)->addWidget(SplPreview);

    PnlPreviewTop = Named(new QWidget(SplPreview), "PnlPreviewTop");
    PnlPreviewTop->setMinimumHeight(30);
    SplVert = Splitter(Qt::Horizontal, "SplVert", false);
    StackLayout(PnlPreviewTop)->addWidget(SplVert);

    std::tie(PnlOriginal, LblOriginal, SynOriginal) =
        PreviewPane(SplVert, "PnlOriginal", "LblOriginal", "SynOriginal", QStringLiteral("Original"), {Lime, QColor(29, 82, 3)});
    std::tie(PnlFormatted, lblFormatted, SynFormatted) = PreviewPane(
        SplVert, "PnlFormatted", "lblFormatted", "SynFormatted", QStringLiteral("Preview formatted"), {Red, QColor(88, 3, 3)});
    SizePanes(SplVert, 452, 458, 1);

    PnlLog = Named(new QWidget(SplPreview), "PnlLog");
    PnlLog->setMinimumHeight(30);
    LblLog = Heading(PnlLog, "LblLog", QStringLiteral("Log"), Qt::AlignLeft);
    MmoLog = Named(new QPlainTextEdit(PnlLog), "MmoLog");
    MmoLog->setReadOnly(true);
    MmoLog->setFont(MonoFont(12));
    MmoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MmoLog->setAcceptDrops(false);
    StackUnderHeading(PnlLog, LblLog, MmoLog);
    SizePanes(SplPreview, 416, 189, 0);
}

void TFrmMain::SetTabOrder() {
    QList<QWidget*> order = {BtnScan,      BtnFormat,        BtnClear,           ChkBackup,
                             ChkRecursive, chkUnitsVertical, chkAutoUpdateCheck, edtUsesWordwrap};
    for (const TOptionControl& control : FOptionControls) {
        order.append(control.Check    ? static_cast<QWidget*>(control.Check)
                     : control.Edit   ? static_cast<QWidget*>(control.Edit)
                     : control.Lines  ? static_cast<QWidget*>(control.Lines)
                                      : static_cast<QWidget*>(control.Choice));
        if (control.Browse) order.append(control.Browse);
    }
    order.append({LstFiles, SynOriginal, SynFormatted, MmoLog});
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}
