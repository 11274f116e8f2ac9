#pragma once

#include "base/MainSettings.h"
#include "base/ValueRules.h"

#include <QSettings>

#include <memory>

// Reads the stored settings of the main window, key by key with their defaults,
// in the order the program has always read them. A number that cannot be read,
// or does not fit its type, falls back to the key's default.
class MainSettingsLoader
{
public:
    explicit MainSettingsLoader(QSettings &store) : store_(store) {}

    // Sections "Config", "Compilation" and "ICSP" into `settings`.
    void Load(MainSettings &settings);
    // The stored values their rule refuses, each naming the settings file, in
    // the language of the moment; Load puts their defaults in their place.
    QList<ValueRules::Outcome> RefusedValues() const;

    // The pause after each bit frame that a delay text gives, in whole
    // microseconds: the text read by the rule of the programming delay, the
    // default for one it refuses. What the set-up shows and the programmer uses.
    static int ProgrammingDelayUs(const QString &ICSPDELAY);

    // The store of the program: application "VEK_Courbe", INI format, per user.
    static QSettings::Format StoreFormat() { return QSettings::IniFormat; }
    static QSettings::Scope StoreScope() { return QSettings::UserScope; }
    static std::unique_ptr<QSettings> OpenStore();

    // Saves the folder of the live logs, chosen on the live page, so that the
    // next start writes there again. False when the store cannot be written.
    static bool SaveLogFolder(QSettings &store, const QString &folder);

    // Writes the changes made to `store` to its file; false when the settings
    // could not be saved. Every save of the settings goes through here. Qt checks
    // its own writes of the settings file and keeps the old file when they fail
    // (unlike its save file for other files), so its status is the answer.
    static bool SaveStore(QSettings &store);
    // What every window says when SaveStore failed: the settings file and why
    // it could not be written (read-only, disk full...), as the system tells it
    // for a write in the file's folder.
    static QString SaveFailureText(const QSettings &store);

    // The programmer's areas and line count ("ICSP_HEXADD", "ICSP_NBTABLES"…):
    // the value a stored text gives, read by its rule; the default for a text
    // the rule refuses.
    static QString AreaSetting(const QString &key, const QString &stored);
    static QString AreaDefault(const QString &key);

private:
    void LoadConfig(MainSettings &settings);
    void LoadCompilation(MainSettings &settings);
    void LoadIcsp(MainSettings &settings);

    QString text(const QString &section, const char *key, const QString &fallback) const;
    ValueRules::Outcome delay() const;
    // ICSP_Port read by the port rule; "COM1" when the file has none.
    ValueRules::Outcome icspPort() const;
    // An address or length of the programmer's areas, read by its rule.
    ValueRules::Outcome area(const char *key) const;
    qint64 number(const QString &section, const char *key, qint64 fallback, qint64 low,
                  qint64 high) const;

    QSettings &store_;
};
