#include "firmware/PackageDescription.h"

#include "base/BoundedFile.h"
#include "base/FileWriter.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

const QStringList &PackageDescription::infoKeys()
{
    static const QStringList keys = {"Module", "VersionOS", "Author", "AuthorEmail",
                                     "NomDuFichier"};
    return keys;
}

const QStringList &PackageDescription::reglageKeys()
{
    // clang-format off
    static const QStringList keys = {
        "TYPEBOITIER", "MODCHIP", "EN_SET_MOTEUR", "EN_SET_AVANCE", "FIX_NBCYL", "VAL_NBCYL",
        "LIMITE_RUPTEUR", "FIX_AVSTAT", "VAL_AVSTAT", "HARDWARE", "IO_TOR", "AVANCEBRPM",
        "DWELL", "MULTISPARK", "RETARDKNOCK", "MODE3D", "DIAG_KT5", "TERMINALRS232",
        "TRANSFERT", "COMPILATION", "HEX_ADD", "HEX_LNG", "NB_COURBES",
        "ADD_TABLE_BASSE_L1", "ADD_TABLE_HAUTE_L1", "ADD_TABLE_B16_L1", "ADD_TABLE_H16_L1",
        "ADD_TABLE_BASSE_L2", "ADD_TABLE_HAUTE_L2", "ADD_TABLE_B16_L2", "ADD_TABLE_H16_L2"};
    // clang-format on
    return keys;
}

void PackageDescription::setInfo(const QString &key, const QString &value)
{
    set(m_info, key, value);
}

void PackageDescription::setReglage(const QString &key, const QString &value)
{
    set(m_reglage, key, value);
}

void PackageDescription::set(Section &section, const QString &key, const QString &value)
{
    const QString upper = key.toUpper();
    if (!section.values.contains(upper))
        section.setOrder.append(key);
    QString oneLine = value;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    oneLine.replace('\r', ' ').replace('\n', ' '); // a line break would start a new key
    section.values.insert(upper, oneLine);
}

void PackageDescription::appendSection(QString &text, const QString &header,
                                       const QStringList &order, const Section &section)
{
    text += header + QStringLiteral("\r\n");
    QStringList keys;
    for (const QString &key : order)
        if (section.values.contains(key.toUpper()))
            keys.append(key);
    for (const QString &key : section.setOrder)
        if (!order.contains(key, Qt::CaseInsensitive))
            keys.append(key);
    for (const QString &key : keys)
        text += key + '=' + section.values.value(key.toUpper()) + QStringLiteral("\r\n");
}

QString PackageDescription::readBack(const QString &written) const
{
    const BoundedFile::Read read = BoundedFile::readAll(written, BoundedFile::MaxIniFileBytes);
    if (!read.ok)
        return FileWriter::ReadOtherwise();
    const QString text = TextEncoding::decodeText(read.bytes);
    for (const auto &[header, section] : {std::pair{QStringLiteral("INFO"), &m_info},
                                          std::pair{QStringLiteral("REGLAGE"), &m_reglage}})
        for (const QString &key : section->setOrder) {
            const QString meant = section->values.value(key.toUpper());
            const QString back = VEK_LANGUAGE::IniValueInText(text, header, key);
            if (back != meant) // a character Windows-1252 has not, a text read as UTF-8
                return VEK_LANGUAGE::GetLanguageText(
                    "RaisonRelueValeur", {"%CLE%", key, "%LU%", TextEncoding::shownInMessage(back),
                                          "%VOULU%", TextEncoding::shownInMessage(meant)});
        }
    return {};
}

bool PackageDescription::write(const QString &path, QString *error) const
{
    QString text;
    appendSection(text, QStringLiteral("[INFO]"), infoKeys(), m_info);
    appendSection(text, QStringLiteral("[REGLAGE]"), reglageKeys(), m_reglage);
    const FileWriter::Result written = FileWriter::WriteWhole(
        path, TextEncoding::encodeWindows1252(text), FileWriter::Existing::Replace,
        {FileWriter::Kind::PackageDescription,
         [this](const QString &back) { return readBack(back); }});
    if (!written && error)
        *error = written.reason;
    return written.ok;
}
