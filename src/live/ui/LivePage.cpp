#include "live/ui/LivePage.h"

#include "app/VekContext.h"
#include "base/MainSettingsLoader.h"
#include "base/PortFailureTexts.h"
#include "base/SerialOptions.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "live/LiveLogger.h"
#include "live/SimulationCommand.h"
#include "live/ui/LedLamp.h"
#include "live/ui/LivePalette.h"
#include "live/ui/NeedleDial.h"
#include "live/ui/SevenSegmentDisplay.h"
#include "platform/DataPaths.h"
#include "platform/SerialPortNames.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariant>

#include <initializer_list>

using VEK_LANGUAGE::GetLanguageText;

namespace {
// The instruments follow the module at most this often (and never faster than
// the screen): smooth needles, readable digits, little work.
constexpr double MaxDisplayHz = 20.0;
// The frame text and the capture's byte count are read, not watched: four
// updates a second do, and each costs a text layout.
constexpr int TextReadoutMs = 250;

// Bold on a filled background; the colours tell the active curve.
void makeCurveLabel(QLabel *label)
{
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setContentsMargins(6, 2, 6, 2);
    label->setAutoFillBackground(true);
}

// A palette, not a style sheet: the curve may change many times a second, and
// a new style sheet re-polishes the label and relayouts the page each time.
void styleCurveLabel(QLabel *label, bool active)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, active ? QColor(53, 149, 149) : QColor(23, 60, 60));
    p.setColor(QPalette::WindowText, active ? QColor(23, 60, 60) : QColor(0, 0, 0));
    label->setPalette(p);
}
} // namespace

LivePage::LivePage(VekContext &context, QWidget *parent, const Clock &clock)
    : QWidget(parent), m_context(context), m_prompts(&WindowPrompts::system()), m_clock(clock),
      m_link(clock)
{
    buildUi();
    m_refresh.setSingleShot(true);
    connect(&m_refresh, &QTimer::timeout, this, &LivePage::refreshFromLink);
    connect(&m_link, &LiveLink::framesArrived, this, &LivePage::onFramesArrived);
    connect(&m_link, &LiveLink::silence, this, &LivePage::onSilence);
    connect(&m_link, &LiveLink::portLost, this, &LivePage::onPortLost);
    connect(&m_link, &LiveLink::captureFull, this, [this] {
        say(GetLanguageText("MessTamponPlein",
                            {"{OCTETS}", QString::number(m_link.captureLimit())}));
    });
    showStopped();
}

LivePage::~LivePage()
{
    // Leave the module as found: no simulation running without a page to stop it.
    stopSimulation();
    m_link.close();
}

void LivePage::buildUi()
{
    auto *page = new QVBoxLayout(this);

    // Instruments.
    // A plain frame filled with its palette's background: the lamps inside
    // change often and paint that background themselves (a group box would
    // repaint its whole styled background behind each of them).
    FrameKT5 = new QFrame(this);
    FrameKT5->setFrameShape(QFrame::StyledPanel);
    FrameKT5->setAutoFillBackground(true);
    FrameKT5->setObjectName("FrameKT5");
    auto *instruments = new QHBoxLayout(FrameKT5);
    Cadran_RPM = new NeedleDial(NeedleDial::Kind::Rpm, FrameKT5);
    Cadran_RPM->setObjectName("Cadran_RPM");
    instruments->addWidget(Cadran_RPM, 3);

    auto *middle = new QVBoxLayout;
    auto caption = [this](const QString &text) {
        auto *l = new QLabel(text, FrameKT5);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    PicLCD_RPM = new SevenSegmentDisplay(4, FrameKT5);
    PicLCD_RPM->setObjectName("PicLCD_RPM");
    PicLCD_avance = new SevenSegmentDisplay(2, FrameKT5);
    PicLCD_avance->setObjectName("PicLCD_avance");
    Cadran_Load = new NeedleDial(NeedleDial::Kind::Load, FrameKT5);
    Cadran_Load->setObjectName("Cadran_Load");
    middle->addWidget(m_rpmCaption = caption({}));
    middle->addWidget(PicLCD_RPM, 2);
    middle->addWidget(m_advanceCaption = caption({}));
    middle->addWidget(PicLCD_avance, 2);
    middle->addWidget(Cadran_Load, 3);
    instruments->addLayout(middle, 2);

    auto *lamps = new QVBoxLayout;
    const QColor on = LivePalette::VoyantAllume, off = LivePalette::VoyantEteint;
    for (int i = 0; i < 4; ++i) {
        LED_IN[i] = new LedLamp({}, on, off, FrameKT5);
        LED_IN[i]->setObjectName(QStringLiteral("LED_IN_%1").arg(i + 1));
        lamps->addWidget(LED_IN[i]);
    }
    for (int i = 0; i < 2; ++i) {
        LED_OUT[i] = new LedLamp({}, on, off, FrameKT5);
        LED_OUT[i]->setObjectName(QStringLiteral("LED_OUT_%1").arg(i + 1));
        lamps->addWidget(LED_OUT[i]);
    }
    LED_KNOCK = new LedLamp({}, on, off, FrameKT5);
    LED_KNOCK->setObjectName("LED_KNOCK");
    LED_DECEL = new LedLamp({}, on, off, FrameKT5);
    LED_DECEL->setObjectName("LED_DECEL");
    for (LedLamp *lamp : FrameKT5->findChildren<LedLamp *>())
        lamp->setAttribute(Qt::WA_OpaquePaintEvent);
    lamps->addWidget(LED_KNOCK);
    lamps->addWidget(LED_DECEL);
    Lbl_Loie1 = new QLabel(FrameKT5);
    Lbl_Loie1->setObjectName("Lbl_Loie1");
    Lbl_Loie2 = new QLabel(FrameKT5);
    Lbl_Loie2->setObjectName("Lbl_Loie2");
    makeCurveLabel(Lbl_Loie1);
    makeCurveLabel(Lbl_Loie2);
    lamps->addSpacing(8);
    lamps->addWidget(Lbl_Loie1);
    lamps->addWidget(Lbl_Loie2);
    lamps->addStretch();
    instruments->addLayout(lamps);
    page->addWidget(FrameKT5, 1);

    // Link and simulation on one row, the capture on a second: all on one row
    // would be wider than a 1024-pixel screen once running with the capture on.
    auto *link = new QHBoxLayout;
    Lbl_ON_OFF = new QPushButton(this);
    Lbl_ON_OFF->setObjectName("Lbl_ON_OFF");
    LED_Mode[0] = new LedLamp({}, LivePalette::VoyantAllume, LivePalette::VoyantAllume, this);
    LED_Mode[0]->setLit(true);
    LED_Mode[1] = new LedLamp({}, LivePalette::LigneInactive, LivePalette::LigneInactive, this);
    link->addWidget(Lbl_ON_OFF);
    link->addWidget(LED_Mode[0]);
    link->addWidget(LED_Mode[1]);
    link->addSpacing(16);

    Chk_Simulation = new QCheckBox(this);
    Chk_Simulation->setObjectName("Chk_Simulation");
    SimulRegime = new QSlider(Qt::Horizontal, this);
    SimulRegime->setObjectName("SimulRegime");
    SimulRegime->setRange(SimulationCommand::RegimeMin, SimulationCommand::RegimeMax);
    SimulRegime->setSingleStep(50);
    SimulRegime->setPageStep(500);
    SimulRegime->setValue(3000);
    SimulRegime->setMinimumWidth(160);
    m_simulValue = new QLabel(this);

    // Shown only while running; their room is kept, so that RUN and STOP do
    // not lay the page out again.
    for (QWidget *simulation :
         std::initializer_list<QWidget *>{Chk_Simulation, SimulRegime, m_simulValue}) {
        QSizePolicy policy = simulation->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        simulation->setSizePolicy(policy);
        link->addWidget(simulation);
    }
    link->addStretch();
    page->addLayout(link);

    auto *capture = new QHBoxLayout;
    ChkBuffer = new QCheckBox(this);
    ChkBuffer->setObjectName("ChkBuffer");
    BufferStat = new QLabel(this);
    BufferStat->setObjectName("BufferStat");
    BP_Logger = new QPushButton(this);
    BP_Logger->setObjectName("BP_Logger");
    BP_LogDossier = new QToolButton(this);
    BP_LogDossier->setObjectName("BP_LogDossier");
    BufferStat->hide();
    BP_Logger->hide();
    BP_LogDossier->hide();
    capture->addWidget(ChkBuffer);
    capture->addWidget(BufferStat);
    capture->addWidget(BP_Logger);
    capture->addWidget(BP_LogDossier);
    capture->addStretch();
    page->addLayout(capture);

    connect(Lbl_ON_OFF, &QPushButton::clicked, this, &LivePage::BasculeMarcheArret);
    connect(ChkBuffer, &QCheckBox::toggled, this, &LivePage::onBufferToggled);
    connect(BP_Logger, &QPushButton::clicked, this, &LivePage::onLogger);
    connect(BP_LogDossier, &QToolButton::clicked, this, &LivePage::onChooseLogFolder);
    connect(Chk_Simulation, &QCheckBox::toggled, this, &LivePage::onSimulationToggled);
    connect(SimulRegime, &QSlider::valueChanged, this, &LivePage::onSimulationSpeed);
}

QString LivePage::portCaption() const
{
    return SerialPortNames::PortCaption(m_context.settings.portNumber,
                                        m_context.settings.portDevice);
}

void LivePage::say(const QString &text, Trouble trouble)
{
    m_troubleSaid = trouble;
    emit infoText(text);
}

void LivePage::troubleOver(Trouble trouble)
{
    if (m_troubleSaid == trouble)
        say({});
}

void LivePage::setPanel(int panel, const QString &text)
{
    emit statusPanelChanged(panel, text);
}

void LivePage::pageShown()
{
    m_link.clearCapture();
    updateBufferStat();
    setPanel(4, GetLanguageText("LiveOsInconnue"));
    showStopped();
    PicLCD_RPM->clear();
    PicLCD_avance->clear();
    resetDisplay();
    AfficheNombre7Seg(-1, 4, *PicLCD_RPM);
    AfficheNombre7Seg(-1, 2, *PicLCD_avance);
}

void LivePage::closePort()
{
    if (!m_link.isOpen())
        return;
    stopSimulation();
    m_refresh.stop();
    m_link.close();
    updateBufferStat();
    showStopped();
}

void LivePage::showStopped()
{
    setPanel(1, portCaption());
    setPanel(2, m_context.settings.serialSettings);
    setPanel(3, GetLanguageText("LiveTrame"));
    m_frameShown.reset();
    setPanel(5, GetLanguageText("LiveArret"));
    LED_Mode[0]->hide();
    LED_Mode[1]->show();
    Chk_Simulation->hide();
    SimulRegime->hide();
    m_simulValue->hide();
}

void LivePage::showRunning()
{
    setPanel(5, GetLanguageText("LiveMarche"));
    LED_Mode[0]->show();
    LED_Mode[1]->hide();
    Chk_Simulation->show();
    SimulRegime->show();
    m_simulValue->show();
}

void LivePage::BasculeMarcheArret()
{
    if (m_link.isOpen()) {
        closePort();
        resetDisplay();
        AfficheNombre7Seg(-1, 4, *PicLCD_RPM);
        AfficheNombre7Seg(-1, 2, *PicLCD_avance);
        return;
    }
    const QString device =
        SerialPortNames::DeviceToOpen(m_context.settings.portNumber, m_context.settings.portDevice);
    const LiveLink::Status status =
        m_link.open(device, m_context.settings.serialSettings,
                    SerialOptions::FlowControlOf(m_context.settings.Handshaking));
    if (!status.ok) {
        say(PortFailureTexts::load().describe(device, m_link.openFailure()), Trouble::Link);
        showStopped();
        return;
    }
    // The link runs again, without a simulation: what went wrong with either
    // before is over.
    troubleOver(Trouble::Link);
    troubleOver(Trouble::Simulation);
    m_link.setCaptureEnabled(ChkBuffer->isChecked());
    // The pace of the instruments, for this run: the screen's rate is asked
    // once, not at every batch of frames.
    m_refreshIntervalMs = refreshIntervalMs();
    m_refreshedMs = m_textsShownMs = -1;
    showRunning();
    resetDisplay();
    AfficheNombre7Seg(0, 4, *PicLCD_RPM);
    AfficheNombre7Seg(0, 2, *PicLCD_avance);
    updateBufferStat();
}

void LivePage::resetDisplay()
{
    DessineCadranRPM(0);
    DessineCadranCharge(0);
    const LiveLamps none;
    AfficheVoyantsLive(none);
    AfficheEntreesLive(none);
}

void LivePage::DessineCadranRPM(int16_t rpm)
{
    Cadran_RPM->setValue(rpm);
}
void LivePage::DessineCadranCharge(int16_t load)
{
    Cadran_Load->setValue(load);
}

void LivePage::AfficheVoyantsLive(const LiveLamps &lamps)
{
    LED_DECEL->setLit(lamps.decel);
    LED_KNOCK->setLit(lamps.knock);
    // Restyling is costly: only when the active curve changes.
    if (m_curve1Shown && *m_curve1Shown == lamps.curve1)
        return;
    m_curve1Shown = lamps.curve1;
    styleCurveLabel(Lbl_Loie1, lamps.curve1);
    styleCurveLabel(Lbl_Loie2, !lamps.curve1);
}

void LivePage::AfficheEntreesLive(const LiveLamps &lamps)
{
    for (int i = 0; i < 4; ++i)
        LED_IN[i]->setLit(lamps.inputs[size_t(i)]);
    for (int i = 0; i < 2; ++i)
        LED_OUT[i]->setLit(lamps.outputs[size_t(i)]);
}

void LivePage::showReading(const LiveReading &r)
{
    DessineCadranRPM(r.RegimeLive);
    AfficheNombre7Seg(r.RegimeLive, 4, *PicLCD_RPM);
    AfficheNombre7Seg(r.AvanceLive, 2, *PicLCD_avance);
    AfficheVoyantsLive(r.lamps);
    AfficheEntreesLive(r.lamps);
    DessineCadranCharge(r.ChargeLive);
}

int LivePage::refreshIntervalMs() const
{
    const QScreen *s = screen();
    const double screenHz = s && s->refreshRate() > 1 ? s->refreshRate() : 60.0;
    return qMax(1, int(1000.0 / qMin(screenHz, MaxDisplayHz)));
}

// Frames come in batches about as often as the display refreshes. The page's
// clock decides: a refresh that is due is made at once, in the same wake-up
// as the read; one that comes early waits for its time, and the frames that
// come meanwhile are shown by it. However often frames come, the instruments
// are drawn at most once an interval.
void LivePage::onFramesArrived()
{
    const qint64 now = m_clock.nowMs();
    // Timers may fire a little early: a tenth of the interval is close enough.
    const qint64 due = m_refreshedMs + m_refreshIntervalMs - m_refreshIntervalMs / 10;
    if (m_refreshedMs < 0 || now >= due) {
        m_refresh.stop();
        refreshFromLink();
    } else if (!m_refresh.isActive()) {
        m_refresh.start(int(m_refreshedMs + m_refreshIntervalMs - now));
    }
}

void LivePage::refreshFromLink()
{
    if (!m_link.isOpen())
        return;
    const qint64 now = m_clock.nowMs();
    m_refreshedMs = now;
    ++m_displayRefreshes;
    if (m_textsShownMs < 0 || now - m_textsShownMs >= TextReadoutMs) {
        showFrameText();
        updateBufferStat();
        m_textsShownMs = now;
    }
    showReading(m_link.latest());
}

void LivePage::showFrameText()
{
    if (m_frameShown == m_link.latestFrame())
        return;
    m_frameShown = m_link.latestFrame();
    setPanel(3, frameText(*m_frameShown));
}

QString LivePage::frameText(const TrameLive &frame)
{
    return GetLanguageText("LiveTrameOctets", {"%1", QString::number(TrameLive::Size)}) +
           frame.bytesText();
}

void LivePage::onSilence()
{
    m_refresh.stop();
    // The texts end on the last frame, which may have come between two updates.
    if (m_frameShown)
        showFrameText();
    updateBufferStat();
    const LiveReading silent = LiveReading::silent();
    DessineCadranRPM(silent.RegimeLive);
    AfficheNombre7Seg(0, 4, *PicLCD_RPM);
    AfficheNombre7Seg(0, 2, *PicLCD_avance);
    AfficheVoyantsLive(silent.lamps);
    AfficheEntreesLive(silent.lamps);
    DessineCadranCharge(0);
}

void LivePage::onPortLost(const QString &reason)
{
    m_refresh.stop();
    {
        const QSignalBlocker block(Chk_Simulation);
        Chk_Simulation->setChecked(false);
    }
    showStopped();
    resetDisplay();
    AfficheNombre7Seg(-1, 4, *PicLCD_RPM);
    AfficheNombre7Seg(-1, 2, *PicLCD_avance);
    updateBufferStat(); // with what came since the last readout
    say(GetLanguageText("MessPortPerdu", {"{PORT}", m_link.device(), "{RAISON}", reason}),
        Trouble::Link);
}

void LivePage::updateBufferStat()
{
    BufferStat->setText(
        GetLanguageText("LiveBufferStat", {"%1", QString::number(m_link.capture().size())}));
}

void LivePage::onBufferToggled(bool on)
{
    BufferStat->setVisible(on);
    BP_Logger->setVisible(on);
    BP_LogDossier->setVisible(on);
    m_link.setCaptureEnabled(on);
    updateBufferStat();
}

QString LivePage::logFolder(bool create) const
{
    const QString chosen = m_context.settings.LogFolder;
    if (!chosen.isEmpty())
        return chosen;
    if (create)
        return DataPaths::UserDocumentsDirectory();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void LivePage::applyCaptions()
{
    m_rpmCaption->setText(GetLanguageText("LiveRegime"));
    m_advanceCaption->setText(GetLanguageText("LiveAvance"));
    Cadran_RPM->setUnit(GetLanguageText("LiveCadranRegime"));
    Cadran_Load->setUnit(GetLanguageText("LiveCadranCharge"));
    for (int i = 0; i < 4; ++i)
        LED_IN[i]->setCaption(GetLanguageText("LiveEntree", {"%1", QString::number(i + 1)}));
    for (int i = 0; i < 2; ++i)
        LED_OUT[i]->setCaption(GetLanguageText("LiveSortie", {"%1", QString::number(i + 1)}));
    LED_KNOCK->setCaption(GetLanguageText("LiveKnock"));
    LED_DECEL->setCaption(GetLanguageText("LiveDecel"));
    Lbl_Loie1->setText(GetLanguageText("LiveLoi", {"%1", QStringLiteral("1")}));
    Lbl_Loie2->setText(GetLanguageText("LiveLoi", {"%1", QStringLiteral("2")}));
    Lbl_ON_OFF->setText(GetLanguageText("LiveMarcheArret"));
    LED_Mode[0]->setCaption(GetLanguageText("LiveMarche"));
    LED_Mode[1]->setCaption(GetLanguageText("LiveArret"));
    Chk_Simulation->setText(GetLanguageText("LiveSimulation"));
    m_simulValue->setMinimumWidth(m_simulValue->fontMetrics().horizontalAdvance(
        GetLanguageText("LiveTrMin", {"%1", QStringLiteral("8000 ")})));
    m_simulValue->setText(
        GetLanguageText("LiveTrMin", {"%1", QString::number(SimulRegime->value())}));
    ChkBuffer->setText(GetLanguageText("LiveBuffer"));
    // Fixed size: the count changes many times a second and must not relayout the page.
    BufferStat->setFixedSize(BufferStat->fontMetrics().horizontalAdvance(GetLanguageText(
                                 "LiveBufferStat", {"%1", QStringLiteral("0000000000")})),
                             BufferStat->sizeHint().height());
    updateBufferStat();
    BP_Logger->setText(GetLanguageText("LiveSauverBuffer"));
    BP_LogDossier->setText(GetLanguageText("MBLogDossier"));
    // Also once the stored settings are read: the folder saved last time.
    BP_LogDossier->setToolTip(QDir::toNativeSeparators(logFolder(false)));
}

void LivePage::onChooseLogFolder()
{
    const QString folder =
        m_prompts->chooseFolder(this, GetLanguageText("MBLogDossier"), logFolder(false));
    if (!folder.isEmpty()) {
        m_context.settings.LogFolder = folder;
        const auto store = MainSettingsLoader::OpenStore();
        if (MainSettingsLoader::SaveLogFolder(*store, folder))
            troubleOver(Trouble::Folder);
        else
            say(MainSettingsLoader::SaveFailureText(*store), Trouble::Folder);
    }
    BP_LogDossier->setToolTip(QDir::toNativeSeparators(logFolder(false)));
}

void LivePage::onLogger()
{
    const auto r =
        LiveLogger::EcrireLog(m_link.capture(), logFolder(true), QDateTime::currentDateTime());
    const QString file = QDir::toNativeSeparators(r.path);
    switch (r.status) {
    case LiveLogger::Result::Written:
        say(GetLanguageText("MessLogEcrit",
                            {"{FICHIER}", file, "{LIGNES}", QString::number(r.lines)}));
        break;
    case LiveLogger::Result::NoFrame:
        say(GetLanguageText("MessLogVide"));
        break;
    case LiveLogger::Result::CannotCreate:
    case LiveLogger::Result::WriteFailed:
        say(GetLanguageText("MessLogEchec", {"{FICHIER}", file, "{RAISON}", r.reason}));
        break;
    }
}

void LivePage::onSimulationToggled(bool on)
{
    if (!m_link.isOpen())
        return;
    LiveLink::Status status;
    if (on) {
        const auto period = SimulationCommand::PeriodeSimulation(SimulRegime->value());
        if (!period)
            return;
        status = m_link.sendSimulationStart(*period);
    } else {
        status = m_link.sendSimulationStop();
    }
    tellSimulation(status);
}

void LivePage::onSimulationSpeed(int rpm)
{
    m_simulValue->setText(GetLanguageText("LiveTrMin", {"%1", QString::number(rpm)}));
    if (!Chk_Simulation->isChecked() || !m_link.isOpen())
        return;
    const auto period = SimulationCommand::PeriodeSimulation(rpm);
    if (!period)
        return;
    const LiveLink::Status status = m_link.sendSimulationSpeed(*period);
    tellSimulation(status);
}

void LivePage::tellSimulation(const LiveLink::Status &status)
{
    if (status.ok)
        troubleOver(Trouble::Simulation);
    else if (m_link.isOpen()) // a lost link has said why
        say(GetLanguageText("MessSimulEchec", {"{RAISON}", status.reason}), Trouble::Simulation);
}

void LivePage::stopSimulation()
{
    if (!Chk_Simulation->isChecked())
        return;
    if (m_link.isOpen())
        m_link.sendSimulationStop();
    const QSignalBlocker block(Chk_Simulation);
    Chk_Simulation->setChecked(false);
}
