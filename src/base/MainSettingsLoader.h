#pragma once

#include "base/MainSettings.h"
#include "base/ValueRules.h"

#include <QSettings>

#include <memory>

// Reads the stored settings of the main window, key by key, each by the rule
// of the value it holds (ValueRules): a text its rule refuses gives the key's
// default, and is named, by its key, once the start is over.
class MainSettingsLoader
{
public:
    explicit MainSettingsLoader(QSettings &store) : store_(store) {}

    // Sections "Config", "Compilation" and "ICSP" into `settings`.
    void Load(MainSettings &settings);
    // The stored values their rule refuses or reads otherwise than written,
    // each naming its key and the settings file, in the language of the
    // moment; Load puts their defaults (or the form read) in their place.
    QList<ValueRules::Outcome> RefusedValues() const;
    // The same under their heading; empty when every value is taken as written.
    QString RefusedMessage() const;

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

    // A stored key ("ICSP_HEXADD", "ICSP_Boitier"…) as every reader of the
    // file takes it: the value its text gives by the key's rule, in the form
    // the program writes it (an address as written); `fallback`, else the
    // key's default, for a text the rule refuses. A key of no rule: the text.
    static QString Setting(const QString &key, const QString &stored,
                           const QString &fallback = QString());
    static QString Default(const QString &key);

private:
    void LoadConfig(MainSettings &settings);
    void LoadCompilation(MainSettings &settings);
    void LoadIcsp(MainSettings &settings);

    QString text(const QString &section, const char *key, const QString &fallback) const;
    // The value of a key of the rule table, as Setting() gives it.
    QString value(const char *key) const;

    QSettings &store_;
};
