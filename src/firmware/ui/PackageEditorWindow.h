#pragma once

#include "firmware/PackageAuthoring.h"
#include "firmware/ui/PackageEditorServices.h"

#include <QDialog>

#include <functional>
#include <initializer_list>
#include <utility>

class QComboBox;
class QGroupBox;
class QHBoxLayout;
class ElidedLabel;
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
    // Reads a package chosen by the user and shows its description and source.
    void BP_Lire_OS_Click();
    virtual void BP_OK_Click() = 0;
    void BP_Annuler_Click();

    const PackageAuthoring &authoring() const { return m_authoring; }
    // The package name as the last Create took it (namePlausible).
    const QString &takenName() const { return m_name; }

protected:
    // The window's name and title, the filter of its firmware source, and the
    // title and filter of the package choice of BP_Lire_OS.
    struct Texts {
        QString objectName;
        QString title;
        QString sourceFilter;
        QString readTitle;
        QString readFilter;
    };
    // Builds the shared controls; the windows lay them out.
    PackageEditorWindow(VekContext &context, PackageEditorServices services,
                        const PackageKind &kind, const Texts &texts, WindowPrompts *prompts,
                        QWidget *parent);

    // Inside the shared frames: caption and box of each identity field, one row
    // each; the chip list; the source name and its button.
    void layoutSharedFrames();
    // Read, create and cancel, at the right of a row.
    QHBoxLayout *buttonRow();
    void fillChips();

    // List match of a read value: the first item equal without regard to case,
    // or no selection.
    static void listMatch(QComboBox *list, const QString &value);
    // An item picked from the list (a typed text is no choice).
    static bool isPicked(const QComboBox *list);
    bool chipChosen() const;
    // The chip chosen, or a warning that it is not.
    bool requireChip();

    // A message box titled "Attention".
    void warn(const QString &text);

    // Puts a package description just read into the window's fields.
    virtual void showDescription() = 0;
    // The description just read, section by section (empty texts without one).
    std::function<QString(const QString &key)> infoLookup() const;
    std::function<QString(const QString &key)> reglageLookup() const;
    // The identity fields as a description gives them.
    void showIdentity(const QString &module, const QString &version, const QString &author,
                      const QString &email, const QString &fileName);

    // Captions from the language file: group titles, labels and buttons.
    using Caption = std::pair<QWidget *, const char *>;
    static void setCaptions(std::initializer_list<Caption> captions);
    // Captions of the shared controls (identity, chip, source, Cancel).
    void initSharedCaptions();
    // Create: the package from the description and the source; the window closes
    // on success and stays open, with a message, on a failure.
    void createPackage(const PackageDescription &description);
    // The package name read by its one rule (ValueRules, PackageName): false
    // after a warning naming why it is refused; the name taken is what
    // createPackage names the package.
    bool namePlausible();
    // A firmware file chosen, or a warning that there is none.
    bool requireSource();

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
    ElidedLabel *Lbl_NomFichierHEXXEH = nullptr;
    QPushButton *BP_SelectFile = nullptr;
    QPushButton *BP_OK = nullptr;
    QPushButton *BP_Lire_OS = nullptr;
    QPushButton *BP_Annuler = nullptr;

    QString m_sourceFilter; // filter of BP_SelectFile

private:
    void buildSharedControls();
    // Read: package chosen and its known members extracted over the work
    // files, its description made current. False when cancelled or refused:
    // the work files are then as they were.
    bool readPackage();
    void showSourceFromWorkFiles();

    QString m_readTitle;
    QString m_readFilter;
    QString m_name; // the package name as namePlausible took it
};
