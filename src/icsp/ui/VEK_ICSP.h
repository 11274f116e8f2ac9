#pragma once

#include "icsp/ConfigurationWord.h"
#include "icsp/ui/TransferFrame.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QTextEdit;

// The programmer window: the memory views of the image (program words, EEPROM,
// configuration word, user IDs, chip, checksum), the configuration controls of
// the chip's family, and the buttons of the programmer and bootloader
// operations. The operations themselves are added beside this file.
class VEK_ICSP : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_ICSP(VekContext &context, QWidget *parent = nullptr,
                      WindowPrompts *prompts = nullptr);

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
    QPushButton *BP_DLOAD = nullptr, *BP_Config = nullptr, *BP_Annuler = nullptr,
                *BP_Clear = nullptr, *BP_ReadModule = nullptr, *BP_WriteModule = nullptr,
                *BP_EraseDevice = nullptr, *BP_IMPORT_HEX = nullptr, *BP_EXPORT_HEX = nullptr,
                *BP_IMPORT_XEH = nullptr, *BP_EXPORT_XEH = nullptr;

    // Cancel: asks the running operation to stop.
    void BP_Annuler_Click();

protected:
    std::optional<QString> initialPanel3() const override;
    void InitLangue() override;
    void chipPrepared() override;
    QList<QWidget *> lockedWhileRunning() const override;

private:
    void buildForm();
    QWidget *buildViews();
    QWidget *buildConfiguration();
    void buildButtons();
    void layOutConfigControls();
    void setConfigControls();
    void configControlChanged();

    QGroupBox *m_configuration = nullptr;
    QList<QPushButton *> m_operationButtons;
};
