#include "firmware/ui/VEK_New_OS.h"

#include "base/VEK_LANGUAGE.h"
#include "base/ui/HexAddressBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using VEK_LANGUAGE::LangKey;

namespace {

template <typename T> T *named(T *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

QComboBox *list(QWidget *parent, const char *name, const QStringList &items)
{
    auto *combo = named(new QComboBox(parent), QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    return combo;
}

QLineEdit *addressBox(QWidget *parent, const char *name, int index)
{
    return HexAddressBox(
        named(new QLineEdit(parent), QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index)));
}

} // namespace

VEK_New_OS::VEK_New_OS(VekContext &context, PackageEditorServices services, QWidget *parent,
                       WindowPrompts *prompts)
    : PackageEditorWindow(
          context, std::move(services), PackageKind::firmware(),
          {QStringLiteral("VEK_New_OS"), QStringLiteral("Créer un Opérating Système (*.XOS)"),
           QStringLiteral("Codé (*.xeh *.XEH);;Compilé (*.hex *.HEX)"),
           QStringLiteral("Choix de Opérating Système"), QStringLiteral("O.S. (*.xos *.XOS)")},
          prompts, parent)
{
    buildForm();

    // Opening: captions, chip list, first items, option 8, first curve count.
    InitLangue();
    fillChips();
    TypeTransfertModule->setCurrentIndex(0);
    TypeModule->setCurrentIndex(0);
    Compilation[8]->setChecked(true);
    Compilation_Click(8);
    NbTablesExport->setCurrentIndex(0);
}

QCheckBox *VEK_New_OS::check(const char *name, QWidget *parent)
{
    return named(new QCheckBox(parent), QLatin1String(name));
}

void VEK_New_OS::buildForm()
{
    // Identity.
    layoutSharedFrames();

    // Box type, chip, transfer.
    Frame_TypeBoitier = named(new QGroupBox(this), QStringLiteral("Frame_TypeBoitier"));
    TypeModule = list(Frame_TypeBoitier, "TypeModule", {"JDM", "VEKP", "VEK-MZ300", "Q-PAK"});
    (new QVBoxLayout(Frame_TypeBoitier))->addWidget(TypeModule);
    Frame_TypeTransfert = named(new QGroupBox(QStringLiteral("*Type de transfert"), this),
                                QStringLiteral("Frame_TypeTransfert"));
    TypeTransfertModule = list(Frame_TypeTransfert, "TypeTransfertModule",
                               {"BL_INIT", "BOOTLOADER", "KORVALx", "ICSP"});
    (new QVBoxLayout(Frame_TypeTransfert))->addWidget(TypeTransfertModule);
    auto *kinds = new QHBoxLayout;
    kinds->addWidget(Frame_TypeBoitier);
    kinds->addWidget(Frame_Processeur);
    kinds->addWidget(Frame_TypeTransfert);

    // Compilation type.
    Frame_Compilation = new QGroupBox(this);
    auto *types = new QVBoxLayout(Frame_Compilation);
    LabelAsm2 = named(new QLabel(Frame_Compilation), QStringLiteral("LabelAsm2"));
    types->addWidget(LabelAsm2);
    m_compilationGroup = new QButtonGroup(this);
    for (int index : {8, 88, 16}) {
        auto *option =
            named(new QRadioButton(Frame_Compilation), QStringLiteral("Compilation%1").arg(index));
        m_compilationGroup->addButton(option, index);
        connect(option, &QRadioButton::toggled, this, [this, index](bool on) {
            if (on)
                Compilation_Click(index);
        });
        Compilation[index] = option;
        types->addWidget(option);
    }

    // Firmware location.
    Frame_code = named(new QGroupBox(this), QStringLiteral("Frame_code"));
    auto *code = new QGridLayout(Frame_code);
    LabelCodeAdresse1 = named(new QLabel(Frame_code), QStringLiteral("LabelCodeAdresse1"));
    LabelCodeAdresse2 = named(new QLabel(Frame_code), QStringLiteral("LabelCodeAdresse2"));
    HEXADD = HexAddressBox(named(new QLineEdit(Frame_code), QStringLiteral("HEXADD")));
    HEXLNG = HexAddressBox(named(new QLineEdit(Frame_code), QStringLiteral("HEXLNG")));
    code->addWidget(LabelCodeAdresse1, 0, 0);
    code->addWidget(HEXADD, 0, 1);
    code->addWidget(LabelCodeAdresse2, 1, 0);
    code->addWidget(HEXLNG, 1, 1);

    // Table addresses: two lines, low and high table, 8 and 16 bits.
    Frame_table = named(new QGroupBox(this), QStringLiteral("Frame_table"));
    auto *tables = new QGridLayout(Frame_table);
    LabelCourbeAdresse4 = named(new QLabel(Frame_table), QStringLiteral("LabelCourbeAdresse4"));
    LabelCourbeAdresse5 = named(new QLabel(Frame_table), QStringLiteral("LabelCourbeAdresse5"));
    tables->addWidget(LabelCourbeAdresse4, 0, 1, 1, 2, Qt::AlignHCenter);
    tables->addWidget(LabelCourbeAdresse5, 0, 3, 1, 2, Qt::AlignHCenter);
    tables->addWidget(
        named(new QLabel(QStringLiteral("8 Bits"), Frame_table), QStringLiteral("Label1")), 1, 1);
    Label2 = named(new QLabel(QStringLiteral("16 Bits"), Frame_table), QStringLiteral("Label2"));
    tables->addWidget(Label2, 1, 2);
    tables->addWidget(
        named(new QLabel(QStringLiteral("8 Bits"), Frame_table), QStringLiteral("Label3")), 1, 3);
    Label4 = named(new QLabel(QStringLiteral("16 Bits"), Frame_table), QStringLiteral("Label4"));
    tables->addWidget(Label4, 1, 4);
    for (int i = 0; i < 2; ++i) {
        LabelCourbeAdresse1[i] =
            named(new QLabel(Frame_table), QStringLiteral("LabelCourbeAdresse1_%1").arg(i + 1));
        ADDL8[i] = addressBox(Frame_table, "ADDL8", i + 1);
        ADDL16[i] = addressBox(Frame_table, "ADDL16", i + 1);
        ADDH8[i] = addressBox(Frame_table, "ADDH8", i + 1);
        ADDH16[i] = addressBox(Frame_table, "ADDH16", i + 1);
        tables->addWidget(LabelCourbeAdresse1[i], i + 2, 0);
        tables->addWidget(ADDL8[i], i + 2, 1);
        tables->addWidget(ADDL16[i], i + 2, 2);
        tables->addWidget(ADDH8[i], i + 2, 3);
        tables->addWidget(ADDH16[i], i + 2, 4);
    }

    // Firmware source.

    // Features of the firmware.
    Frame_Option = named(new QGroupBox(this), QStringLiteral("Frame_Option"));
    auto *options = new QGridLayout(Frame_Option);
    FrameEnSetMoteur = check("FrameEnSetMoteur", Frame_Option);
    FrameEnSetAvance = check("FrameEnSetAvance", Frame_Option);
    FrameNbrCyl = check("FrameNbrCyl", Frame_Option);
    FrameNbrCyl->setText(QStringLiteral("*FIGER NOMBRE CYLINDRES"));
    Nbre_Cylindre = named(new QLineEdit(Frame_Option), QStringLiteral("Nbre_Cylindre"));
    FrameRupteur = named(new QLabel(QStringLiteral("* LIMITE HAUTE RUPTEUR"), Frame_Option),
                         QStringLiteral("FrameRupteur"));
    Limite_Rupteur = named(new QLineEdit(Frame_Option), QStringLiteral("Limite_Rupteur"));
    FrameAvStatique = check("FrameAvStatique", Frame_Option);
    FrameAvStatique->setText(QStringLiteral("*FIGER AVANCE STATIQUE"));
    Av_Statique = named(new QLineEdit(Frame_Option), QStringLiteral("Av_Statique"));
    FrameHardware = check("FrameHardware", Frame_Option);
    FrameCarteOption = check("FrameCarteOption", Frame_Option);
    FrameAvanceBRPM = check("FrameAvanceBRPM", Frame_Option);
    FrameDwell = check("FrameDwell", Frame_Option);
    FrameMultiEtincelle = check("FrameMultiEtincelle", Frame_Option);
    FrameRetardCliquetis = check("FrameRetardCliquetis", Frame_Option);
    FrameTableMap = check("FrameTableMap", Frame_Option);
    // The line counts the curve download and the export take (one to eight).
    NbTablesExport = list(Frame_Option, "NbTablesExport", {"4", "8"});
    FrameKT5 = check("FrameKT5", Frame_Option);
    FrameTerminalRS232 = check("FrameTerminalRS232", Frame_Option);
    for (QLineEdit *value : {Nbre_Cylindre, Av_Statique, Limite_Rupteur})
        value->setMaximumWidth(80);
    NbTablesExport->setMaximumWidth(80);

    const std::pair<QWidget *, QWidget *> features[] = {{FrameEnSetMoteur, nullptr},
                                                        {FrameEnSetAvance, nullptr},
                                                        {FrameNbrCyl, Nbre_Cylindre},
                                                        {FrameRupteur, Limite_Rupteur},
                                                        {FrameAvStatique, Av_Statique},
                                                        {FrameHardware, nullptr},
                                                        {FrameCarteOption, nullptr},
                                                        {FrameAvanceBRPM, nullptr},
                                                        {FrameDwell, nullptr},
                                                        {FrameMultiEtincelle, nullptr},
                                                        {FrameRetardCliquetis, nullptr},
                                                        {FrameTableMap, NbTablesExport},
                                                        {FrameKT5, nullptr},
                                                        {FrameTerminalRS232, nullptr}};
    int row = 0;
    for (const auto &[caption, value] : features) {
        options->addWidget(caption, row, 0);
        if (value)
            options->addWidget(value, row, 1);
        ++row;
    }
    options->setRowStretch(row, 1);
    options->setColumnMinimumWidth(1, 80);

    const std::pair<QCheckBox *, QWidget *> shows[] = {{FrameNbrCyl, Nbre_Cylindre},
                                                       {FrameAvStatique, Av_Statique},
                                                       {FrameTableMap, NbTablesExport}};
    for (const auto &[box, value] : shows) {
        value->setVisible(false);
        connect(box, &QCheckBox::toggled, value, &QWidget::setVisible);
    }

    // Layout: description on the left, features on the right, buttons below.
    auto *left = new QVBoxLayout;
    left->addWidget(Frame_info);
    left->addLayout(kinds);
    left->addWidget(Frame_Compilation);
    auto *addresses = new QHBoxLayout;
    addresses->addWidget(Frame_code);
    addresses->addWidget(Frame_table, 1);
    left->addLayout(addresses);
    left->addWidget(Frame_source);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(Frame_Option);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttonRow());
}

void VEK_New_OS::InitLangue()
{
    m_type = 8;
    initSharedCaptions();
    setCaptions({
        {BP_OK, LangKey("MBXosCreerOS")},
        {BP_Lire_OS, LangKey("MBXosLireOS")},
        {FrameEnSetMoteur, LangKey("MFXosEnSetMoteur")},
        {FrameEnSetAvance, LangKey("MFXosEnSetAvance")},
        {Frame_Option, LangKey("MFXosOption")},
        {FrameAvanceBRPM, LangKey("MFAvanceBRPM")},
        {FrameHardware, LangKey("MFHardware")},
        {FrameDwell, LangKey("MFDwell")},
        {FrameMultiEtincelle, LangKey("MFMultiEtincelle")},
        {FrameCarteOption, LangKey("MFCarteTOR")},
        {FrameRetardCliquetis, LangKey("MFRetardCliquetis")},
        {FrameTableMap, LangKey("MFTableMap")},
        {FrameTerminalRS232, LangKey("MOHyperTerminal")},
        {FrameKT5, LangKey("MFXosEnDiagKt5")},
        {Frame_TypeBoitier, LangKey("MFTypeBoitier")},
        {LabelAsm2, LangKey("MLabelAsm2")},
        {Compilation[8], LangKey("MLCompilationMIRTU10")},
        {Compilation[88], LangKey("MLCompilationMIRTU8")},
        {Compilation[16], LangKey("MLCompilationVEK-MZ300")},
        {Frame_code, LangKey("MFCodeAdresse")},
        {LabelCodeAdresse1, LangKey("MLXosCodeAdresse1")},
        {LabelCodeAdresse2, LangKey("MLXosCodeAdresse2")},
        {Frame_table, LangKey("MFCourbeAdresse")},
        {LabelCourbeAdresse1[0], LangKey("MLXosCourbeAdresse1_L1")},
        {LabelCourbeAdresse1[1], LangKey("MLXosCourbeAdresse1_L2")},
        {LabelCourbeAdresse4, LangKey("MLXosCourbeAdresse4")},
        {LabelCourbeAdresse5, LangKey("MLXosCourbeAdresse5")},
    });
}

void VEK_New_OS::Compilation_Click(int index)
{
    m_type = index;
    const bool with16 = index == 16;
    for (QWidget *w : {static_cast<QWidget *>(Label2), static_cast<QWidget *>(Label4)})
        w->setVisible(with16);
    for (int i = 0; i < 2; ++i) {
        ADDL16[i]->setVisible(with16);
        ADDH16[i]->setVisible(with16);
    }
}

FirmwarePackageFields VEK_New_OS::fields() const
{
    FirmwarePackageFields f;
    f.Module = TxtModule->text();
    f.VersionOS = TxtVersion->text();
    f.Author = TxtAuteur->text();
    f.AuthorEmail = TxtEmail->text();
    f.NomDuFichier = TxtNomFichier->text();
    f.TYPEBOITIER = TypeModule->currentText();
    f.MODCHIP = Processeur_CHIP->currentText();
    f.EN_SET_MOTEUR = FrameEnSetMoteur->isChecked();
    f.EN_SET_AVANCE = FrameEnSetAvance->isChecked();
    f.FIX_NBCYL = FrameNbrCyl->isChecked();
    f.VAL_NBCYL = Nbre_Cylindre->text();
    f.LIMITE_RUPTEUR = Limite_Rupteur->text();
    f.FIX_AVSTAT = FrameAvStatique->isChecked();
    f.VAL_AVSTAT = Av_Statique->text();
    f.HARDWARE = FrameHardware->isChecked();
    f.IO_TOR = FrameCarteOption->isChecked();
    f.AVANCEBRPM = FrameAvanceBRPM->isChecked();
    f.DWELL = FrameDwell->isChecked();
    f.MULTISPARK = FrameMultiEtincelle->isChecked();
    f.RETARDKNOCK = FrameRetardCliquetis->isChecked();
    f.MODE3D = FrameTableMap->isChecked();
    f.DIAG_KT5 = FrameKT5->isChecked();
    f.TERMINALRS232 = FrameTerminalRS232->isChecked();
    f.TRANSFERT = TypeTransfertModule->currentText();
    f.COMPILATION = m_type;
    f.HEX_ADD = HEXADD->text();
    f.HEX_LNG = HEXLNG->text();
    f.NB_COURBES = NbTablesExport->currentText();
    for (int i = 0; i < 2; ++i) {
        f.ADD_TABLE_BASSE[i] = ADDL8[i]->text();
        f.ADD_TABLE_HAUTE[i] = ADDH8[i]->text();
        f.ADD_TABLE_B16[i] = ADDL16[i]->text();
        f.ADD_TABLE_H16[i] = ADDH16[i]->text();
    }
    return f;
}

void VEK_New_OS::BP_OK_Click()
{
    // The name first, by the one rule of package names (an empty one among them).
    bool refused = !namePlausible();
    if (!isPicked(TypeModule)) {
        warn(QStringLiteral("Le module n'a pas été choisi"));
        refused = true;
    }
    if (!requireChip())
        refused = true;
    if (!requireSource())
        refused = true;
    FirmwarePackageFields f = fields();
    for (const QString &refusal :
         f.readValues([this](const QString &key) { return caption(key); })) {
        warn(refusal);
        refused = true;
    }
    if (refused)
        return;
    f.NomDuFichier = takenName();
    createPackage(f.toDescription());
}

QString VEK_New_OS::caption(const QString &key) const
{
    // The engine values by their own names; the addresses by where they stand.
    const auto where = [](std::initializer_list<QString> parts) {
        QStringList shown;
        for (const QString &part : parts)
            shown << part.trimmed();
        return shown.join(QStringLiteral(", "));
    };
    if (key == QLatin1String("HEX_ADD"))
        return where({Frame_code->title(), LabelCodeAdresse1->text()});
    if (key == QLatin1String("HEX_LNG"))
        return where({Frame_code->title(), LabelCodeAdresse2->text()});
    if (!key.startsWith(QLatin1String("ADD_TABLE_")))
        return {};
    const int line = key.endsWith(QLatin1String("_L2")) ? 1 : 0;
    const bool low = key.contains(QLatin1String("BASSE")) || key.contains(QLatin1String("B16"));
    const bool wide = key.contains(QLatin1String("16"));
    return where({Frame_table->title(), LabelCourbeAdresse1[line]->text(),
                  (low ? LabelCourbeAdresse4 : LabelCourbeAdresse5)->text() +
                      (wide ? QStringLiteral(" 16 Bits") : QStringLiteral(" 8 Bits"))});
}

void VEK_New_OS::showDescription()
{
    applyRead(FirmwarePackageFields::fromDescription(infoLookup(), reglageLookup(), m_type));
}

void VEK_New_OS::applyRead(const FirmwarePackageFields::Read &read)
{
    const FirmwarePackageFields &f = read.fields;
    showIdentity(f.Module, f.VersionOS, f.Author, f.AuthorEmail, f.NomDuFichier);
    listMatch(TypeModule, f.TYPEBOITIER);
    listMatch(Processeur_CHIP, f.MODCHIP);
    FrameEnSetMoteur->setChecked(f.EN_SET_MOTEUR);
    FrameEnSetAvance->setChecked(f.EN_SET_AVANCE);
    FrameNbrCyl->setChecked(f.FIX_NBCYL);
    Nbre_Cylindre->setText(f.VAL_NBCYL);
    Limite_Rupteur->setText(f.LIMITE_RUPTEUR);
    FrameAvStatique->setChecked(f.FIX_AVSTAT);
    Av_Statique->setText(f.VAL_AVSTAT);
    FrameHardware->setChecked(f.HARDWARE);
    FrameCarteOption->setChecked(f.IO_TOR);
    FrameAvanceBRPM->setChecked(f.AVANCEBRPM);
    FrameDwell->setChecked(f.DWELL);
    FrameMultiEtincelle->setChecked(f.MULTISPARK);
    FrameRetardCliquetis->setChecked(f.RETARDKNOCK);
    FrameTableMap->setChecked(f.MODE3D);
    FrameKT5->setChecked(f.DIAG_KT5);
    FrameTerminalRS232->setChecked(f.TERMINALRS232);
    listMatch(TypeTransfertModule, f.TRANSFERT);
    if (read.compilationKnown) {
        Compilation[f.COMPILATION]->setChecked(true);
    } else {
        // No option chosen; the type in force stays.
        m_compilationGroup->setExclusive(false);
        for (auto &[index, option] : Compilation)
            option->setChecked(false);
        m_compilationGroup->setExclusive(true);
    }
    HEXADD->setText(f.HEX_ADD);
    HEXLNG->setText(f.HEX_LNG);
    const int listed = NbTablesExport->findText(f.NB_COURBES);
    NbTablesExport->setCurrentIndex(listed);
    NbTablesExport->setEditText(f.NB_COURBES);
    for (int i = 0; i < 2; ++i) {
        ADDL8[i]->setText(f.ADD_TABLE_BASSE[i]);
        ADDH8[i]->setText(f.ADD_TABLE_HAUTE[i]);
        ADDL16[i]->setText(f.ADD_TABLE_B16[i]);
        ADDH16[i]->setText(f.ADD_TABLE_H16[i]);
    }
}
