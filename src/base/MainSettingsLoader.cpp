#include "base/MainSettingsLoader.h"

#include "base/FileFailureReason.h"
#include "base/FileWriter.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "platform/SerialPortNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kCompilation = QStringLiteral("Compilation");
const QString kIcsp = QStringLiteral("ICSP");

template <typename T> constexpr qint64 low()
{
    return std::numeric_limits<T>::min();
}
template <typename T> constexpr qint64 high()
{
    return std::numeric_limits<T>::max();
}

// A stored port name, read by the one rule of port names and kept as typed
// ("com2" in the form the dialogs keep it, "COM2"), even when its device is
// not there now (an adapter unplugged, a link made later: its opening says
// so); `fallback` for a text that names no port.
QString portName(const QString &stored, const QString &fallback)
{
    const ValueRules::Outcome port =
        ValueRules::read(ValueRules::Value::Port, stored,
                         ValueRules::Source::inFile(ValueRules::Path::SettingsFile, {}, 0));
    return port.taken() ? port.text : fallback;
}

void readPort(MainSettings &settings, const QString &stored)
{
    // A port number from 1 up (the options' form), or a port name.
    bool isNumber = false;
    const int number = stored.trimmed().toInt(&isNumber);
    if (const QString name = isNumber ? QString() : portName(stored, QString()); !name.isEmpty()) {
        settings.portDevice = name;
        settings.portNumber = 0;
        return;
    }
    settings.portNumber = isNumber && number >= 1 && number <= 255 ? number : 1;
    settings.portDevice = SerialPortNames::DeviceForPortNumber(settings.portNumber);
}

// The programmer's areas and line count: each key, the value it holds and its
// value when the file has none or holds one its rule refuses.
struct AreaKey {
    const char *key;
    ValueRules::Value value;
    const char *fallback;
    QString MainSettings::*field;
};
// clang-format off
const AreaKey kAreaKeys[] = {
    {"ICSP_HEXADD", ValueRules::Value::CodeStart, "000", &MainSettings::ICSPHEXADD},
    {"ICSP_HEXLNG", ValueRules::Value::CodeLength, "400", &MainSettings::ICSPHEXLNG},
    {"ICSP_NBTABLES", ValueRules::Value::CurveLines, "2", &MainSettings::ICSPNbTables},
    {"ICSP_LTAB_L1", ValueRules::Value::TableAddress, "300", &MainSettings::ICSPLTAB_L1},
    {"ICSP_HTAB_L1", ValueRules::Value::TableAddress, "500", &MainSettings::ICSPHTAB_L1},
    {"ICSP_LTAB16_L1", ValueRules::Value::TableAddress, "700", &MainSettings::ICSPLTAB16_L1},
    {"ICSP_HTAB16_L1", ValueRules::Value::TableAddress, "900", &MainSettings::ICSPHTAB16_L1},
    {"ICSP_LTAB_L2", ValueRules::Value::TableAddress, "300", &MainSettings::ICSPLTAB_L2},
    {"ICSP_HTAB_L2", ValueRules::Value::TableAddress, "500", &MainSettings::ICSPHTAB_L2},
    {"ICSP_LTAB16_L2", ValueRules::Value::TableAddress, "700", &MainSettings::ICSPLTAB16_L2},
    {"ICSP_HTAB16_L2", ValueRules::Value::TableAddress, "900", &MainSettings::ICSPHTAB16_L2},
};
// clang-format on

const AreaKey &areaKey(const QString &key)
{
    for (const AreaKey &k : kAreaKeys)
        if (key == QLatin1String(k.key))
            return k;
    return kAreaKeys[0];
}

ValueRules::Outcome readArea(const AreaKey &k, const QString &stored, const QString &file)
{
    ValueRules::Source source = ValueRules::Source::inFile(ValueRules::Path::SettingsFile, file, 0);
    source.name = QLatin1String(k.key);
    return ValueRules::read(k.value, stored, source);
}

} // namespace

ValueRules::Outcome MainSettingsLoader::area(const char *key) const
{
    const AreaKey &k = areaKey(QLatin1String(key));
    return readArea(k, text(kIcsp, k.key, QLatin1String(k.fallback)), store_.fileName());
}

QString MainSettingsLoader::AreaDefault(const QString &key)
{
    return QLatin1String(areaKey(key).fallback);
}

QString MainSettingsLoader::AreaSetting(const QString &key, const QString &stored)
{
    const AreaKey &k = areaKey(key);
    const ValueRules::Outcome o = readArea(k, stored, {});
    // No line count given is the two lines of a free setting; no address is no area.
    if (!o.taken() || (k.value == ValueRules::Value::CurveLines && !o.value))
        return QLatin1String(k.fallback);
    return stored.trimmed();
}

ValueRules::Outcome MainSettingsLoader::delay() const
{
    const ValueRules::Source source =
        ValueRules::Source::inFile(ValueRules::Path::SettingsFile, store_.fileName(), 0);
    return ValueRules::read(ValueRules::Value::ProgrammerDelay,
                            text(kIcsp, "ICSP_Delay", QString::number(DefaultIcspDelayUs)), source);
}

ValueRules::Outcome MainSettingsLoader::icspPort() const
{
    const ValueRules::Source source =
        ValueRules::Source::inFile(ValueRules::Path::SettingsFile, store_.fileName(), 0);
    return ValueRules::read(ValueRules::Value::Port,
                            text(kIcsp, "ICSP_Port", QStringLiteral("COM1")), source);
}

QList<ValueRules::Outcome> MainSettingsLoader::RefusedValues() const
{
    QList<ValueRules::Outcome> refused;
    for (const ValueRules::Outcome &o : {delay(), icspPort()})
        if (!o.taken())
            refused << o;
    for (const AreaKey &k : kAreaKeys)
        if (const ValueRules::Outcome o = area(k.key); !o.taken())
            refused << o;
    return refused;
}

int MainSettingsLoader::ProgrammingDelayUs(const QString &ICSPDELAY)
{
    const ValueRules::Outcome o =
        ValueRules::read(ValueRules::Value::ProgrammerDelay, ICSPDELAY, ValueRules::Source::box());
    return o.taken() ? int(*o.value) : DefaultIcspDelayUs;
}

QString MainSettingsLoader::text(const QString &section, const char *key,
                                 const QString &fallback) const
{
    const QVariant value = store_.value(section + '/' + QLatin1String(key));
    if (!value.isValid())
        return fallback;
    // An INI line written by hand without quotes ("9600,N,8,1") reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',');
    return value.toString();
}

qint64 MainSettingsLoader::number(const QString &section, const char *key, qint64 fallback,
                                  qint64 lowest, qint64 highest) const
{
    bool ok = false;
    const qint64 value = text(section, key, QString()).trimmed().toLongLong(&ok);
    return ok && value >= lowest && value <= highest ? value : fallback;
}

std::unique_ptr<QSettings> MainSettingsLoader::OpenStore()
{
    // The program name stands where QSettings expects an organisation, so the
    // store is one "VEK_Courbe.ini" in the user's configuration folder (an empty
    // organisation would become "Unknown Organization" and report access errors).
    return std::make_unique<QSettings>(StoreFormat(), StoreScope(), QStringLiteral("VEK_Courbe"));
}

bool MainSettingsLoader::SaveLogFolder(QSettings &store, const QString &folder)
{
    store.setValue(kConfig + QStringLiteral("/LogFolder"), folder);
    return SaveStore(store);
}

bool MainSettingsLoader::SaveStore(QSettings &store)
{
    store.sync();
    return store.status() == QSettings::NoError;
}

namespace {

// Why `file` cannot be written: Qt keeps its own reason, so the folder is
// asked again, by a write of the file's size beside it (removed at once);
// empty when that write succeeds.
QString whyNotWritten(const QString &file)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath())) {
        const int failure = errno;
        return FileFailureReason::wording(failure, QString::fromLocal8Bit(std::strerror(failure)));
    }
    if (info.isDir())
        return FileFailureReason::wording(EISDIR, {});
    if (info.exists() && !info.isWritable())
        return FileFailureReason::wording(EACCES, {});
    const QString probe =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".vek-check");
    const FileWriter::Result written =
        FileWriter::WriteWhole(probe, QByteArray(int(std::max<qint64>(info.size(), 4096)), '\n'));
    QFile::remove(probe);
    return written ? QString() : written.reason;
}

} // namespace

QString MainSettingsLoader::SaveFailureText(const QSettings &store)
{
    using VEK_LANGUAGE::GetLanguageText;
    const QString file = store.fileName();
    const QString why = whyNotWritten(file);
    if (why.isEmpty())
        return GetLanguageText(QStringLiteral("SetupSaveError"), {QStringLiteral("%1"), file});
    return GetLanguageText(QStringLiteral("SetupSaveErrorWhy"),
                           {QStringLiteral("%1"), file, QStringLiteral("%RAISON%"), why});
}

void MainSettingsLoader::Load(MainSettings &settings)
{
    LoadConfig(settings);
    LoadCompilation(settings);
    LoadIcsp(settings);
}

void MainSettingsLoader::LoadConfig(MainSettings &s)
{
    readPort(s, text(kConfig, "newport", QStringLiteral("1")));
    s.serialSettings = text(kConfig, "com$", QStringLiteral("9600,N,8,1"));
    s.TypeCourbe = int32_t(number(kConfig, "TypeCourbe", 16, low<int32_t>(), high<int32_t>()));
    s.Language = text(kConfig, "Language", QStringLiteral("francais.ini"));
    s.Handshaking = int16_t(number(kConfig, "Handshaking", 0, 0, 3));
    s.LogFolder = text(kConfig, "LogFolder", QString());
}

void MainSettingsLoader::LoadCompilation(MainSettings &s)
{
    s.TypeCompilation =
        int16_t(number(kCompilation, "TypeCompilation", 8, low<int16_t>(), high<int16_t>()));
    s.NomFichierLTAB8 = text(kCompilation, "NomFichierLTAB8", QStringLiteral("LTAB.TXT"));
    s.NomFichierHTAB8 = text(kCompilation, "NomFichierHTAB8", QStringLiteral("HTAB.TXT"));
    s.NomFichierLTAB16 = text(kCompilation, "NomFichierLTAB16", QStringLiteral("LTAB16_.TXT"));
    s.NomFichierHTAB16 = text(kCompilation, "NomFichierHTAB16", QStringLiteral("HTAB16_.TXT"));
    s.CheminProjetAsm = text(kCompilation, "CheminProjetAsm", QString());
}

void MainSettingsLoader::LoadIcsp(MainSettings &s)
{
    const auto byte = [this](const char *key, uint8_t fallback) {
        return uint8_t(number(kIcsp, key, fallback, 0, 255));
    };
    s.ICSPBoitier = int16_t(number(kIcsp, "ICSP_Boitier", 2, low<int16_t>(), high<int16_t>()));
    s.ICSPChip = text(kIcsp, "ICSP_Chip", QStringLiteral("AUTO"));
    const ValueRules::Outcome port = icspPort();
    s.ICSPPort = port.taken() ? port.text : QStringLiteral("COM1");
    s.ICSPPINMCLR = byte("ICSP_Broche_MCLR", 5);
    s.ICSPPINCLOCK = byte("ICSP_Broche_CLOCK", 3);
    s.ICSPPINDATA = byte("ICSP_Broche_DATA", 2);
    s.ICSPPINDATAR = byte("ICSP_Broche_DATAR", 10);
    const ValueRules::Outcome stored = delay();
    s.ICSPDELAY = stored.taken() ? stored.text : QString::number(DefaultIcspDelayUs);
    s.ICSPNBWRT = byte("ICSP_NbWrite", 5);
    // A value refused keeps its default, as the set-up would not take it.
    for (const AreaKey &k : kAreaKeys)
        s.*k.field = AreaSetting(QLatin1String(k.key), text(kIcsp, k.key, AreaDefault(k.key)));
}
