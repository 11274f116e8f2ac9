#pragma once

#include "firmware/PackageAuthoring.h"
#include "firmware/ui/PackageEditorServices.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class WindowPrompts;
struct VekContext;

// What the firmware and the update package editors share: the identity fields,
// the chip list, the firmware source, and reading, creating and cancelling
// through the package folder's work files.
class PackageEditorWindow : public QDialog
{
    Q_OBJECT
public:
    void BP_SelectFile_Click();
    virtual void BP_Lire_OS_Click() = 0;
    virtual void BP_OK_Click() = 0;
    void BP_Annuler_Click();

    const PackageAuthoring &authoring() const { return m_authoring; }

protected:
    PackageEditorWindow(VekContext &context, PackageEditorServices services,
                        const PackageKind &kind, WindowPrompts *prompts, QWidget *parent);

    // Builds the shared controls; the windows lay them out.
    void buildSharedControls();
    // Caption and box of each identity field, one row each.
    void layoutIdentityFrame();
    void fillChips();

    // List match of a read value: the first item equal without regard to case,
    // or no selection.
    static void listMatch(QComboBox *list, const QString &value);
    // An item picked from the list (a typed text is no choice).
    static bool isPicked(const QComboBox *list);
    bool chipChosen() const;

    // A message box titled "Attention".
    void warn(const QString &text);

    // Read: work files deleted, package chosen and its known members extracted,
    // its description made current. False when cancelled or unreadable.
    bool readPackage(const QString &title, const QString &filter);
    void showSourceFromWorkFiles();
    // Create: the package from the description and the source; the window closes
    // on success and stays open, with a message, on a failure.
    void createPackage(const PackageDescription &description);
    // Common refusals before anything is written: unsafe name, chip.
    bool namePlausible();

    VekContext &m_context;
    PackageEditorServices m_services;
    PackageKind m_kind;
    PackageAuthoring m_authoring;
    WindowPrompts &m_prompts;

    QGroupBox *Frame_info = nullptr;
    QLabel *LblTypeModule = nullptr;
    QLabel *LblTypeVersion = nullptr;
    QLabel *LblTypeAuteur = nullptr;
    QLabel *LblTypeEmail = nullptr;
    QLabel *LblTypeNomFichier = nullptr;
    QLineEdit *TxtModule = nullptr;
    QLineEdit *TxtVersion = nullptr;
    QLineEdit *TxtAuteur = nullptr;
    QLineEdit *TxtEmail = nullptr;
    QLineEdit *TxtNomFichier = nullptr;
    QGroupBox *Frame_Processeur = nullptr;
    QComboBox *Processeur_CHIP = nullptr;
    QGroupBox *Frame_source = nullptr;
    QLabel *Lbl_NomFichierHEXXEH = nullptr;
    QPushButton *BP_SelectFile = nullptr;
    QPushButton *BP_OK = nullptr;
    QPushButton *BP_Lire_OS = nullptr;
    QPushButton *BP_Annuler = nullptr;

    QString m_sourceFilter; // filter of BP_SelectFile
};
