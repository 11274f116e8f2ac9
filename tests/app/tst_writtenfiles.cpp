#include "FailingWrites.h"
#include "HexText.h"
#include "TestSupport.h"
#include "app/CurveDocument.h"
#include "app/CurveFiles.h"
#include "base/FileWriter.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/HexFiles.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageAuthoring.h"
#include "firmware/PackageDescription.h"
#include "firmware/PackageFirmware.h"
#include "firmware/TableIncludeFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ccZip.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>

using TestSupport::row;
using Kind = FileWriter::Kind;

// Every kind of file the program writes and opens again goes through the
// program's own writer of that kind, then through the reader that opens it:
// it gives what was meant. Over an older file, a disk that fills, or a new
// file that reads back otherwise (a disk that gives back other bytes), fails
// with its reason and leaves the older file byte for byte. A kind without a
// driver here fails the test.
class TestWrittenFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Driver {
        QString name;                                  // the file written, in the program folder
        std::function<QString(const QString &)> write; // "" when written, else its message
        std::function<QString(const QString &)> read;  // "" when it reads as written, else what not
    };

    QString program() const { return m_dir.filePath("program"); }
    QString packages() const { return program() + "/HEX_XEH"; }

    static PicDevice chip16F84A()
    {
        PicDevice device;
        device.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-16F84A")));
        return device;
    }

    static QString sameWords(const PicDevice &read, int first, int count)
    {
        for (int k = first; k < first + count; ++k)
            if (read.ImagePIC.codeWord(k) != 0x2800 + k)
                return QString("word %1 reads %2").arg(k).arg(read.ImagePIC.codeWord(k), 0, 16);
        return {};
    }

    static CurveDocument curve()
    {
        CurveDocument c;
        c.moteur.Txt_rpm_maxi = "7200";
        c.moteur.NbCylindres = 2;
        c.CarteOptionNom = QString();
        for (int rpm = 800; rpm <= 9000; rpm += 50)
            c.rows << QStringList{QString::number(rpm), "12.5", "8.0"};
        return c;
    }

    static PackageDescription description(const QString &name)
    {
        PackageDescription d;
        d.setInfo("Module", "Module « été »");
        d.setInfo("Author", QString(1100, 'a')); // more than the full disk of the tests takes
        d.setInfo("NomDuFichier", name);
        d.setReglage("MODCHIP", "PIC-16F84A");
        d.setReglage("HEX_ADD", "0");
        d.setReglage("HEX_LNG", "200");
        d.setReglage("NB_COURBES", "2");
        return d;
    }

    // The firmware a package holds: words 0x2800 + k at 0 to 0xFF.
    QString source() const { return m_dir.filePath("firmware.hex"); }

    static QString readPackageFirmware(const QString &xeh)
    {
        PicDevice device = chip16F84A();
        const HexFileResult read = LireFichierXeh(device, xeh);
        return read.succeeded() ? sameWords(device, 0, 0x100) : read.info;
    }

    static QString sameValues(const QString &nfo, const PackageDescription &meant)
    {
        for (const QString &key : PackageDescription::infoKeys())
            if (VEK_LANGUAGE::ReadIniValue(nfo, "INFO", key) != meant.info(key))
                return key + " reads " + VEK_LANGUAGE::ReadIniValue(nfo, "INFO", key);
        for (const QString &key : PackageDescription::reglageKeys())
            if (VEK_LANGUAGE::ReadIniValue(nfo, "REGLAGE", key) != meant.reglage(key))
                return key + " reads " + VEK_LANGUAGE::ReadIniValue(nfo, "REGLAGE", key);
        return {};
    }

    QString createPackage(const PackageKind &kind, const QString &path)
    {
        const QString name = QFileInfo(path).completeBaseName();
        const PackageAuthoring::Result made =
            PackageAuthoring(packages(), kind)
                .create(
                    name, description(name), source(), [](const QString &from, const QString &xeh) {
                        PicDevice device;
                        const QString refusal =
                            PackageFirmware::Ecrire(device, "PIC-16F84A", from, xeh, "0", "200");
                        return PackageAuthoring::Outcome{refusal.isEmpty(), refusal};
                    });
        return made.ok() ? QString() : made.error;
    }

    Driver driver(Kind kind)
    {
        switch (kind) {
        case Kind::Curve:
        case Kind::SingleCurve: {
            const bool single = kind == Kind::SingleCurve;
            const auto k = single ? CurveFiles::Kind::SingleCurve : CurveFiles::Kind::Curve;
            return {single ? "c.mrt" : "c.vek",
                    [k](const QString &path) {
                        QString error;
                        return CurveFiles::WriteCurve(path, curve(), k, &error) ? QString() : error;
                    },
                    [single](const QString &path) {
                        QByteArray bytes;
                        if (!CurveFiles::ReadAll(path, bytes))
                            return QString("unreadable");
                        const CurveReadResult read =
                            single ? CurveDocument::parseMrt(bytes, CurveDocument(),
                                                             CurveDocument::MrtColumn::Atmo)
                                   : CurveDocument::parseVek(bytes, CurveDocument());
                        QList<QStringList> meant = curve().rows;
                        if (single)
                            for (QStringList &r : meant)
                                r[2] = "0";
                        const bool same =
                            single ? read.document.rows == meant : read.document == curve();
                        return read.ok() && same ? QString() : QString("another curve");
                    }};
        }
        case Kind::Project:
            return {"p.xsc",
                    [](const QString &path) {
                        QString error;
                        if (!CurveFiles::WriteCurve(VEK_Gestion_OS::CheminTemp("~TEMP.VEK"),
                                                    curve(), CurveFiles::Kind::Curve, &error))
                            return error;
                        return VEK_Gestion_OS::EnregistrerCourbeOS(path).message;
                    },
                    [](const QString &path) {
                        const QByteArray vek =
                            TestSupport::readFile(VEK_Gestion_OS::CheminTemp("~TEMP.VEK"));
                        VEK_Gestion_OS::EffacerTemp();
                        const VEK_Gestion_OS::ProjectResult opened =
                            VEK_Gestion_OS::OuvrirCourbeOS(path);
                        if (!opened.ok())
                            return opened.message;
                        if (TestSupport::readFile(VEK_Gestion_OS::CheminTemp("~TEMP.VEK")) != vek)
                            return QString("another curve");
                        if (opened.paquet != "Projet.XOS")
                            return "package " + opened.paquet;
                        return readPackageFirmware(VEK_Gestion_OS::CheminTemp("~TEMP.XEH"));
                    }};
        case Kind::Package:
            return {"HEX_XEH/Essai.XOS",
                    [this](const QString &path) {
                        return createPackage(PackageKind::firmware(), path);
                    },
                    [](const QString &path) {
                        // As the firmware list takes it.
                        const VEK_Gestion_OS::Result chosen =
                            VEK_Gestion_OS::ChargerOS(QFileInfo(path).fileName());
                        if (!chosen.ok())
                            return chosen.message;
                        const QString values = sameValues(VEK_Gestion_OS::CheminTemp("~TEMP.NFO"),
                                                          description("Essai"));
                        return values.isEmpty()
                                   ? readPackageFirmware(VEK_Gestion_OS::CheminTemp("~TEMP.XEH"))
                                   : values;
                    }};
        case Kind::UpdatePackage:
            return {
                "HEX_XEH/Maj.XMJ",
                [this](const QString &path) { return createPackage(PackageKind::update(), path); },
                [this](const QString &path) {
                    // As the update editor reads it.
                    const PackageAuthoring editor(packages(), PackageKind::update());
                    const PackageAuthoring::Outcome read = editor.read(path);
                    if (!read.ok)
                        return read.error;
                    const QString values =
                        sameValues(editor.workPath("MAJ.NFO"), description("Maj"));
                    return values.isEmpty() ? readPackageFirmware(editor.workPath("UPDATE.XEH"))
                                            : values;
                }};
        case Kind::PackageDescription:
            return {"OS.NFO",
                    [](const QString &path) {
                        QString error;
                        return description("Essai").write(path, &error) ? QString() : error;
                    },
                    [](const QString &path) { return sameValues(path, description("Essai")); }};
        case Kind::TableInclude:
            // The worked example: 3410 moved halfway toward 3420 is 3418.
            return {"LTAB0.TXT",
                    [](const QString &path) {
                        const QStringList atmo(256, "3410"), boost(256, "3420");
                        const TableIncludeFiles::ExportResult result =
                            TableIncludeFiles::Exporter({QFileInfo(path).path(),
                                                         "LTAB.TXT",
                                                         "HTAB.TXT",
                                                         1,
                                                         {"50"},
                                                         {atmo, atmo, boost, boost}});
                        return result.ok() ? QString() : result.failedPath + ": " + result.error;
                    },
                    [](const QString &path) {
                        const TableIncludeFiles::Items items = TableIncludeFiles::LireMots(
                            QString::fromLatin1(TestSupport::readFile(path)));
                        return items.words == QStringList(256, "3418") ? QString()
                                                                       : QString("other words");
                    }};
        case Kind::Hex:
        case Kind::Xeh: {
            const bool scrambled = kind == Kind::Xeh;
            return {scrambled ? "CODE.XEH" : "CODE.HEX",
                    [scrambled](const QString &path) {
                        PicDevice device = chip16F84A();
                        for (int k = 0; k < 1024; ++k)
                            device.ImagePIC.setCodeWord(k, uint16_t(0x2800 + k));
                        return (scrambled ? EcrireFichierXeh(device, path)
                                          : EcrireFichierHex(device, path))
                            .info;
                    },
                    [scrambled](const QString &path) {
                        PicDevice device = chip16F84A();
                        const HexFileResult read =
                            scrambled ? LireFichierXeh(device, path) : LireFichierHex(device, path);
                        return read.succeeded() ? sameWords(device, 0, 1024) : read.info;
                    }};
        }
        case Kind::Count:
            break;
        }
        return {};
    }

    // Files the program writes that no reader of its own opens again: an
    // archive made by the zip class, a member it unpacks.
    Driver otherDriver(const QString &name)
    {
        const QString input = m_dir.filePath("in.zip");
        if (name == "c.zip")
            return {name,
                    [this](const QString &path) {
                        ccZip zip;
                        zip.Init(path);
                        zip.AddFile(m_dir.filePath("noise"), 0, -1);
                        return zip.GetZipInfo();
                    },
                    {}};
        return {name,
                [input](const QString &path) {
                    ccZip zip;
                    zip.Init(input);
                    return zip.Decompress(QFileInfo(path).path(), "noise") == ccZip::ZipOk
                               ? QString()
                               : zip.GetZipInfo();
                },
                {}};
    }

    static QByteArray noise(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        quint32 x = 12345;
        for (char &c : bytes) {
            x = x * 1103515245u + 12345u;
            c = char(x >> 24);
        }
        return bytes;
    }

    // An older file at `path`, as the program would have left it.
    static void olderFile(const QString &path, const QString &folder)
    {
        if (path.endsWith(".xsc") || path.endsWith(".XOS") || path.endsWith(".XMJ") ||
            path.endsWith(".zip")) {
            QVERIFY(TestSupport::writeFile(folder + "/OLD.TXT", "the older file, as it was"));
            ccZip zip;
            zip.Init(path);
            QCOMPARE(zip.AddFile(folder + "/OLD.TXT", 0, -1), int32_t(ccZip::ZipOk));
            QFile::remove(folder + "/OLD.TXT");
        } else {
            QVERIFY(TestSupport::writeFile(path, "the older file, as it was"));
        }
    }

    QStringList leftovers(const QString &path) const
    {
        QStringList found;
        for (const QString &folder : {program(), packages()})
            for (const QString &name :
                 QDir(folder).entryList({".vek-*"}, QDir::AllEntries | QDir::Hidden))
                found << name;
        if (!QFileInfo(path).path().startsWith(program()))
            found << QDir(QFileInfo(path).path())
                         .entryList({".vek-*"}, QDir::AllEntries | QDir::Hidden);
        return found;
    }

private slots:
    void initTestCase()
    {
        TestSupport::useTexts("english.ini");
        VEK_Gestion_OS::SetDossierProgramme(program());
    }

    void init()
    {
        QDir(program()).removeRecursively();
        QDir().mkpath(packages());
        FileWriter::SetReadBackTamper({});
        QVERIFY(TestSupport::writeFile(source(), HexText::program(0, 0x100)));
        // The package in use, which a project carries.
        QVERIFY(description("Projet").write(VEK_Gestion_OS::CheminTemp("~TEMP.NFO")));
        PicDevice device;
        const QString firmware = PackageFirmware::Ecrire(
            device, "PIC-16F84A", source(), VEK_Gestion_OS::CheminTemp("~TEMP.XEH"), "0", "200");
        QVERIFY2(firmware.isEmpty(), qPrintable(firmware));
        QVERIFY(TestSupport::writeFile(m_dir.filePath("noise"), noise(4096)));
        ccZip zip;
        zip.Init(m_dir.filePath("in.zip"));
        QCOMPARE(zip.AddFile(m_dir.filePath("noise"), 0, -1), int32_t(ccZip::ZipOk));
    }

    void cleanup() { FileWriter::SetReadBackTamper({}); }

    void kinds_data()
    {
        QTest::addColumn<int>("kind");
        for (int k = 0; k < int(Kind::Count); ++k)
            QTest::addRow("kind %d", k) << k;
    }

    // Written, then opened by its reader: what was meant.
    void kinds()
    {
        QFETCH(int, kind);
        const Driver d = driver(Kind(kind));
        QVERIFY2(d.write && d.read, "a kind of file without a driver in this test");
        const QString path = program() + "/" + d.name;
        const QString written = d.write(path);
        QVERIFY2(written.isEmpty(), qPrintable(written));
        const QString read = d.read(path);
        QVERIFY2(read.isEmpty(), qPrintable(read));
        QCOMPARE(leftovers(path), QStringList());
    }

    void fullDiskKeepsTheOlderFile_data()
    {
        QTest::addColumn<int>("kind"); // Count: a file of `other`
        QTest::addColumn<QString>("other");
        for (int k = 0; k < int(Kind::Count); ++k)
            QTest::addRow("kind %d", k) << k << QString();
        row("archive", int(Kind::Count), QString("c.zip"));
        row("file unpacked", int(Kind::Count), QString("noise"));
    }

    void fullDiskKeepsTheOlderFile()
    {
        QFETCH(int, kind);
        QFETCH(QString, other);
        const Driver d = other.isEmpty() ? driver(Kind(kind)) : otherDriver(other);
        QVERIFY(d.write);
        const QString path = program() + "/" + d.name;
        olderFile(path, m_dir.path());
        const QByteArray before = TestSupport::readFile(path);
        QString message;
        {
            const FailingWrites full(1024);
            message = d.write(path);
        }
        QVERIFY2(message.contains("file too large for the system"), qPrintable(message));
        QCOMPARE(TestSupport::readFile(path), before);
        QCOMPARE(leftovers(path), QStringList());
    }

    // A new file that reads back otherwise never takes the older one's place.
    void readOtherwiseKeepsTheOlderFile_data() { kinds_data(); }

    void readOtherwiseKeepsTheOlderFile()
    {
        QFETCH(int, kind);
        const Driver d = driver(Kind(kind));
        QVERIFY(d.write);
        const QString path = program() + "/" + d.name;
        olderFile(path, m_dir.path());
        const QByteArray before = TestSupport::readFile(path);
        QList<Kind> tampered;
        FileWriter::SetReadBackTamper([&](Kind k, const QString &written) {
            if (k != Kind(kind))
                return;
            tampered << k;
            QFile::resize(written, QFileInfo(written).size() / 2); // the half of it
        });
        const QString message = d.write(path);
        QVERIFY2(message.contains("read back"), qPrintable(message));
        QCOMPARE(tampered, QList<Kind>{Kind(kind)});
        QCOMPARE(TestSupport::readFile(path), before);
        QCOMPARE(leftovers(path), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestWrittenFiles)
#include "tst_writtenfiles.moc"
