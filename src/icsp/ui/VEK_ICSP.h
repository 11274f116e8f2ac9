#pragma once

#include "icsp/ConfigurationWord.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/ImageFileServices.h"
#include "icsp/ui/TransferFrame.h"

#include <QMessageBox>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QTextEdit;

// The programmer window: the memory views of the image (program words, EEPROM,
// configuration word, user IDs, chip, checksum), the configuration controls of
// the chip's family, and the buttons of the programmer and bootloader
// operations. The programmer's operations (read, write, erase, verification,
// table programming) and the files are in VEK_ICSPOperations.cpp: each runs as
// a job on a copy of the image, taken back when the job is over.
class VEK_ICSP : public TransferFrame
{
    Q_OBJECT
public:
    // `image`: Keep when opened after a package editor may have imported firmware.
    explicit VEK_ICSP(VekContext &context, QWidget *parent = nullptr,
                      WindowPrompts *prompts = nullptr,
                      ImageOnOpening image = ImageOnOpening::Blank);

    // Redraws every view of the image and sets the configuration controls from
    // the configuration word.
    void AfficherMemoire();
    // The program image as plain text in the program-memory view.
    void AfficherCodeTexte();
    // Rebuilds the configuration word from the controls and shows it.
    void MotConfigDepuisControles();
    // Chooses the chip from the settings (and the device ID last read) and lays
    // out the configuration controls of its family.
    void IdentifierPIC();

    // The configuration controls as the codec reads them.
    ConfigurationWord::ConfigControls configControls() const;

    // Views.
    QTextEdit *T_ProgramMem = nullptr;
    QTextEdit *T_EEDATA = nullptr;
    QLabel *LabelICSP1 = nullptr, *LabelICSP2 = nullptr, *LabelICSP3 = nullptr,
           *LabelICSP4 = nullptr;
    QLabel *TBConfigWord = nullptr;
    std::array<QLineEdit *, 4> UserID{};
    QLabel *TBDeviceID = nullptr;
    QLabel *CheckSum = nullptr;
    // Configuration controls.
    QLabel *LblOscillator = nullptr;
    QComboBox *CmbOscillateur = nullptr;
    QLabel *LblCodeProtect = nullptr;
    QComboBox *CmbCodeProtect = nullptr;
    std::array<QCheckBox *, 7> CkBit{};
    // Buttons.
    QPushButton *BP_DLOAD = nullptr, *BP_Annuler = nullptr, *BP_Clear = nullptr,
                *BP_ReadModule = nullptr, *BP_WriteModule = nullptr, *BP_EraseDevice = nullptr,
                *BP_IMPORT_HEX = nullptr, *BP_EXPORT_HEX = nullptr, *BP_IMPORT_XEH = nullptr,
                *BP_EXPORT_XEH = nullptr, *BP_VerifyDevice = nullptr, *BP_ProgTables = nullptr,
                *KivCommand1 = nullptr;

    // The module's bootloader over the serial line (VEK_ICSPBootloader.cpp):
    // connection and disconnection, curve-table download (curve set 1) and
    // firmware update, each run as a job on the window's connection.
    void BP_tst_Click();
    void BP_DLOAD_Click();
    void BP_MAJHEX_Click();
    bool bootloaderConnected() const;

    // Cancel: asks the running operation to stop.
    void BP_Annuler_Click();

    // The programmer's operations, run as jobs.
    void BP_ReadModule_Click();
    void BP_WriteModule_Click();
    void BP_EraseDevice_Click();
    void BP_VerifyDevice_Click();
    // The curve's tables (curve 1) placed as the curve download places them
    // and programmed at the firmware's table addresses.
    void BP_ProgTables_Click();
    // "test prog fast": the whole code memory in one pass, each word read
    // back, no retry; the image stays as it is.
    void KivCommand1_Click();
    // Files: the image is replaced only by a file read whole.
    void BP_IMPORT_HEX_Click();
    void BP_EXPORT_HEX_Click();
    void BP_IMPORT_XEH_Click();
    void BP_EXPORT_XEH_Click();
    // INIT BUFF: blank image, file name forgotten.
    void BP_Clear_Click();
    void MnuEditHex_Click();
    // Commits user-ID box `index`: hexadecimal, clamped to 00..FF, stored in
    // the even byte of its pair.
    void UserID_Commit(int index);

protected:
    std::optional<QString> initialPanel3() const override;
    // The chip the window names: "?" when the last identification found none.
    QString shownChip() const;
    bool identifiesChip() const override { return true; }
    void InitLangue() override;
    void chipPrepared() override;
    QList<QWidget *> lockedWhileRunning() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    TransferJob closingAfterStop() override;

private:
    using Operation = std::function<IcspResult(IcspProgrammer &, PicDevice &)>;
    // Tells how the operation ended; true when it did its work.
    using Finished = std::function<bool(const IcspResult &, PicDevice &)>;
    // Runs `operation` on a programmer of its own and a copy of the image;
    // `finished` gets the result and that copy on the GUI thread, then the
    // status bar keeps the outcome (unless `finished` started the next job).
    // `leftWhenStopped`: what a stop half-way leaves in the chip (empty for a read).
    void runProgrammer(Operation operation, Finished finished, const QString &leftWhenStopped = {});
    bool readFinished(const IcspResult &result, PicDevice &read);
    bool writeFinished(const IcspResult &result, PicDevice &written);
    // Refuses to program an image that lacks words of the file loaded into it
    // (past the chip's memory), saying so; false when the image is whole.
    bool imageLacksFileWords();
    bool eraseFinished(const IcspResult &result, PicDevice &erased);
    // The erase the user has agreed to: the calibration first where the chip
    // keeps one, then the erase.
    void eraseAgreed();
    void startErase(const CalibrationAnswer &answer);
    // "Effacer le programme du module <label>": the erase question, without its mark.
    QString eraseQuestion() const;
    // The erase the user declined: nothing erased, the file name forgotten.
    void eraseDeclined(const QString &question);
    // Before erasing a chip whose OSCCAL word reads as no RETLW: the value the
    // user noted earlier, or going on without it; nothing when the user cancels.
    std::optional<CalibrationAnswer> askCalibration(uint16_t osccal);
    bool verifyFinished(const IcspResult &result, PicDevice &verified);
    bool codeTestFinished(const IcspResult &result);
    void showDeviceRecord(bool withAlgo);
    void importImage(ImageFileServices::Format format, const QString &pattern,
                     const QString &filter, const QString &title);
    void exportImage(ImageFileServices::Format format, const QString &pattern,
                     const QString &filter, const QString &title);
    void clearBar();
    // The table programming refused before anything is sent: the refusal to
    // show, else what the table generators said when they stopped (`stopped`).
    void tablesRefused(const QString &title, const QString &refusal, const QString &stopped);
    void connectOperations();
    void connectBootloader();
    void startDownload(const TransferJob &job, const char *leftWhenStopped);

    void buildForm();
    QWidget *buildViews();
    QWidget *buildConfiguration();
    void buildButtons();
    void layOutConfigControls();
    void setConfigControls();
    void configControlChanged();

    QGroupBox *m_configuration = nullptr;
    QList<QPushButton *> m_operationButtons;
    std::unique_ptr<BootloaderService> m_bootloader; // made by the first connection
};
