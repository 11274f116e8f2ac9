#pragma once

#include "base/MainSettings.h"

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

private:
    void LoadConfig(MainSettings &settings);
    void LoadCompilation(MainSettings &settings);
    void LoadIcsp(MainSettings &settings);

    QString text(const QString &section, const char *key, const QString &fallback) const;
    qint64 number(const QString &section, const char *key, qint64 fallback, qint64 low,
                  qint64 high) const;

    QSettings &store_;
};
