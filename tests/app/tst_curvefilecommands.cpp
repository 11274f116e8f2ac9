#include "TestSupport.h"
#include "app/CurveFileCommands.h"
#include "app/CurveModel.h"
#include "base/VEK_LANGUAGE.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

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
    bool saveProject(const QString &, const QByteArray &curve, QString &) override
    {
        savedProject = curve;
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

        host.saveName = file("single", QByteArray());
        host.saveKind = CurveFiles::Kind::SingleCurve;
        commands.enregistrer();
        QVERIFY(CurveFiles::ReadAll(file("single.mrt"), bytes));
        QCOMPARE(bytes, QByteArray("1000;10\r\n"));

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

    void aBadFileLeavesTheCurveUntouched()
    {
        FakeHost host;
        host.window.rows = {{"2000", "20", "18"}};
        host.modified = true;
        CurveFileCommands commands(host);
        commands.OpenFile(file("bad.vek", "#VEKP_COURBE 2\r\nnote=x\r\n#TABLE=1000;10\r\n"));
        QCOMPARE(host.messages.size(), 1); // the remark line
        QCOMPARE(host.errors.size(), 1);
        QVERIFY(host.errors.first().contains('3'));
        QCOMPARE(host.newCurves, 0);
        QCOMPARE(host.window.rows.first().first(), QString("2000"));
        QVERIFY(host.modified);

        commands.OpenFile(file("other.txt", "#VEKP_COURBE 2\r\n"));
        commands.OpenFile(file("missing.vek", QByteArray()));
        commands.OpenFile(file("header.vek", "VEKP\r\n"));
        QCOMPARE(host.errors.size(), 4);
        QCOMPARE(host.newCurves, 0);
        QCOMPARE(host.caption, QString("untouched"));
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
        QCOMPARE(text, CurveModel::invalidValuesMessage(host.window.rows));
        for (const char *row : {"Row 3 ", "Row 4 ", "Row 5 "})
            QVERIFY2(text.contains(row), row);
        // A decimal comma reads as it does typed.
        QVERIFY(!text.contains("Row 1 ") && !text.contains("Row 2 "));
        QCOMPARE(host.window.rows.at(1).at(1), QString("24.5"));
        QCOMPARE(host.window.rows.size(), 5); // opened all the same
    }

    // Engine values of a file obey the ranges of their boxes, with one message.
    void loadedValuesAreBroughtIntoRange()
    {
        FakeHost host;
        CurveFileCommands commands(host);
        commands.OpenFile(file("wide.vek", "#VEKP_COURBE 2\r\n#AVANCE STATIQUE=200\r\n"
                                           "#MAXI RPM=6650\r\n#DWELL T=7\r\n"
                                           "#TABLE=1000;10;8\r\n"));
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("127.5"));
        QCOMPARE(host.window.moteur.Txt_rpm_maxi, QString("6650"));
        QCOMPARE(host.window.moteur.TxtDwell, QString("5.00"));
        QCOMPARE(host.messages.size(), 1);
        QVERIFY(host.messages.first().contains("200 \u2192 127.5"));
        QVERIFY(host.messages.first().contains("7 \u2192 5.00"));
        QVERIFY(!host.messages.first().contains("6650"));
        QVERIFY(host.errors.isEmpty());

        commands.OpenFile(file("old.vek", "#VEKP_COURBE\r\n-4;\r\n7000;\r\n0;\r\n900;5;6;\r\n"));
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("0.0"));
        QCOMPARE(host.messages.size(), 2);
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

        commands.OpenFile(file("old.vek", "#VEKP_COURBE\r\n40;\r\n7000;\r\n0;\r\n900;5;6;\r\n"));
        QCOMPARE(host.window.moteur.Txt_av_statique, QString("40"));
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
