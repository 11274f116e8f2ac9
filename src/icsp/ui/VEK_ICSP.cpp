#include "icsp/ui/VEK_ICSP.h"

#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "icsp/ChipTable.h"
#include "icsp/MemoryViewText.h"
#include "icsp/ui/StatusPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

const TransferFrame::Design kDesign{.panelTwips = {1411, 8996, 3528}, .hoverHelp = true};

QTextEdit *memoryView(QWidget *parent, const char *name, int columns)
{
    auto *view = new QTextEdit(parent);
    view->setObjectName(QLatin1String(name));
    view->setReadOnly(true);
    view->setLineWrapMode(QTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setMinimumWidth(view->fontMetrics().horizontalAdvance(QString(columns, 'F')) + 30);
    return view;
}

QLabel *label(QWidget *parent, const char *name, const QString &design = {})
{
    auto *l = new QLabel(design, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// Writes the lines with the address in blue and the data in black, then puts
// the caret back at the start.
void fillView(QTextEdit *view, const QList<MemoryViewText::Line> &lines)
{
    view->clear();
    QTextCharFormat address, data;
    address.setForeground(QColor(0, 0, 255));
    data.setForeground(QColor(0, 0, 0));
    QTextCursor cursor(view->document());
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(lines[i].address, address);
        cursor.insertText(lines[i].data, data);
    }
    cursor.endEditBlock();
    view->moveCursor(QTextCursor::Start);
}

} // namespace

VEK_ICSP::VEK_ICSP(VekContext &context, QWidget *parent, WindowPrompts *prompts,
                   ImageOnOpening image)
    : TransferFrame(context, kDesign, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_ICSP"));
    buildForm();
    Form_Load(image);
}

void VEK_ICSP::buildForm()
{
    auto *columns = new QHBoxLayout;
    columns->addWidget(buildViews(), 1);
    columns->addWidget(buildConfiguration());
    body()->addLayout(columns);
    buildButtons();
}

QWidget *VEK_ICSP::buildViews()
{
    auto *views = new QWidget(this);
    auto *layout = new QGridLayout(views);
    layout->setContentsMargins(0, 0, 0, 0);
    LabelICSP1 = label(views, "LabelICSP1");
    LabelICSP2 = label(views, "LabelICSP2");
    T_ProgramMem = memoryView(views, "T_ProgramMem", 46);
    T_EEDATA = memoryView(views, "T_EEDATA", 29);
    T_ProgramMem->setMinimumHeight(280);
    layout->addWidget(LabelICSP1, 0, 0);
    layout->addWidget(T_ProgramMem, 1, 0, 3, 1);
    layout->addWidget(LabelICSP2, 0, 1);
    layout->addWidget(T_EEDATA, 1, 1);

    auto *identity = new QGridLayout;
    LabelICSP3 = label(views, "LabelICSP3");
    TBConfigWord = label(views, "TBConfigWord");
    LabelICSP4 = label(views, "LabelICSP4");
    TBDeviceID = label(views, "TBDeviceID");
    CheckSum = label(views, "CheckSum");
    for (QLabel *shown : {TBConfigWord, TBDeviceID, CheckSum})
        shown->setFrameShape(QFrame::StyledPanel);
    identity->addWidget(LabelICSP3, 0, 0);
    identity->addWidget(TBConfigWord, 0, 1);
    identity->addWidget(CheckSum, 0, 2);
    identity->addWidget(TBDeviceID, 0, 3, 1, 2);
    identity->addWidget(LabelICSP4, 1, 0);
    for (size_t i = 0; i < UserID.size(); ++i) {
        UserID[i] = new QLineEdit(views);
        UserID[i]->setObjectName(QStringLiteral("UserID%1").arg(i));
        UserID[i]->setMaxLength(8); // longer texts are clamped on commit
        UserID[i]->installEventFilter(this);
        UserID[i]->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("FFFF")) + 12);
        identity->addWidget(UserID[i], 1, int(i) + 1);
    }
    layout->addLayout(identity, 2, 1);
    layout->setRowStretch(3, 1);
    return views;
}

QWidget *VEK_ICSP::buildConfiguration()
{
    m_configuration = new QGroupBox(this);
    m_configuration->setObjectName(QStringLiteral("FrameConfiguration"));
    auto *layout = new QGridLayout(m_configuration);
    LblOscillator = label(m_configuration, "LblOscillator");
    LblCodeProtect = label(m_configuration, "LblCodeProtect");
    CmbOscillateur = new QComboBox(m_configuration);
    CmbOscillateur->setObjectName(QStringLiteral("CmbOscillateur"));
    CmbCodeProtect = new QComboBox(m_configuration);
    CmbCodeProtect->setObjectName(QStringLiteral("CmbCodeProtect"));
    layout->addWidget(LblOscillator, 0, 0);
    layout->addWidget(CmbOscillateur, 1, 0);
    layout->addWidget(LblCodeProtect, 2, 0);
    layout->addWidget(CmbCodeProtect, 3, 0);
    for (size_t i = 0; i < CkBit.size(); ++i) {
        CkBit[i] = new QCheckBox(m_configuration);
        CkBit[i]->setObjectName(QStringLiteral("CkBit%1").arg(i));
        layout->addWidget(CkBit[i], 4 + int(i), 0);
        connect(CkBit[i], &QCheckBox::toggled, this, &VEK_ICSP::configControlChanged);
    }
    layout->setRowStretch(11, 1);
    for (QComboBox *list : {CmbOscillateur, CmbCodeProtect})
        connect(list, &QComboBox::currentIndexChanged, this, &VEK_ICSP::configControlChanged);
    return m_configuration;
}

void VEK_ICSP::buildButtons()
{
    auto *operations = new QGridLayout;
    // Captions come with the language (InitLangue).
    BP_ReadModule = addButton("BP_ReadModule", {});
    BP_WriteModule = addButton("BP_WriteModule", {});
    BP_EraseDevice = addButton("BP_EraseDevice", {});
    BP_Clear = addButton("BP_Clear", {});
    BP_Annuler = addButton("BP_Annuler", {}, nullptr, Starts::Nothing);
    BP_IMPORT_HEX = addButton("BP_IMPORT_HEX", {});
    BP_EXPORT_HEX = addButton("BP_EXPORT_HEX", {});
    BP_IMPORT_XEH = addButton("BP_IMPORT_XEH", {});
    BP_EXPORT_XEH = addButton("BP_EXPORT_XEH", {});
    BP_VerifyDevice = addButton("BP_VerifyDevice", {});
    BP_ProgTables = addButton("BP_ProgTables", {});
    KivCommand1 = addButton("KivCommand1", {});
    const QList<QPushButton *> chip = {BP_ReadModule,   BP_WriteModule, BP_EraseDevice, KivCommand1,
                                       BP_VerifyDevice, BP_ProgTables,  BP_Clear,       BP_Annuler};
    const QList<QPushButton *> files = {BP_IMPORT_HEX, BP_EXPORT_HEX, BP_IMPORT_XEH, BP_EXPORT_XEH};
    for (qsizetype i = 0; i < chip.size(); ++i)
        operations->addWidget(chip[i], 0, int(i));
    for (qsizetype i = 0; i < files.size(); ++i)
        operations->addWidget(files[i], 1, int(i));
    body()->addLayout(operations);

    BP_DLOAD = addButton("BP_DLOAD", {});
    addLinkButtons({BP_DLOAD});
    // Closing the set-up dialog initialises the window again.
    // OK re-initialises the window with the new set-up; Cancel changed nothing.
    addSetupButton([this](bool accepted) {
        if (accepted)
            reinitialise();
    });
    addQuitButton();
    m_operationButtons = chip + files;
    m_operationButtons.removeOne(BP_Annuler);
    m_operationButtons << BP_DLOAD;

    connect(BP_Annuler, &QPushButton::clicked, this, &VEK_ICSP::BP_Annuler_Click);
    connectOperations();
    connectBootloader();
}

std::optional<QString> VEK_ICSP::initialPanel3() const
{
    return GetLanguageText("ICSPProcesseur") + shownChip();
}

QString VEK_ICSP::shownChip() const
{
    return m_chipKnown ? m_context.pic.DeviceChip : QStringLiteral("?");
}

void VEK_ICSP::InitLangue()
{
    const std::pair<QPushButton *, const char *> buttons[] = {
        {BP_DLOAD, LangKey("MBdownload")},          {BP_IMPORT_HEX, LangKey("MBimportHEX")},
        {BP_EXPORT_HEX, LangKey("MBexportHEX")},    {BP_IMPORT_XEH, LangKey("MBimportXEH")},
        {BP_EXPORT_XEH, LangKey("MBexportXEH")},    {BP_Clear, LangKey("MBClear")},
        {BP_ReadModule, LangKey("MBReadModule")},   {BP_WriteModule, LangKey("MBWriteModule")},
        {BP_EraseDevice, LangKey("MBEraseModule")}, {BP_ProgTables, LangKey("MBProgTables")},
        {BP_Annuler, LangKey("MAnnuler")},          {BP_VerifyDevice, LangKey("MBVerifyDevice")},
        {KivCommand1, LangKey("MBTestProgFast")},
    };
    for (const auto &[button, key] : buttons)
        button->setText(GetLanguageText(key));
    const std::pair<QLabel *, const char *> labels[] = {
        {LabelICSP1, LangKey("MLICSP1")},       {LabelICSP2, LangKey("MLICSP2")},
        {LabelICSP3, LangKey("MLICSP3")},       {LabelICSP4, LangKey("MLICSP4")},
        {LblOscillator, LangKey("MLICSPOscl")}, {LblCodeProtect, LangKey("MLICSPPrtect")},
    };
    for (const auto &[l, key] : labels)
        l->setText(GetLanguageText(key));
    frameCaptions();
    panel(3)->setText(*initialPanel3()); // the chip in force, chosen or found
}

QList<QWidget *> VEK_ICSP::lockedWhileRunning() const
{
    QList<QWidget *> controls(m_operationButtons.begin(), m_operationButtons.end());
    controls << m_configuration;
    for (QLineEdit *id : UserID)
        controls << id;
    return controls;
}

void VEK_ICSP::chipPrepared()
{
    layOutConfigControls();
    AfficherMemoire();
}

void VEK_ICSP::IdentifierPIC()
{
    PicDevice &pic = m_context.pic;
    const auto chip = ChipTable::chipForSetting(m_context.settings.ICSPChip, pic.ImagePIC.DeviceID);
    m_chipKnown = chip.has_value();
    if (chip)
        pic.setChip(*chip);
    else
        showChipProblem();
    layOutConfigControls();
}

// The controls the chip's family has; their values come from the word later.
void VEK_ICSP::layOutConfigControls()
{
    const ConfigurationWord::ConfigLayout layout =
        ConfigurationWord::layoutFor(m_context.pic.DeviceChip);
    InterditConfigChange = true;
    const bool oscillator = !layout.oscillators.isEmpty();
    LblOscillator->setVisible(oscillator);
    CmbOscillateur->setVisible(oscillator);
    CmbOscillateur->clear();
    CmbOscillateur->addItems(layout.oscillators);
    CmbOscillateur->setCurrentIndex(layout.oscillatorIndex);
    const bool protect = !layout.protections.isEmpty();
    LblCodeProtect->setVisible(protect);
    CmbCodeProtect->setVisible(protect);
    CmbCodeProtect->clear();
    CmbCodeProtect->addItems(layout.protections);
    if (protect)
        CmbCodeProtect->setCurrentIndex(0);
    for (qsizetype i = 0; i < qsizetype(CkBit.size()); ++i) {
        const bool shown = i < layout.options.size();
        CkBit[size_t(i)]->setVisible(shown);
        if (shown)
            CkBit[size_t(i)]->setText(layout.options[i]);
        else if (!oscillator && i < 5)
            CkBit[size_t(i)]->setText(QString());
    }
    InterditConfigChange = false;
}

void VEK_ICSP::AfficherMemoire()
{
    const PicDevice &pic = m_context.pic;
    fillView(T_ProgramMem, MemoryViewText::programLines(pic));
    const bool eeprom = pic.DeviceEESize != 0;
    LabelICSP2->setVisible(eeprom);
    T_EEDATA->setVisible(eeprom);
    if (eeprom)
        fillView(T_EEDATA, MemoryViewText::eepromLines(pic));
    TBConfigWord->setText(HexWord(pic.ImagePIC.ConfigWord));
    for (size_t i = 0; i < UserID.size(); ++i)
        UserID[i]->setText(HexLong(pic.ImagePIC.UserID[2 * i], 2));
    TBDeviceID->setText(shownChip());
    panel(3)->setText(*initialPanel3());
    L_Info->clear();
    CheckSum->setText(PicDevice::ChecksumText(pic.CalculChecksum()));
    setConfigControls();
}

void VEK_ICSP::setConfigControls()
{
    const PicDevice &pic = m_context.pic;
    InterditConfigChange = true;
    switch (ConfigurationWord::supportOf(pic.DeviceChip)) {
    case ConfigurationWord::Support::Coded: {
        const auto controls =
            ConfigurationWord::controlsFromWord(pic.DeviceChip, pic.ImagePIC.ConfigWord);
        CmbOscillateur->setCurrentIndex(controls->oscillator);
        CmbCodeProtect->setCurrentIndex(controls->protect);
        for (size_t i = 0; i < CkBit.size(); ++i)
            CkBit[i]->setChecked(controls->ticked[i]);
        break;
    }
    case ConfigurationWord::Support::NoControls:
        break;
    case ConfigurationWord::Support::Unknown:
        m_prompts.message(this, QMessageBox::NoIcon, GetLanguageText("MessWARNING"),
                          GetLanguageText("ChipNotDefine"), QMessageBox::Ok);
        break;
    }
    InterditConfigChange = false;
}

ConfigurationWord::ConfigControls VEK_ICSP::configControls() const
{
    ConfigurationWord::ConfigControls controls;
    controls.oscillator = CmbOscillateur->currentIndex();
    controls.protect = CmbCodeProtect->currentIndex();
    for (size_t i = 0; i < CkBit.size(); ++i)
        controls.ticked[i] = CkBit[i]->isChecked();
    return controls;
}

void VEK_ICSP::MotConfigDepuisControles()
{
    PicDevice &pic = m_context.pic;
    pic.ImagePIC.ConfigWord =
        ConfigurationWord::MotConfigDepuisControles(pic.DeviceChip, configControls());
    TBConfigWord->setText(HexWord(pic.ImagePIC.ConfigWord));
    CheckSum->setText(PicDevice::ChecksumText(pic.CalculChecksum()));
}

void VEK_ICSP::configControlChanged()
{
    if (!InterditConfigChange)
        MotConfigDepuisControles();
}

void VEK_ICSP::AfficherCodeTexte()
{
    // The view separates lines by itself: the CR of each line end would show.
    T_ProgramMem->setPlainText(MemoryViewText::AfficherCodeTexte(m_context.pic)
                                   .replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void VEK_ICSP::BP_Annuler_Click()
{
    runner().cancel();
}
