#include "app/ui/VEK_SETUP.h"
#include "icsp/ProgrammerLabel.h"

#include "app/ChartType.h"
#include "app/VekContext.h"
#include "base/MainSettingsLoader.h"
#include "base/SerialOptions.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "base/ui/PortField.h"
#include "base/ui/WindowPrompts.h"
#include "platform/SerialPortNames.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

namespace {

struct TraceOption {
    int code;
    const char *key;
};

const TraceOption TraceOptions[] = {
    {ChartType::Line3D, VEK_LANGUAGE::LangKey("MLTypeTrace2")},
    {ChartType::Line, VEK_LANGUAGE::LangKey("MLTypeTrace3")},
    {ChartType::Area3D, VEK_LANGUAGE::LangKey("MLTypeTrace4")},
    {ChartType::Area, VEK_LANGUAGE::LangKey("MLTypeTrace5")},
    {ChartType::XY, VEK_LANGUAGE::LangKey("MLTypeTrace16")},
};

struct LanguageOption {
    const char *name;
    const char *file;
    const char *caption;
};

const LanguageOption LanguageOptions[] = {
    {"fr", "francais.ini", "Fran\u00E7ais"}, {"uk", "english.ini", "English"},
    {"de", "deutch.ini", "Deutsch"},         {"sp", "spanish.ini", "Espa\u00F1ol"},
    {"sk", "slovak.ini", "Sloven\u010Dina"},
};

QString text(const char *key)
{
    return GetLanguageText(QString::fromLatin1(key));
}

QRadioButton *option(const QString &caption, QButtonGroup *group, QLayout *layout)
{
    auto *button = new QRadioButton(caption);
    group->addButton(button);
    layout->addWidget(button);
    return button;
}

QGroupBox *frame(const QString &caption, QButtonGroup *&group, QLayout *layout)
{
    auto *box = new QGroupBox(caption);
    box->setLayout(layout);
    group = new QButtonGroup(box);
    return box;
}

void checkIf(QRadioButton *button, bool condition)
{
    if (button && condition)
        button->setChecked(true);
}

} // namespace

VEK_SETUP::VEK_SETUP(VekContext &context, QSerialPort *livePort, QWidget *parent)
    : QDialog(parent), m_context(context), m_livePort(livePort)
{
    setObjectName(QStringLiteral("VEK_SETUP"));
    m_warn = [this](const QString &text) {
        WindowPrompts::system().message(this, QMessageBox::Warning,
                                        GetLanguageText(QStringLiteral("MessWARNING")), text,
                                        QMessageBox::Ok);
    };
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildDisplayTab(), QString());
    m_tabs->addTab(buildTerminalTab(), QString());
    m_tabs->addTab(buildInfoTab(), QString());

    m_ok = new QPushButton(this);
    m_cancel = new QPushButton(this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &VEK_SETUP::OKButton_Click);
    connect(m_cancel, &QPushButton::clicked, this, &VEK_SETUP::CancelButton_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    Form_Load();
}

VEK_SETUP::~VEK_SETUP() = default;

QWidget *VEK_SETUP::buildDisplayTab()
{
    auto *page = new QWidget;
    QButtonGroup *group = nullptr;
    auto *traces = new QVBoxLayout;
    FrameGraphique = frame(QString(), group, traces);
    for (const TraceOption &t : TraceOptions)
        m_typeTrace.insert(t.code, option(QString(), group, traces));
    m_note3D = new QLabel;
    m_note3D->setWordWrap(true);
    LabelGraphique1 = new QLabel;
    LabelGraphique1->setWordWrap(true);
    LabelGraphique1->setStyleSheet(QStringLiteral("color: #C00000"));
    traces->addWidget(m_note3D);
    traces->addWidget(LabelGraphique1);
    traces->addStretch();

    auto *languages = new QVBoxLayout;
    FrameLanguage = frame(QString(), group, languages);
    for (const LanguageOption &l : LanguageOptions) {
        QRadioButton *button = option(QString::fromUtf8(l.caption), group, languages);
        button->setObjectName(QString::fromLatin1(l.name));
        const QString file = QString::fromLatin1(l.file);
        m_language.insert(file, button);
        connect(button, &QRadioButton::clicked, this, [this, file] { chooseLanguage(file); });
    }
    languages->addStretch();

    auto *layout = new QHBoxLayout(page);
    layout->addWidget(FrameGraphique, 1);
    layout->addWidget(FrameLanguage, 1);
    return page;
}

QWidget *VEK_SETUP::buildTerminalTab()
{
    auto *page = new QWidget;
    QButtonGroup *group = nullptr;

    // The ports across the page: a by-id path shows whole beside its option.
    auto *ports = new QVBoxLayout;
    m_portFrame = frame({}, group, ports);
    auto *numbered = new QHBoxLayout;
    ports->addLayout(numbered);
    for (int i = 1; i <= 4; ++i)
        m_comPort.insert(i, option(QStringLiteral("Com%1").arg(i), group, numbered));
    numbered->addStretch();
    auto *other = new QHBoxLayout;
    ports->addLayout(other);
    m_otherPort = option({}, group, other);
    m_device = new QComboBox;
    MakePortField(m_device);
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        m_device->addItem(info.systemLocation());
    m_device->setCurrentIndex(-1); // the list offers; only a device choice shows a path
    other->addWidget(m_device, 1);
    connect(m_device, &QComboBox::editTextChanged, this, [this] { m_otherPort->setChecked(true); });
    // Return in the field takes the typed port and leaves the dialog open (it
    // must not press OK). A key press reaches the combo box, which hands it to
    // its line edit itself: both are watched.
    m_device->installEventFilter(this);
    m_device->lineEdit()->installEventFilter(this);

    auto *rates = new QGridLayout;
    m_rateFrame = frame({}, group, rates);
    int n = 0;
    for (int rate : SerialOptions::Rates) {
        auto *button = new QRadioButton(QString::number(rate));
        group->addButton(button);
        rates->addWidget(button, n % 5, n / 5);
        m_baud.insert(rate / 100, button);
        ++n;
    }

    auto *data = new QVBoxLayout;
    m_dataFrame = frame({}, group, data);
    Data7 = option(QStringLiteral("7"), group, data);
    Data8 = option(QStringLiteral("8"), group, data);
    auto *stop = new QVBoxLayout;
    m_stopFrame = frame({}, group, stop);
    Stop1 = option(QStringLiteral("1"), group, stop);
    Stop2 = option(QStringLiteral("2"), group, stop);
    auto *parity = new QVBoxLayout;
    m_parityFrame = frame({}, group, parity);
    EvenParity = option({}, group, parity);
    NoParity = option({}, group, parity);
    OddParity = option({}, group, parity);
    auto *flow = new QVBoxLayout;
    m_flowFrame = frame({}, group, flow);
    NoFlow = option({}, group, flow);
    XonFlow = option(QStringLiteral("Xon/Xoff"), group, flow);
    RTSFlow = option(QStringLiteral("RTS"), group, flow);
    BothFlow = option(QStringLiteral("Xon/RTS"), group, flow);

    auto *layout = new QGridLayout(page);
    layout->addWidget(m_portFrame, 0, 0, 1, 3);
    layout->addWidget(m_rateFrame, 1, 0, 2, 1);
    layout->addWidget(m_dataFrame, 1, 1);
    layout->addWidget(m_stopFrame, 2, 1);
    layout->addWidget(m_parityFrame, 1, 2);
    layout->addWidget(m_flowFrame, 2, 2);
    return page;
}

QWidget *VEK_SETUP::buildInfoTab()
{
    auto *page = new QWidget;
    auto *inner = new QVBoxLayout;
    FrameInfo = new QGroupBox;
    FrameInfo->setLayout(inner);
    m_info = new QLabel;
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    inner->addWidget(m_info);
    inner->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(FrameInfo);
    return page;
}

void VEK_SETUP::Form_Load()
{
    const MainSettings &s = m_context.settings;
    const QString numbered = SerialOptions::DeviceOf(QString::number(s.portNumber));
    if (s.portNumber >= 1 && s.portNumber <= 4 &&
        (s.portDevice.isEmpty() || s.portDevice == numbered)) {
        m_comPort.value(s.portNumber)->setChecked(true);
    } else {
        // A device path, or a port number without an option of its own.
        m_device->setEditText(s.portDevice.isEmpty() ? numbered : s.portDevice);
        m_otherPort->setChecked(true);
    }

    // Parts of a hand-edited settings text without an option take the usual values.
    const SerialOptions::Selection sel = SerialOptions::SelectionOf(s.serialSettings);
    m_baud.value(sel.baudIndex ? sel.baudIndex : 96)->setChecked(true);
    checkIf(EvenParity, sel.parity == QLatin1Char('E'));
    checkIf(OddParity, sel.parity == QLatin1Char('O'));
    checkIf(NoParity, sel.parity != QLatin1Char('E') && sel.parity != QLatin1Char('O'));
    checkIf(Data7, sel.dataBits == 7);
    checkIf(Data8, sel.dataBits != 7);
    checkIf(Stop2, sel.stopBits == 2);
    checkIf(Stop1, sel.stopBits != 2);
    QRadioButton *const flows[] = {NoFlow, XonFlow, RTSFlow, BothFlow};
    flows[s.Handshaking >= 0 && s.Handshaking <= 3 ? s.Handshaking : 0]->setChecked(true);

    checkIf(m_typeTrace.value(s.TypeCourbe), true);

    m_languageAtOpening = VEK_LANGUAGE::FichierLangue();
    checkIf(m_language.value(m_languageAtOpening.toLower()), true);

    ApplyLanguageSetup();
    m_tabs->setCurrentIndex(0);
}

void VEK_SETUP::chooseLanguage(const QString &file)
{
    VEK_LANGUAGE::SetFichierLangue(file);
    VEK_LANGUAGE::InitLanguage();
    ApplyLanguageSetup();
    m_tabs->setCurrentIndex(0);
}

void VEK_SETUP::ApplyLanguageSetup()
{
    using VEK_LANGUAGE::LangKey;
    setWindowTitle(text(LangKey("MOFormCapt")));
    m_tabs->setTabText(0, text(LangKey("MOAffichage")));
    m_tabs->setTabText(1, text(LangKey("MOHyperTerminal")));
    m_tabs->setTabText(2, text(LangKey("MOInfo")));
    FrameGraphique->setTitle(text(LangKey("MFTypeGraphique")));
    FrameLanguage->setTitle(text(LangKey("MFLanguage")));
    FrameInfo->setTitle(text(LangKey("MOFrameInfo")));
    for (const TraceOption &t : TraceOptions)
        m_typeTrace.value(t.code)->setText(text(t.key));
    m_note3D->setText(text(LangKey("MLTypeTrace3DNote")));
    LabelGraphique1->setText(text(LangKey("MLGraphique1")));
    m_ok->setText(text(LangKey("MOK")));
    m_cancel->setText(text(LangKey("MAnnuler")));
    m_portFrame->setTitle(text(LangKey("SetupPortComm")));
    m_otherPort->setText(text(LangKey("SetupPeripherique")));
    m_rateFrame->setTitle(text(LangKey("SetupDebit")));
    m_dataFrame->setTitle(text(LangKey("SetupBitsDonnees")));
    m_stopFrame->setTitle(text(LangKey("SetupBitsArret")));
    m_parityFrame->setTitle(text(LangKey("SetupParite")));
    EvenParity->setText(text(LangKey("SetupPariteePaire")));
    NoParity->setText(text(LangKey("SetupPariteAucune")));
    OddParity->setText(text(LangKey("SetupPariteImpaire")));
    m_flowFrame->setTitle(text(LangKey("SetupControleFlux")));
    NoFlow->setText(text(LangKey("SetupFluxAucun")));
    const MainSettings &s = m_context.settings;
    m_info->setText(GetLanguageText("SetupInfo",
                                    {"%1", s.VEKVersion, "%2", s.VEKRevision, "%3", s.VEKDateRev}) +
                    QLatin1Char('\n') + NomProgrammateur(s));
}

QString VEK_SETUP::portChoice() const
{
    for (auto it = m_comPort.cbegin(); it != m_comPort.cend(); ++it)
        if (it.value()->isChecked())
            return QString::number(it.key());
    return SerialPortNames::CanonicalName(m_device->currentText());
}

QString VEK_SETUP::settingsText() const
{
    int baud = 9600;
    for (auto it = m_baud.cbegin(); it != m_baud.cend(); ++it)
        if (it.value()->isChecked())
            baud = it.key() * 100;
    const QChar parity = EvenParity->isChecked()  ? QLatin1Char('E')
                         : OddParity->isChecked() ? QLatin1Char('O')
                                                  : QLatin1Char('N');
    return SerialOptions::TextOf(baud, parity, Data7->isChecked() ? 7 : 8,
                                 Stop2->isChecked() ? 2 : 1);
}

int VEK_SETUP::handshaking() const
{
    return XonFlow->isChecked() ? 1 : RTSFlow->isChecked() ? 2 : BothFlow->isChecked() ? 3 : 0;
}

int VEK_SETUP::chartType() const
{
    for (auto it = m_typeTrace.cbegin(); it != m_typeTrace.cend(); ++it)
        if (it.value()->isChecked())
            return it.key();
    return m_context.settings.TypeCourbe; // a stored type without an option stays
}

QString VEK_SETUP::checkPort(QString &choice) const
{
    // The rule of the stored port, as at start; here the port must also be
    // there, and a serial port.
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::SerialPort, choice,
                         ValueRules::Source::box(ValueRules::Path::SetupDialog));
    if (!read.taken())
        return read.reason;
    choice = read.text;
    const QString device = SerialOptions::DeviceOf(choice);
    const SerialPortNames::NamedPort port = SerialPortNames::PortNamed(device);
    const SerialPortNames::PortFault fault = SerialPortNames::FaultOf(device);
    if (fault == SerialPortNames::PortFault::NotASerialDevice)
        return GetLanguageText(QStringLiteral("SetupPortNotSerial"),
                               {QStringLiteral("%1"), choice});
    if (fault == SerialPortNames::PortFault::Missing)
        return GetLanguageText(QStringLiteral("SetupPortMissing"), {QStringLiteral("%1"), device});
    if (m_livePort && m_livePort->isOpen()) {
        const QString &opened = port.device;
        const QString name = opened.startsWith(QLatin1String("/dev/")) ? opened.mid(5) : opened;
        if (m_livePort->portName() != name && m_livePort->portName() != opened)
            return GetLanguageText(QStringLiteral("SetupPortBusy"),
                                   {QStringLiteral("%1"), m_livePort->portName()});
    }
    return {};
}

bool VEK_SETUP::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_device || watched == m_device->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_device->setEditText(SerialPortNames::CanonicalName(m_device->currentText()));
            m_otherPort->setChecked(true);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void VEK_SETUP::save(const QString &key, const QString &value)
{
    if (!m_store) {
        m_ownStore = MainSettingsLoader::OpenStore();
        m_store = m_ownStore.get();
    }
    m_store->setValue(QStringLiteral("Config/") + key, value);
}

void VEK_SETUP::OKButton_Click()
{
    MainSettings &s = m_context.settings;
    // A port that does not exist or cannot be switched is refused before
    // anything is applied: the dialog stays open to choose again.
    // The port shown at opening is checked as a typed one: a stored port that
    // is not there now is refused as typed.
    QString choice = portChoice();
    if (const QString refused = checkPort(choice); !refused.isEmpty()) {
        m_warn(refused);
        return;
    }
    const QString device = SerialOptions::DeviceOf(choice);
    QStringList failures;
    if (m_livePort && !m_livePort->isOpen())
        m_livePort->setPortName(device);
    s.portNumber = SerialOptions::PortNumberOf(choice);
    s.portDevice = device;
    save(QStringLiteral("newport"), choice);

    const QString text = settingsText();
    QString error;
    if (m_livePort && !SerialOptions::Apply(*m_livePort, text, handshaking(), &error)) {
        failures << GetLanguageText(QStringLiteral("SetupSettingsRefused"),
                                    {QStringLiteral("%1"), text, QStringLiteral("%2"), error});
        // Part of the new settings may have reached the port: put back the old ones.
        SerialOptions::Apply(*m_livePort, s.serialSettings, s.Handshaking);
    } else {
        s.serialSettings = text;
        s.Handshaking = static_cast<int16_t>(handshaking());
        save(QStringLiteral("com$"), text);
        save(QStringLiteral("Handshaking"), QString::number(s.Handshaking));
    }

    s.TypeCourbe = chartType();
    save(QStringLiteral("TypeCourbe"), QString::number(s.TypeCourbe));
    s.Language = VEK_LANGUAGE::FichierLangue();
    save(QStringLiteral("Language"), s.Language);

    if (!MainSettingsLoader::SaveStore(*m_store))
        failures << MainSettingsLoader::SaveFailureText(*m_store);
    if (!failures.isEmpty())
        m_warn(failures.join(QLatin1Char('\n')));
    closeDialog(true);
}

void VEK_SETUP::CancelButton_Click()
{
    VEK_LANGUAGE::SetFichierLangue(m_languageAtOpening);
    closeDialog(false);
}

void VEK_SETUP::reject()
{
    CancelButton_Click(); // Escape and the window's close button cancel too
}

void VEK_SETUP::closeDialog(bool accepted)
{
    // Whatever the way out, the next texts come from the language now in force.
    VEK_LANGUAGE::InitLanguage();
    ApplyLanguageSetup();
    if (accepted)
        QDialog::accept();
    else
        QDialog::reject();
}
