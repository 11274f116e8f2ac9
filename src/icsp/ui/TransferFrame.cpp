#include "icsp/ui/TransferFrame.h"

#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/HelpTextFilter.h"
#include "base/ui/OperationStatus.h"
#include "base/ui/StatusTextArea.h"
#include "base/ui/StatusTipLine.h"
#include "base/ui/WindowPrompts.h"
#include "icsp/BootloaderCode.h"
#include "icsp/ChipTable.h"
#include "icsp/DevicePreparation.h"
#include "icsp/ProgrammerLabel.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {
constexpr int kTwipsPerPixel = 15;
} // namespace

TransferFrame::TransferFrame(VekContext &context, const Design &design, QWidget *parent,
                             WindowPrompts *prompts)
    : QDialog(parent), m_context(context), m_prompts(prompts ? *prompts : WindowPrompts::system()),
      m_hoverHelp(design.hoverHelp)
{
    setModal(true);
    buildFrame(design);
    connect(&m_runner, &JobRunner::started, this, [this] { lock(true); });
    connect(&m_runner, &JobRunner::progress, this, &TransferFrame::showProgress);
    // A job's status is what it says of its outcome as well: it stays.
    connect(&m_runner, &JobRunner::status, L_Info, &QLabel::setText);
    connect(&m_runner, &JobRunner::finished, this, [this](const JobOutcome &outcome) {
        // A question about stopping the transfer no longer applies: it goes
        // before the outcome is told.
        if (std::exchange(m_askingToStop, false)) {
            m_stopQuestionWithdrawn = true;
            m_prompts.withdrawMessage(this, GetLanguageText("MessArreterTransfert"));
        }
        lock(false);
        m_leftWhenStopped.clear();
        m_status->end(); // the outcome is told now, not what the window said it would do
        m_panels[1]->setPicture({}); // no bar is left where the job ended
        auto done = std::move(m_done);
        m_done = nullptr;
        if (done)
            done(outcome);
        else if (!outcome.message.isEmpty())
            L_Info->setText(outcome.message);
    });
}

// The window's own controls are gone by now: only the job is stopped.
TransferFrame::~TransferFrame()
{
    m_runner.cancelAndWait();
}

void TransferFrame::buildFrame(const Design &design)
{
    auto *layout = new QVBoxLayout(this);
    auto *menus = new QMenuBar(this);
    MnuHex = menus->addMenu(GetLanguageText("MnuFichierHex"));
    MnuHex->setObjectName(QStringLiteral("MnuHex"));
    MnuEditHex = MnuHex->addAction(GetLanguageText("MnuEditerHex"));
    MnuCompHex = MnuHex->addAction(GetLanguageText("MnuComparerHex"));
    MnuClsBuff = MnuHex->addAction(GetLanguageText("MnuViderTampon"));
    MnuEditHex->setObjectName(QStringLiteral("MnuEditHex"));
    MnuCompHex->setObjectName(QStringLiteral("MnuCompHex"));
    MnuClsBuff->setObjectName(QStringLiteral("MnuClsBuff"));
    connect(MnuClsBuff, &QAction::triggered, this, &TransferFrame::MnuClsBuff_Click);
    layout->setMenuBar(menus);

    m_body = new QVBoxLayout;
    layout->addLayout(m_body, 1);
    // A window without a body (bootloader) keeps its status and buttons
    // together at the bottom when it grows; a body takes the room first.
    layout->addStretch(0);

    L_Info = new QLabel(this);
    L_Info->setObjectName(QStringLiteral("L_Info"));
    L_Info->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(StatusTextArea(L_Info, 2, this));
    m_status = std::make_unique<OperationStatus>(L_Info);
    m_help = new HelpTextFilter(this);

    m_buttonRow = new QHBoxLayout;
    layout->addLayout(m_buttonRow);
    if (m_hoverHelp) {
        m_tipLine = new StatusTipLine(this);
        layout->addWidget(m_tipLine);
    }

    BarreEtat = new QStatusBar(this);
    BarreEtat->setObjectName(QStringLiteral("BarreEtat"));
    BarreEtat->setSizeGripEnabled(false);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        if (design.panelTwips[i] <= 0)
            continue;
        m_panels[i] = new StatusPanel(design.panelTwips[i] / kTwipsPerPixel, BarreEtat);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        BarreEtat->addWidget(m_panels[i]);
    }
    // The link bar gives up none of its room on a narrow screen: a port's
    // name has little to spare.
    m_panels[0]->setMinimumWidth(m_panels[0]->sizeHint().width());
    m_panels[1]->setText(QStringLiteral("....."));
    layout->addWidget(BarreEtat);

    setMouseTracking(true);
}

QPushButton *TransferFrame::addButton(const char *name, const QString &design, QWidget *parent,
                                      Starts starts)
{
    auto *button = new QPushButton(design, parent ? parent : this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    // Connected before the window's own handler, so it runs first.
    if (starts == Starts::Operation)
        connect(button, &QPushButton::clicked, this, &TransferFrame::beginOperation);
    return button;
}

void TransferFrame::addHoverHelp(QWidget *control, const char *key)
{
    if (m_hoverHelp)
        m_help->add(control, key);
}

void TransferFrame::addLinkButtons(const QList<QPushButton *> &downloads)
{
    BP_tst = addButton("BP_tst", GetLanguageText("MBConnection"));
    BP_MAJHEX = addButton("BP_MAJHEX", GetLanguageText("MBMajHex"));
    BP_UPLOAD = addButton("BP_UPLOAD", GetLanguageText("MBupload"));
    m_downloads = downloads;
    const QList<QPushButton *> waiting = downloads + QList<QPushButton *>{BP_MAJHEX, BP_UPLOAD};
    m_buttonRow->addWidget(BP_tst);
    addHoverHelp(BP_tst, LangKey("MMBPtst"));
    for (QPushButton *button : waiting) {
        m_buttonRow->addWidget(button);
        button->setEnabled(false);
    }
    for (QPushButton *download : downloads)
        addHoverHelp(download, LangKey("MMBPDLOAD"));
    addHoverHelp(BP_MAJHEX, LangKey("MMBPMAJHEX"));
    addHoverHelp(BP_UPLOAD, LangKey("MMBPULOAD"));
}

void TransferFrame::addSetupButton(std::function<void(bool accepted)> closed)
{
    BP_Config =
        addButton("BP_Config", GetLanguageText("MBConfiguration"), nullptr, Starts::Nothing);
    m_buttonRow->addWidget(BP_Config);
    addHoverHelp(BP_Config, LangKey("MMBPConfig"));
    connect(BP_Config, &QPushButton::clicked, this,
            [this, closed = std::move(closed)] { showProgrammerSetup(closed); });
}

void TransferFrame::addQuitButton()
{
    BP_Quit = addButton("BP_Quit", GetLanguageText("MBQuitter"), nullptr, Starts::Nothing);
    m_buttonRow->addStretch();
    m_buttonRow->addWidget(BP_Quit);
    addHoverHelp(BP_Quit, LangKey("MMBPQuit"));
    connect(BP_Quit, &QPushButton::clicked, this, &QDialog::close);
}

StatusPanel *TransferFrame::panel(int number) const
{
    return number >= 1 && number <= 3 ? m_panels[size_t(number - 1)] : nullptr;
}

void TransferFrame::Form_Load(ImageOnOpening image)
{
    InterditConfigChange = true;
    m_keepImage = image == ImageOnOpening::Keep;
    Initialisation();
    InitLangue();
}

QString TransferFrame::caption() const
{
    return GetLanguageText("VEK_ISCPCapt") + QLatin1Char(' ') + NomProgrammateur;
}

void TransferFrame::Initialisation()
{
    if (buildsProgrammerLabel()) {
        const QString label = ::NomProgrammateur(m_context.settings);
        if (!label.isEmpty()) // an unknown box type keeps the label
            NomProgrammateur = label;
    }
    setWindowTitle(caption());
    newBars();
    drawLinkBar(false);
    m_panels[1]->setText(GetLanguageText("BEPTransfertPret"));
    L_Info->clear();
    identifyChip();
}

void TransferFrame::newBars()
{
    P1 = std::make_unique<VEK_BarGraph>();
    P1->Initialize(m_panels[1]);
    useProgressColour(VEK_BarGraph::Blue);
    P2 = std::make_unique<VEK_BarGraph>();
    P2->Initialize(m_panels[0]);
    P2->setTextColor(VEK_BarGraph::Black);
}

void TransferFrame::useProgressColour(uint32_t colour)
{
    P1->setTextColor(VEK_BarGraph::Black);
    P1->setProgressColor(colour);
}

void TransferFrame::drawLinkBar(bool connected)
{
    P2->setProgressColor(connected ? VEK_BarGraph::Green : VEK_BarGraph::Red);
    P2->DrawFond(m_context.settings.ICSPPort);
}

// With "AUTO" and a programmer that can read the chip, the programmer window
// reads the device ID first, off the GUI thread; otherwise the device ID last
// read decides.
void TransferFrame::identifyChip()
{
    const DeviceIdReader &read = m_context.transfer.readDeviceId;
    if (read && identifiesChip() && m_context.settings.ICSPChip == QLatin1String("AUTO")) {
        // The ID travels on its own, not in the outcome's code.
        auto id = std::make_shared<std::optional<uint16_t>>();
        const bool started = startTransfer(
            [read, id](TransferContext &transfer) {
                *id = read(transfer);
                return *id ? JobOutcome::success() : JobOutcome::failure({});
            },
            [this, id](const JobOutcome &) { prepareDevice(*id); });
        if (started)
            return;
    }
    prepareDevice(std::nullopt);
}

void TransferFrame::prepareDevice(std::optional<uint16_t> readDeviceId)
{
    PicDevice &pic = m_context.pic;
    if (readDeviceId)
        pic.ImagePIC.DeviceID = *readDeviceId;
    const PicDevice before = pic;
    const auto outcome =
        DevicePreparation::Preparer(pic, m_context.settings.ICSPChip, pic.ImagePIC.DeviceID);
    m_chipKnown = outcome.chipSelected;
    if (std::exchange(m_keepImage, false) && pic.DeviceChip == before.DeviceChip) {
        // The imported firmware, for the chip it was imported for, stays.
        pic.ImagePIC = before.ImagePIC;
        pic.HexFileName = before.HexFileName;
        pic.HexTimeStamp = before.HexTimeStamp;
    }
    if (!outcome.chipSelected)
        showChipProblem();
    if (const auto text = initialPanel3(); text && m_panels[2])
        m_panels[2]->setText(*text); // the chip just identified
    chipPrepared();
    QStringList said;
    if (std::exchange(m_tellBlanked, false))
        said << GetLanguageText("MessTamponEfface");
    if (showsReadyHelp())
        said << GetLanguageText("BEPItem2");
    if (!said.isEmpty())
        L_Info->setText(said.join(QLatin1Char('\n')));
}

void TransferFrame::reinitialise()
{
    m_tellBlanked = true;
    Initialisation();
}

void TransferFrame::showChipProblem()
{
    m_prompts.message(
        this, QMessageBox::NoIcon, GetLanguageText("ICSPIdentChip"),
        ChipTable::choiceProblemText(m_context.settings.ICSPChip, m_context.pic.ImagePIC.DeviceID),
        QMessageBox::Ok);
}

void TransferFrame::frameCaptions()
{
    if (BP_tst) {
        BP_tst->setText(GetLanguageText("MBConnection"));
        BP_MAJHEX->setText(GetLanguageText("MBMajHex"));
        BP_UPLOAD->setText(GetLanguageText("MBupload"));
    }
    if (BP_Config)
        BP_Config->setText(GetLanguageText("MBConfiguration"));
    BP_Quit->setText(GetLanguageText("MBQuitter"));
    m_panels[1]->setText(GetLanguageText("BEPItem2"));
}

// A fresh status: an operation the user then cancels (a file choice, a
// question) leaves nothing of the former one standing as its own.
void TransferFrame::beginOperation()
{
    clearOutcome();
    m_status->end();
    L_Info->clear();
}

void TransferFrame::tellProgress(const QString &text)
{
    m_status->progress(text);
}

void TransferFrame::MnuClsBuff_Click()
{
    m_context.pic.InitMemoire();
    chipPrepared();
    L_Info->setText(GetLanguageText("MessTamponEfface"));
    showOutcome(true, L_Info->text());
}

void TransferFrame::showProgrammerSetup(const std::function<void(bool accepted)> &closed)
{
    if (m_runner.isRunning())
        return;
    VEK_SETUP_ICSP setup(m_context, this);
    connect(&setup, &VEK_SETUP_ICSP::setupClosed, this,
            [&setup, closed] { closed(setup.result() == QDialog::Accepted); });
    m_prompts.showDialog(setup);
}

bool TransferFrame::startTransfer(TransferJob job, std::function<void(const JobOutcome &)> done,
                                  const QString &leftWhenStopped)
{
    if (m_runner.isRunning())
        return false;
    clearOutcome();
    m_done = std::move(done);
    m_leftWhenStopped = leftWhenStopped;
    const MainSettings settings = m_context.settings;
    const IcspPortOpener opener = m_context.transfer.programmerPort;
    const Clock *clock =
        m_context.transfer.clock ? m_context.transfer.clock : &SteadyClock::instance();
    return m_runner.start([job = std::move(job), settings, opener,
                           clock](ProgressSink &sink, const CancelToken &cancel) {
        TransferContext transfer{settings, sink, cancel, opener, *clock};
        return job(transfer);
    });
}

void TransferFrame::showProgress(int bar, double percent, const QString &text)
{
    const int value = std::clamp(RoundHalfEven(percent), -32768, 32767);
    if (bar == 1) {
        ProgressBar = value;
        P1->DrawPanel(text, int16_t(value));
    } else {
        P2->DrawPanel(text, int16_t(value));
    }
}

void TransferFrame::lock(bool locked)
{
    if (locked) {
        m_lockedStates.clear();
        QList<QWidget *> controls = lockedWhileRunning();
        controls << BP_Quit << MnuHex;
        for (QWidget *link : {BP_tst, BP_MAJHEX, BP_UPLOAD, BP_Config})
            if (link)
                controls << link;
        for (QWidget *w : controls) {
            m_lockedStates.append({w, w->isEnabled()});
            w->setEnabled(false);
        }
        return;
    }
    for (const auto &[w, enabled] : std::as_const(m_lockedStates))
        w->setEnabled(enabled);
    m_lockedStates.clear();
}

void TransferFrame::stopRunningTransfer()
{
    if (!m_runner.isRunning())
        return;
    m_runner.cancelAndWait();
    lock(false);
    m_done = nullptr;
    m_leftWhenStopped.clear();
}

// Asked first; on Yes the job is stopped and waited for, the module gets its
// close where the line allows, and the user learns what must be sent again.
// The question stands only while the job runs: one that ends beneath it takes
// the question away and tells its own outcome.
TransferFrame::StopAnswer TransferFrame::askToStopTransfer()
{
    m_askingToStop = true;
    m_stopQuestionWithdrawn = false;
    const QMessageBox::StandardButton answer = m_prompts.message(
        this, QMessageBox::Question, windowTitle(), GetLanguageText("MessArreterTransfert"),
        QMessageBox::Yes | QMessageBox::No);
    m_askingToStop = false;
    if (std::exchange(m_stopQuestionWithdrawn, false) || !m_runner.isRunning())
        return StopAnswer::Ended;
    if (answer != QMessageBox::Yes)
        return StopAnswer::GoOn;
    const QString leftBehind = m_leftWhenStopped;
    stopRunningTransfer();
    if (TransferJob closing = closingAfterStop();
        closing && startTransfer(std::move(closing), [](const JobOutcome &) {}))
        m_runner.wait();
    if (!leftBehind.isEmpty())
        m_prompts.message(this, QMessageBox::Warning, windowTitle(), leftBehind, QMessageBox::Ok);
    return StopAnswer::Stopped;
}

// Over the bare window no help applies; what L_Info says of the latest
// operation stays.
void TransferFrame::mouseMoveEvent(QMouseEvent *event)
{
    if (m_tipLine)
        m_tipLine->setText({});
    QDialog::mouseMoveEvent(event);
}

// The close box, Alt+F4 and Escape all come through reject(); a window closed
// while hidden stops its transfer without asking. Nothing is left running
// behind a closed window.
void TransferFrame::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        stopRunningTransfer();
}

void TransferFrame::reject()
{
    if (m_runner.isRunning()) {
        switch (askToStopTransfer()) {
        case StopAnswer::GoOn:
            return; // the transfer goes on, the window stays
        case StopAnswer::Ended:
            // The user asked to close: the window closes as it does with no
            // transfer running (a window may still have its own ending).
            reject();
            return;
        case StopAnswer::Stopped:
            break;
        }
    }
    QDialog::reject();
}

void TransferFrame::showLink(bool connected)
{
    if (connected) // a connection has just opened the link
        showOutcome(true, {});
    BP_tst->setText(GetLanguageText(connected ? "MBDeconnection" : "MBConnection"));
    drawLinkBar(connected);
    for (QPushButton *download : std::as_const(m_downloads))
        download->setEnabled(connected);
    BP_MAJHEX->setEnabled(connected);
    BP_UPLOAD->setEnabled(false);
    if (BP_Config) // the set-up chooses the port: the open link keeps its own
        BP_Config->setEnabled(!connected);
    if (!connected) // no transfer's progress is left beside a red link
        panel(2)->setPicture({});
}

void TransferFrame::tellConnectionFailure(const JobOutcome &outcome)
{
    showLink(false);
    showOutcome(false, outcome.message);
    if (outcome.code == BootloaderGreetingFailed) {
        // The label keeps why, rather than the time-out the job ended on.
        L_Info->setText(outcome.message);
        m_prompts.message(this, QMessageBox::Question,
                          GetLanguageText("TransferPCModule") + ' ' + NomProgrammateur,
                          outcome.message, QMessageBox::Ok);
        return;
    }
    m_prompts.message(this, QMessageBox::NoIcon, {}, outcome.message, QMessageBox::Ok);
}

// Always disconnected, whether the module acknowledged the close or not.
void TransferFrame::tellDisconnection(const JobOutcome &outcome)
{
    showLink(false);
    showOutcome(outcome.succeeded(), outcome.message);
    if (outcome.succeeded())
        QApplication::beep();
    else
        m_prompts.message(this, QMessageBox::NoIcon, {}, outcome.message, QMessageBox::Ok);
}

bool TransferFrame::refusedDownload(const BootloaderJob &prepared, QMessageBox::Icon icon)
{
    if (prepared.job)
        return false;
    tellFailure(icon, prepared.title, prepared.refusal, prepared.info);
    return true;
}

void TransferFrame::tellFailure(QMessageBox::Icon icon, const QString &title, const QString &text,
                                const QString &info)
{
    const QString why = info.isEmpty() ? text : info;
    L_Info->setText(why);
    showOutcome(false, why);
    m_prompts.message(this, icon, title, text, QMessageBox::Ok);
}

void TransferFrame::showOutcome(bool succeeded, const QString &outcome)
{
    // Every line, the reason after what failed, on the panel's one line; the
    // tooltip keeps the lines as they are.
    QStringList lines = outcome.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    m_outcomeShown = lines.join(QStringLiteral(" — "));
    if (m_outcomeShown.isEmpty() && succeeded) {
        panel(2)->setText(GetLanguageText("BEPItem2"));
        return;
    }
    panel(2)->setText(m_outcomeShown, outcome);
}

// Only an outcome is taken away: what the panel shows otherwise (ready, a
// window's own text) is no outcome of an earlier operation.
void TransferFrame::clearOutcome()
{
    if (!m_outcomeShown.isEmpty() && panel(2)->text() == m_outcomeShown)
        panel(2)->setText({});
    m_outcomeShown.clear();
}

void TransferFrame::tellDownload(const JobOutcome &outcome)
{
    const QString title = QCoreApplication::applicationName();
    if (outcome.succeeded()) {
        // Recorded as a failure is: in the label and the status bar.
        L_Info->setText(outcome.message);
        showOutcome(true, outcome.message);
        m_prompts.message(this, QMessageBox::NoIcon, title, outcome.message, QMessageBox::Ok);
        return;
    }
    showOutcome(false, outcome.message);
    m_prompts.message(this, QMessageBox::Critical, title, outcome.message, QMessageBox::Ok);
}
