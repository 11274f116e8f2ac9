#pragma once

#include "firmware/FirmwarePackageFields.h"
#include "firmware/ui/PackageEditorWindow.h"

#include <array>
#include <map>

class QButtonGroup;
class QCheckBox;
class QRadioButton;

// The firmware package editor: the description of a ".XOS" package field by
// field, its firmware source, and the package built from them or read back.
class VEK_New_OS : public PackageEditorWindow
{
    Q_OBJECT
public:
    VEK_New_OS(VekContext &context, PackageEditorServices services, QWidget *parent = nullptr,
               WindowPrompts *prompts = nullptr);

    void BP_OK_Click() override;
    void Compilation_Click(int index);

    int typeCompilation() const { return m_type; }
    // The fields as the controls hold them.
    FirmwarePackageFields fields() const;

private:
    void showDescription() override;
    void buildForm();
    void InitLangue();
    void applyRead(const FirmwarePackageFields::Read &read);
    QCheckBox *check(const char *name, QWidget *parent);
    // What a refusal names a description key's box by: empty for a value
    // named by its own caption.
    QString caption(const QString &key) const;

    int m_type = 8;

    QComboBox *TypeModule = nullptr;
    QComboBox *TypeTransfertModule = nullptr;
    QComboBox *NbTablesExport = nullptr;
    QGroupBox *Frame_TypeBoitier = nullptr;
    QGroupBox *Frame_TypeTransfert = nullptr;
    QGroupBox *Frame_Option = nullptr;
    QGroupBox *Frame_code = nullptr;
    QGroupBox *Frame_table = nullptr;
    QGroupBox *Frame_Compilation = nullptr;
    QLabel *LabelAsm2 = nullptr;
    QLabel *FrameRupteur = nullptr;
    QLabel *LabelCodeAdresse1 = nullptr;
    QLabel *LabelCodeAdresse2 = nullptr;
    std::array<QLabel *, 2> LabelCourbeAdresse1{};
    QLabel *LabelCourbeAdresse4 = nullptr;
    QLabel *LabelCourbeAdresse5 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    std::map<int, QRadioButton *> Compilation;
    QButtonGroup *m_compilationGroup = nullptr;

    QCheckBox *FrameEnSetMoteur = nullptr;
    QCheckBox *FrameEnSetAvance = nullptr;
    QCheckBox *FrameNbrCyl = nullptr;
    QCheckBox *FrameAvStatique = nullptr;
    QCheckBox *FrameHardware = nullptr;
    QCheckBox *FrameCarteOption = nullptr;
    QCheckBox *FrameAvanceBRPM = nullptr;
    QCheckBox *FrameDwell = nullptr;
    QCheckBox *FrameMultiEtincelle = nullptr;
    QCheckBox *FrameRetardCliquetis = nullptr;
    QCheckBox *FrameTableMap = nullptr;
    QCheckBox *FrameKT5 = nullptr;
    QCheckBox *FrameTerminalRS232 = nullptr;

    QLineEdit *Nbre_Cylindre = nullptr;
    QLineEdit *Limite_Rupteur = nullptr;
    QLineEdit *Av_Statique = nullptr;
    QLineEdit *HEXADD = nullptr;
    QLineEdit *HEXLNG = nullptr;
    std::array<QLineEdit *, 2> ADDL8{};
    std::array<QLineEdit *, 2> ADDH8{};
    std::array<QLineEdit *, 2> ADDL16{};
    std::array<QLineEdit *, 2> ADDH16{};
};
