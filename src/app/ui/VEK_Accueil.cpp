#include "app/ui/VEK_Accueil.h"

#include "app/FirmwareProfile.h"
#include "app/TransferServicesSetup.h"
#include "app/ui/AdvanceMapView.h"
#include "app/ui/CurveChart.h"
#include "app/ui/CurveEditorPanel.h"
#include "app/ui/EngineParametersPanel.h"
#include "app/ui/FirmwarePackageList.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/MainWindowTexts.h"
#include "app/ui/MapBoxesWidget.h"
#include "app/ui/MapPageInputs.h"
#include "app/ui/MapTableWidget.h"
#include "app/ui/PrintService.h"
#include "app/ui/TableImportFlow.h"
#include "app/ui/TransferWindowLauncher.h"
#include "app/ui/VEK_SETUP.h"
#include "app/ui/VEK_about.h"
#include "app/ui/VEK_cfg_carte_fille.h"
#include "app/ui/WindowProfile.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/ElidedLabel.h"
#include "base/ui/HelpTextFilter.h"
#include "base/ui/OperationStatus.h"
#include "base/ui/ShownLanguageText.h"
#include "base/ui/StatusTextArea.h"
#include "base/ui/WindowPrompts.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ui/VEK_ASM.h"
#include "live/TrameLive.h"
#include "live/ui/LivePage.h"
#include "live/ui/TerminalPage.h"
#include "live/ui/TerminalReceiveBox.h"
#include "platform/SerialPortNames.h"

#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using VEK_LANGUAGE::GetLanguageText;

namespace {

template <typename T> T *make(const char *name, QWidget *parent)
{
    T *widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *label(const char *name, QWidget *parent, const QString &text = {})
{
    auto *l = make<QLabel>(name, parent);
    l->setText(text);
    return l;
}

// A warning that does not hold up the caller (start-up goes on behind it).
void showWarning(QWidget *parent, const QString &text)
{
    WindowPrompts::system().notify(parent, QMessageBox::Warning, GetLanguageText("MessWARNING"),
                                   text, QStringLiteral("Warning"));
}

} // namespace

VEK_Accueil::VEK_Accueil(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("VEK_Accueil"));
    InstallTransferServices(context_.transfer);
    transferWindows_ = std::make_unique<TransferWindowLauncher>(context_, *this);
    buildWindow();
    registerHelpTexts();
    curveFiles_ = std::make_unique<MainWindowCurveFiles>(*this);
}

VEK_Accueil::~VEK_Accueil()
{
    // The pages write into the context and call this window as they go: a box
    // is checked as it loses the focus. They are deleted here, while both are
    // whole, not by QWidget once the members are gone. A refusal then has no
    // window left to be shown on.
    engineParameters_->disconnect(this);
    delete centralWidget();
}

QWidget *VEK_Accueil::page(int index) const
{
    return SSTab1_->widget(index);
}

QString VEK_Accueil::statusPanel(int number) const
{
    return number >= 1 && number <= 4 ? panels_[number - 1]->text() : QString();
}

// ---------------------------------------------------------------- layout

void VEK_Accueil::buildWindow()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->addWidget(buildButtonBar());

    SSTab1_ = make<QTabWidget>("SSTab1", central);
    SSTab1_->addTab(buildParametersPage(), QString());
    SSTab1_->addTab(buildCurvePage(), QString());
    SSTab1_->addTab(buildMapPage(), QString());
    SSTab1_->addTab(
        buildNoticePage("LabelTERMINAL1", "LabelTERMINAL2", "FrameTerminal", &terminalContainer_),
        QString());
    SSTab1_->addTab(
        buildNoticePage("LabeLREALTIME1", "LabeLREALTIME2", "FrameRealTime", &liveContainer_),
        MainWindowTexts::livePageTitle());
    column->addWidget(SSTab1_, 1);

    L_Info_ = make<QLabel>("L_Info", central);
    L_Info_->setFrameShape(QFrame::StyledPanel);
    L_Info_->setFrameShadow(QFrame::Sunken);
    column->addWidget(StatusTextArea(L_Info_, 2, central));
    status_ = std::make_unique<OperationStatus>(L_Info_);
    ProgressBar_ = make<QProgressBar>("ProgressBar", central);
    ProgressBar_->hide();
    column->addWidget(ProgressBar_);
    setCentralWidget(central);
    buildStatusBar();
    buildLinkPages();
    // The window sets its least size itself (fitLeastSize): the layout would
    // grow it to whatever its contents ask, past the screen's edge.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    resizeToFitScreen(QSize(1100, 760));
}

// The window's usual size, smaller on a small screen (1024x768) so that its
// frame, status bar included, stays within the screen.
void VEK_Accueil::resizeToFitScreen(const QSize &usual)
{
    resize(usual.boundedTo(roomOnScreen()).expandedTo(minimumSizeHint()));
}

QSize VEK_Accueil::roomOnScreen() const
{
    const QScreen *display = screen();
    if (!display)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) // not framed yet: a title bar and thin borders
        frame = QSize(8, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8);
    return display->availableGeometry().size() - frame;
}

// Shown, the window grows with its contents only as far as the screen's edge
// (or its own size, on a screen already too small for it): beyond that the
// contents give up room. Before, it takes their whole least size, as at start.
void VEK_Accueil::fitLeastSize()
{
    QSize least = layout()->totalMinimumSize();
    if (shown_)
        least = least.boundedTo(roomOnScreen().expandedTo(size()));
    if (least != minimumSize())
        setMinimumSize(least);
}

bool VEK_Accueil::event(QEvent *event)
{
    const bool done = QMainWindow::event(event);
    if (event->type() == QEvent::LayoutRequest)
        fitLeastSize();
    return done;
}

void VEK_Accueil::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        fitLeastSize();
        shown_ = true;
    }
}

QWidget *VEK_Accueil::buildButtonBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    for (const QString &name : MainWindowTexts::buttonNames())
        row->addWidget(make<QPushButton>(qPrintable(name), bar));
    row->addSpacing(12);
    TypeVersionOS_ = make<QComboBox>("TypeVersionOS", bar);
    // The list takes the rest of the bar; its minimum leaves room for the
    // buttons of the longest language on a 1024-pixel screen.
    TypeVersionOS_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    TypeVersionOS_->setMinimumContentsLength(14);
    row->addWidget(TypeVersionOS_, 1);
    firmwareList_ = std::make_unique<FirmwarePackageList>(*TypeVersionOS_, context_, *this);
    firmwareList_->setOnApplied([this] { BringPresetsIntoRange(); });

    // Developer check of the chip catalogue; not part of the normal window.
    auto *command5 = make<QPushButton>("Command5", bar);
    command5->hide();
    ComboTest_ = make<QComboBox>("ComboTest", bar);
    ComboTest_->hide();
    connect(command5, &QPushButton::clicked, this, &VEK_Accueil::Command5_Click);
    connect(ComboTest_, &QComboBox::activated, this, &VEK_Accueil::ComboTest_Click);

    connect(control<QPushButton>("bp_new"), &QPushButton::clicked, this,
            &VEK_Accueil::bp_new_Click);
    connect(control<QPushButton>("about"), &QPushButton::clicked, this, &VEK_Accueil::about_Click);
    connect(control<QPushButton>("Config"), &QPushButton::clicked, this,
            &VEK_Accueil::Config_Click);
    connect(control<QPushButton>("BP_Compilation"), &QPushButton::clicked, this,
            &VEK_Accueil::BP_Compilation_Click);
    connect(control<QPushButton>("BP_Bootloader"), &QPushButton::clicked, this,
            &VEK_Accueil::BP_Bootloader_Click);
    connect(control<QPushButton>("Ouvrir"), &QPushButton::clicked, this,
            &VEK_Accueil::Ouvrir_Click);
    connect(control<QPushButton>("enregistrer"), &QPushButton::clicked, this,
            &VEK_Accueil::enregistrer_Click);
    connect(control<QPushButton>("Quit"), &QPushButton::clicked, this, &VEK_Accueil::Quit_Click);
    connect(TypeVersionOS_, &QComboBox::activated, this, &VEK_Accueil::TypeVersionOS_Click);
    connect(control<QPushButton>("bp_imprimer"), &QPushButton::clicked, this,
            &VEK_Accueil::bp_imprimer_Click);
    return bar;
}

QWidget *VEK_Accueil::buildParametersPage()
{
    auto *page = make<QWidget>("PageParametres", this);
    auto *grid = new QGridLayout(page);

    // The engine-parameter frames; the option board and the MAP tables beside them.
    engineParameters_ = new EngineParametersPanel(context_, page);
    engineParameters_->setObjectName(QStringLiteral("EngineParameters"));
    connect(engineParameters_, &EngineParametersPanel::info, this,
            [this](const QString &text) { L_Info_->setText(text); });
    connect(engineParameters_, &EngineParametersPanel::refused, this,
            [this](const QString &message) { showWarning(this, message); });
    grid->addWidget(engineParameters_, 0, 0, 1, 2);

    auto *option = make<QGroupBox>("FrameCarteOption", page);
    auto *op = new QHBoxLayout(option);
    TypeCarteOption_ = make<QComboBox>("TypeCarteOption", option);
    fillOptionBoards(VEK_XML::DesignOptionBoards());
    op->addWidget(TypeCarteOption_, 1);
    auto *optionButton = make<QPushButton>("BP_Parametres_carte_option", option);
    optionButton->setText(QStringLiteral("..."));
    optionButton->setEnabled(false);
    op->addWidget(optionButton);
    connect(TypeCarteOption_, &QComboBox::currentIndexChanged, this,
            &VEK_Accueil::TypeCarteOption_Click);
    connect(optionButton, &QPushButton::clicked, this,
            &VEK_Accueil::BP_Parametres_carte_option_Click);
    grid->addWidget(option, 1, 0, 1, 2);

    auto *map = make<QGroupBox>("FrameTableMap", page);
    auto *mp = new QVBoxLayout(map);
    mp->addWidget(label("LabelTableMap1", map));
    mapTable_ = new MapTableWidget(map);
    mapTable_->setCurveSource([this] { return CurveFromGrid(); });
    // A whole new curve (new, file, import) gives the MAP table its rows.
    connect(&context_.tab_avance, &CurveModel::reset, mapTable_,
            [this] { mapTable_->setRowsFromCurve(CurveFromGrid()); });
    tabl_avance_ = mapTable_->tabl_avance();
    talbMapAdj_ = mapTable_->talbMapAdj();
    connect(mapTable_, &MapTableWidget::refused, this,
            [this](const QString &message) { showWarning(this, message); });
    mp->addWidget(mapTable_);
    mapTable_->setAdjustCaption(label("LabelTableMap2", map));
    grid->addWidget(map, 0, 2, 3, 1);

    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 2);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget *VEK_Accueil::buildCurvePage()
{
    auto *page = make<QWidget>("PageCourbes", this);
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    curveEditor_ = new CurveEditorPanel(context_, page);
    curveEditor_->setObjectName(QStringLiteral("CurveEditor"));
    auto *import = make<QPushButton>("BP_import", page);
    connect(import, &QPushButton::clicked, this, &VEK_Accueil::BP_import_Click);
    curveEditor_->addEntryButton(import);
    connect(curveEditor_, &CurveEditorPanel::info, this,
            [this](const QString &text) { L_Info_->setText(text); });
    tab_avance_ = curveEditor_->grid();
    trace_courbe_ = curveEditor_->chart();
    row->addWidget(curveEditor_);
    return page;
}

QWidget *VEK_Accueil::buildMapPage()
{
    auto *page = make<QWidget>("PageMapping", this);
    auto *column = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;
    auto *notice = new QVBoxLayout;
    notice->addWidget(label("LabelMAPPING3D1", page));
    notice->addWidget(label("LabelMAPPING3D2", page));
    top->addLayout(notice, 1);
    top->addWidget(make<QPushButton>("cmdGridColor", page), 0, Qt::AlignTop);
    column->addLayout(top);
    mapView_ = new AdvanceMapView(page);
    PicMap_ = mapView_;
    column->addWidget(PicMap_, 1);
    mapBoxes_ = new MapBoxesWidget(context_.mapBoxes, page);
    column->addWidget(mapBoxes_);
    connect(mapBoxes_, &MapBoxesWidget::tbMapAdjChanged, this, [this] {
        settings().CourbeModifie = true;
        DrawMap();
    });
    connect(mapBoxes_, &MapBoxesWidget::tbMapChanged, this, &VEK_Accueil::DrawMap);
    connect(mapBoxes_, &MapBoxesWidget::refused, this,
            [this](const QString &message) { showWarning(this, message); });
    return page;
}

QWidget *VEK_Accueil::buildNoticePage(const char *label1, const char *label2, const char *container,
                                      QWidget **containerOut)
{
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    column->addWidget(label(label1, page));
    column->addWidget(label(label2, page));
    *containerOut = make<QWidget>(container, page);
    column->addWidget(*containerOut, 1);
    return page;
}

void VEK_Accueil::buildStatusBar()
{
    StatusBarCom_ = make<QStatusBar>("StatusBarCom", this);
    const int widths[4] = {110, 120, 80, 140};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new ElidedLabel(widths[i], StatusBarCom_);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setMinimumWidth(widths[i]);
        // The port takes the bar's spare room: a device path shows as much
        // as the window holds, and never widens it.
        StatusBarCom_->addWidget(panels_[i], i == 0 ? 1 : 0);
    }
    fitFramePanel();
    setStatusBar(StatusBarCom_);
}

// The frame panel changes with every frame the live page shows: a fixed size,
// wide enough for any frame, spares the status bar a new layout each time.
void VEK_Accueil::fitFramePanel()
{
    ElidedLabel *panel = panels_[2];
    const QFontMetrics fm(panel->font());
    char widest = '0';
    for (char digit : QByteArrayLiteral("0123456789ABCDEF"))
        if (fm.horizontalAdvance(QLatin1Char(digit)) > fm.horizontalAdvance(QLatin1Char(widest)))
            widest = digit;
    // The frame whose every byte is written with the widest digit twice.
    const int value = QByteArray(1, widest).toInt(nullptr, 16);
    TrameLive frame;
    frame.bytes.fill(uint8_t(value * 17));
    panel->setFixedSize(qMax(panel->minimumWidth(), panel->wholeWidth(LivePage::frameText(frame))),
                        panel->sizeHint().height());
}

void VEK_Accueil::buildLinkPages()
{
    livePage_ = new LivePage(context_, liveContainer_);
    auto *live = new QVBoxLayout(liveContainer_);
    live->setContentsMargins(0, 0, 0, 0);
    live->addWidget(livePage_);
    terminalPage_ = new TerminalPage(context_, terminalContainer_);
    auto *terminal = new QVBoxLayout(terminalContainer_);
    terminal->setContentsMargins(0, 0, 0, 0);
    terminal->addWidget(terminalPage_);

    // The live page numbers its panels 1 port, 2 settings, 3 frame, 4 firmware
    // note, 5 link state; this status bar keeps the link state in its fourth.
    connect(livePage_, &LivePage::statusPanelChanged, this, [this](int panel, const QString &text) {
        if (panel >= 1 && panel <= 3)
            panels_[panel - 1]->setText(text);
        else if (panel == 5)
            panels_[3]->setText(text);
    });
    connect(livePage_, &LivePage::infoText, L_Info_, &QLabel::setText);
    connect(terminalPage_, &TerminalPage::infoText, L_Info_, &QLabel::setText);
    connect(SSTab1_, &QTabWidget::currentChanged, this, &VEK_Accueil::SSTab1_Click);
}

void VEK_Accueil::closeSerialPort()
{
    livePage_->closePort();
    terminalPage_->closePort();
}

// A page change: the shared serial port closes, whichever page is left or entered.
void VEK_Accueil::SSTab1_Click(int page)
{
    closeSerialPort();
    if (page == 2)
        DrawMap();
    if (page == 4)
        livePage_->pageShown();
}

void VEK_Accueil::registerHelpTexts()
{
    // Help goes to the status bar as status tips: L_Info keeps what was done.
    helpTexts_ = new HelpTextFilter(this);
    MainWindowTexts::registerHelp(*this, *helpTexts_);
}

// ---------------------------------------------------------------- captions

void VEK_Accueil::InitLangue()
{
    // Titles are set in place: the page the user looks at stays shown.
    MainWindowTexts::applyCaptions(*this, *SSTab1_);
    curveEditor_->applyCaptions();
    engineParameters_->retranslate();
    helpTexts_->retranslate();
    control<QPushButton>("Command5")->setText(GetLanguageText("MBLoadXml"));
    nameNoBoardEntry();
    firmwareList_->retranslate();
    livePage_->applyCaptions();
    terminalPage_->applyCaptions();
    fitFramePanel(); // as wide as a frame in this language
    mapTable_->retranslate();
    DrawMap();
}

// ---------------------------------------------------------------- start-up

void VEK_Accueil::Form_Load(bool splash)
{
    LoadStoredSettings();
    ApplyVersionStrings();
    // Boxes open over the window once it is up, in turn: the presentation
    // first, then what the settings had that was refused.
    if (splash)
        ShowSplash();
    if (!refusedSettings_.isEmpty())
        showWarning(this, std::exchange(refusedSettings_, {}));
    EffacerTemp();
    firmwareList_->fill();
    SelectFirmwareEntry(TypeVersionOS_->count() - 1);
    SelectFirmwareEntry(0);
    LayoutCurveGrid();
    LayoutMapTables();
    FillParameterLists();
    LoadOptionBoards();
    LayoutChart();
    InitLangue(); // the texts were loaded with the stored settings
    SSTab1_->setCurrentIndex(0);
    settings().VersionModule = 0;
    bp_new_Click();
    WriteStatusBar();
}

void VEK_Accueil::ApplyVersionStrings()
{
    // The version strings are those the settings start with.
    const MainSettings release;
    MainSettings &s = settings();
    s.VEKVersion = release.VEKVersion;
    s.VEKRevision = release.VEKRevision;
    s.VEKPSetting = release.VEKPSetting;
    s.VEKMZSetting = release.VEKMZSetting;
    s.VEKJDMSetting = release.VEKJDMSetting;
    s.VEKDateRev = release.VEKDateRev;
    setWindowTitle(
        QStringLiteral("VEK-Courbe - [ %1 ]")
            .arg(GetLanguageText("VersionRevision", {"%1", s.VEKVersion, "%2", s.VEKRevision})));
}

void VEK_Accueil::LoadStoredSettings()
{
    MainSettings &s = settings();
    s.CourbeModifie = false;
    const std::unique_ptr<QSettings> store = MainSettingsLoader::OpenStore();
    MainSettingsLoader loader(*store);
    loader.Load(s);
    VEK_LANGUAGE::SetFichierLangueDefaut(QStringLiteral("francais.ini"));
    VEK_LANGUAGE::SetFichierLangue(s.Language);
    // Said once the window is up, in the language just read (the reading
    // above looked up texts of the language before); the defaults are in
    // their place.
    VEK_LANGUAGE::InitLanguage();
    refusedSettings_ = loader.RefusedMessage();
}

void VEK_Accueil::EffacerTemp()
{
    VEK_Gestion_OS::EffacerTemp();
}

void VEK_Accueil::SelectFirmwareEntry(int index)
{
    firmwareList_->select(index);
}

void VEK_Accueil::TypeVersionOS_Click()
{
    firmwareList_->apply();
}

// A package's preset obeys the box's range like a typed value.
void VEK_Accueil::BringPresetsIntoRange()
{
    const QList<EngineParameterRules::ValeurRamenee> ramenees =
        EngineParameterRules::ramener(context_.moteur);
    if (!ramenees.isEmpty()) {
        engineParameters_->showParameters();
        showWarning(this, EngineParameterRules::messageRamenees(ramenees));
    }
}

void VEK_Accueil::LayoutCurveGrid()
{
    context_.tab_avance.clear(); // three columns, header only
}

void VEK_Accueil::LayoutMapTables()
{
    mapTable_->LayoutTables();
}

// The lists are filled by the panel; these first values hold until New.
void VEK_Accueil::FillParameterLists()
{
    EngineParameters &p = context_.moteur;
    p.NbCylindres = 0;
    p.CmbCliquetis = 4;
    p.CmbAvanceBasRegime = 8;
    p.Txt_av_statique = QStringLiteral("45.0");
    p.HardXLED = 0;
    engineParameters_->showParameters();
}

void VEK_Accueil::LoadOptionBoards()
{
    const CatalogueLoad loaded = context_.catalogues.LoadOptionBoardCatalogue();
    const QSignalBlocker block(TypeCarteOption_);
    if (loaded.ok)
        fillOptionBoards(loaded.entries);
    // Without a catalogue the list keeps its entries, so that a curve file's
    // board can still be chosen.
    const bool usable = TypeCarteOption_->count() > 0;
    TypeCarteOption_->setEnabled(usable);
    if (!loaded.ok) {
        L_Info_->setText(loaded.message);
        showWarning(this, loaded.message);
    }
    if (usable) {
        TypeCarteOption_->setCurrentIndex(0);
        TypeCarteOption_Click();
    }
}

void VEK_Accueil::fillOptionBoards(const QList<CatalogueEntry> &boards)
{
    TypeCarteOption_->clear();
    for (const CatalogueEntry &entry : boards) {
        TypeCarteOption_->addItem(entry.name, entry.position);
        TypeCarteOption_->setItemData(TypeCarteOption_->count() - 1, entry.name,
                                      OptionBoardNameRole);
    }
    nameNoBoardEntry();
}

// The first entry stands for "no board": it reads in the user's language,
// while curve files keep the catalogue's name.
void VEK_Accueil::nameNoBoardEntry()
{
    if (TypeCarteOption_->count() > 0 && TypeCarteOption_->itemData(0).toInt() == 0)
        TypeCarteOption_->setItemText(0, GetLanguageText("CarteOptionSans"));
}

void VEK_Accueil::LayoutChart()
{
    GrilleVersGraphe();
}

void VEK_Accueil::GrilleVersGraphe()
{
    curveEditor_->GrilleVersGraphe();
}

void VEK_Accueil::ShowSplash()
{
    settings().presentation = true;
    auto *box = new VEK_about(settings(), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this] { settings().presentation = false; });
    WindowPrompts::system().openDialog(*box);
}

void VEK_Accueil::WriteStatusBar()
{
    const MainSettings &s = settings();
    panels_[0]->setText(SerialPortNames::PortCaption(s.portNumber, s.portDevice));
    panels_[1]->setText(s.serialSettings);
    panels_[2]->setText(GetLanguageText("BENom"));
    panels_[3]->setText(GetLanguageText("ModuleLocal"));
}

// ---------------------------------------------------------------- commands

void VEK_Accueil::bp_new_Click()
{
    VEK_LANGUAGE::InitLanguage();
    MainSettings &s = settings();
    bool ok = true;
    if (s.VersionModule != 0) {
        ok = WindowPrompts::system().message(
                 this, QMessageBox::Critical, GetLanguageText("MessWARNING"),
                 GetLanguageText("BPNewFileQuestion"),
                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    } else {
        s.VersionModule = 3;
    }
    if (ok) {
        ShownLanguageText::setWindowTitle(this, QStringLiteral("VEK-Courbe - [ %1 ]"),
                                          QStringLiteral("BPNewFileDoc"));
        context_.tab_avance.clear(); // also ends a point edit
        for (const char *name : {"FrameTableMap", "FrameRetardCliquetis", "cmdGridColor", "PicMap"})
            control<QWidget>(QString::fromLatin1(name))->hide();
        context_.moteur = EngineParameters{};
        engineParameters_->showParameters();
        SelectFirmwareEntry(0);
        s.CourbeModifie = false;
    }
    ShownLanguageText::setText(L_Info_, QStringLiteral("BPNewFileEnd"));
}

void VEK_Accueil::about_Click()
{
    VEK_about box(settings(), this);
    WindowPrompts::system().showDialog(box);
}

void VEK_Accueil::Config_Click()
{
    // The live page and the terminal share the main window's port: new
    // settings reach it at once while either has it open.
    QSerialPort *open = livePage_->isRunning()        ? &livePage_->link().serialPort()
                        : terminalPage_->isPortOpen() ? &terminalPage_->port().serialPort()
                                                      : nullptr;
    auto *dialog = new VEK_SETUP(context_, open, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &VEK_Accueil::AfterConfig);
    WindowPrompts::system().openDialog(*dialog);
}

// The dialog has closed: the chart type may have changed, and the language.
void VEK_Accueil::AfterConfig()
{
    GrilleVersGraphe();
    VEK_LANGUAGE::InitLanguage();
    InitLangue();
    ShownLanguageText::retranslate(this);
    ShownLanguageText::retranslate(L_Info_);
    WriteStatusBar();
}

AdvanceCurve VEK_Accueil::CurveFromGrid() const
{
    const CurveModel &model = context_.tab_avance;
    AdvanceCurve curve;
    for (int row = 0; row < model.pointCount(); ++row)
        curve.append({model.value(row, CurveModel::Rpm), model.value(row, CurveModel::Atmo),
                      model.value(row, CurveModel::Turbo)});
    return curve;
}

void VEK_Accueil::DrawMap()
{
    mapView_->draw(MapPageInputs::For(context_, CurveFromGrid()));
}

void VEK_Accueil::bp_imprimer_Click()
{
    const auto printing = status_->operation();
    PrintService service(this);
    service.setStatusSink([this](const QString &text) { L_Info_->setText(text); });
    PrintService::Request request;
    request.page = SSTab1_->currentIndex();
    request.curvePointCount = context_.tab_avance.pointCount();
    request.chart = trace_courbe_;
    DrawMap();
    request.map = mapView_->scene();
    request.terminalText = terminalPage_->receiveBox()->toPlainText();
    service.bp_imprimer(request);
}

void VEK_Accueil::BP_import_Click()
{
    // The table being read is said only while it is read.
    const auto importing = status_->operation();
    TableImportFlow flow(this);
    flow.setStatusSink([this](const QString &text) { status_->progress(text); });
    const auto points = flow.BP_import(settings().CourbeModifie, context_.moteur.Txt_av_statique);
    if (!points)
        return;
    CurveModel &model = context_.tab_avance;
    const QList<QStringList> rows = TableImportFlow::RowsOf(*points, model.columnCount());
    model.setRows(QVector<QStringList>(rows.cbegin(), rows.cend()), model.hasKnockColumn());
    model.Tri_tableau(CurveModel::Rpm);
    curveEditor_->lisser(); // thins the points out, with its own report
    GrilleVersGraphe();
    // The MAP table takes the curve as thinned, not the tables' every point.
    mapTable_->setRowsFromCurve(CurveFromGrid());
    settings().CourbeModifie = true; // an imported curve is not saved yet
}

// The assembly window opens here once it exists.
void VEK_Accueil::BP_Compilation_Click()
{
    const MapBoxes &boxes = context_.mapBoxes;
    VEK_ASM window(
        context_, [&boxes] { return QStringList(boxes.tbMapAdj.begin(), boxes.tbMapAdj.end()); },
        this);
    WindowPrompts::system().showDialog(window);
    firmwareList_->refresh(); // the package editors may have created packages
}

void VEK_Accueil::BP_Bootloader_Click()
{
    transferWindows_->launch(TypeVersionOS_->currentIndex() > 0, [this] { closeSerialPort(); });
}

void VEK_Accueil::setTransferWindowShow(std::function<void(QDialog &)> show)
{
    transferWindows_->setShow(std::move(show));
}

void VEK_Accueil::setTransferPrompts(WindowPrompts *prompts)
{
    transferWindows_->setPrompts(prompts);
}

void VEK_Accueil::Ouvrir_Click()
{
    curveFiles_->commands().Ouvrir();
}

void VEK_Accueil::enregistrer_Click()
{
    curveFiles_->commands().enregistrer();
}

void VEK_Accueil::Quit_Click()
{
    close();
}

void VEK_Accueil::closeEvent(QCloseEvent *event)
{
    const auto quitting = status_->operation();
    if (curveFiles_->commands().ConfirmQuit())
        event->accept();
    else
        event->ignore();
}

// The option-board dialog, for a board (not the first entry).
void VEK_Accueil::BP_Parametres_carte_option_Click()
{
    if (TypeCarteOption_->currentIndex() <= 0)
        return;
    VEK_cfg_carte_fille dialog(context_, this);
    connect(&dialog, &VEK_cfg_carte_fille::refused, this,
            [&dialog](const QString &message) { showWarning(&dialog, message); });
    WindowPrompts::system().showDialog(dialog);
}

void VEK_Accueil::TypeCarteOption_Click()
{
    settings().CourbeModifie = true;
    const int index = TypeCarteOption_->currentIndex();
    control<QPushButton>("BP_Parametres_carte_option")->setEnabled(index > 0);
    const QVariant position = TypeCarteOption_->currentData();
    context_.catalogues.SelectOptionBoard(position.isValid() ? position.toInt() : -1,
                                          context_.optionBoard);
    for (int channel = 0; channel < 6; ++channel)
        context_.optionBoard.VoiesTOR[channel] = VoieTOR{};
}

void VEK_Accueil::Command5_Click()
{
    const CatalogueLoad loaded = context_.catalogues.LoadChipCatalogue();
    if (!loaded.ok) {
        showWarning(this, loaded.message);
        return;
    }
    ComboTest_->clear();
    for (const CatalogueEntry &entry : loaded.entries)
        ComboTest_->addItem(entry.name, entry.position);
}

void VEK_Accueil::ComboTest_Click()
{
    const QVariant position = ComboTest_->currentData();
    context_.catalogues.SelectChip(position.isValid() ? position.toInt() : -1);
}
