#pragma once

#include "live/LiveDecoder.h"
#include "live/LiveLink.h"
#include "platform/Clock.h"

#include <QTimer>

#include <QWidget>
#include <optional>

class NeedleDial;
class LedLamp;
class SevenSegmentDisplay;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;
class QFrame;
class WindowPrompts;
struct VekContext;

// The "Real Time" page of the main window: RUN/STOP of the live link, the
// instruments, the capture and logger, and the rpm simulation.
class LivePage : public QWidget
{
    Q_OBJECT
public:
    explicit LivePage(VekContext &context, QWidget *parent = nullptr,
                      const Clock &clock = SteadyClock::instance());
    ~LivePage() override;

    // The main window calls these: when the page is entered, and on every page
    // change, before a transfer and at quit (stops a running simulation first).
    void pageShown();
    void closePort();
    bool isRunning() const { return m_link.isOpen(); }

    // RUN/STOP (`Lbl_ON_OFF`).
    void BasculeMarcheArret();

    // Display procedures.
    void DessineCadranRPM(int16_t rpm);
    void DessineCadranCharge(int16_t load);
    void AfficheVoyantsLive(const LiveLamps &lamps);
    void AfficheEntreesLive(const LiveLamps &lamps);

    LiveLink &link() { return m_link; }
    // A frame as the status bar's frame panel shows it, in the user's language.
    static QString frameText(const TrameLive &frame);
    // How often the instruments were drawn from the link (tests, benchmarks).
    quint64 displayRefreshes() const { return m_displayRefreshes; }
    // The dialogs the page asks (the folder choice); tests answer in their place.
    void setPrompts(WindowPrompts &prompts) { m_prompts = &prompts; }

    // Captions that come from the language texts (the main window calls it
    // once the texts are loaded, and on each change of language).
    void applyCaptions();

signals:
    // Status bar panel n (1 port, 2 settings, 3 frame, 4 firmware note, 5 RUN/STOP).
    void statusPanelChanged(int panel, const QString &text);
    // A short status or outcome text for the main window's information label.
    void infoText(const QString &text);

private:
    void buildUi();
    void showStopped();
    void showRunning();
    void resetDisplay();
    void showReading(const LiveReading &reading);
    void onFramesArrived();
    int refreshIntervalMs() const;
    void refreshFromLink();
    void onSilence();
    void onPortLost(const QString &reason);
    void onBufferToggled(bool on);
    void onLogger();
    void onChooseLogFolder();
    void onSimulationToggled(bool on);
    void onSimulationSpeed(int rpm);
    void stopSimulation();
    // A simulation command's failure, or that an earlier one is over.
    void tellSimulation(const LiveLink::Status &status);
    void setPanel(int panel, const QString &text);
    // The information label's text (through infoText). A trouble it tells
    // is taken back once the same kind of operation succeeds.
    enum class Trouble { None, Link, Simulation, Folder };
    void say(const QString &text, Trouble trouble = Trouble::None);
    void troubleOver(Trouble trouble);
    void updateBufferStat();
    // The latest frame in the status bar, when it is not there yet.
    void showFrameText();
    // The chosen folder, else the documents folder (created when `create`).
    QString logFolder(bool create) const;
    QString portCaption() const;

    VekContext &m_context;
    WindowPrompts *m_prompts;
    const Clock &m_clock;
    LiveLink m_link;
    QTimer m_refresh;               // a refresh that came early, at its time
    int m_refreshIntervalMs = 50;   // the display's pace in this run
    qint64 m_refreshedMs = -1;      // the last refresh on m_clock; -1 none yet
    qint64 m_textsShownMs = -1;     // the frame text and buffer count, while streaming
    quint64 m_displayRefreshes = 0; // the instruments drawn since the page was made

    QFrame *FrameKT5 = nullptr;
    NeedleDial *Cadran_RPM = nullptr;
    NeedleDial *Cadran_Load = nullptr;
    SevenSegmentDisplay *PicLCD_RPM = nullptr;
    SevenSegmentDisplay *PicLCD_avance = nullptr;
    LedLamp *LED_IN[4] = {};
    LedLamp *LED_OUT[2] = {};
    LedLamp *LED_KNOCK = nullptr;
    LedLamp *LED_DECEL = nullptr;
    QLabel *Lbl_Loie1 = nullptr;
    QLabel *Lbl_Loie2 = nullptr;
    std::optional<bool> m_curve1Shown;     // the curve labels' state, once set
    std::optional<TrameLive> m_frameShown; // in the status bar, once set
    Trouble m_troubleSaid = Trouble::None; // what the information label tells
    QPushButton *Lbl_ON_OFF = nullptr;
    LedLamp *LED_Mode[2] = {};
    QCheckBox *ChkBuffer = nullptr;
    QLabel *BufferStat = nullptr;
    QPushButton *BP_Logger = nullptr;
    QToolButton *BP_LogDossier = nullptr;
    QCheckBox *Chk_Simulation = nullptr;
    QSlider *SimulRegime = nullptr;
    QLabel *m_simulValue = nullptr;
    QLabel *m_rpmCaption = nullptr;
    QLabel *m_advanceCaption = nullptr;
};
