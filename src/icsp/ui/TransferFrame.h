#pragma once

#include "base/JobRunner.h"
#include "icsp/BootloaderService.h"
#include "icsp/TransferContext.h"
#include "icsp/ui/VEK_BarGraph.h"

#include <QDialog>
#include <QMessageBox>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class HelpTextFilter;
class OperationStatus;
class QAction;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QVBoxLayout;
class StatusPanel;
class StatusTipLine;
class WindowPrompts;
struct VekContext;

// What the four transfer windows (programmer, bootloader, first load,
// compatible family) have in common: the information label, the status bar
// with the link bar P2 (panel 1) and the progress bar P1 (panel 2), the
// "Fichier HEX" menu, the quit button, hover help, and the way a
// long exchange runs: off the GUI thread through the window's own JobRunner,
// its progress on the bars, its status in L_Info, the buttons locked meanwhile,
// Cancel honoured, and closing the window asks whether to stop it first.
class TransferFrame : public QDialog
{
    Q_OBJECT
public:
    // The fixed design of a window. The exchanges' time-outs are deadlines of
    // the jobs themselves, so a window holds no time-out timer.
    struct Design {
        std::array<int, 3> panelTwips; // 0: no such panel
        bool hoverHelp;                // help on the buttons; the bare window clears L_Info
    };

    ~TransferFrame() override;

    // What opening does with the image: blank it for the chip, or keep the
    // firmware a package editor has just imported (the programmer window
    // opened from the assembly window) while the chip stays the same.
    enum class ImageOnOpening { Blank, Keep };

    // Members every transfer window has.
    std::unique_ptr<VEK_BarGraph> P1;  // progress bar, panel 2
    std::unique_ptr<VEK_BarGraph> P2;  // link bar, panel 1
    int32_t ProgressBar = 0;           // percent of the running operation
    bool InterditConfigChange = false; // configuration controls ignore their changes

    // Programmer label, caption, new bars, status texts, then the chip
    // re-identified and the image blanked (the chip read may finish later).
    void Initialisation();

    // Runs `job` through the window's runner; false while another runs.
    // `done` runs on the GUI thread after the buttons are unlocked; without it
    // a non-empty outcome message goes to L_Info. `leftWhenStopped` is what the
    // user is told when closing the window stops the job half-way (what the
    // module then holds); empty when a stop leaves nothing to redo.
    bool startTransfer(TransferJob job, std::function<void(const JobOutcome &)> done = {},
                       const QString &leftWhenStopped = {});
    bool transferRunning() const { return m_runner.isRunning(); }
    JobRunner &runner() { return m_runner; }

    const QString &nomProgrammateur() const { return NomProgrammateur; }
    StatusPanel *panel(int number) const; // 1 to 3; nullptr for a missing panel
    QStatusBar *BarreEtat = nullptr;
    QLabel *L_Info = nullptr;
    QMenu *MnuHex = nullptr;
    QAction *MnuEditHex = nullptr;
    QAction *MnuCompHex = nullptr;
    QAction *MnuClsBuff = nullptr;
    QPushButton *BP_Quit = nullptr;
    // The link buttons (none in the first-load window).
    QPushButton *BP_tst = nullptr;    // connection
    QPushButton *BP_MAJHEX = nullptr; // firmware update
    QPushButton *BP_UPLOAD = nullptr;
    QPushButton *BP_Config = nullptr; // programmer set-up (programmer and bootloader windows)

    // "Clear buffer": blank image, views redrawn; file name and bars kept;
    // the information label says so.
    void MnuClsBuff_Click();

    // The programmer set-up dialog, modal; `closed` runs once it has closed
    // (by OK or Cancel). Nothing while a transfer runs.
    // `closed` learns whether it closed by OK.
    void showProgrammerSetup(const std::function<void(bool accepted)> &closed);

protected:
    TransferFrame(VekContext &context, const Design &design, QWidget *parent,
                  WindowPrompts *prompts);

    // Runs the window's start once its controls exist: InterditConfigChange
    // set, Initialisation, then the captions.
    void Form_Load(ImageOnOpening image = ImageOnOpening::Blank);

    // The differences of the windows.
    virtual bool buildsProgrammerLabel() const { return true; }
    virtual QString caption() const;
    virtual std::optional<QString> initialPanel3() const = 0; // nothing: no third panel
    virtual bool showsReadyHelp() const { return true; }
    // Only the programmer window reads the chip ("AUTO") through the
    // programmer's lines: the others work on the module's own serial link.
    virtual bool identifiesChip() const { return false; }
    virtual void InitLangue() = 0;
    // The chip has been identified and the image blanked: redraw what shows them.
    virtual void chipPrepared() {}
    // The buttons and controls locked while a transfer runs (the link and
    // quit buttons and the menu are locked by the frame).
    virtual QList<QWidget *> lockedWhileRunning() const = 0;

    QVBoxLayout *body() const { return m_body; }
    QHBoxLayout *buttonRow() const { return m_buttonRow; }
    // A button; one that starts an operation first takes away what the window
    // still says of the previous one (beginOperation).
    enum class Starts { Operation, Nothing };
    QPushButton *addButton(const char *name, const QString &design, QWidget *parent = nullptr,
                           Starts starts = Starts::Operation);
    void addHoverHelp(QWidget *control, const char *key);
    // Connection, `downloads`, update and upload in the button row, all but
    // the connection disabled until a connection opens the link.
    void addLinkButtons(const QList<QPushButton *> &downloads);
    // The link bar: the port on green while connected, on red otherwise.
    void drawLinkBar(bool connected);
    // The progress bar's colours for the next operation: black text on `colour`.
    void useProgressColour(uint32_t colour);
    // The link buttons as a connection leaves them: the connection button's
    // caption, the link bar, the downloads and the update enabled
    // only while connected, the upload never, the set-up only while
    // disconnected; disconnected, the progress bar is taken away; connected,
    // the status bar says ready.
    void showLink(bool connected);
    // The end of a bootloader connection, a disconnection, a download: what
    // the user is told of it (the job's status is in L_Info already).
    void tellConnectionFailure(const JobOutcome &outcome);
    void tellDisconnection(const JobOutcome &outcome);
    void tellDownload(const JobOutcome &outcome);
    // The status bar keeps how the last operation ended, success or failure:
    // `outcome` on one line (its lines joined, the reason after what failed),
    // whole as its tooltip; ready after a success that says nothing.
    void showOutcome(bool succeeded, const QString &outcome);
    // An operation starts: the outcome the status bar still shows of an
    // earlier one goes, so that nothing older stands as its outcome.
    void clearOutcome();
    // An operation starts, before its first question: the earlier one's
    // outcome (clearOutcome) and what L_Info still says of it go.
    void beginOperation();
    // What the running operation is doing, in L_Info until it ends.
    void tellProgress(const QString &text);
    // Initialisation after the set-up's OK, telling that the image was blanked.
    void reinitialise();
    // The chip choice of the last identification selected a chip; else
    // the chip record still holds an earlier chip, which is no longer shown.
    bool m_chipKnown = true;
    // An operation that ended without doing its work (refused before anything
    // was sent, a port that would not open): the information label and the
    // status bar say why (`info`, else `text`), then its box tells `text`.
    void tellFailure(QMessageBox::Icon icon, const QString &title, const QString &text,
                     const QString &info = {});
    // A download refused before anything was sent: its box, and its text for
    // the information label when it has one. False when `prepared` may start.
    bool refusedDownload(const BootloaderJob &prepared, QMessageBox::Icon icon);
    // The set-up button in the button row: the programmer set-up dialog, then
    // `closed` once it has closed.
    void addSetupButton(std::function<void(bool accepted)> closed);
    // The quit button at the end of the button row.
    void addQuitButton();
    // The captions of the frame's own parts: link and quit buttons, panel 2.
    void frameCaptions();
    // Why the chip choice selected nothing (an unknown "PIC-" name, or under
    // "AUTO" no chip or an unknown device ID).
    void showChipProblem();
    // The exchange that ends the module's transfer after a stopped job, while
    // the line still allows it; none by default.
    virtual TransferJob closingAfterStop() { return {}; }

    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

    VekContext &m_context;
    WindowPrompts &m_prompts;
    QString NomProgrammateur;

private:
    void buildFrame(const Design &design);
    void newBars();
    void identifyChip();
    void prepareDevice(std::optional<uint16_t> readDeviceId);
    void showProgress(int bar, double percent, const QString &text);
    void lock(bool locked);
    void stopRunningTransfer();
    enum class StopAnswer { Stopped, GoOn, Ended };
    StopAnswer askToStopTransfer();

    JobRunner m_runner;
    bool m_keepImage = false;                  // the opening's Initialisation keeps the image
    bool m_tellBlanked = false;                // the next identification says the image was blanked
    std::unique_ptr<OperationStatus> m_status; // what L_Info says of the running operation
    std::array<StatusPanel *, 3> m_panels{};
    QVBoxLayout *m_body = nullptr;
    QHBoxLayout *m_buttonRow = nullptr;
    HelpTextFilter *m_help = nullptr;
    bool m_hoverHelp = true;
    StatusTipLine *m_tipLine = nullptr; // the hover help; none without hover help
    std::function<void(const JobOutcome &)> m_done;
    QString m_leftWhenStopped;            // of the running job
    bool m_askingToStop = false;          // the question to stop the job is open
    bool m_stopQuestionWithdrawn = false; // the job ended beneath it
    QList<QPair<QWidget *, bool>> m_lockedStates;
    QList<QPushButton *> m_downloads; // the link buttons' downloads
    QString m_outcomeShown;           // the outcome status panel 2 shows, if it still does
};
