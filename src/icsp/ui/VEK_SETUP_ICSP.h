#pragma once

#include "icsp/IcspSetup.h"

#include <QDialog>
#include <QList>

#include <array>
#include <functional>
#include <memory>

class ConnectorMarker;
class ConnectorPicture;
class JobRunner;
class ProgrammerLineChecks;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class StatusTipLine;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;
class QSlider;
class QTabWidget;
struct JobOutcome;
struct VekContext;

// The programmer set-up dialog: box type, chip, port, parallel-port pins, delay
// after each bit frame, write attempts and, without a firmware package, where
// the code and the tables lie; its second page tests the programmer's lines.
// The box type, port and pins are written into the shared settings as they are
// picked (the line tests use them at once); OK takes the rest, saves section
// "ICSP" and sets the chip record; Cancel and the close box put back the live
// values. However it closes, setupClosed() follows: the programmer window then
// re-initialises (identifies the chip again and blanks the image).
class VEK_SETUP_ICSP : public QDialog
{
    Q_OBJECT
public:
    explicit VEK_SETUP_ICSP(VekContext &context, QWidget *parent = nullptr);
    ~VEK_SETUP_ICSP() override;

    // The settings store (application "VEK_Courbe"); tests give their own.
    void setSettingsStore(QSettings *store) { store_ = store; }
    // Where refusals and a failed save are reported whole (a warning box by
    // default): a long port path would be cut in the information label.
    void setWarningSink(std::function<void(const QString &)> sink) { warn_ = std::move(sink); }
    // The programmer behind the line tests; tests give a simulated one.
    void setLineChecks(ProgrammerLineChecks *tests);

    // A firmware package is chosen: box, chip, delay, attempts and addresses are locked.
    static bool PackageChosen(const VekContext &context);

    bool testPortOpen() const { return testPortOpen_; }
    QString boxLabel() const { return boxLabel_; }
    QString chosenChip() const { return chosenChip_; }
    bool presenceTestRunning() const;

    // Controls, for the tests.
    QTabWidget *SSTab1 = nullptr;
    QLabel *L_Info = nullptr;
    StatusTipLine *StatusTip = nullptr; // the frames' help, apart from L_Info
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QGroupBox *FrameTypeBoitier = nullptr, *FrameProcesseur = nullptr, *FrameNbEssaiProg = nullptr;
    QGroupBox *FrameDelais = nullptr, *FrameCodeAdresse = nullptr, *FrameCourbeAdresse = nullptr;
    QGroupBox *FramePortICSP = nullptr, *FrameTestProg = nullptr;
    std::array<QRadioButton *, IcspSetup::BoxTypeCount> ICSP_BOITIER{};
    QComboBox *ICSP_CHIP = nullptr, *ICSP_NbWrite = nullptr, *ICSP_COM = nullptr;
    QSlider *ICSP_Delay = nullptr;
    QLineEdit *HEXADD = nullptr, *HEXLNG = nullptr;
    QLineEdit *ADDL8 = nullptr, *ADDH8 = nullptr, *ADDL16 = nullptr, *ADDH16 = nullptr;
    QComboBox *LptBrocheMCLR = nullptr, *LptBrocheCLOCK = nullptr;
    QComboBox *LptBrocheDATA = nullptr, *LptBrocheDATAR = nullptr;
    ConnectorPicture *Sub_db9 = nullptr, *Sub_db25 = nullptr;
    ConnectorMarker *EtatCom_MCLR = nullptr, *EtatCom_CLOCK = nullptr, *EtatCom_DATA = nullptr;
    ConnectorMarker *EtatLpt_MCLR = nullptr, *EtatLpt_CLOCK = nullptr, *EtatLpt_DATA = nullptr;
    ConnectorMarker *EtatLpt_DATAR = nullptr;
    QPushButton *BP_ONOFF = nullptr, *BP_TST_PROG = nullptr;
    QCheckBox *TST_MCLR = nullptr, *TST_CLOCK = nullptr, *TST_DATA = nullptr;

signals:
    // The dialog has closed, by OK, Cancel or its close box.
    void setupClosed();

public slots:
    void ICSP_BOITIER_Click(int index);
    void ICSP_CHIP_Click(int index);
    void ICSP_COM_Click(const QString &port);
    void BP_ONOFF_Click();
    void BP_TST_PROG_Click();
    void OKButton_Click();
    void CancelButton_Click();
    void reject() override; // the close box and Escape: as Cancel

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One of the three hand-driven lines: its check box, line number and markers.
    struct LineTest {
        QCheckBox *box = nullptr;
        int line = 0;
        const char *name = "";
        ConnectorMarker *com = nullptr;
        ConnectorMarker *lpt = nullptr;
    };
    QWidget *buildProgrammerPage();
    QWidget *buildHardwarePage();
    QWidget *buildPortFrame();
    QWidget *buildTestFrame();
    void Form_Load();
    void InitLangue();
    void loadChipList();
    void fillPinLists();
    void loadValues();
    void applyPackageLock();
    void AfficherBoitier();
    void pinChosen(QComboBox *list);
    void idleLineTests();
    void closeTestPort();
    void lineTestClicked(const LineTest &test);
    void presenceTestFinished(const JobOutcome &outcome);
    void setBusy(bool busy);
    void showPortKind(const QString &port);
    // The port typed in ICSP_COM becomes the port, as a pick would make it:
    // always when Return confirms it, else only when it differs.
    void takeTypedPort(bool confirmed = false);
    IcspSetup::Entries entries() const;
    QWidget *fieldWidget(IcspSetup::Field field) const;
    QString portRefusalText(IcspSetup::PortRefusal refusal, const QString &port) const;
    void refuseOk(const QString &text, QWidget *box);
    // The label and the warning sink tell `text`.
    void refuse(const QString &text);
    void closeDialog(bool accepted);
    void Form_Unload();

    VekContext &context_;
    QSettings *store_ = nullptr;
    std::unique_ptr<QSettings> ownStore_;
    std::function<void(const QString &)> warn_;
    ProgrammerLineChecks *lineChecks_ = nullptr;
    std::unique_ptr<ProgrammerLineChecks> ownLineChecks_;
    JobRunner *runner_ = nullptr;
    std::array<LineTest, 3> lines_{};
    QList<QWidget *> portKindWidgets_; // pin lists and their captions: parallel only
    IcspSetup::LiveSettings kept_;
    QString chosenChip_;
    QString boxLabel_;
    bool testPortOpen_ = false;
    bool packageChosen_ = false;
    bool closing_ = false;
};
