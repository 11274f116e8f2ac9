#pragma once

#include <QDialog>
#include <QMap>
#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSerialPort;
class QSettings;
class QTabWidget;
struct VekContext;

// The configuration dialog: serial settings of the main window's port, chart
// type of the curve chart and language of the texts. OK applies and saves
// what the port accepts; Cancel restores the language of the opening.
// After it closes, the caller redraws the chart and re-applies its captions.
class VEK_SETUP : public QDialog
{
    Q_OBJECT
public:
    // `livePort`: the main window's serial port, when it has one.
    explicit VEK_SETUP(VekContext &context, QSerialPort *livePort = nullptr,
                       QWidget *parent = nullptr);
    ~VEK_SETUP() override;

    // The settings store (application "VEK_Courbe"); tests give their own.
    void setSettingsStore(QSettings *store) { m_store = store; }
    // Where failures are reported (a warning box by default).
    void setWarningSink(std::function<void(const QString &)> sink) { m_warn = std::move(sink); }

    // Controls, for the main window's tests and for ours.
    QRadioButton *ComPort(int i) const { return m_comPort.value(i); }
    QRadioButton *Baud(int index) const { return m_baud.value(index); }
    QRadioButton *Type_Trace(int code) const { return m_typeTrace.value(code); }
    QRadioButton *languageOption(const QString &file) const { return m_language.value(file); }
    QRadioButton *otherPort() const { return m_otherPort; }
    QComboBox *otherPortDevice() const { return m_device; }
    QRadioButton *Data7 = nullptr, *Data8 = nullptr, *Stop1 = nullptr, *Stop2 = nullptr;
    QRadioButton *EvenParity = nullptr, *NoParity = nullptr, *OddParity = nullptr;
    QRadioButton *NoFlow = nullptr, *XonFlow = nullptr, *RTSFlow = nullptr, *BothFlow = nullptr;
    QPushButton *OKButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QTabWidget *SSTab1() const { return m_tabs; }

    // The working values the options stand for.
    QString portChoice() const;   // "1" to "4", or a device path
    QString settingsText() const; // "9600,N,8,1"
    int handshaking() const;      // 0 to 3
    int chartType() const;        // 2, 3, 4, 5 or 16

public slots:
    void OKButton_Click();
    void CancelButton_Click();
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildDisplayTab();
    QWidget *buildTerminalTab();
    QWidget *buildInfoTab();
    void Form_Load();
    void chooseLanguage(const QString &file);
    void ApplyLanguageSetup();
    void closeDialog(bool accepted);
    // Why OK refuses the port chosen ("3", "COM9", a path); empty when taken,
    // `choice` then in the form it is stored in.
    QString checkPort(QString &choice) const;
    void save(const QString &key, const QString &value);

    VekContext &m_context;
    QSerialPort *m_livePort;
    QSettings *m_store = nullptr;
    std::unique_ptr<QSettings> m_ownStore;
    std::function<void(const QString &)> m_warn;
    QString m_languageAtOpening;

    QTabWidget *m_tabs = nullptr;
    QMap<int, QRadioButton *> m_comPort;
    QRadioButton *m_otherPort = nullptr;
    QComboBox *m_device = nullptr;
    QMap<int, QRadioButton *> m_baud;
    QMap<int, QRadioButton *> m_typeTrace;
    QMap<QString, QRadioButton *> m_language;
    QGroupBox *FrameGraphique = nullptr;
    QGroupBox *FrameLanguage = nullptr;
    QGroupBox *FrameInfo = nullptr;
    QLabel *LabelGraphique1 = nullptr;
    QLabel *m_note3D = nullptr;
    QLabel *m_info = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
