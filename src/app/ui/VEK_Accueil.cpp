#include "app/ui/VEK_Accueil.h"

#include "app/FirmwareProfile.h"
#include "app/MainSettingsLoader.h"
#include "app/PackageFilesBackup.h"
#include "app/VEK_LANGUAGE.h"
#include "app/ui/HelpTextFilter.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/VEK_about.h"
#include "app/ui/WindowProfile.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

const QString kLivePageTitle = QStringLiteral("Real Time");

struct ButtonText {
    const char *name;
    const char *caption;
    const char *toolTip;
};

// Command buttons with their caption and tool-tip keys, in the order they are put.
const ButtonText kButtons[] = {
    {"about", LangKey("MBAbout"), LangKey("aboutTTT")},
    {"bp_new", LangKey("MBNouveau"), LangKey("BPNewTTT")},
    {"Ouvrir", LangKey("MBOuvrir"), LangKey("BPOpenTTT")},
    {"enregistrer", LangKey("MBEnregitrer"), LangKey("BPSaveTTT")},
    {"BP_Compilation", LangKey("MBCompilation"), LangKey("BPCompilationTTT")},
    {"BP_Bootloader", LangKey("MBProgrammation"), LangKey("BPICSPTTT")},
    {"bp_imprimer", LangKey("MBImprimer"), LangKey("PBPrintTTT")},
    {"Config", LangKey("MBConfiguration"), LangKey("BPConfigTTT")},
    {"Quit", LangKey("MBQuitter"), LangKey("BPQuitTTT")},
};

struct Caption {
    const char *name;
    const char *key;
};

// Titles of the pages 0 to 3; page 4 keeps its own title.
const char *const kPageTitles[] = {LangKey("MOParametres"), LangKey("MOCourbes"),
                                   LangKey("MOMapping"), LangKey("MOHyperTerminal")};

// Captions of the controls on the pages, page by page.
const Caption kCaptions[] = {
    {"FrameMoteur", LangKey("MFMoteur")},
    {"LabelMoteur1", LangKey("MLMoteur1")},
    {"LabelMoteur2", LangKey("MLMoteur2")},
    {"LabelMoteur3", LangKey("MLMoteur3")},
    {"FrameAvanceST", LangKey("MFAvanceST")},
    {"LabelAvStatique1", LangKey("MLAvStatique1")},
    {"LabelAvStatique2", LangKey("MLAvStatique2")},
    {"FrameAvanceBRPM", LangKey("MFAvanceBRPM")},
    {"LabelAvBRPM1", LangKey("MLAvBRPM1")},
    {"LabelAvBRPM2", LangKey("MLAvBRPM2")},
    {"FrameHardware", LangKey("MFHardware")},
    {"LabelHarware1", LangKey("MLHardware1")},
    {"FrameDwell", LangKey("MFDwell")},
    {"LabelDwell", LangKey("MFDwell")},
    {"FrameMultiEtincelle", LangKey("MFMultiEtincelle")},
    {"LabelMultiEtincelle1", LangKey("MLMultiEtincelle1")},
    {"SingleSparck", LangKey("MNon")},
    {"MultiSparck", LangKey("MOui")},
    {"FrameCarteOption", LangKey("MFCarteTOR")},
    {"FrameRetardCliquetis", LangKey("MFRetardCliquetis")},
    {"LabelRetardCliquetis1", LangKey("MLRetardCliquetis1")},
    {"LabelRetardCliquetis2", LangKey("MLRetardCliquetis2")},
    {"LabelRetardCliquetis3", LangKey("MLRetardCliquetis3")},
    {"LabelRetardCliquetis4", LangKey("MLRetardCliquetis4")},
    {"LabelRetardCliquetis5", LangKey("MLRetardCliquetis5")},
    {"LabelRetardCliquetis11", LangKey("MLRetardCliquetis11")},
    {"FrameTableMap", LangKey("MFTableMap")},
    {"LabelTableMap1", LangKey("MLTableMap1")},
    {"LabelTableMap2", LangKey("MLTableMap2")},
    {"LabelCourbe1", LangKey("MLCourbe1")},
    {"LabelCourbe2", LangKey("MLCourbe2")},
    {"LabelCourbe3", LangKey("MLCourbe3")},
    {"LabelCourbe4", LangKey("MLCourbe4")},
    {"LabelCourbe5", LangKey("MLCourbe5")},
    {"LabelCourbe6", LangKey("MLCourbe6")},
    {"LabelCourbe7", LangKey("MLCourbe7")},
    {"LabelCourbe8", LangKey("MLCourbe8")},
    {"LabelCourbe9", LangKey("MLCourbe9")},
    {"LabelCourbe10", LangKey("MLCourbe10")},
    {"LabelCourbe11", LangKey("MLCourbe11")},
    {"bp_valide", LangKey("MOK")},
    {"BP_import", LangKey("MBImport")},
    {"LabelMAPPING3D1", LangKey("MLMAPPING3D1")},
    {"LabelMAPPING3D2", LangKey("MLMAPPING3D2")},
    {"cmdGridColor", LangKey("MBGridColor")},
    {"LabelTERMINAL1", LangKey("MLMAPPING3D1")},
    {"LabelTERMINAL2", LangKey("MLMAPPING3D2")},
    {"LabeLREALTIME1", LangKey("MLMAPPING3D1")},
    {"LabeLREALTIME2", LangKey("MLMAPPING3D2")},
};

// Help texts shown in L_Info while the pointer is over a control.
const Caption kHelpTexts[] = {
    {"about", LangKey("BPaboutMM")},
    {"bp_new", LangKey("BPNewMM")},
    {"Ouvrir", LangKey("MMOuvrir")},
    {"enregistrer", LangKey("MMenregistrer")},
    {"BP_Compilation", LangKey("BPCompilationMM")},
    {"bp_imprimer", LangKey("BPimprimerMM")},
    {"Config", LangKey("MMConfig")},
    {"Quit", LangKey("MMQuit")},
    {"BP_DEC", LangKey("BPDECMM")},
    {"BP_INC", LangKey("BPINCMM")},
    {"BP_import", LangKey("BPimportMM")},
    {"bp_valide", LangKey("MMBPValideRpmAdv")},
    {"cmdGridColor", LangKey("MMcmdGridColor")},
    {"FrameAvanceST", LangKey("MMFrameAvanceST")},
    {"FrameMoteur", LangKey("MMFrameMoteur")},
    {"FrameHardware", LangKey("MMHardwareXLEDControl")},
};

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

QLineEdit *box(const char *name, QWidget *parent, int width = 70)
{
    auto *edit = make<QLineEdit>(name, parent);
    edit->setFixedWidth(width);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

void setCaption(QWidget *widget, const QString &text)
{
    if (auto *group = qobject_cast<QGroupBox *>(widget))
        group->setTitle(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(widget))
        l->setText(text);
}

// A warning that does not hold up the caller (start-up goes on behind it).
void showWarning(QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, GetLanguageText("MessWARNING"), text,
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("Warning"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

VEK_Accueil::VEK_Accueil(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("VEK_Accueil"));
    buildWindow();
    registerHelpTexts();
    curveFiles_ = std::make_unique<MainWindowCurveFiles>(*this);
}

VEK_Accueil::~VEK_Accueil() = default;

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
        kLivePageTitle);
    column->addWidget(SSTab1_, 1);

    L_Info_ = make<QLabel>("L_Info", central);
    L_Info_->setFrameShape(QFrame::StyledPanel);
    L_Info_->setFrameShadow(QFrame::Sunken);
    L_Info_->setMinimumHeight(L_Info_->fontMetrics().height() + 8);
    L_Info_->setWordWrap(true);
    column->addWidget(L_Info_);
    ProgressBar_ = make<QProgressBar>("ProgressBar", central);
    ProgressBar_->hide();
    column->addWidget(ProgressBar_);
    setCentralWidget(central);
    buildStatusBar();
    resize(1100, 760);
}

QWidget *VEK_Accueil::buildButtonBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    for (const ButtonText &b : kButtons)
        row->addWidget(make<QPushButton>(b.name, bar));
    row->addSpacing(12);
    TypeVersionOS_ = make<QComboBox>("TypeVersionOS", bar);
    TypeVersionOS_->setMinimumContentsLength(22);
    row->addWidget(TypeVersionOS_, 1);

    // Developer check of the chip catalogue; not part of the normal window.
    auto *command5 = make<QPushButton>("Command5", bar);
    command5->setText(QStringLiteral("Load XML"));
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
    return bar;
}

QWidget *VEK_Accueil::buildParametersPage()
{
    auto *page = make<QWidget>("PageParametres", this);
    auto *grid = new QGridLayout(page);

    auto *moteur = make<QGroupBox>("FrameMoteur", page);
    auto *m = new QGridLayout(moteur);
    m->addWidget(label("LabelMoteur1", moteur), 0, 0);
    m->addWidget(make<QComboBox>("NbCylindres", moteur), 0, 1);
    m->addWidget(label("LabelMoteur2", moteur), 1, 0);
    m->addWidget(box("Txt_rpm_maxi", moteur), 1, 1);
    m->addWidget(label("LabelMoteur3", moteur), 1, 2);
    grid->addWidget(moteur, 0, 0);

    auto *statique = make<QGroupBox>("FrameAvanceST", page);
    auto *st = new QGridLayout(statique);
    st->addWidget(label("LabelAvStatique1", statique), 0, 0);
    st->addWidget(box("Txt_av_statique", statique), 0, 1);
    st->addWidget(label("LabelAvStatique2", statique), 0, 2);
    grid->addWidget(statique, 1, 0);

    auto *basRegime = make<QGroupBox>("FrameAvanceBRPM", page);
    auto *br = new QGridLayout(basRegime);
    br->addWidget(label("LabelAvBRPM1", basRegime), 0, 0);
    br->addWidget(make<QComboBox>("CmbAvanceBasRegime", basRegime), 0, 1);
    br->addWidget(label("LabelAvBRPM2", basRegime), 0, 2);
    grid->addWidget(basRegime, 2, 0);

    auto *dwell = make<QGroupBox>("FrameDwell", page);
    auto *dw = new QGridLayout(dwell);
    dw->addWidget(label("LabelDwell", dwell), 0, 0);
    dw->addWidget(box("TxtDwell", dwell), 0, 1);
    grid->addWidget(dwell, 3, 0);

    auto *hardware = make<QGroupBox>("FrameHardware", page);
    auto *hw = new QGridLayout(hardware);
    hw->addWidget(label("LabelHarware1", hardware), 0, 0);
    hw->addWidget(make<QComboBox>("HardXLED", hardware), 0, 1);
    grid->addWidget(hardware, 0, 1);

    auto *spark = make<QGroupBox>("FrameMultiEtincelle", page);
    auto *sp = new QGridLayout(spark);
    sp->addWidget(label("LabelMultiEtincelle1", spark), 0, 0, 1, 2);
    auto *single = make<QRadioButton>("SingleSparck", spark);
    sp->addWidget(single, 1, 0);
    sp->addWidget(make<QRadioButton>("MultiSparck", spark), 1, 1);
    connect(single, &QRadioButton::clicked, this, &VEK_Accueil::SingleSparck_Click);
    grid->addWidget(spark, 1, 1);

    auto *option = make<QGroupBox>("FrameCarteOption", page);
    auto *op = new QHBoxLayout(option);
    TypeCarteOption_ = make<QComboBox>("TypeCarteOption", option);
    op->addWidget(TypeCarteOption_, 1);
    auto *optionButton = make<QPushButton>("BP_Parametres_carte_option", option);
    optionButton->setText(QStringLiteral("..."));
    optionButton->setEnabled(false);
    op->addWidget(optionButton);
    connect(TypeCarteOption_, &QComboBox::currentIndexChanged, this,
            &VEK_Accueil::TypeCarteOption_Click);
    connect(optionButton, &QPushButton::clicked, this,
            &VEK_Accueil::BP_Parametres_carte_option_Click);
    grid->addWidget(option, 2, 1);

    auto *knock = make<QGroupBox>("FrameRetardCliquetis", page);
    auto *kn = new QGridLayout(knock);
    kn->addWidget(label("LabelRetardCliquetis1", knock), 0, 0);
    kn->addWidget(make<QComboBox>("CmbCliquetis", knock), 0, 1);
    kn->addWidget(label("LabelRetardCliquetis2", knock), 0, 2);
    kn->addWidget(label("LabelRetardCliquetis3", knock), 1, 0);
    kn->addWidget(box("TxtDureeRetardCliquetis", knock), 1, 1);
    kn->addWidget(label("LabelRetardCliquetis11", knock), 1, 2);
    kn->addWidget(label("LabelRetardCliquetis4", knock), 2, 0);
    auto *plus = box("Txt_av_cliquetisPlus", knock);
    plus->setReadOnly(true);
    kn->addWidget(plus, 2, 1);
    kn->addWidget(label("LabelRetardCliquetis5", knock), 2, 2);
    grid->addWidget(knock, 3, 1);

    auto *map = make<QGroupBox>("FrameTableMap", page);
    auto *mp = new QVBoxLayout(map);
    mp->addWidget(label("LabelTableMap1", map));
    tabl_avance_ = make<QTableWidget>("tabl_avance", map);
    mp->addWidget(tabl_avance_);
    mp->addWidget(label("LabelTableMap2", map));
    talbMapAdj_ = make<QTableWidget>("talbMapAdj", map);
    mp->addWidget(talbMapAdj_);
    grid->addWidget(map, 0, 2, 4, 1);

    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 2);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget *VEK_Accueil::buildCurvePage()
{
    auto *page = make<QWidget>("PageCourbes", this);
    auto *row = new QHBoxLayout(page);

    auto *left = new QVBoxLayout;
    tab_avance_ = make<QTableWidget>("tab_avance", page);
    tab_avance_->setMinimumWidth(260);
    left->addWidget(tab_avance_, 1);

    auto *entry = new QGridLayout;
    entry->addWidget(label("LabelCourbe8", page), 0, 0, 1, 3);
    entry->addWidget(label("LabelCourbe1", page), 1, 0);
    entry->addWidget(box("Txt_regime", page), 1, 1);
    entry->addWidget(label("LabelCourbe2", page), 2, 0);
    entry->addWidget(box("txt_av_atmo", page), 2, 1);
    entry->addWidget(label("LabelCourbe3", page), 3, 0);
    entry->addWidget(box("txt_av_sural", page), 3, 1);
    entry->addWidget(label("LabelCourbe10", page), 4, 0);
    entry->addWidget(box("txt_av_knock", page), 4, 1);
    entry->addWidget(make<QPushButton>("bp_valide", page), 1, 2);
    entry->addWidget(make<QPushButton>("BP_import", page), 2, 2);
    entry->addWidget(label("LabelCourbe9", page), 5, 0);
    auto *shift = new QHBoxLayout;
    auto *dec = make<QPushButton>("BP_DEC", page);
    dec->setText(QStringLiteral("- 1°"));
    auto *inc = make<QPushButton>("BP_INC", page);
    inc->setText(QStringLiteral("+ 1°"));
    shift->addWidget(dec);
    shift->addWidget(inc);
    entry->addLayout(shift, 5, 1, 1, 2);
    left->addLayout(entry);
    row->addLayout(left);

    auto *right = new QVBoxLayout;
    trace_courbe_ = make<QChartView>("trace_courbe", page);
    trace_courbe_->setRenderHint(QPainter::Antialiasing);
    right->addWidget(trace_courbe_, 1);
    auto *point = new QHBoxLayout;
    point->addWidget(label("LabelCourbe4", page));
    point->addWidget(label("LabelCourbe5", page));
    point->addWidget(label("Lbl_regime", page));
    point->addWidget(label("LabelCourbe6", page));
    point->addWidget(label("Lbl_av_atmo", page));
    point->addWidget(label("LabelCourbe7", page));
    point->addWidget(label("Lbl_av_sural", page));
    point->addWidget(label("LabelCourbe11", page));
    point->addWidget(label("Lbl_av_knock", page));
    point->addWidget(label("LabelCourbe12", page, QStringLiteral("°")));
    point->addStretch();
    right->addLayout(point);
    row->addLayout(right, 1);
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
    PicMap_ = make<QWidget>("PicMap", page);
    PicMap_->setMinimumSize(400, 300);
    column->addWidget(PicMap_, 1);
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
        panels_[i] = new QLabel(StatusBarCom_);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setMinimumWidth(widths[i]);
        StatusBarCom_->addWidget(panels_[i]);
    }
    setStatusBar(StatusBarCom_);
}

void VEK_Accueil::registerHelpTexts()
{
    helpTexts_ = new HelpTextFilter(L_Info_, this);
    for (const Caption &help : kHelpTexts)
        if (auto *widget = control<QWidget>(QString::fromLatin1(help.name)))
            helpTexts_->add(widget, help.key);
}

// ---------------------------------------------------------------- captions

void VEK_Accueil::InitLangue()
{
    // Titles are set in place: the page the user looks at stays shown.
    for (const ButtonText &b : kButtons) {
        auto *button = control<QPushButton>(QString::fromLatin1(b.name));
        button->setText(GetLanguageText(QString::fromLatin1(b.caption)));
        button->setToolTip(GetLanguageText(QString::fromLatin1(b.toolTip)));
    }
    for (int i = 0; i < 4; ++i)
        SSTab1_->setTabText(i, GetLanguageText(QString::fromLatin1(kPageTitles[i])));
    SSTab1_->setTabText(4, kLivePageTitle);
    for (const Caption &c : kCaptions)
        if (auto *widget = control<QWidget>(QString::fromLatin1(c.name)))
            setCaption(widget, GetLanguageText(QString::fromLatin1(c.key)));
}

// ---------------------------------------------------------------- start-up

void VEK_Accueil::Form_Load(bool splash)
{
    VEK_LANGUAGE::InitLanguage();
    ApplyVersionStrings();
    LoadStoredSettings();
    EffacerTemp();
    ListerOS();
    SelectFirmwareEntry(TypeVersionOS_->count() - 1);
    SelectFirmwareEntry(0);
    LayoutCurveGrid();
    LayoutMapTables();
    FillParameterLists();
    LoadOptionBoards();
    LayoutChart();
    VEK_LANGUAGE::InitLanguage();
    InitLangue();
    SSTab1_->setCurrentIndex(0);
    if (splash)
        ShowSplash();
    settings().VersionModule = 0;
    bp_new_Click();
    WriteStatusBar();
}

void VEK_Accueil::ApplyVersionStrings()
{
    MainSettings &s = settings();
    s.VEKVersion = QStringLiteral("2.0.0");
    s.VEKRevision = QStringLiteral("01");
    s.VEKPSetting = QStringLiteral("V 3.9");
    s.VEKMZSetting = QStringLiteral("300");
    s.VEKJDMSetting = QStringLiteral("PCB.110");
    s.VEKDateRev = QStringLiteral("07/12/2007");
    setWindowTitle(
        QStringLiteral("VEK-Courbe - [ Version%1 Révision %2 ]").arg(s.VEKVersion, s.VEKRevision));
}

void VEK_Accueil::LoadStoredSettings()
{
    MainSettings &s = settings();
    s.CourbeModifie = false;
    const std::unique_ptr<QSettings> store = MainSettingsLoader::OpenStore();
    MainSettingsLoader(*store).Load(s);
    VEK_LANGUAGE::SetFichierLangueDefaut(QStringLiteral("francais.ini"));
    VEK_LANGUAGE::SetFichierLangue(s.Language);
}

void VEK_Accueil::EffacerTemp()
{
    VEK_Gestion_OS::EffacerTemp();
}

void VEK_Accueil::ListerOS()
{
    const QSignalBlocker block(TypeVersionOS_);
    TypeVersionOS_->clear();
    TypeVersionOS_->addItems(VEK_Gestion_OS::ListerOS());
}

void VEK_Accueil::SelectFirmwareEntry(int index)
{
    TypeVersionOS_->setCurrentIndex(index);
    ApplyFirmwareChoice();
}

void VEK_Accueil::TypeVersionOS_Click()
{
    ApplyFirmwareChoice();
}

// The free setting makes every engine setting available and takes the programmer
// and the table addresses from the user's settings; a package is unpacked and
// its description shapes the window. A package that cannot be unpacked is
// reported and the choice goes back to the entry in use, its files restored.
void VEK_Accueil::ApplyFirmwareChoice()
{
    const int entry = std::max(TypeVersionOS_->currentIndex(), 0);
    FirmwareProfile profile;
    if (entry == 0) {
        const std::unique_ptr<QSettings> store = MainSettingsLoader::OpenStore();
        profile = FreeSettingProfile([&store](const QString &key, const QString &fallback) {
            return store->value(QStringLiteral("ICSP/") + key, fallback).toString();
        });
    } else {
        PackageFilesBackup backup(PackageFilesBackup::TemporaryPackageFiles());
        backup.save();
        const VEK_Gestion_OS::Result loaded =
            VEK_Gestion_OS::ChargerOS(TypeVersionOS_->currentText());
        if (!loaded.ok()) {
            backup.restore();
            const QSignalBlocker block(TypeVersionOS_);
            TypeVersionOS_->setCurrentIndex(firmwareEntry_);
            auto *box = new QMessageBox(QMessageBox::Critical, GetLanguageText("MessWARNING"),
                                        loaded.message, QMessageBox::Ok, this);
            box->setObjectName(QStringLiteral("FirmwareError"));
            box->setDetailedText(loaded.details);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
            return;
        }
        VEK_Gestion_OS::InitGestionOS(VEK_Gestion_OS::DossierProgramme(),
                                      QStringLiteral("~TEMP.NFO"));
        profile =
            PackageProfile([](const QString &key) { return VEK_Gestion_OS::LireReglageOS(key); });
    }
    firmwareEntry_ = entry;
    context_.TypeVersionOS = TypeVersionOS_->currentText();
    ApplyProfileSettings(profile, context_);
    ApplyWindowProfile(*this, profile);
}

void VEK_Accueil::LayoutCurveGrid()
{
    tab_avance_->setColumnCount(3);
    tab_avance_->setRowCount(0);
    tab_avance_->setHorizontalHeaderLabels(
        {QStringLiteral("Rpm"), QStringLiteral("Atmo"), QStringLiteral("Turbo")});
    tab_avance_->verticalHeader()->hide();
    tab_avance_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void VEK_Accueil::LayoutMapTables()
{
    for (QTableWidget *table : {tabl_avance_, talbMapAdj_}) {
        table->setColumnCount(5);
        table->setRowCount(0);
        table->verticalHeader()->hide();
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    }
    const int columns = 5;
    QStringList load{QStringLiteral("RPM")};
    QStringList smoothing{QStringLiteral("Lissage")};
    for (int i = 1; i < columns; ++i) {
        load << QStringLiteral("%1-%2")
                    .arg((i - 1) * 100 / (columns - 1))
                    .arg(i * 100 / (columns - 1));
        smoothing << QString::number((i - 1) * 100 / (columns - 2));
    }
    tabl_avance_->setHorizontalHeaderLabels(load);
    talbMapAdj_->setHorizontalHeaderLabels(smoothing);
}

void VEK_Accueil::FillParameterLists()
{
    auto *cylinders = control<QComboBox>("NbCylindres");
    cylinders->clear();
    cylinders->addItems({"1", "2", "4", "6", "8"});
    cylinders->setCurrentIndex(0);
    auto *knock = control<QComboBox>("CmbCliquetis");
    knock->clear();
    for (int i = 0; i <= 8; ++i)
        knock->addItem(QString::number(i * 0.5, 'f', 1));
    knock->setCurrentIndex(4);
    auto *low = control<QComboBox>("CmbAvanceBasRegime");
    low->clear();
    for (int i = 0; i <= 12; ++i)
        low->addItem(QString::number(i, 'f', 1));
    low->setCurrentIndex(8);
    control<QLineEdit>("Txt_av_statique")->setText(QStringLiteral("45.0"));
    auto *led = control<QComboBox>("HardXLED");
    led->clear();
    led->addItems({"DISABLE", "PROGRAM", "RUPTEUR", "CLIQUETIS", "BOOST"});
    led->setCurrentIndex(0);
}

void VEK_Accueil::LoadOptionBoards()
{
    const CatalogueLoad loaded = context_.catalogues.LoadOptionBoardCatalogue();
    const QSignalBlocker block(TypeCarteOption_);
    TypeCarteOption_->clear();
    for (const CatalogueEntry &entry : loaded.entries)
        TypeCarteOption_->addItem(entry.name, entry.position);
    // Without a catalogue no board can be described: the choice stays disabled.
    const bool usable = loaded.ok && !loaded.entries.isEmpty();
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

void VEK_Accueil::LayoutChart()
{
    auto *chart = new QChart;
    seriesAtmo_ = new QLineSeries(chart);
    seriesAtmo_->setName(QStringLiteral("ATMO"));
    seriesTurbo_ = new QLineSeries(chart);
    seriesTurbo_->setName(QStringLiteral("TURBO"));
    chart->addSeries(seriesAtmo_);
    chart->addSeries(seriesTurbo_);
    auto *x = new QValueAxis(chart);
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTickCount(5);
    auto *y = new QValueAxis(chart);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTickCount(6);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries *series : {seriesAtmo_, seriesTurbo_}) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    QChart *old = trace_courbe_->chart();
    trace_courbe_->setChart(chart);
    delete old;
    GrilleVersGraphe();
}

// Copies the grid's points into the chart (the curve editor draws it properly).
void VEK_Accueil::GrilleVersGraphe()
{
    seriesAtmo_->clear();
    seriesTurbo_->clear();
    double maxRpm = 1000, maxAdvance = 10;
    for (int row = 0; row < tab_avance_->rowCount(); ++row) {
        const auto cell = [&](int column) {
            const QTableWidgetItem *item = tab_avance_->item(row, column);
            return item ? item->text().toDouble() : 0.0;
        };
        seriesAtmo_->append(cell(0), cell(1));
        seriesTurbo_->append(cell(0), cell(2));
        maxRpm = std::max(maxRpm, cell(0));
        maxAdvance = std::max({maxAdvance, cell(1), cell(2)});
    }
    const QList<QAbstractAxis *> axes = trace_courbe_->chart()->axes();
    axes.value(0)->setRange(0, maxRpm);
    axes.value(1)->setRange(0, maxAdvance);
}

void VEK_Accueil::ShowSplash()
{
    settings().presentation = true;
    auto *box = new VEK_about(settings(), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this] { settings().presentation = false; });
    box->open();
}

void VEK_Accueil::WriteStatusBar()
{
    const MainSettings &s = settings();
    panels_[0]->setText(s.portNumber > 0 ? QStringLiteral("COM%1").arg(s.portNumber)
                                         : s.portDevice);
    panels_[1]->setText(s.serialSettings);
    panels_[2]->setText(QStringLiteral("NOM :"));
    panels_[3]->setText(QStringLiteral("LOCAL"));
}

// ---------------------------------------------------------------- commands

void VEK_Accueil::bp_new_Click()
{
    VEK_LANGUAGE::InitLanguage();
    MainSettings &s = settings();
    bool ok = true;
    if (s.VersionModule != 0) {
        ok = QMessageBox::critical(this, GetLanguageText("MessWARNING"),
                                   GetLanguageText("BPNewFileQuestion"),
                                   QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    } else {
        s.VersionModule = 3;
    }
    if (ok) {
        setWindowTitle(QStringLiteral("VEK-Courbe - [ %1 ]").arg(GetLanguageText("BPNewFileDoc")));
        tab_avance_->setRowCount(0);
        for (const char *name : {"FrameTableMap", "FrameRetardCliquetis", "cmdGridColor", "PicMap"})
            control<QWidget>(QString::fromLatin1(name))->hide();
        control<QComboBox>("NbCylindres")->setCurrentIndex(0);
        control<QLineEdit>("Txt_av_statique")->setText(QStringLiteral("45.0"));
        control<QComboBox>("CmbAvanceBasRegime")->setCurrentIndex(11);
        control<QLineEdit>("Txt_rpm_maxi")->setText(QStringLiteral("6650"));
        control<QLineEdit>("TxtDwell")->setText(QStringLiteral("2.5"));
        control<QRadioButton>("SingleSparck")->setChecked(true);
        control<QComboBox>("CmbCliquetis")->setCurrentIndex(5);
        control<QLineEdit>("Txt_av_cliquetisPlus")
            ->setText(
                QString::number(4 * control<QComboBox>("CmbCliquetis")->currentText().toDouble()));
        control<QLineEdit>("TxtDureeRetardCliquetis")->setText(QStringLiteral("10"));
        control<QComboBox>("HardXLED")->setCurrentIndex(2);
        tab_avance_->setColumnCount(3);
        setKnockItemsVisible(false);
        GrilleVersGraphe();
        SelectFirmwareEntry(0);
        s.CourbeModifie = false;
    }
    L_Info_->setText(GetLanguageText("BPNewFileEnd"));
}

void VEK_Accueil::setKnockItemsVisible(bool visible)
{
    for (const char *name :
         {"LabelCourbe10", "Lbl_av_knock", "LabelCourbe11", "LabelCourbe12", "txt_av_knock"})
        control<QWidget>(QString::fromLatin1(name))->setVisible(visible);
}

void VEK_Accueil::about_Click()
{
    VEK_about box(settings(), this);
    box.exec();
}

void VEK_Accueil::Config_Click()
{
    // The configuration dialog plugs in here; its changes show at once.
    VEK_LANGUAGE::SetFichierLangue(settings().Language);
    VEK_LANGUAGE::InitLanguage();
    InitLangue();
    WriteStatusBar();
}

// The assembly window opens here once it exists.
void VEK_Accueil::BP_Compilation_Click() {}

void VEK_Accueil::BP_Bootloader_Click()
{
    if (TypeVersionOS_->currentIndex() <= 0) {
        showProgrammingMessage(QStringLiteral("Aucun fichier OS n'a été sélectionné"));
        return;
    }
    closeLivePort(); // the transfer window needs the serial line
    const QString &type = context_.TypeTransfert;
    const TransferWindow window = TransferWindowFor(type);
    if (window == TransferWindow::Unknown) {
        showProgrammingMessage(QStringLiteral("Type de transfert : ") + type +
                               QStringLiteral(" n'est pas reconnu ..."));
        return;
    }
    if (window == TransferWindow::Korval)
        showProgrammingMessage(QStringLiteral("Type de transfert : ") + type +
                               QStringLiteral(" n'est pas débugger ..."));
    openTransferWindow(window);
}

void VEK_Accueil::showProgrammingMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    this);
    box.setObjectName(QStringLiteral("ProgrammingMessage"));
    box.exec();
}

// The transfer windows plug in here; until then the user is told plainly.
void VEK_Accueil::openTransferWindow(TransferWindow)
{
    showProgrammingMessage(GetLanguageText("MessTransfertIndisponible"));
}

// The live link closes its port here once it belongs to the window.
void VEK_Accueil::closeLivePort() {}

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
    if (curveFiles_->commands().ConfirmQuit())
        event->accept();
    else
        event->ignore();
}

// The option-board dialog opens here, for a board (not the first entry).
void VEK_Accueil::BP_Parametres_carte_option_Click() {}

void VEK_Accueil::SingleSparck_Click()
{
    settings().CourbeModifie = true;
    L_Info_->setText(GetLanguageText("SingleSparckClick"));
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
