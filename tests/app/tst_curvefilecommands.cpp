#include "TestSupport.h"
#include "app/CurveFileCommands.h"
#include "app/CurveModel.h"
#include "base/VEK_LANGUAGE.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::row;

// The main window as the file commands see it, with scripted answers.
class FakeHost : public CurveFileHost
{
public:
    QString openName, saveName;
    CurveFiles::Kind saveKind = CurveFiles::Kind::Curve;
    QList<bool> answers; // to the yes/no questions, in turn
    QStringList questions, errors, messages;
    bool modified = false;
    QString info, caption = "untouched";
    CurveDocument window; // the curve the controls hold
    int newCurves = 0, shownCurves = 0, firmwareApplied = 0, firmwareRestored = 0;
    bool tempDeleted = false;
    QByteArray projectCurve, savedProject;
    bool projectOk = true;

    QStringList startFolders; // where each file dialog opened

    QString askOpenFileName(const QString &, const QString &, const QString &start) override
    {
        startFolders << start;
        return openName;
    }
    QString askSaveFileName(const QString &, const QString &filter, const QString &start,
                            CurveFiles::Kind &kind) override
    {
        startFolders << start;
        Q_ASSERT(filter.contains("*.vek"));
        kind = saveKind;
        return saveName;
    }
    bool askYesNo(const QString &, const QString &text) override
    {
        questions << text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void showError(const QString &, const QString &text) override { errors << text; }
    void showMessage(const QString &, const QString &text) override { messages << text; }
    bool curveModified() const override { return modified; }
    void setCurveModified(bool m) override { modified = m; }
    void setInfoText(const QString &text) override { info = text; }
    void setCaption(const QString &text) override { caption = text; }
    CurveDocument currentCurve() const override { return window; }
    void startNewCurve() override
    {
        ++newCurves;
        CurveDocument fresh;
        fresh.CarteOptionNom = window.CarteOptionNom;
        fresh.VoiesTOR = window.VoiesTOR;
        window = fresh;
        modified = true; // the controls' change handlers mark the curve
    }
    void showCurve(const CurveDocument &curve) override
    {
        ++shownCurves;
        window = curve;
        modified = true;
    }
    bool openProject(const QString &, QByteArray &curve, QString &error) override
    {
        curve = projectCurve;
        error = "damaged";
        return projectOk;
    }
    void applyProjectFirmware() override
    {
        ++firmwareApplied;
        window.moteur.Txt_av_statique = "30.0"; // the package presets the static advance
    }
    void restoreFirmware() override { ++firmwareRestored; }
    bool saveProject(const QString &, const CurveDocument &curve, QString &) override
    {
        savedProject = curve.toVek();
        return true;
    }
    void deleteTemporaryFiles() override { tempDeleted = true; }
};

class TestCurveFileCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString file(const QString &name, const QByteArray &bytes = {})
    {
        const QString path = dir.filePath(name);
        if (!bytes.isNull())
            TestSupport::writeFile(path, bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        VEK_LANGUAGE::SetFichierLangueDefaut("francais.ini");
        TestSupport::useTexts("english.ini");
    }

    void cleanup() { TestSupport::useTexts("english.ini"); }

    // Every refusal of a curve file, and every remark on one, names the file
    // and the line of the file; a project's curve is named as its member. A
    // file refused leaves the curve shown as it was.
    void messagesNameTheFileAndItsLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");      // the curve shown stays as it was
        QTest::addColumn<QStringList>("shown"); // remarks, then errors; %P the file
        const QByteArray head = "#VEKP_COURBE 2\r\n";
        const QByteArray remarks = QByteArray("#REM=x\r\n").repeated(22); // lines 2 to 23
        row("unreadable line", QString("bad.vek"),
            head + remarks + "#REM=y\r\n#REM=z\r\n#REM=w\r\n#TABLE=1000;10\r\n", true,
            QStringList{"Fichier %P refusé : la ligne 27 est illisible ; la courbe "
                        "n'a pas été chargée."});
        row("not a curve file, line 1", QString("header.vek"), QByteArray("VEKP\r\n"), true,
            QStringList{"Fichier %P refusé : ce n'est pas un fichier de courbe VEK "
                        "(sa ligne 1 n'est ni « #VEKP_COURBE 2 » ni « #VEKP_COURBE »)."});
        row("not a curve file", QString("header.vek"), QByteArray("\r\nVEKP\r\n"), true,
            QStringList{"Fichier %P refusé : ce n'est pas un fichier de courbe VEK "
                        "(sa ligne 2 n'est ni « #VEKP_COURBE 2 » ni « #VEKP_COURBE »)."});
        row("older layout", QString("old.vek"),
            QByteArray("#VEKP_COURBE\r\n40;\r\n7000;\r\n0;\r\n900;5;\r\n"), true,
            QStringList{"Fichier %P refusé : la ligne 5 est illisible ; la courbe "
                        "n'a pas été chargée."});
        row("single curve", QString("m.mrt"), QByteArray("1000;10\r\n2000\r\n"), true,
            QStringList{"Fichier %P refusé : la ligne 2 est illisible ; la courbe "
                        "n'a pas été chargée."});
        row("project", QString("p.xsc"), head + "#TABLE=1000\r\n", true,
            QStringList{"Fichier %P (COURBE.VEK) refusé : la ligne 2 est illisible ; "
                        "la courbe n'a pas été chargée."});
        row("unknown kind", QString("other.txt"), head, true,
            QStringList{"Fichier %P refusé : format inconnu ; choisissez un fichier "
                        ".xsc, .vek ou .mrt."});
        row("file not read", QString("missing.vek"), QByteArray(), true,
            QStringList{"Le fichier %P ne peut pas être lu : fichier ou dossier introuvable"});
        row("remark", QString("note.vek"), head + "note=x\r\n#TABLE=1000;10;8\r\n", false,
            QStringList{"Fichier %P : la ligne 2 est un commentaire ; elle a été ignorée."});
        row("remark, then an unreadable line", QString("bad.vek"),
            head + "note=x\r\n#TABLE=1000;10\r\n", true,
            QStringList{"Fichier %P : la ligne 2 est un commentaire ; elle a été ignorée.",
                        "Fichier %P refusé : la ligne 3 est illisible ; la courbe n'a pas été "
                        "chargée."});
        row("unusable values", QString("wild.vek"),
            head + remarks + "#TABLE=1000;10;8\r\n#TABLE=2000;20;18\r\n#TABLE=3x00;30;22\r\n",
            false,
            QStringList{"Fichier %P : la courbe chargée contient des valeurs inutilisables ; elle "
                        "ne peut pas être exportée ni transférée avant correction de ces lignes du "
                        "fichier :\nLigne 26 (3x00 ; 30 ; 22) : une valeur n'est pas un nombre "
                        "(séparateur décimal « . »)"});
    }

    void messagesNameTheFileAndItsLine()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QFETCH(QStringList, shown);
        TestSupport::useFrenchTexts();
        FakeHost host;
        host.projectCurve = bytes;
        host.window.rows = {{"2000", "20", "18"}};
        host.modified = true;
        CurveFileCommands commands(host);
        const QString path = file(name, bytes);
        commands.OpenFile(path);
        shown.replaceInStrings("%P", path);
        QCOMPARE(host.messages + host.errors, shown);
        if (!refused)
            return;
        QCOMPARE(host.newCurves, 0);
        QCOMPARE(host.window.rows, (QList<QStringList>{{"2000", "20", "18"}}));
        QVERIFY(host.modified);
        QCOMPARE(host.caption, QString("untouched"));
    }

    void savingWritesEveryNameItAccepts()
    {
        FakeHost host;
        host.window.rows = {{"1000", "10", "8"}};
        CurveFileCommands commands(host);
        for (const char *name : {"a.Vek", "b.VEK", "c"}) {
            host.modified = true;
            host.saveName = file(name, QByteArray());
            commands.enregistrer();
            QVERIFY2(host.errors.isEmpty(), qPrintable(host.errors.join('|')));
            QVERIFY(!host.modified);
        }
        QVERIFY(QFileInfo::exists(file("c.vek")));
        QByteArray bytes;
        QVERIFY(CurveFiles::ReadAll(file("a.Vek"), bytes));
        QCOMPARE(bytes, host.window.toVek());

        // A single curve keeps the rpm and Atmo columns only: the rest is
        // still unsaved, and quitting asks.
        TestSupport::useFrenchTexts();
        host.modified = true;
        host.saveName = file("single", QByteArray());
        host.saveKind = CurveFiles::Kind::SingleCurve;
        commands.enregistrer();
        QVERIFY(CurveFiles::ReadAll(file("single.mrt"), bytes));
        QCOMPARE(bytes, QByteArray("1000;10\r\n"));
        QVERIFY(host.modified);
        QVERIFY(host.info.startsWith("Courbe enregistrée en mono courbe : le fichier ne garde que "
                                     "le régime et l'avance Atmo"));
        host.questions.clear();
        host.answers = {false};
        QVERIFY(!commands.ConfirmQuit());
        QCOMPARE(host.questions.size(), 1);

        host.saveName = file("p.XSC", QByteArray());
        commands.enregistrer();
        QCOMPARE(host.savedProject, host.window.toVek());
    }

    void aFailedSaveKeepsTheCurveModified()
    {
        FakeHost host;
        host.modified = true;
        CurveFileCommands commands(host);
        host.saveName = dir.filePath("no/such/folder/x.vek");
        commands.enregistrer();
        QCOMPARE(host.errors.size(), 1);
        QVERIFY(host.modified);

        // The message names the file and says why.
        TestSupport::useFrenchTexts();
        host.saveName = file("plain", "x") + "/x.vek";
        commands.enregistrer();
        QCOMPARE(host.errors.last(), "Le fichier " + host.saveName +
                                         " ne peut pas être écrit : un élément du chemin n'est pas "
                                         "un dossier. La courbe n'est pas enregistrée.");
        host.errors.removeLast();

        // Cancel: nothing written, nothing said.
        host.saveName.clear();
        commands.enregistrer();
        QCOMPARE(host.errors.size(), 1);
        QVERIFY(host.info.isEmpty());
    }

    void openingReplacesTheCurve()
    {
        FakeHost host;
        host.modified = true;
        CurveDocument saved;
        saved.moteur.NbCylindres = 4;
        saved.moteur.HardXLED = 4;
        saved.knockColumn = true;
        saved.rows = {{"1000", "10", "8", "5"}};
        host.openName = file("saved.vek", saved.toVek());
        CurveFileCommands commands(host);
        commands.Ouvrir();
        QCOMPARE(host.questions.size(), 1); // the modified curve
        QCOMPARE(host.newCurves, 1);
        QCOMPARE(host.window.moteur.NbCylindres, 4);
        QCOMPARE(host.window.moteur.HardXLED, 4);
        QCOMPARE(host.window.rows, saved.rows);
        QVERIFY(!host.modified);
        QCOMPARE(host.caption, QString("VEK-Courbe - [saved.vek]"));

        // No to the question: nothing opens.
        host.modified = true;
        host.answers = {false};
        commands.Ouvrir();
        QCOMPARE(host.newCurves, 1);
    }

    // A file with unusable cells opens (to be mended) with one message that
    // names every such row; a sound file says nothing.
    void unusableValuesAreReportedOnOpening()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        commands.OpenFile(file("sound.vek", "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n"
                                            "#TABLE=2000;24.5;20\r\n"));
        QVERIFY(host.errors.isEmpty());

        commands.OpenFile(file("wild.vek", "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n"
                                           "#TABLE=1500;24,5;20\r\n#TABLE=1400;20;20\r\n"
                                           "#TABLE=2000;x;20\r\n#TABLE=3000;60;20\r\n"));
        QCOMPARE(host.errors.size(), 1);
        const QString text = host.errors.first();
        // Rows named by their lines in the file, the header being line 1.
        for (const char *row : {"\nLine 4 ", "\nLine 5 ", "\nLine 6 "})
            QVERIFY2(text.contains(row), row);
        // A decimal comma reads as it does typed.
        QVERIFY(!text.contains("Line 2 ") && !text.contains("Line 3 "));
        QCOMPARE(host.window.rows.at(1).at(1), QString("24.5"));
        QCOMPARE(host.window.rows.size(), 5); // opened all the same
    }

    // Engine values of a file are read by the rules of their boxes: one
    // refused keeps the new curve's value, and one message names each, with
    // the file and its line.
    void loadedValuesAreReadByTheirRules()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        const QString wide = file("wide.vek", "#VEKP_COURBE 2\r\n#AVANCE STATIQUE=200\r\n"
                                              "#MAXI RPM=6650\r\n#DWELL T=7\r\n"
                                              "#TABLE=1000;10;8\r\n");
        commands.OpenFile(wide);
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("45.0"));
        QCOMPARE(host.window.moteur.Txt_rpm_maxi, QString("6650"));
        QCOMPARE(host.window.moteur.TxtDwell, QString("2.5"));
        QCOMPARE(host.messages.size(), 1);
        QCOMPARE(host.messages.first(),
                 "Some values read are not taken as written; a refused value keeps its "
                 "previous value:\nFile " +
                     wide +
                     ", line 2: Static advance: \"200\" is out of range: enter a number from 0 "
                     "to 127.5.\nFile " +
                     wide +
                     ", line 4: Dwell time: \"7\" is out of range: enter a number from 0 to 5.");
        QVERIFY(host.errors.isEmpty());

        const QString old = file("old.vek", "#VEKP_COURBE\r\n-4;\r\n7000,5;\r\n0;\r\n900;5;6;\r\n");
        commands.OpenFile(old);
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("45.0"));
        QCOMPARE(host.window.moteur.Txt_rpm_maxi, QString("6650"));
        QCOMPARE(host.messages.size(), 2);
        QVERIFY(host.messages.last().contains("File " + old +
                                              ", line 3: Rev limit: \"7000,5\" "
                                              "is not a whole number."));
    }

    // Curves are looked for and saved where users keep their files.
    void dialogsStartInTheDocumentsFolder()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        commands.Ouvrir();
        commands.enregistrer();
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + '/';
        QCOMPARE(host.startFolders, (QStringList{documents, documents}));
        QVERIFY(QFileInfo(documents).isDir());
    }

    void singleCurveAndOlderFilesKeepTheMark()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        host.answers = {false}; // values into the boost column
        commands.OpenFile(file("m.MRT", "1000;12\r\n"));
        QCOMPARE(host.window.rows, QList<QStringList>({{"1000", "0", "12"}}));
        QVERIFY(host.modified);
        QCOMPARE(host.caption, QString("untouched"));

        commands.OpenFile(file("old.vek", "#VEKP_COURBE\r\n40.5;\r\n7000;\r\n0;\r\n900;5;6;\r\n"));
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("40.5"));
        QVERIFY(host.modified);
    }

    void projects()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        host.projectCurve = "#VEKP_COURBE 2\r\n#MAXI RPM=7000\r\n#TABLE=1000;10;8\r\n";
        commands.OpenFile(file("p.xsc", QByteArray()));
        QCOMPARE(host.firmwareApplied, 1);
        QCOMPARE(host.window.moteur.Txt_rpm_maxi, QString("7000"));
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("30.0")); // the package's value stays
        QVERIFY(!host.modified);

        host.projectCurve = "#VEKP_COURBE 2\r\n#TABLE=1000\r\n";
        commands.OpenFile(file("q.xsc", QByteArray()));
        QCOMPARE(host.firmwareRestored, 1);
        QCOMPARE(host.firmwareApplied, 1);

        host.projectOk = false;
        commands.OpenFile(file("r.xsc", QByteArray()));
        QCOMPARE(host.firmwareRestored, 2);
        QVERIFY(host.errors.last().contains("damaged"));
    }

    void quitAsksAboutAModifiedCurve()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        host.modified = true;
        host.answers = {false};
        QVERIFY(!commands.ConfirmQuit());
        QVERIFY(!host.tempDeleted);
        QVERIFY(host.modified);
        host.answers = {true};
        QVERIFY(commands.ConfirmQuit());
        QVERIFY(host.tempDeleted);

        FakeHost clean;
        CurveFileCommands quiet(clean);
        QVERIFY(quiet.ConfirmQuit());
        QVERIFY(clean.questions.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCurveFileCommands)
#include "tst_curvefilecommands.moc"
