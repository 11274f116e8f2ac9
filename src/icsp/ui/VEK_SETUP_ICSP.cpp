#include "icsp/ui/VEK_SETUP_ICSP.h"

#include "app/VekContext.h"
#include "base/JobRunner.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/HexAddressBox.h"
#include "base/ui/PortField.h"
#include "base/ui/StatusTextArea.h"
#include "base/ui/StatusTipLine.h"
#include "base/ui/WindowPrompts.h"
#include "icsp/ChipTable.h"
#include "icsp/IcspLineChecks.h"
#include "icsp/IcspLines.h"
#include "icsp/PicDevice.h"
#include "icsp/ProgrammerLabel.h"
#include "icsp/ui/ConnectorPicture.h"
#include "platform/Clock.h"
#include "platform/PortAccessService.h"
#include "platform/SerialPortNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSerialPortInfo>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

const QColor kLineLow(255, 0, 0);
const QColor kLineHigh(0, 255, 0);
const QColor kInputMarker(255, 0, 255);

// Places of the serial connector's markers (TXD, RTS, DTR), in twips.
constexpr IcspSetup::Twips kDb9Mclr{920, 330};
constexpr IcspSetup::Twips kDb9Clock{990, 480};
constexpr IcspSetup::Twips kDb9Data{760, 330};

QGroupBox *frame(const char *name, QLayout *layout)
{
    auto *box = new QGroupBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setLayout(layout);
    return box;
}

template <typename W> W *named(const char *name, W *widget)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit *addressBox(const char *name)
{
    auto *box = named(name, new QLineEdit);
    box->setMaxLength(8);
    return HexAddressBox(box, 80);
}

} // namespace

VEK_SETUP_ICSP::VEK_SETUP_ICSP(VekContext &context, QWidget *parent)
    : QDialog(parent), context_(context)
{
    setObjectName(QStringLiteral("VEK_SETUP_ICSP"));
    setWindowTitle(GetLanguageText("SetupIcspTitre"));
    setMouseTracking(true);
    warn_ = [this](const QString &text) {
        WindowPrompts::system().message(this, QMessageBox::Warning,
                                        GetLanguageText(QStringLiteral("MessWARNING")), text,
                                        QMessageBox::Ok);
    };
    // The programmer as the transfer windows reach it (tests give a simulated box).
    const TransferServices &services = context.transfer;
    ownLineChecks_ =
        std::make_unique<IcspLineChecks>(services.clock ? *services.clock : SteadyClock::instance(),
                                         services.programmerPort, IcspTexts::load());
    lineChecks_ = ownLineChecks_.get();
    runner_ = new JobRunner(this);
    connect(runner_, &JobRunner::finished, this, &VEK_SETUP_ICSP::presenceTestFinished);

    SSTab1 = named("SSTab1", new QTabWidget(this));
    SSTab1->addTab(buildProgrammerPage(), QString());
    SSTab1->addTab(buildHardwarePage(), QString());
    L_Info = named("L_Info", new QLabel(this));
    L_Info->setFrameShape(QFrame::StyledPanel);
    OKButton = named("OKButton", new QPushButton(this));
    CancelButton = named("CancelButton", new QPushButton(this));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &VEK_SETUP_ICSP::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &VEK_SETUP_ICSP::CancelButton_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(StatusTextArea(L_Info, 2, this), 1);
    buttons->addWidget(OKButton, 0, Qt::AlignBottom);
    buttons->addWidget(CancelButton, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);
    StatusTip = new StatusTipLine(this);
    layout->addWidget(StatusTip);
    Form_Load();
}

VEK_SETUP_ICSP::~VEK_SETUP_ICSP()
{
    // The presence test uses the line tests' programmer: stop it first.
    runner_->cancelAndWait();
}

void VEK_SETUP_ICSP::setLineChecks(ProgrammerLineChecks *tests)
{
    if (testPortOpen_)
        closeTestPort();
    lineChecks_ = tests ? tests : ownLineChecks_.get();
}

bool VEK_SETUP_ICSP::PackageChosen(const VekContext &context)
{
    // Entry 0 of the firmware list is the free setting; packages are ".XOS" files.
    return context.TypeVersionOS.endsWith(QLatin1String("XOS"));
}

bool VEK_SETUP_ICSP::presenceTestRunning() const
{
    return runner_->isRunning();
}

QWidget *VEK_SETUP_ICSP::buildProgrammerPage()
{
    auto *page = new QWidget;
    page->setMouseTracking(true);
    page->installEventFilter(this);

    auto *boxes = new QVBoxLayout;
    FrameTypeBoitier = frame("FrameTypeBoitier", boxes);
    for (int i = 0; i < IcspSetup::BoxTypeCount; ++i) {
        ICSP_BOITIER[i] = new QRadioButton(IcspSetup::BoxOptionCaption(i));
        ICSP_BOITIER[i]->setObjectName(QStringLiteral("ICSP_BOITIER_%1").arg(i));
        boxes->addWidget(ICSP_BOITIER[i]);
        connect(ICSP_BOITIER[i], &QRadioButton::clicked, this,
                [this, i] { ICSP_BOITIER_Click(i); });
    }
    boxes->addStretch();

    auto *chip = new QVBoxLayout;
    FrameProcesseur = frame("FrameProcesseur", chip);
    ICSP_CHIP = named("ICSP_CHIP", new QComboBox);
    ICSP_CHIP->setEditable(true);
    ICSP_CHIP->setInsertPolicy(QComboBox::NoInsert);
    ICSP_CHIP->addItem(QStringLiteral("****"));
    chip->addWidget(ICSP_CHIP);
    connect(ICSP_CHIP, &QComboBox::activated, this, &VEK_SETUP_ICSP::ICSP_CHIP_Click);

    auto *attempts = new QVBoxLayout;
    FrameNbEssaiProg = frame("FrameNbEssaiProg", attempts);
    ICSP_NbWrite = named("ICSP_NbWrite", new QComboBox);
    ICSP_NbWrite->setEditable(true);
    ICSP_NbWrite->setInsertPolicy(QComboBox::NoInsert);
    for (int n = 1; n <= 9; ++n)
        ICSP_NbWrite->addItem(QString::number(n));
    attempts->addWidget(ICSP_NbWrite);

    auto *delay = new QHBoxLayout;
    FrameDelais = frame("FrameDelais", delay);
    FrameDelais->setTitle(GetLanguageText("SetupIcspDelais"));
    ICSP_Delay = named("ICSP_Delay", new QSlider(Qt::Horizontal));
    ICSP_Delay->setRange(IcspSetup::MinDelayUs, IcspSetup::MaxDelayUs);
    ICSP_Delay->setPageStep(10);
    ICSP_Delay->setTickInterval(20);
    ICSP_Delay->setTickPosition(QSlider::TicksBelow);
    auto *delayValue = named("DelayValue", new QLabel);
    delayValue->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000 µs")));
    const auto showDelay = [delayValue](int us) {
        delayValue->setText(QStringLiteral("%1 µs").arg(us));
    };
    connect(ICSP_Delay, &QSlider::valueChanged, delayValue, showDelay);
    // A stored delay the slider already stands at moves nothing: shown now.
    showDelay(ICSP_Delay->value());
    delay->addWidget(ICSP_Delay, 1);
    delay->addWidget(delayValue);

    auto *code = new QGridLayout;
    FrameCodeAdresse = frame("FrameCodeAdresse", code);
    HEXADD = addressBox("HEXADD");
    HEXLNG = addressBox("HEXLNG");
    code->addWidget(named("LabelCodeAdresse1", new QLabel), 0, 0);
    code->addWidget(HEXADD, 0, 1);
    code->addWidget(named("LabelCodeAdresse2", new QLabel), 1, 0);
    code->addWidget(HEXLNG, 1, 1);

    auto *tables = new QGridLayout;
    FrameCourbeAdresse = frame("FrameCourbeAdresse", tables);
    ADDL8 = addressBox("ADDL8");
    ADDH8 = addressBox("ADDH8");
    ADDL16 = addressBox("ADDL16");
    ADDH16 = addressBox("ADDH16");
    tables->addWidget(named("LabelCourbeAdresse1", new QLabel), 0, 0);
    tables->addWidget(ADDL8, 0, 1);
    tables->addWidget(ADDH8, 0, 2);
    tables->addWidget(named("LabelCourbeAdresse4", new QLabel), 1, 0);
    tables->addWidget(ADDL16, 1, 1);
    tables->addWidget(ADDH16, 1, 2);
    auto *note = named("LabelCourbeAdresse5", new QLabel);
    note->setWordWrap(true);
    tables->addWidget(note, 2, 0, 1, 3);

    auto *layout = new QGridLayout(page);
    layout->addWidget(FrameTypeBoitier, 0, 0, 2, 1);
    layout->addWidget(FrameProcesseur, 0, 1);
    layout->addWidget(FrameNbEssaiProg, 1, 1);
    layout->addWidget(FrameDelais, 2, 0, 1, 2);
    layout->addWidget(FrameCodeAdresse, 0, 2);
    layout->addWidget(FrameCourbeAdresse, 1, 2, 2, 1);
    for (QGroupBox *f : {FrameCodeAdresse, FrameCourbeAdresse, FrameProcesseur, FrameTypeBoitier})
        f->installEventFilter(this);
    return page;
}

QWidget *VEK_SETUP_ICSP::buildHardwarePage()
{
    auto *page = new QWidget;
    page->setMouseTracking(true);
    page->installEventFilter(this);
    BP_TST_PROG = named("BP_TST_PROG", new QPushButton);
    connect(BP_TST_PROG, &QPushButton::clicked, this, &VEK_SETUP_ICSP::BP_TST_PROG_Click);
    // The port across the page: a by-id path shows whole.
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(buildPortFrame());
    layout->addWidget(buildTestFrame(), 1);
    layout->addWidget(BP_TST_PROG, 0, Qt::AlignRight);
    return page;
}

QWidget *VEK_SETUP_ICSP::buildPortFrame()
{
    auto *grid = new QGridLayout;
    FramePortICSP = frame("FramePortICSP", grid);
    ICSP_COM = named("ICSP_COM", new QComboBox);
    MakePortField(ICSP_COM);
    ICSP_COM->addItems(IcspSetup::FixedPortEntries());
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ICSP_COM->addItem(info.systemLocation());
    ICSP_COM->addItems(PortAccessService().parallelDevices());
    connect(ICSP_COM, &QComboBox::textActivated, this, &VEK_SETUP_ICSP::ICSP_COM_Click);
    // Return takes the typed port and goes no further (it must not press OK:
    // the user goes on to test the lines on that port). A key press reaches
    // the combo box, which hands it to its line edit itself: both are watched.
    ICSP_COM->installEventFilter(this);
    ICSP_COM->lineEdit()->installEventFilter(this);
    grid->addWidget(ICSP_COM, 0, 0, 1, 4);

    const struct {
        const char *label, *caption;
        QComboBox *&list;
        const char *name;
    } pins[] = {{"LblBrocheMCLR", "MCLR", LptBrocheMCLR, "LptBrocheMCLR"},
                {"LblBrocheCLOCK", LangKey("SetupIcspClock"), LptBrocheCLOCK, "LptBrocheCLOCK"},
                {"LblBrocheDATA", LangKey("SetupIcspDataS"), LptBrocheDATA, "LptBrocheDATA"},
                {"LblBrocheDATAR", LangKey("SetupIcspDataE"), LptBrocheDATAR, "LptBrocheDATAR"}};
    // Two pins a row under the port: the page keeps its width for either kind of port.
    int n = 0;
    for (const auto &p : pins) {
        // MCLR is the line's name in every language.
        const QString caption = QString::fromLatin1(p.caption);
        auto *label = named(
            p.label, new QLabel(&p.list == &LptBrocheMCLR ? caption : GetLanguageText(caption)));
        p.list = named(p.name, new QComboBox);
        QComboBox *list = p.list;
        connect(list, &QComboBox::currentIndexChanged, this, [this, list] { pinChosen(list); });
        grid->addWidget(label, 1 + n / 2, n % 2 * 2, Qt::AlignRight);
        grid->addWidget(list, 1 + n / 2, n % 2 * 2 + 1);
        portKindWidgets_ << label << list;
        ++n;
    }
    return FramePortICSP;
}

QWidget *VEK_SETUP_ICSP::buildTestFrame()
{
    auto *layout = new QGridLayout;
    FrameTestProg = frame("FrameTestProg", layout);
    Sub_db9 = new ConnectorPicture(ConnectorPicture::Kind::Db9);
    Sub_db25 = new ConnectorPicture(ConnectorPicture::Kind::Db25);
    EtatCom_MCLR = Sub_db9->addMarker(QStringLiteral("EtatCom_MCLR"), 135, 105);
    EtatCom_CLOCK = Sub_db9->addMarker(QStringLiteral("EtatCom_CLOCK"), 135, 105);
    EtatCom_DATA = Sub_db9->addMarker(QStringLiteral("EtatCom_DATA"), 135, 105);
    EtatLpt_MCLR = Sub_db25->addMarker(QStringLiteral("EtatLpt_MCLR"), 135, 135);
    EtatLpt_CLOCK = Sub_db25->addMarker(QStringLiteral("EtatLpt_CLOCK"), 135, 135);
    EtatLpt_DATA = Sub_db25->addMarker(QStringLiteral("EtatLpt_DATA"), 135, 135);
    EtatLpt_DATAR = Sub_db25->addMarker(QStringLiteral("EtatLpt_DATAR"), 135, 135);
    EtatLpt_DATAR->setColor(kInputMarker);
    auto *pictures = new QHBoxLayout;
    pictures->addWidget(Sub_db9);
    pictures->addWidget(Sub_db25);
    pictures->addStretch();
    layout->addLayout(pictures, 0, 0, 1, 2);

    BP_ONOFF = named("BP_ONOFF", new QPushButton);
    connect(BP_ONOFF, &QPushButton::clicked, this, &VEK_SETUP_ICSP::BP_ONOFF_Click);
    TST_MCLR = named("TST_MCLR", new QCheckBox);
    TST_CLOCK = named("TST_CLOCK", new QCheckBox);
    TST_DATA = named("TST_DATA", new QCheckBox);
    lines_ = {LineTest{TST_MCLR, 1, "MCLR", EtatCom_MCLR, EtatLpt_MCLR},
              LineTest{TST_CLOCK, 2, "CLOCK", EtatCom_CLOCK, EtatLpt_CLOCK},
              LineTest{TST_DATA, 4, "DATA", EtatCom_DATA, EtatLpt_DATA}};
    auto *checks = new QVBoxLayout;
    for (const LineTest &test : lines_) {
        checks->addWidget(test.box);
        connect(test.box, &QCheckBox::toggled, this, [this, &test] { lineTestClicked(test); });
    }
    layout->addWidget(BP_ONOFF, 1, 0, Qt::AlignTop);
    layout->addLayout(checks, 1, 1);
    return FrameTestProg;
}

void VEK_SETUP_ICSP::Form_Load()
{
    MainSettings &s = context_.settings;
    testPortOpen_ = false;
    InitLangue();
    loadChipList();
    kept_ = IcspSetup::CaptureLive(s);
    chosenChip_ = s.ICSPChip;
    idleLineTests();
    AfficherBoitier();
    fillPinLists();
    if (s.ICSPBoitier >= 0 && s.ICSPBoitier < IcspSetup::BoxTypeCount) {
        ICSP_BOITIER[s.ICSPBoitier]->setChecked(true);
        ICSP_BOITIER_Click(s.ICSPBoitier);
    }
    ICSP_CHIP->setCurrentIndex(ICSP_CHIP->findText(s.ICSPChip));
    ICSP_CHIP->setEditText(s.ICSPChip);
    ICSP_COM->setCurrentIndex(ICSP_COM->findText(s.ICSPPort));
    ICSP_COM->setEditText(s.ICSPPort);
    // Each selection writes its pin back: a pin outside its list becomes 0.
    const struct {
        QComboBox *list;
        uint8_t index;
    } pins[] = {{LptBrocheMCLR, IcspSetup::ConvertBrocheListeS(s.ICSPPINMCLR)},
                {LptBrocheCLOCK, IcspSetup::ConvertBrocheListeS(s.ICSPPINCLOCK)},
                {LptBrocheDATA, IcspSetup::ConvertBrocheListeS(s.ICSPPINDATA)},
                {LptBrocheDATAR, IcspSetup::ConvertBrocheListeE(s.ICSPPINDATAR)}};
    for (const auto &p : pins) {
        const QSignalBlocker block(p.list);
        p.list->setCurrentIndex(p.index);
        pinChosen(p.list);
    }
    loadValues();
    packageChosen_ = PackageChosen(context_);
    applyPackageLock();
    ICSP_COM_Click(ICSP_COM->currentText());
    SSTab1->setCurrentIndex(0);
    L_Info->clear();
}

void VEK_SETUP_ICSP::InitLangue()
{
    const auto text = [](const char *key) { return GetLanguageText(QString::fromLatin1(key)); };
    SSTab1->setTabText(0, text(VEK_LANGUAGE::LangKey("MOICSP")));
    FrameTypeBoitier->setTitle(text(VEK_LANGUAGE::LangKey("MFTypeBoitier")));
    FrameProcesseur->setTitle(text(VEK_LANGUAGE::LangKey("MFProcesseur")));
    FrameNbEssaiProg->setTitle(text(VEK_LANGUAGE::LangKey("MFNbEssaiProg")));
    FrameCodeAdresse->setTitle(text(VEK_LANGUAGE::LangKey("MFCodeAdresse")));
    findChild<QLabel *>(QStringLiteral("LabelCodeAdresse1"))
        ->setText(text(VEK_LANGUAGE::LangKey("MLCodeAdresse1")));
    findChild<QLabel *>(QStringLiteral("LabelCodeAdresse2"))
        ->setText(text(VEK_LANGUAGE::LangKey("MLCodeAdresse2")));
    FrameCourbeAdresse->setTitle(text(VEK_LANGUAGE::LangKey("MFCourbeAdresse")));
    findChild<QLabel *>(QStringLiteral("LabelCourbeAdresse1"))
        ->setText(text(VEK_LANGUAGE::LangKey("MLCourbeAdresse1")));
    findChild<QLabel *>(QStringLiteral("LabelCourbeAdresse4"))
        ->setText(text(VEK_LANGUAGE::LangKey("MLCourbeAdresse4")));
    findChild<QLabel *>(QStringLiteral("LabelCourbeAdresse5"))
        ->setText(text(VEK_LANGUAGE::LangKey("MLCourbeAdresse5")));
    SSTab1->setTabText(1, text(VEK_LANGUAGE::LangKey("MOHardware")));
    FramePortICSP->setTitle(text(VEK_LANGUAGE::LangKey("MFPortICSP")));
    BP_TST_PROG->setText(text(VEK_LANGUAGE::LangKey("MBTSTPROG")));
    FrameTestProg->setTitle(text(VEK_LANGUAGE::LangKey("MFTestProg")));
    BP_ONOFF->setText(text(VEK_LANGUAGE::LangKey("MBCOMOFF")));
    TST_MCLR->setText(text(VEK_LANGUAGE::LangKey("MLTSTMCLR")));
    TST_CLOCK->setText(text(VEK_LANGUAGE::LangKey("MLTSTCLOCK")));
    TST_DATA->setText(text(VEK_LANGUAGE::LangKey("MLTSTDATA")));
    OKButton->setText(text(VEK_LANGUAGE::LangKey("MOK")));
    CancelButton->setText(text(VEK_LANGUAGE::LangKey("MAnnuler")));
}

void VEK_SETUP_ICSP::loadChipList()
{
    const CatalogueLoad load = context_.catalogues.LoadChipCatalogue();
    if (!load.ok) {
        // The list keeps its "****" entry; the chip in force stays chosen.
        WindowPrompts::system().notify(this, QMessageBox::Warning, GetLanguageText("MessWARNING"),
                                       load.message, QStringLiteral("ChipCatalogueError"));
        return;
    }
    ICSP_CHIP->clear();
    for (const CatalogueEntry &entry : load.entries)
        ICSP_CHIP->addItem(entry.name, entry.position);
}

void VEK_SETUP_ICSP::fillPinLists()
{
    for (QComboBox *list : {LptBrocheMCLR, LptBrocheCLOCK, LptBrocheDATA}) {
        const QSignalBlocker block(list);
        list->addItems(IcspSetup::OutputPinEntries());
    }
    const QSignalBlocker block(LptBrocheDATAR);
    LptBrocheDATAR->addItems(IcspSetup::InputPinEntries());
}

void VEK_SETUP_ICSP::loadValues()
{
    const MainSettings &s = context_.settings;
    ICSP_Delay->setValue(IcspSetup::DelayForSlider(s.ICSPDELAY));
    ICSP_NbWrite->setCurrentIndex(ICSP_NbWrite->findText(QString::number(s.ICSPNBWRT)));
    ICSP_NbWrite->setEditText(QString::number(s.ICSPNBWRT));
    HEXADD->setText(s.ICSPHEXADD);
    HEXLNG->setText(s.ICSPHEXLNG);
    ADDL8->setText(s.ICSPLTAB_L1);
    ADDH8->setText(s.ICSPHTAB_L1);
    ADDL16->setText(s.ICSPLTAB16_L1);
    ADDH16->setText(s.ICSPHTAB16_L1);
}

void VEK_SETUP_ICSP::applyPackageLock()
{
    const bool free = !packageChosen_;
    // A package fixes the box, the chip and where code and tables lie.
    for (QWidget *w :
         std::initializer_list<QWidget *>{FrameTypeBoitier, FrameCourbeAdresse, FrameCodeAdresse,
                                          FrameProcesseur, FrameNbEssaiProg, FrameDelais})
        w->setEnabled(free);
    if (packageChosen_)
        for (QLineEdit *box : {ADDL8, ADDH8, ADDL16, ADDH16, HEXADD, HEXLNG})
            box->setText(QStringLiteral("xxxx"));
}

void VEK_SETUP_ICSP::ICSP_BOITIER_Click(int index)
{
    context_.settings.ICSPBoitier = int16_t(index);
    AfficherBoitier();
    L_Info->setText(GetLanguageText("SetupIcspModuleChoisi", {"{MODULE}", boxLabel_}));
}

void VEK_SETUP_ICSP::AfficherBoitier()
{
    const QString label = NomProgrammateur(context_.settings);
    if (!label.isEmpty()) // an unknown box type keeps the label it had
        boxLabel_ = label;
    L_Info->setText(GetLanguageText("SetupIcspModuleRetenu", {"{MODULE}", boxLabel_}));
}

void VEK_SETUP_ICSP::ICSP_CHIP_Click(int index)
{
    chosenChip_ = ICSP_CHIP->itemText(index);
}

void VEK_SETUP_ICSP::ICSP_COM_Click(const QString &typed)
{
    const QString port = SerialPortNames::CanonicalName(typed);
    if (ICSP_COM->currentText() != port) // the field shows the port taken
        ICSP_COM->setEditText(port);
    context_.settings.ICSPPort = port;
    if (testPortOpen_)
        BP_ONOFF_Click(); // closes the test port of the previous choice
    showPortKind(port);
}

void VEK_SETUP_ICSP::showPortKind(const QString &port)
{
    // The picture follows the port text alone (a box other than JDM); a text
    // that OK would refuse is a problem already.
    const IcspLineSettings::PortKind kind = IcspLineSettings::portKindOf(port);
    if (!SerialPortNames::NamesAPort(port)) {
        L_Info->setText(GetLanguageText("SetupIcspProblemePort"));
        return;
    }
    const bool parallel = kind == IcspLineSettings::PortKind::Parallel;
    Sub_db9->setVisible(!parallel);
    Sub_db25->setVisible(parallel);
    for (QWidget *w : portKindWidgets_)
        w->setVisible(parallel);
    L_Info->setText(GetLanguageText(parallel ? "SetupIcspPortParallele" : "SetupIcspPortSerie",
                                    {"{PORT}", port}));
}

void VEK_SETUP_ICSP::pinChosen(QComboBox *list)
{
    MainSettings &s = context_.settings;
    const auto index = uint8_t(std::max(list->currentIndex(), 0));
    uint8_t pin = 0;
    ConnectorMarker *marker = nullptr;
    if (list == LptBrocheDATAR) {
        pin = s.ICSPPINDATAR = IcspSetup::ConvertListeBrocheE(index);
        marker = EtatLpt_DATAR;
    } else {
        pin = IcspSetup::ConvertListeBrocheS(index);
        if (list == LptBrocheMCLR)
            s.ICSPPINMCLR = pin, marker = EtatLpt_MCLR;
        else if (list == LptBrocheCLOCK)
            s.ICSPPINCLOCK = pin, marker = EtatLpt_CLOCK;
        else
            s.ICSPPINDATA = pin, marker = EtatLpt_DATA;
    }
    const IcspSetup::Twips at = IcspSetup::Db25MarkerPosition(pin);
    Sub_db25->placeMarker(marker, at.left, at.top);
}

void VEK_SETUP_ICSP::idleLineTests()
{
    const IcspSetup::Twips places[] = {kDb9Mclr, kDb9Clock, kDb9Data};
    for (size_t i = 0; i < lines_.size(); ++i) {
        const LineTest &test = lines_[i];
        const QSignalBlocker block(test.box);
        test.box->setChecked(false);
        test.box->setEnabled(false);
        test.com->setColor(kLineLow);
        test.com->hide();
        Sub_db9->placeMarker(test.com, places[i].left, places[i].top);
    }
}

void VEK_SETUP_ICSP::BP_ONOFF_Click()
{
    // The port's state is our own flag, not the button's caption: two equal
    // captions (missing texts) must not turn a close into an open.
    if (testPortOpen_) {
        closeTestPort();
        return;
    }
    takeTypedPort(); // the port shown is the port opened
    // A port that would not open says why, worded as in every window.
    const QString error = lineChecks_->open(context_.settings);
    if (!error.isEmpty()) {
        refuse(error);
        return;
    }
    BP_ONOFF->setText(GetLanguageText(QStringLiteral("MBCOMON")));
    for (const LineTest &test : lines_) {
        test.box->setEnabled(true);
        for (ConnectorMarker *m : {test.com, test.lpt}) {
            m->setColor(kLineLow);
            m->show();
        }
    }
    EtatLpt_DATAR->show();
    testPortOpen_ = true;
    L_Info->setText(GetLanguageText("SetupIcspConnecte", {"{MODULE}", boxLabel_}));
}

void VEK_SETUP_ICSP::closeTestPort()
{
    BP_ONOFF->setText(GetLanguageText(QStringLiteral("MBCOMOFF")));
    for (const LineTest &test : lines_) {
        test.box->setEnabled(false);
        test.box->setChecked(false); // a ticked line goes to 0 while the port is open
        for (ConnectorMarker *m : {test.com, test.lpt}) {
            m->setColor(kLineLow);
            m->hide();
        }
    }
    EtatLpt_DATAR->hide();
    lineChecks_->close();
    testPortOpen_ = false;
    L_Info->setText(GetLanguageText("SetupIcspDeconnecte", {"{MODULE}", boxLabel_}));
}

void VEK_SETUP_ICSP::lineTestClicked(const LineTest &test)
{
    if (!testPortOpen_)
        return;
    const bool high = test.box->isChecked();
    const QString error = lineChecks_->setLine(context_.settings, test.line, high ? 1 : 0);
    const QString line = QString::fromLatin1(test.name);
    if (!error.isEmpty()) {
        // What the line shows is what was done: a failed write leaves it unticked.
        const QSignalBlocker block(test.box);
        test.box->setChecked(false);
        test.com->setColor(kLineLow);
        test.lpt->setColor(kLineLow);
        L_Info->setText(GetLanguageText(QStringLiteral("IcspLineFailed"),
                                        {QStringLiteral("%1"), line, QStringLiteral("%2"),
                                         boxLabel_, QStringLiteral("%3"), error}));
        return;
    }
    test.com->setColor(high ? kLineHigh : kLineLow);
    test.lpt->setColor(high ? kLineHigh : kLineLow);
    L_Info->setText(GetLanguageText(high ? "SetupIcspLigneOK" : "SetupIcspLigneTerminee",
                                    {"{LIGNE}", line, "{MODULE}", boxLabel_}));
}

void VEK_SETUP_ICSP::BP_TST_PROG_Click()
{
    // The self-test needs the port to itself: the hand tests close theirs
    // first, so that the button never shows a port that the test has closed.
    if (testPortOpen_)
        closeTestPort();
    takeTypedPort();
    const MainSettings settings = context_.settings; // the job's own copy
    ProgrammerLineChecks *tests = lineChecks_;
    if (runner_->start([tests, settings](ProgressSink &progress, const CancelToken &cancel) {
            return tests->presenceTest(settings, progress, cancel);
        }))
        setBusy(true);
}

void VEK_SETUP_ICSP::presenceTestFinished(const JobOutcome &outcome)
{
    setBusy(false);
    if (outcome.succeeded()) {
        L_Info->setText(GetLanguageText("SetupIcspReponseOK", {"{MODULE}", boxLabel_}));
        return;
    }
    // A port that would not open was never tested: its reason alone.
    if (outcome.code != IcspProgrammer::OpenNoAnswer) {
        L_Info->setText(outcome.message);
        return;
    }
    QString text = GetLanguageText("SetupIcspPasDeReponse", {"{MODULE}", boxLabel_});
    if (!outcome.message.isEmpty())
        text += QLatin1Char('\n') + outcome.message; // the self-test's report
    L_Info->setText(text);
}

void VEK_SETUP_ICSP::setBusy(bool busy)
{
    for (QWidget *w : std::initializer_list<QWidget *>{BP_TST_PROG, BP_ONOFF, OKButton,
                                                       CancelButton, FramePortICSP})
        w->setEnabled(!busy);
}

IcspSetup::Entries VEK_SETUP_ICSP::entries() const
{
    IcspSetup::Entries e;
    e.chip = chosenChip_;
    e.delayUs = ICSP_Delay->value();
    e.nbWrite = ICSP_NbWrite->currentText();
    e.HEXADD = HEXADD->text();
    e.HEXLNG = HEXLNG->text();
    e.ADDL8 = ADDL8->text();
    e.ADDH8 = ADDH8->text();
    e.ADDL16 = ADDL16->text();
    e.ADDH16 = ADDH16->text();
    return e;
}

QWidget *VEK_SETUP_ICSP::fieldWidget(IcspSetup::Field field) const
{
    using F = IcspSetup::Field;
    switch (field) {
    case F::NbWrite:
        return ICSP_NbWrite;
    case F::HEXADD:
        return HEXADD;
    case F::HEXLNG:
        return HEXLNG;
    case F::ADDL8:
        return ADDL8;
    case F::ADDH8:
        return ADDH8;
    case F::ADDL16:
        return ADDL16;
    case F::ADDH16:
        return ADDH16;
    }
    return nullptr;
}

QString VEK_SETUP_ICSP::portRefusalText(IcspSetup::PortRefusal refusal, const QString &port) const
{
    using R = IcspSetup::PortRefusal;
    switch (refusal) {
    case R::NoPort:
        return GetLanguageText(QStringLiteral("IcspSetupNoPort"));
    case R::NotAPort:
        return GetLanguageText(QStringLiteral("IcspSetupBadPort"), {QStringLiteral("%1"), port});
    case R::Missing:
        return GetLanguageText(QStringLiteral("IcspSetupMissingPort"),
                               {QStringLiteral("%1"), port});
    case R::NotAPortDevice:
        return GetLanguageText(QStringLiteral("IcspSetupNotAPortDevice"),
                               {QStringLiteral("%1"), port});
    case R::NeedsSerial:
        break;
    }
    return GetLanguageText(QStringLiteral("IcspSetupNeedsSerial"),
                           {QStringLiteral("%1"), boxLabel_, QStringLiteral("%2"), port});
}

void VEK_SETUP_ICSP::refuseOk(const QString &text, QWidget *box)
{
    // Nothing is applied: the dialog stays open on the box to correct.
    SSTab1->setCurrentIndex(0);
    box->setFocus();
    refuse(text);
}

void VEK_SETUP_ICSP::refuse(const QString &text)
{
    L_Info->setText(text);
    warn_(text);
}

void VEK_SETUP_ICSP::OKButton_Click()
{
    const IcspSetup::Entries e = entries();
    // OK takes the field's text, and a refusal speaks of that text: never of
    // a port taken earlier, which an emptied field would leave in force.
    const QString port = SerialPortNames::CanonicalName(ICSP_COM->currentText());
    takeTypedPort();
    if (const auto refused = IcspSetup::RefusedPort(port, context_.settings.ICSPBoitier)) {
        SSTab1->setCurrentIndex(1);
        ICSP_COM->setFocus();
        refuse(portRefusalText(*refused, port));
        return;
    }
    if (const auto refused = IcspSetup::FirstRefusedField(e, packageChosen_)) {
        refuseOk(IcspSetup::FieldRefusal(e, *refused), fieldWidget(*refused));
        return;
    }
    // Areas the downloads and the table programming would refuse for the chip
    // chosen here: say so now. Under "AUTO" no chip is chosen: what does not
    // depend on the chip is checked (blocks, overlap, the programmer's address
    // space), and the operation that reads the chip checks the rest.
    const auto &areas = context_.transfer.areasRefused;
    if (!packageChosen_ && areas) {
        PicDevice chip;
        if (const auto record = ChipTable::fixedChip(e.chip))
            chip.setChip(*record);
        if (const auto refused = areas(e, context_.settings.ICSPNbTables, chip)) {
            refuseOk(refused->text, fieldWidget(refused->field));
            return;
        }
    }
    IcspSetup::ApplyOk(context_.settings, context_.pic, e, packageChosen_);
    if (!store_) {
        ownStore_ = MainSettingsLoader::OpenStore();
        store_ = ownStore_.get();
    }
    if (!IcspSetup::SaveIcspSettings(*store_, context_.settings, packageChosen_))
        warn_(MainSettingsLoader::SaveFailureText(*store_));
    closeDialog(true);
}

void VEK_SETUP_ICSP::CancelButton_Click()
{
    reject();
}

void VEK_SETUP_ICSP::reject()
{
    if (closing_)
        return;
    IcspSetup::RestoreLive(context_.settings, kept_);
    closeDialog(false);
}

void VEK_SETUP_ICSP::closeDialog(bool accepted)
{
    closing_ = true;
    Form_Unload();
    done(accepted ? Accepted : Rejected);
    emit setupClosed();
}

void VEK_SETUP_ICSP::Form_Unload()
{
    // However the dialog closes, the lines go to rest and the port is released.
    runner_->cancelAndWait();
    if (testPortOpen_) {
        for (const LineTest &test : lines_) {
            const QSignalBlocker quiet(test.box);
            test.box->setChecked(false);
        }
        lineChecks_->close();
        testPortOpen_ = false;
    }
}

void VEK_SETUP_ICSP::takeTypedPort(bool confirmed)
{
    // Kept as typed (a link is followed at each opening, not replaced here).
    const QString port = SerialPortNames::CanonicalName(ICSP_COM->currentText());
    if (port.isEmpty() || (!confirmed && port == context_.settings.ICSPPort))
        return;
    ICSP_COM_Click(port);
}

bool VEK_SETUP_ICSP::eventFilter(QObject *watched, QEvent *event)
{
    if (ICSP_COM && (watched == ICSP_COM || watched == ICSP_COM->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            takeTypedPort(true);
            return true;
        }
    }
    const struct {
        QGroupBox *frame;
        const char *help;
    } helps[] = {
        {FrameCodeAdresse, LangKey("SetupIcspAideCode")},
        {FrameCourbeAdresse, LangKey("SetupIcspAideTables")},
        {FrameProcesseur, LangKey("SetupIcspAideProcesseur")},
        {FrameTypeBoitier, LangKey("SetupIcspAideModule")},
    };
    if (event->type() == QEvent::Enter) {
        for (const auto &h : helps)
            if (watched == h.frame)
                StatusTip->setText(GetLanguageText(QString::fromLatin1(h.help)));
    } else if (event->type() == QEvent::MouseMove && !presenceTestRunning()) {
        // Over the pages' own background: no help. L_Info keeps what the
        // dialog last said.
        for (int i = 0; i < SSTab1->count(); ++i)
            if (watched == SSTab1->widget(i))
                StatusTip->setText({});
    }
    return QDialog::eventFilter(watched, event);
}
