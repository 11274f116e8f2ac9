#include "live/ui/TerminalPage.h"

#include "app/VekContext.h"
#include "base/PortFailureTexts.h"
#include "base/SerialOptions.h"
#include "base/VEK_LANGUAGE.h"
#include "live/TerminalDisplay.h"
#include "live/ui/LedLamp.h"
#include "live/ui/LivePalette.h"
#include "live/ui/TerminalReceiveBox.h"
#include "platform/SerialPortNames.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

namespace {
constexpr int FlushMs = 16; // about one screen refresh
}

TerminalPage::TerminalPage(VekContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    buildUi();
    m_flush.setSingleShot(true);
    connect(&m_flush, &QTimer::timeout, this, &TerminalPage::flushReceived);
    connect(&m_port, &TerminalPort::received, this, &TerminalPage::onReceived);
    connect(&m_port, &TerminalPort::linesChanged, this, &TerminalPage::onLines);
    connect(&m_port, &TerminalPort::lineError, this, &TerminalPage::onLineError);
    connect(&m_port, &TerminalPort::closed, this, &TerminalPage::onClosed);
    showPortState();
}

TerminalPage::~TerminalPage()
{
    m_port.close();
}

void TerminalPage::buildUi()
{
    auto *page = new QVBoxLayout(this);

    auto *body = new QHBoxLayout;
    Term_Recept = new TerminalReceiveBox(this);
    Term_Recept->setObjectName("Term_Recept");
    body->addWidget(Term_Recept, 1);

    auto *side = new QVBoxLayout;
    BP_OpenPort = new QPushButton(this);
    BP_OpenPort->setObjectName("BP_OpenPort");
    LED_PortOpen = new LedLamp({}, LivePalette::LigneActive, LivePalette::LigneInactive, this);
    LED_PortOpen->setObjectName("LED_PortOpen");
    side->addWidget(BP_OpenPort);
    side->addWidget(LED_PortOpen);
    side->addSpacing(8);

    Label5 = new QLabel(this);
    Label5->setObjectName("Label5");
    optAsc = new QRadioButton(QStringLiteral("ASCII"), this);
    optAsc->setObjectName("optAsc");
    optDec = new QRadioButton(this);
    optDec->setObjectName("optDec");
    optHex = new QRadioButton(this);
    optHex->setObjectName("optHex");
    side->addWidget(Label5);
    side->addWidget(optAsc);
    side->addWidget(optDec);
    side->addWidget(optHex);
    chkTermEcho = new QCheckBox(this);
    chkTermEcho->setObjectName("chkTermEcho");
    side->addWidget(chkTermEcho);
    BP_Erraseterm = new QPushButton(this);
    BP_Erraseterm->setObjectName("BP_Erraseterm");
    side->addWidget(BP_Erraseterm);

    FrameLED = new QGroupBox(this);
    FrameLED->setObjectName("FrameLED");
    auto *lamps = new QVBoxLayout(FrameLED);
    auto lamp = [&](const char *name, const QString &caption) {
        auto *l =
            new LedLamp(caption, LivePalette::LigneActive, LivePalette::LigneInactive, FrameLED);
        l->setObjectName(name);
        lamps->addWidget(l);
        return l;
    };
    LED_CTS = lamp("LED_CTS", QStringLiteral("CTS"));
    LED_DSR = lamp("LED_DSR", QStringLiteral("DSR"));
    LED_CD = lamp("LED_CD", QStringLiteral("CD"));
    LED_RTS = lamp("LED_RTS", QStringLiteral("RTS"));
    LED_Receive = lamp("LED_Receive", {});
    LED_Send = lamp("LED_Send", {});
    side->addWidget(FrameLED);
    side->addStretch();
    body->addLayout(side);
    page->addLayout(body, 1);

    connect(BP_OpenPort, &QPushButton::clicked, this, &TerminalPage::BasculePort);
    connect(optAsc, &QRadioButton::clicked, this, [this] { ModeTerminal = "asc"; });
    connect(optDec, &QRadioButton::clicked, this, [this] { ModeTerminal = "dec"; });
    connect(optHex, &QRadioButton::clicked, this, [this] { ModeTerminal = "hex"; });
    connect(chkTermEcho, &QCheckBox::toggled, Term_Recept, &TerminalReceiveBox::setEcho);
    connect(BP_Erraseterm, &QPushButton::clicked, this, [this] {
        emit infoText(QString());
        Term_Recept->clear();
    });
    connect(Term_Recept, &TerminalReceiveBox::typed, this, &TerminalPage::onTyped);
}

void TerminalPage::applyCaptions()
{
    showPortState();
    LED_PortOpen->setCaption(GetLanguageText("TermPortOuvert"));
    Label5->setText(GetLanguageText("TermAffichage"));
    optDec->setText(GetLanguageText("TermDec"));
    optHex->setText(GetLanguageText("TermHex"));
    chkTermEcho->setText(GetLanguageText("TermEcho"));
    BP_Erraseterm->setText(GetLanguageText("TermEffacer"));
    LED_Receive->setCaption(GetLanguageText("TermReception"));
    LED_Send->setCaption(GetLanguageText("TermEmission"));
}

void TerminalPage::showPortState()
{
    const bool open = m_port.isOpen();
    BP_OpenPort->setText(GetLanguageText(open ? "TermFermerPort" : "TermOuvrirPort"));
    LED_PortOpen->setLit(open);
}

void TerminalPage::BasculePort()
{
    if (m_port.isOpen()) {
        m_port.close();
        return;
    }
    const QString device =
        SerialPortNames::DeviceToOpen(m_context.settings.portNumber, m_context.settings.portDevice);
    if (const auto failure =
            m_port.open(device, m_context.settings.serialSettings,
                        SerialOptions::FlowControlOf(m_context.settings.Handshaking))) {
        emit infoText(PortFailureTexts::load().describe(device, *failure));
    }
    showPortState();
}

void TerminalPage::closePort()
{
    m_port.close();
}

void TerminalPage::onClosed(const QString &reason)
{
    flushReceived();
    showPortState();
    if (!reason.isEmpty())
        emit infoText(GetLanguageText("MessPortPerdu",
                                      {"{PORT}",
                                       SerialPortNames::DeviceToOpen(m_context.settings.portNumber,
                                                                     m_context.settings.portDevice),
                                       "{RAISON}", reason}));
}

void TerminalPage::onReceived(const QByteArray &bytes)
{
    m_pending += bytes;
    if (!m_flush.isActive())
        m_flush.start(FlushMs);
}

void TerminalPage::flushReceived()
{
    m_flush.stop();
    if (m_pending.isEmpty())
        return;
    const QString text =
        TerminalDisplay::TexteRecu(m_pending, TerminalDisplay::ModeFromText(ModeTerminal));
    m_pending.clear();
    Term_Recept->appendReceived(text);
}

void TerminalPage::onTyped(const QByteArray &bytes)
{
    if (m_port.isOpen())
        m_port.write(bytes);
}

void TerminalPage::onLines(std::optional<SerialLineStatus::ModemLines> lines)
{
    const SerialLineStatus::ModemLines l = lines.value_or(SerialLineStatus::ModemLines{});
    LED_CTS->setLit(l.cts);
    LED_DSR->setLit(l.dsr);
    LED_CD->setLit(l.cd);
    LED_RTS->setLit(l.rts);
}

void TerminalPage::onLineError(TerminalPort::LineError error)
{
    switch (error) {
    case TerminalPort::LineError::Framing:
        emit infoText(GetLanguageText("MessTermCadrage"));
        break;
    case TerminalPort::LineError::Overrun:
        emit infoText(GetLanguageText("MessTermCadence"));
        break;
    case TerminalPort::LineError::BufferOverflow:
        emit infoText(GetLanguageText("MessTermDepassement"));
        break;
    case TerminalPort::LineError::Parity:
        emit infoText(GetLanguageText("MessTermParite"));
        break;
    case TerminalPort::LineError::Break:
        emit infoText(GetLanguageText("MessTermPause"));
        break;
    }
}
