#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// A firmware or update package description ("OS.NFO", "MAJ.NFO"): section
// [INFO] then section [REGLAGE], one "KEY=value" line each, CR LF, Windows-1252.
// Reading goes through the cached look-ups of VEK_Gestion_OS; this class holds
// the key order and writes a description.
class PackageDescription
{
public:
    // Keys in the order they are written.
    static const QStringList &infoKeys();
    static const QStringList &reglageKeys();

    // Only "OUI", exact, is yes.
    static bool isYes(const QString &value) { return value == QStringLiteral("OUI"); }
    static QString yesNo(bool yes) { return yes ? QStringLiteral("OUI") : QStringLiteral("NON"); }

    void setInfo(const QString &key, const QString &value);
    void setReglage(const QString &key, const QString &value);
    QString info(const QString &key) const { return m_info.values.value(key.toUpper()); }
    QString reglage(const QString &key) const { return m_reglage.values.value(key.toUpper()); }

    // Writes the keys that were set, known keys in their order, others after them
    // in the order they were first set. Line breaks in values become blanks.
    // Replaces the file only once it is completely written and reads back, as
    // the package look-ups read it, with every value as set.
    bool write(const QString &path, QString *error = nullptr) const;

private:
    struct Section {
        QHash<QString, QString> values; // upper-case key -> value
        QStringList setOrder;           // keys as first set
    };
    QString readBack(const QString &written) const;
    static void set(Section &section, const QString &key, const QString &value);
    static void appendSection(QString &text, const QString &header, const QStringList &order,
                              const Section &section);

    Section m_info;
    Section m_reglage;
};
