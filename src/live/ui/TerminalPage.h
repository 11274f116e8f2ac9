#pragma once

#include "live/TerminalPort.h"

#include <QByteArray>
#include <QTimer>
#include <QWidget>

class LedLamp;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TerminalReceiveBox;
struct VekContext;

// The "Hyper Termial" page: a raw terminal on the main window's serial port.
class TerminalPage : public QWidget
{
    Q_OBJECT
public:
    explicit TerminalPage(VekContext &context, QWidget *parent = nullptr);
    ~TerminalPage() override;

    // The main window closes the port on every page change and before a transfer;
    // the page's controls follow.
    void closePort();
    bool isPortOpen() const { return m_port.isOpen(); }

    // Captions from the language texts (the main window calls it once they are
    // loaded, and on each change of language).
    void applyCaptions();

    // `BP_OpenPort`: opens or closes the port.
    void BasculePort();

    TerminalPort &port() { return m_port; }
    TerminalReceiveBox *receiveBox() const { return Term_Recept; }

signals:
    void infoText(const QString &text);

private:
    void buildUi();
    void showPortState();
    void onReceived(const QByteArray &bytes);
    void flushReceived();
    void onTyped(const QByteArray &bytes);
    void onLines(std::optional<SerialLineStatus::ModemLines> lines);
    void onLineError(TerminalPort::LineError error);
    void onClosed(const QString &reason);

    VekContext &m_context;
    TerminalPort m_port;
    QTimer m_flush;
    QByteArray m_pending;
    QString ModeTerminal; // "asc", "dec", "hex"; empty shows the bytes as received

    QGroupBox *FrameLED = nullptr;
    TerminalReceiveBox *Term_Recept = nullptr;
    QPushButton *BP_OpenPort = nullptr;
    QPushButton *BP_Erraseterm = nullptr;
    QCheckBox *chkTermEcho = nullptr;
    QLabel *Label5 = nullptr;
    QRadioButton *optAsc = nullptr;
    QRadioButton *optDec = nullptr;
    QRadioButton *optHex = nullptr;
    LedLamp *LED_PortOpen = nullptr;
    LedLamp *LED_CTS = nullptr;
    LedLamp *LED_DSR = nullptr;
    LedLamp *LED_CD = nullptr;
    LedLamp *LED_RTS = nullptr;
    LedLamp *LED_Receive = nullptr;
    LedLamp *LED_Send = nullptr;
};
