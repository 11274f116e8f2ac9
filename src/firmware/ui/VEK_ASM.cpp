#include "firmware/ui/VEK_ASM.h"

#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/StatusTextArea.h"
#include "base/ui/WindowPrompts.h"
#include "firmware/CompilationSettings.h"
#include "firmware/TablePlacement.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/ProgrammerLabel.h"
#include "icsp/ui/VEK_ICSP.h"
#include "platform/DataPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &design)
{
    auto *b = new QPushButton(design, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit *box(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QLabel *label(QWidget *parent, const char *name, const QString &design)
{
    auto *l = new QLabel(design, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

VEK_ASM::VEK_ASM(VekContext &context, AsmCurveAccess curve, QWidget *parent, WindowPrompts *prompts)
    : QDialog(parent), m_context(context), m_curve(std::move(curve)),
      m_prompts(prompts ? *prompts : WindowPrompts::system()),
      m_showModal([this](QDialog &dialog) { return m_prompts.showDialog(dialog); })
{
    setObjectName(QStringLiteral("VEK_ASM"));
    setModal(true);
    buildForm();

    const MainSettings &s = m_context.settings;
    setWindowTitle(GetLanguageText("FormCapt") + QLatin1Char(' ') +
                   NomProgrammateur(m_context.settings));
    m_type = s.TypeCompilation;
    if (auto it = Compilation.find(m_type); it != Compilation.end())
        it->second->setChecked(true);
    Compilation_Click(m_type);
    CheminProjet->setText(s.CheminProjetAsm);
    TABL8->setText(s.NomFichierLTAB8);
    TABH8->setText(s.NomFichierHTAB8);
    TABL16->setText(s.NomFichierLTAB16);
    TABH16->setText(s.NomFichierHTAB16);
    InitLangue();

    connect(&m_assembler, &AssemblerRun::finished, this, &VEK_ASM::showAssemblerResult);
}

VEK_ASM::VEK_ASM(VekContext &context, std::function<QStringList()> mapPercentages, QWidget *parent,
                 WindowPrompts *prompts)
    : VEK_ASM(context, AsmCurveAccess{}, parent, prompts)
{
    m_tablePrompts = std::make_unique<WindowTablePrompts>(this, m_prompts);
    m_curve.gridRows = [&context] { return context.tab_avance.pointCount() + 1; };
    m_curve.buildTables = [this, &context](int type, TableIncludeFiles::TablesExport &tables) {
        return int(CurveTables::GenererTablesExport(type, context, *m_tablePrompts, tables));
    };
    m_curve.mapPercentages = std::move(mapPercentages);
    m_curve.invalidValues = [&context] { return context.tab_avance.invalidValuesMessage(); };
}

void VEK_ASM::buildForm()
{
    auto *layout = new QVBoxLayout(this);

    // Project: path, choice, editor.
    auto *project = new QGroupBox(this);
    auto *projectLayout = new QGridLayout(project);
    // Captions come with the language (InitLangue).
    LabelAsm1 = label(project, "LabelAsm1", QString());
    CheminProjet = label(project, "CheminProjet", QString());
    CheminProjet->setFrameShape(QFrame::StyledPanel);
    CheminProjet->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CheminProjet->setMinimumWidth(420);
    CheminProjet->setWordWrap(true);
    BP_Modifier = button(project, "BP_Modifier", QString());
    BP_EditProg = button(project, "BP_EditProg", QString());
    projectLayout->addWidget(LabelAsm1, 0, 0, 1, 3);
    projectLayout->addWidget(CheminProjet, 1, 0, 1, 3);
    projectLayout->addWidget(BP_Modifier, 2, 1);
    projectLayout->addWidget(BP_EditProg, 2, 2);
    projectLayout->setColumnStretch(0, 1);
    layout->addWidget(project);

    // Compilation type.
    auto *types = new QGroupBox(this);
    auto *typesLayout = new QVBoxLayout(types);
    LabelAsm2 = label(types, "LabelAsm2", QString());
    typesLayout->addWidget(LabelAsm2);
    for (const int index : {8, 88, 16}) {
        auto *option = new QRadioButton(types);
        option->setObjectName(QStringLiteral("Compilation%1").arg(index));
        connect(option, &QRadioButton::clicked, this, [this, index] { Compilation_Click(index); });
        Compilation[index] = option;
        typesLayout->addWidget(option);
    }
    layout->addWidget(types);

    // Table file names.
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *names = new QGridLayout(Frame2);
    LabelAsm3 = label(Frame2, "LabelAsm3", QString());
    LabelAsm3B = label(Frame2, "LabelAsm3B", QString());
    LabelAsm3H = label(Frame2, "LabelAsm3H", QString());
    TABL8 = box(Frame2, "TABL8");
    TABH8 = box(Frame2, "TABH8");
    TABL16 = box(Frame2, "TABL16");
    TABH16 = box(Frame2, "TABH16");
    names->addWidget(LabelAsm3, 0, 0, 1, 3);
    names->addWidget(new QLabel(GetLanguageText("Bits8"), Frame2), 1, 1);
    names->addWidget(new QLabel(GetLanguageText("Bits16"), Frame2), 1, 2);
    names->addWidget(LabelAsm3B, 2, 0);
    names->addWidget(TABL8, 2, 1);
    names->addWidget(TABL16, 2, 2);
    names->addWidget(LabelAsm3H, 3, 0);
    names->addWidget(TABH8, 3, 1);
    names->addWidget(TABH16, 3, 2);
    layout->addWidget(Frame2);

    L_Info = label(this, "L_Info", QString());
    L_Info->setFrameShape(QFrame::StyledPanel);
    L_Info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The assembler's messages scroll rather than stretch the window off the screen.
    layout->addWidget(StatusTextArea(L_Info, 3, this));

    // Actions.
    auto *actions = new QGridLayout;
    BP_ExportTables = button(this, "BP_ExportTables", QString());
    BP_MPASM = button(this, "BP_MPASM", QString());
    BP_ICSP = button(this, "BP_ICSP", QString());
    BP_CreerOS = button(this, "BP_CreerOS", QString());
    BP_CreerMJ = button(this, "BP_CreerMJ", QString());
    BP_Quitter = button(this, "BP_Quitter", QString());
    BP_Annuler = button(this, "BP_Annuler", QString());
    actions->addWidget(BP_ExportTables, 0, 0);
    actions->addWidget(BP_MPASM, 0, 1);
    actions->addWidget(BP_ICSP, 0, 2);
    actions->addWidget(BP_CreerOS, 1, 0);
    actions->addWidget(BP_CreerMJ, 1, 1);
    auto *closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(BP_Quitter);
    closing->addWidget(BP_Annuler);
    layout->addLayout(actions);
    layout->addLayout(closing);

    connect(BP_ExportTables, &QPushButton::clicked, this, &VEK_ASM::BP_ExportTables_Click);
    connect(BP_Modifier, &QPushButton::clicked, this, &VEK_ASM::BP_Modifier_Click);
    connect(BP_EditProg, &QPushButton::clicked, this, &VEK_ASM::BP_EditProg_Click);
    connect(BP_MPASM, &QPushButton::clicked, this, &VEK_ASM::BP_MPASM_Click);
    connect(BP_CreerOS, &QPushButton::clicked, this, &VEK_ASM::BP_CreerOS_Click);
    connect(BP_CreerMJ, &QPushButton::clicked, this, &VEK_ASM::BP_CreerMJ_Click);
    connect(BP_ICSP, &QPushButton::clicked, this, &VEK_ASM::BP_ICSP_Click);
    connect(BP_Quitter, &QPushButton::clicked, this, &VEK_ASM::BP_Quitter_Click);
    connect(BP_Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

void VEK_ASM::InitLangue()
{
    LabelAsm1->setText(GetLanguageText("MLabelAsm1"));
    LabelAsm2->setText(GetLanguageText("MLabelAsm2"));
    Compilation[8]->setText(GetLanguageText("MLCompilationMIRTU10"));
    Compilation[88]->setText(GetLanguageText("MLCompilationMIRTU8"));
    Compilation[16]->setText(GetLanguageText("MLCompilationVEK-MZ300"));
    LabelAsm3->setText(GetLanguageText("MLabelAsm3"));
    LabelAsm3B->setText(GetLanguageText("MLabelAsm3B"));
    LabelAsm3H->setText(GetLanguageText("MLabelAsm3H"));
    const std::pair<QPushButton *, std::pair<const char *, const char *>> captions[] = {
        {BP_Modifier, {LangKey("MBModifier"), LangKey("BPModifieTTT")}},
        {BP_EditProg, {LangKey("MBNotpad"), LangKey("BPEditTTT")}},
        {BP_ExportTables, {LangKey("MBExportTables"), LangKey("BPExportTTT")}},
        {BP_MPASM, {LangKey("MBMPASM"), LangKey("BPMPASMTTT")}},
        {BP_ICSP, {LangKey("MBProgrammer"), LangKey("BPICSPTTT")}},
        {BP_CreerOS, {LangKey("MBXosCreerOS"), LangKey("MBXosCreerOSTTT")}},
        {BP_CreerMJ, {LangKey("MBXosCreerMJ"), LangKey("MBXosCreerMJTTT")}},
        {BP_Quitter, {LangKey("MBQuitter"), LangKey("BPQuitTTT")}},
    };
    for (const auto &[control, keys] : captions) {
        control->setText(GetLanguageText(keys.first));
        control->setToolTip(GetLanguageText(keys.second));
    }
    BP_Annuler->setText(GetLanguageText("MAnnuler"));
}

void VEK_ASM::Compilation_Click(int index)
{
    if (index != 8 && index != 88 && index != 16)
        return;
    m_type = index;
    Frame2->setEnabled(index != 16);
}

void VEK_ASM::setInfo(const QString &text, bool failure)
{
    L_Info->setText(text);
    L_Info->setStyleSheet(failure ? QStringLiteral("color: #b00000;") : QString());
}

void VEK_ASM::exportFailed(bool failure)
{
    setInfo(GetLanguageText("MSGBAsmExportEr1"), failure);
    m_prompts.message(this, QMessageBox::Question, GetLanguageText("MSGBAsmExportEr2"),
                      GetLanguageText("MSGBAsmExportEr1"), QMessageBox::Ok);
}

void VEK_ASM::refuse(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QMessageBox::StandardButtons buttons)
{
    setInfo(text, true);
    m_prompts.message(this, icon, title, text, buttons);
}

QString VEK_ASM::exportStart()
{
    // Many desktops have no Desktop folder: a dialog must not open in one that is missing.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileInfo(desktop).isDir() ? desktop : DataPaths::UserDocumentsDirectory();
}

void VEK_ASM::BP_ExportTables_Click()
{
    setInfo({}, false); // nothing of an earlier operation stands for this one
    if (!m_curve.gridRows || m_curve.gridRows() < 3) {
        refuse(QMessageBox::Critical, GetLanguageText("MSGBAsmExport3"),
               GetLanguageText("MSGBAsmExport1") + QLatin1Char('\n') +
                   GetLanguageText("MSGBAsmExport2"),
               QMessageBox::Ok | QMessageBox::Cancel);
        return;
    }
    if (const QString invalid = m_curve.invalidValues ? m_curve.invalidValues() : QString();
        !invalid.isEmpty()) {
        setInfo(GetLanguageText("MSGBAsmExportEr1"), true);
        m_prompts.message(this, QMessageBox::Critical, GetLanguageText("MSGBAsmExportEr2"), invalid,
                          QMessageBox::Ok);
        return;
    }

    TableIncludeFiles::ExportRequest request;
    const QString &nbTables = m_context.settings.ICSPNbTables;
    const std::optional<int> lines = TableIncludeFiles::LignesCourbe(nbTables);
    request.percentages = m_curve.mapPercentages ? m_curve.mapPercentages() : QStringList();
    if (!lines || *lines > request.percentages.size()) {
        refuse(QMessageBox::Warning, GetLanguageText("MSGBAsmExportEr2"),
               TablePlacement::LignesRefusees(nbTables));
        return;
    }
    request.lineCount = *lines;

    // Names first: nothing is asked for names that cannot be written.
    request.nomBasse = TABL8->text();
    request.nomHaute = TABH8->text();
    if (const QString refused =
            TableIncludeFiles::NamesRefusal(request.nomBasse, request.nomHaute, request.lineCount);
        !refused.isEmpty()) {
        refuse(QMessageBox::Critical, GetLanguageText("MSGBAsmExportEr2"), refused);
        return;
    }

    request.folder = m_prompts.chooseFolder(this, GetLanguageText("SelectFolder"), exportStart());
    if (request.folder.isEmpty()) {
        exportFailed(false); // cancelled: no export, and no failure
        return;
    }

    if (m_type == 16) {
        refuse(QMessageBox::NoIcon, GetLanguageText("MSGBAsm2"), GetLanguageText("MSGBAsm1"));
        return;
    }
    if (!m_curve.buildTables || m_curve.buildTables(m_type, request.tables) != 0) {
        exportFailed(true);
        return;
    }

    const TableIncludeFiles::ExportResult result = TableIncludeFiles::Exporter(request);
    if (result.status == TableIncludeFiles::ExportResult::WriteFailed) {
        QString text = GetLanguageText("MSGBAsmExportEcriture",
                                       {QStringLiteral("%FICHIER%"), result.failedPath,
                                        QStringLiteral("%ERREUR%"), result.error});
        // A disk that fills half-way: the user learns which files are whole.
        const auto names = [](const QStringList &paths) {
            QStringList shown;
            for (const QString &path : paths)
                shown << QFileInfo(path).fileName();
            return shown.join(QStringLiteral(", "));
        };
        if (!result.written.isEmpty())
            text += QLatin1Char('\n') +
                    GetLanguageText("MSGBAsmExportEcrits",
                                    {QStringLiteral("%FICHIERS%"), names(result.written)});
        if (!result.notWritten.isEmpty())
            text += QLatin1Char('\n') +
                    GetLanguageText("MSGBAsmExportNonEcrits",
                                    {QStringLiteral("%FICHIERS%"), names(result.notWritten)});
        if (!result.notMade.isEmpty())
            text += QLatin1Char('\n') +
                    GetLanguageText("MSGBAsmExportNonCrees",
                                    {QStringLiteral("%FICHIERS%"), names(result.notMade)});
        setInfo(text, true);
        m_prompts.message(this, QMessageBox::Critical, GetLanguageText("MSGBAsmExportEr2"), text,
                          QMessageBox::Ok);
        return;
    }
    if (!result.ok()) {
        exportFailed(true);
        return;
    }
    setInfo(GetLanguageText("MSGBAsmExportOk1"), false);
    m_prompts.message(this, QMessageBox::Question, GetLanguageText("MSGBAsmExportOk2"),
                      GetLanguageText("MSGBAsmExportOk1"), QMessageBox::Ok);
}

void VEK_ASM::BP_Modifier_Click()
{
    const QString filter = GetLanguageText("AsmFiltreProjet");
    const QString start = m_context.settings.CheminProjetAsm.isEmpty()
                              ? QDir::homePath()
                              : m_context.settings.CheminProjetAsm;
    const QString chosen =
        m_prompts.chooseFile(this, GetLanguageText("ChoixProjet"), start, filter);
    if (chosen.isEmpty())
        return;
    setInfo({}, false); // what was said of the former project does not hold for this one
    m_context.settings.CheminProjetAsm = chosen;
    CheminProjet->setText(chosen);
}

void VEK_ASM::BP_EditProg_Click()
{
    setInfo({}, false);
    const QString path = CheminProjet->text();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        setInfo(GetLanguageText("MessAsmPasDeProjet"), true);
        return;
    }
    if (!m_prompts.openWithDesktop(path))
        setInfo(GetLanguageText("MessEditeurAbsent", {QStringLiteral("%FICHIER%"), path}), true);
}

void VEK_ASM::BP_MPASM_Click()
{
    if (m_assembler.isRunning())
        return;
    setInfo({}, false);
    if (m_assembler.start(CheminProjet->text())) {
        BP_MPASM->setEnabled(false);
        setInfo(GetLanguageText("MessAsmEnCours"), false);
    }
}

void VEK_ASM::showAssemblerResult(const AssemblerResult &result)
{
    BP_MPASM->setEnabled(true);
    const QString title = GetLanguageText("MessAsmTitre");
    switch (result.status) {
    case AssemblerResult::Succeeded:
        setInfo(GetLanguageText("MessAsmOK", {QStringLiteral("%FICHIER%"),
                                              QDir::toNativeSeparators(result.hexFile)}),
                false);
        break;
    case AssemblerResult::Failed: {
        // The program's own words, then the assembler's lines as it printed them.
        QString text = GetLanguageText(
            "MessAsmErreur", {QStringLiteral("%CODE%"), QString::number(result.exitCode)});
        // The listing that says where the errors are, when it could not come over.
        if (!result.outputProblem.isEmpty())
            text += QLatin1Char('\n') + result.outputProblem;
        setInfo(text + QLatin1Char('\n') + result.errorLines.value(0), true);
        m_prompts.message(this, QMessageBox::Critical, title,
                          text + QLatin1String("\n\n") + result.errorLines.mid(0, 12).join('\n'),
                          QMessageBox::Ok, result.output);
        break;
    }
    case AssemblerResult::OutputsNotPut: {
        const QString text = outputsNotPut(result);
        setInfo(result.outputProblem, true); // which file and why; the box says the rest
        m_prompts.message(this, QMessageBox::Critical, title, text, QMessageBox::Ok, result.output);
        break;
    }
    case AssemblerResult::NotInstalled: {
        const QString text = GetLanguageText(
            "MessAsmAbsent", {QStringLiteral("%PAQUET%"), AssemblerRun::packageName()});
        setInfo(text, true);
        m_prompts.message(this, QMessageBox::Critical, title, text, QMessageBox::Ok);
        break;
    }
    case AssemblerResult::NoProject:
        setInfo(GetLanguageText("MessAsmPasDeProjet"), true);
        break;
    case AssemblerResult::Crashed: {
        const QString text = GetLanguageText("MessAsmPlante");
        setInfo(text, true);
        m_prompts.message(this, QMessageBox::Critical, title,
                          text + QLatin1Char('\n') + result.errorLines.join('\n'), QMessageBox::Ok,
                          result.output);
        break;
    }
    }
    emit assemblerDone(result);
}

QString VEK_ASM::outputsNotPut(const AssemblerResult &result)
{
    QStringList lines{result.outputProblem};
    lines << (result.written.isEmpty()
                  ? GetLanguageText("MessAsmRienRemplace")
                  : GetLanguageText(
                        "MessAsmDejaEcrits",
                        {QStringLiteral("{FICHIERS}"), result.written.join(QStringLiteral(", "))}));
    // What gpasm itself said, in its own words, after ours.
    for (const QString &said : AssemblerRun::errorLines(result.output, true).mid(0, 3))
        lines << GetLanguageText("MessAsmCite", {QStringLiteral("%LIGNE%"), said});
    return lines.join(QLatin1Char('\n'));
}

void VEK_ASM::BP_CreerOS_Click()
{
    if (!m_packageServices)
        m_packageServices = PackageEditorServices::standard(m_context);
    VEK_New_OS editor(m_context, *m_packageServices, this, &m_prompts);
    m_showModal(editor);
}

void VEK_ASM::BP_CreerMJ_Click()
{
    if (!m_packageServices)
        m_packageServices = PackageEditorServices::standard(m_context);
    VEK_New_MJ editor(m_context, *m_packageServices, this, &m_prompts);
    m_showModal(editor);
}

void VEK_ASM::BP_ICSP_Click()
{
    // Firmware a package editor has just imported is what the user came to program.
    VEK_ICSP window(m_context, this, &m_prompts, VEK_ICSP::ImageOnOpening::Keep);
    m_showModal(window);
}

void VEK_ASM::BP_Quitter_Click()
{
    MainSettings &s = m_context.settings;
    s.TypeCompilation = static_cast<int16_t>(m_type);
    s.NomFichierLTAB8 = TABL8->text();
    s.NomFichierHTAB8 = TABH8->text();
    s.NomFichierLTAB16 = TABL16->text();
    s.NomFichierHTAB16 = TABH16->text();
    const std::unique_ptr<QSettings> own = m_store ? nullptr : MainSettingsLoader::OpenStore();
    QSettings &store = m_store ? *m_store : *own;
    if (!CompilationSettings::Sauver(s, store))
        m_prompts.message(this, QMessageBox::Warning, GetLanguageText("MessWARNING"),
                          MainSettingsLoader::SaveFailureText(store), QMessageBox::Ok);
    accept();
}
