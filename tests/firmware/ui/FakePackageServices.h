#pragma once

#include "app/VEK_LANGUAGE.h"
#include "firmware/ui/PackageEditorServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

// Package services over the zip and unzip programs and a recording HEX converter,
// for the editor windows' tests.
struct FakePackageServices {
    QStringList chips{"16F84A", "16F876A", "12F629"};
    bool catalogueLoads = true;
    QString currentFolder;
    QString currentFile;
    QStringList convertedChips;
    bool conversionFails = false;

    static bool run(const QString &program, const QStringList &args, QList<int> okCodes = {0})
    {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
               okCodes.contains(p.exitCode());
    }

    PackageEditorServices services(const QString &folder)
    {
        PackageEditorServices s;
        s.packageFolder = folder;
        s.chipCatalogue = [this]() -> std::optional<QStringList> {
            if (!catalogueLoads)
                return std::nullopt;
            return chips;
        };
        s.makeCurrentDescription = [this](const QString &f, const QString &file) {
            currentFolder = f;
            currentFile = file;
        };
        auto key = [this](const char *section) {
            return [this, section](const QString &k) {
                return VEK_LANGUAGE::ReadIniValue(currentFolder + currentFile,
                                                  QLatin1String(section), k);
            };
        };
        s.lireInfo = key("INFO");
        s.lireReglage = key("REGLAGE");
        s.writeArchive = [](const QString &zip, const QStringList &files) {
            return PackageAuthoring::Outcome{run("zip", QStringList{"-j", "-q", zip} + files), {}};
        };
        s.readArchive = [](const QString &zip, const QString &to, const QStringList &members) {
            // 11: none of the members is in the archive.
            return PackageAuthoring::Outcome{
                run("unzip", QStringList{"-o", "-j", "-qq", zip} + members + QStringList{"-d", to},
                    {0, 11}),
                {}};
        };
        s.convertHex = [this](const QString &chip, const QString &hex, const QString &xeh) {
            convertedChips << chip;
            if (conversionFails)
                return PackageAuthoring::Outcome{false, QStringLiteral("HEX incomplet")};
            QFile in(hex);
            QFile out(xeh);
            const bool ok = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) &&
                            out.write("XEH:" + in.readAll()) > 0;
            return PackageAuthoring::Outcome{ok, {}};
        };
        return s;
    }

    // Members of a zip archive, by name.
    static QStringList members(const QString &zip)
    {
        QProcess p;
        p.start("unzip", {"-Z1", zip});
        p.waitForFinished(30000);
        QStringList names =
            QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        names.sort();
        return names;
    }
};
