#pragma once

#include "firmware/AssemblerRun.h"
#include "firmware/TableIncludeFiles.h"
#include "firmware/ui/PackageEditorServices.h"
#include "firmware/ui/WindowTablePrompts.h"

#include <QDialog>
#include <QMessageBox>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;
class QSettings;
class WindowPrompts;
struct VekContext;

// What the assembly window needs of the curve editor: the grid's size, the firmware
// tables of the curve and the MAP percentage boxes. The main window provides it.
struct AsmCurveAccess {
    // Rows of the curve grid, the title row included.
    std::function<int()> gridRows;
    // Fills the four tables for a compilation type (8 or 88); 0 when complete,
    // -1 when a generator stopped after its own message.
    std::function<int(int type, TableIncludeFiles::TablesExport &tables)> buildTables;
    // Text of each MAP percentage box, curve line 0 first.
    std::function<QStringList()> mapPercentages;
    // Why the curve cannot become tables (rows listed), or empty.
    std::function<QString()> invalidValues;
};

// The assembly window: compilation type, table include files, the assembler
// project with its editor and assembler run, and the package editors.
class VEK_ASM : public QDialog
{
    Q_OBJECT
public:
    VEK_ASM(VekContext &context, AsmCurveAccess curve, QWidget *parent = nullptr,
            WindowPrompts *prompts = nullptr);
    // Over the shared curve and engine parameters; the generators' questions in
    // this window's message boxes; the MAP percentage texts as `mapPercentages` gives them.
    VEK_ASM(VekContext &context, std::function<QStringList()> mapPercentages,
            QWidget *parent = nullptr, WindowPrompts *prompts = nullptr);

    // The settings store written on quit; the program's own store by default.
    void setSettingsStore(QSettings *store) { m_store = store; }
    // The assembler runner (tests point it at another program).
    AssemblerRun &assembler() { return m_assembler; }
    // What the package editors are given; the program's own services by default.
    void setPackageServices(PackageEditorServices services) { m_packageServices = services; }
    // How the windows it opens are shown; modally by default.
    void setShowModal(std::function<int(QDialog &)> show) { m_showModal = std::move(show); }

    int typeCompilation() const { return m_type; }

    // Button handlers (public for tests).
    void Compilation_Click(int index);
    void BP_ExportTables_Click();
    void BP_Modifier_Click();
    void BP_EditProg_Click();
    void BP_MPASM_Click();
    void BP_CreerOS_Click();
    void BP_CreerMJ_Click();
    void BP_ICSP_Click();
    void BP_Quitter_Click();

signals:
    // The outcome of an assembler run, once shown.
    void assemblerDone(const AssemblerResult &result);

private:
    void buildForm();
    void InitLangue();
    void setInfo(const QString &text, bool failure);
    // Why a run that succeeded left the project without its outputs, and
    // what gpasm said.
    static QString outputsNotPut(const AssemblerResult &result);
    void showAssemblerResult(const AssemblerResult &result);
    // The export not made: said in the label (as a failure, or not for a
    // cancel) and in its box.
    void exportFailed(bool failure);
    // An operation refused: its reason in the label and in a box.
    void refuse(QMessageBox::Icon icon, const QString &title, const QString &text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    // Where the folder choice of the export starts: the desktop when it exists.
    static QString exportStart();

    VekContext &m_context;
    AsmCurveAccess m_curve;
    WindowPrompts &m_prompts;
    std::unique_ptr<WindowTablePrompts> m_tablePrompts;
    QSettings *m_store = nullptr;
    AssemblerRun m_assembler;
    std::optional<PackageEditorServices> m_packageServices;
    std::function<int(QDialog &)> m_showModal; // the prompts' showDialog unless a test sets one
    int m_type = 8;

    QLabel *LabelAsm1 = nullptr;
    QLabel *LabelAsm2 = nullptr;
    QLabel *CheminProjet = nullptr;
    std::map<int, QRadioButton *> Compilation;
    QGroupBox *Frame2 = nullptr;
    QLabel *LabelAsm3 = nullptr;
    QLabel *LabelAsm3B = nullptr;
    QLabel *LabelAsm3H = nullptr;
    QLineEdit *TABL8 = nullptr;
    QLineEdit *TABH8 = nullptr;
    QLineEdit *TABL16 = nullptr;
    QLineEdit *TABH16 = nullptr;
    QLabel *L_Info = nullptr;
    QPushButton *BP_Modifier = nullptr;
    QPushButton *BP_EditProg = nullptr;
    QPushButton *BP_ExportTables = nullptr;
    QPushButton *BP_MPASM = nullptr;
    QPushButton *BP_ICSP = nullptr;
    QPushButton *BP_CreerOS = nullptr;
    QPushButton *BP_CreerMJ = nullptr;
    QPushButton *BP_Quitter = nullptr;
    QPushButton *BP_Annuler = nullptr;
};
