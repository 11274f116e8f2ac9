#include "base/MainSettingsLoader.h"

#include "base/FileFailureReason.h"
#include "base/FileWriter.h"
#include "base/SerialOptions.h"
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

namespace {

using ValueRules::Value;

// Every key read at start: where it is, the value it holds and the value it
// gives when the file has none or holds one its rule refuses. Keys without a
// rule of their own (file and folder names, the chip) are read as they are:
// the windows that use them judge them, naming the file.
struct StoredKey {
    const char *section;
    const char *key;
    Value value;
    const char *fallback;
};
// clang-format off
const StoredKey kStoredKeys[] = {
    {"Config", "newport", Value::SerialPort, "1"},
    {"Config", "com$", Value::SerialSettings, "9600,N,8,1"},
    {"Config", "TypeCourbe", Value::ChartType, "16"},
    {"Config", "Language", Value::LanguageFile, "francais.ini"},
    {"Config", "Handshaking", Value::Handshaking, "0"},
    {"Compilation", "TypeCompilation", Value::CompilationType, "8"},
    {"ICSP", "ICSP_Boitier", Value::BoxType, "2"},
    {"ICSP", "ICSP_Port", Value::Port, "COM1"},
    {"ICSP", "ICSP_Broche_MCLR", Value::OutputPin, "5"},
    {"ICSP", "ICSP_Broche_CLOCK", Value::OutputPin, "3"},
    {"ICSP", "ICSP_Broche_DATA", Value::OutputPin, "2"},
    {"ICSP", "ICSP_Broche_DATAR", Value::InputPin, "10"},
    {"ICSP", "ICSP_Delay", Value::ProgrammerDelay, "15"},
    {"ICSP", "ICSP_NbWrite", Value::WriteAttempts, "5"},
    // The programmer's areas and line count, with the defaults the free
    // setting shows.
    {"ICSP", "ICSP_HEXADD", Value::CodeStart, "000"},
    {"ICSP", "ICSP_HEXLNG", Value::CodeLength, "400"},
    {"ICSP", "ICSP_NBTABLES", Value::CurveLines, "2"},
    {"ICSP", "ICSP_LTAB_L1", Value::TableAddress, "300"},
    {"ICSP", "ICSP_HTAB_L1", Value::TableAddress, "500"},
    {"ICSP", "ICSP_LTAB16_L1", Value::TableAddress, "700"},
    {"ICSP", "ICSP_HTAB16_L1", Value::TableAddress, "900"},
    {"ICSP", "ICSP_LTAB_L2", Value::TableAddress, "300"},
    {"ICSP", "ICSP_HTAB_L2", Value::TableAddress, "500"},
    {"ICSP", "ICSP_LTAB16_L2", Value::TableAddress, "700"},
    {"ICSP", "ICSP_HTAB16_L2", Value::TableAddress, "900"},
};
// clang-format on

const StoredKey *storedKey(const QString &key)
{
    for (const StoredKey &k : kStoredKeys)
        if (key == QLatin1String(k.key))
            return &k;
    return nullptr;
}

// A stored text read by its key's rule, a refusal naming the key (the line
// the user looks for in the file) rather than its caption.
ValueRules::Outcome readStored(const StoredKey &k, const QString &stored, const QString &file)
{
    ValueRules::Source source = ValueRules::Source::inFile(ValueRules::Path::SettingsFile, file, 0);
    source.name = QLatin1String(k.key);
    return ValueRules::read(k.value, stored, source);
}

// The value a stored text gives: the text as the program writes it when its
// rule takes it (an address as written), else the key's fallback. No line
// count given is the two lines of a free setting.
QString storedValue(const StoredKey &k, const QString &stored, const QString &fallback)
{
    const ValueRules::Outcome o = readStored(k, stored, {});
    if (!o.taken() || (k.value == Value::CurveLines && !o.value))
        return fallback;
    if (ValueRules::Declared(k.value).reading == ValueRules::Reading::Hex)
        return stored.trimmed();
    return o.text;
}

} // namespace

QString MainSettingsLoader::Default(const QString &key)
{
    const StoredKey *k = storedKey(key);
    return k ? QLatin1String(k->fallback) : QString();
}

QString MainSettingsLoader::Setting(const QString &key, const QString &stored,
                                    const QString &fallback)
{
    const StoredKey *k = storedKey(key);
    if (!k)
        return stored;
    return storedValue(*k, stored, fallback.isNull() ? QLatin1String(k->fallback) : fallback);
}

QString MainSettingsLoader::value(const char *key) const
{
    const StoredKey *k = storedKey(QLatin1String(key));
    return storedValue(*k, text(QLatin1String(k->section), k->key, QLatin1String(k->fallback)),
                       QLatin1String(k->fallback));
}

QList<ValueRules::Outcome> MainSettingsLoader::RefusedValues() const
{
    QList<ValueRules::Outcome> listed;
    for (const StoredKey &k : kStoredKeys) {
        const QVariant stored = store_.value(QLatin1String(k.section) + '/' + QLatin1String(k.key));
        if (!stored.isValid())
            continue; // not there: its default, said by nobody
        if (const ValueRules::Outcome o =
                readStored(k, text(QLatin1String(k.section), k.key, {}), store_.fileName());
            o.listed())
            listed << o;
    }
    return listed;
}

QString MainSettingsLoader::RefusedMessage() const
{
    return ValueRules::listMessage(RefusedValues(), VEK_LANGUAGE::LangKey("MessReglagesLus"));
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

std::unique_ptr<QSettings> MainSettingsLoader::OpenStore()
{
    // The program name stands where QSettings expects an organisation, so the
    // store is one "VEK_Courbe.ini" in the user's configuration folder (an empty
    // organisation would become "Unknown Organization" and report access errors).
    return std::make_unique<QSettings>(StoreFormat(), StoreScope(), QStringLiteral("VEK_Courbe"));
}

bool MainSettingsLoader::SaveLogFolder(QSettings &store, const QString &folder)
{
    store.setValue(QStringLiteral("Config/LogFolder"), folder);
    return SaveStore(store);
}

bool MainSettingsLoader::SaveStore(QSettings &store)
{
    store.sync();
    return store.status() == QSettings::NoError;
}

namespace {

// Why the folder `path` could not be made, errno being mkpath's: mkpath stops
// with "exists" on a part of the path that is a file, which is the fault.
int whyNoFolder(const QString &path)
{
    const int failure = errno;
    for (QFileInfo part(path); !part.isRoot(); part = QFileInfo(part.path()))
        if (part.exists())
            return part.isDir() ? failure : ENOTDIR;
    return failure;
}

// Why `file` cannot be written: Qt keeps its own reason, so the folder is
// asked again, by a write of the file's size beside it (removed at once);
// empty when that write succeeds.
QString whyNotWritten(const QString &file)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath())) {
        const int failure = whyNoFolder(info.absolutePath());
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
    // A port number (the options' form), or the name of a port.
    const QString port = value("newport");
    s.portNumber = SerialOptions::PortNumberOf(port);
    s.portDevice = s.portNumber ? SerialPortNames::DeviceForPortNumber(s.portNumber) : port;
    s.serialSettings = value("com$");
    s.TypeCourbe = value("TypeCourbe").toInt();
    s.Language = value("Language");
    s.Handshaking = int16_t(value("Handshaking").toInt());
    s.LogFolder = text(QStringLiteral("Config"), "LogFolder", QString());
}

void MainSettingsLoader::LoadCompilation(MainSettings &s)
{
    const QString section = QStringLiteral("Compilation");
    s.TypeCompilation = int16_t(value("TypeCompilation").toInt());
    s.NomFichierLTAB8 = text(section, "NomFichierLTAB8", QStringLiteral("LTAB.TXT"));
    s.NomFichierHTAB8 = text(section, "NomFichierHTAB8", QStringLiteral("HTAB.TXT"));
    s.NomFichierLTAB16 = text(section, "NomFichierLTAB16", QStringLiteral("LTAB16_.TXT"));
    s.NomFichierHTAB16 = text(section, "NomFichierHTAB16", QStringLiteral("HTAB16_.TXT"));
    s.CheminProjetAsm = text(section, "CheminProjetAsm", QString());
}

void MainSettingsLoader::LoadIcsp(MainSettings &s)
{
    const auto pin = [this](const char *key) { return uint8_t(value(key).toInt()); };
    s.ICSPBoitier = int16_t(value("ICSP_Boitier").toInt());
    s.ICSPChip = text(QStringLiteral("ICSP"), "ICSP_Chip", QStringLiteral("AUTO"));
    s.ICSPPort = value("ICSP_Port");
    s.ICSPPINMCLR = pin("ICSP_Broche_MCLR");
    s.ICSPPINCLOCK = pin("ICSP_Broche_CLOCK");
    s.ICSPPINDATA = pin("ICSP_Broche_DATA");
    s.ICSPPINDATAR = pin("ICSP_Broche_DATAR");
    s.ICSPDELAY = value("ICSP_Delay");
    s.ICSPNBWRT = uint8_t(value("ICSP_NbWrite").toInt());
    s.ICSPHEXADD = value("ICSP_HEXADD");
    s.ICSPHEXLNG = value("ICSP_HEXLNG");
    s.ICSPNbTables = value("ICSP_NBTABLES");
    s.ICSPLTAB_L1 = value("ICSP_LTAB_L1");
    s.ICSPHTAB_L1 = value("ICSP_HTAB_L1");
    s.ICSPLTAB16_L1 = value("ICSP_LTAB16_L1");
    s.ICSPHTAB16_L1 = value("ICSP_HTAB16_L1");
    s.ICSPLTAB_L2 = value("ICSP_LTAB_L2");
    s.ICSPHTAB_L2 = value("ICSP_HTAB_L2");
    s.ICSPLTAB16_L2 = value("ICSP_LTAB16_L2");
    s.ICSPHTAB16_L2 = value("ICSP_HTAB16_L2");
}
