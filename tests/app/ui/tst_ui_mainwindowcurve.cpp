#include "FailingWrites.h"
#include "FileDialogAnswer.h"
#include "Keyboard.h"
#include "MainWindowRig.h"
#include "ModalAnswer.h"
#include "ModalAnswerer.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/ui/CurveChart.h"
#include "app/ui/CurveEditorPanel.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_cfg_carte_fille.h"
#include "base/VEK_LANGUAGE.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <optional>

using TestSupport::row;
using VEK_LANGUAGE::GetLanguageText;

// The curve page, the engine parameters and the option-board dialog inside the
// main window: its captions, its L_Info and its New.
class TestMainWindowCurve : public QObject
{
    Q_OBJECT

    QTemporaryDir store_;

    static void enterPoint(VEK_Accueil &w, const char *rpm, const char *atmo, const char *turbo)
    {
        w.control<QLineEdit>("Txt_regime")->setText(rpm);
        w.control<QLineEdit>("txt_av_atmo")->setText(atmo);
        w.control<QLineEdit>("txt_av_sural")->setText(turbo);
        QTest::mouseClick(w.control<QPushButton>("bp_valide"), Qt::LeftButton);
    }

    static void enterCurve(VEK_Accueil &w)
    {
        const char *points[][3] = {{"800", "8", "4"},      {"1600", "12", "8"},
                                   {"2400", "18", "12"},   {"3200", "24", "17"},
                                   {"4000", "29", "21"},   {"4800", "32", "24"},
                                   {"5600", "34", "26"},   {"6400", "35", "27"},
                                   {"7200", "35.5", "28"}, {"8000", "36", "28.5"}};
        for (auto &p : points)
            enterPoint(w, p[0], p[1], p[2]);
    }

private slots:
    void initTestCase() { MainWindowRig::keepSettingsIn(store_.path()); }

    void curvePageFeedsGridChartAndInfo()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        QCOMPARE(w.control<QPushButton>("bp_valide")->text(), GetLanguageText("MOK"));
        QCOMPARE(w.control<QLabel>("LabelCourbe7")->text(), GetLanguageText("MLCourbe7"));
        enterCurve(w);
        QCOMPARE(w.tab_avance()->rowCount(), 10);
        QCOMPARE(w.L_Info()->text(), GetLanguageText("BPValideOK"));
        auto *chart = qobject_cast<CurveChart *>(w.trace_courbe());
        QVERIFY(chart);
        QCOMPARE(chart->seriesPoints(0).size(), 10);
        QVERIFY(w.settings().CourbeModifie);
        QVERIFY(w.control<QPushButton>("BP_import"));
    }

    void newEndsEditAndRestoresParameters()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        enterPoint(w, "1000", "10", "8");
        w.tab_avance()->selectRow(0);
        w.curveEditor()->editerPoint();
        QVERIFY(!w.control<QLineEdit>("Txt_regime")->isEnabled());
        w.control<QLineEdit>("Txt_av_statique")->setText("30.0");
        const ModalAnswer ok(MainWindowRig::press(QMessageBox::Ok));
        w.bp_new_Click();
        QVERIFY(ok.answered());
        QVERIFY(w.control<QLineEdit>("Txt_regime")->isEnabled());
        QCOMPARE(w.tab_avance()->rowCount(), 0);
        // New puts 45.0, then the free setting it applies presets 45, in the
        // box's form.
        QCOMPARE(w.control<QLineEdit>("Txt_av_statique")->text(), QString("45.0"));
        QCOMPARE(w.context().moteur.Txt_av_statique, QString("45.0"));
        QVERIFY(!w.settings().CourbeModifie);
    }

    // A number typed into an engine box, and the box left with Tab: "," or
    // "." is its decimal point; a text that is no number, lies out of range or
    // is not whole where the box takes whole numbers is refused with a message
    // naming the box, and the box keeps its value. The curve file keeps ".".
    void typedEngineNumbers_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");    // in the box and in the file, after Tab
        QTest::addColumn<QString>("message"); // the refusal; empty: taken
        const QString st = "Txt_av_statique", rpm = "Txt_rpm_maxi", dur = "TxtDureeRetardCliquetis",
                      dwell = "TxtDwell";
        const QString stRange = "Avance statique : « %1 » est hors limites : entrez un nombre de "
                                "0 à 127.5.";
        const QString rpmRange = "Régime maxi : « %1 » n'est pas accepté : entrez un nombre "
                                 "entier de 0 à 10000.";
        const QString durRange = "Durée du retard : « %1 » n'est pas accepté : entrez un nombre "
                                 "entier de 0 à 255.";
        const QString dwellRange = "Temps de charge : « %1 » est hors limites : entrez un nombre "
                                   "de 0 à 5.";
        row("static, comma", st, "12,5", "12.5", "");
        row("static, dot", st, "12.5", "12.5", "");
        row("static, comma off step", st, "45,3", "45.5", "");
        row("static, no number", st, "abc", "45.0",
            "Avance statique : « abc » n'est pas un nombre.");
        row("static, number and more", st, "12,5°", "45.0",
            "Avance statique : « 12,5° » n'est pas un nombre : « ° » suit le nombre.");
        row("static, beyond", st, "127,6", "45.0", stRange.arg("127,6"));
        row("static, below", st, "-0,5", "45.0", stRange.arg("-0,5"));
        row("rev limit, whole", rpm, "7200", "7200", "");
        row("rev limit, whole with a comma", rpm, "7200,0", "6650",
            "Régime maxi : « 7200,0 » n'est pas un nombre entier.");
        row("rev limit, thousands point", rpm, "7.000", "6650",
            "Régime maxi : « 7.000 » n'est pas un nombre entier.");
        row("rev limit, comma fraction", rpm, "6,5", "6650",
            "Régime maxi : « 6,5 » n'est pas un nombre entier.");
        row("rev limit, dot fraction", rpm, "6650.5", "6650",
            "Régime maxi : « 6650.5 » n'est pas un nombre entier.");
        row("rev limit, no number", rpm, "abc", "6650",
            "Régime maxi : « abc » n'est pas un nombre.");
        row("rev limit, beyond", rpm, "12000", "6650", rpmRange.arg("12000"));
        row("duration, whole", dur, "12", "12", "");
        row("duration, fraction", dur, "2,5", "10",
            "Durée du retard : « 2,5 » n'est pas un nombre entier.");
        row("duration, beyond", dur, "256", "10", durRange.arg("256"));
        row("dwell, comma", dwell, "2,7", "2.70", "");
        row("dwell, dot", dwell, "3.25", "3.25", "");
        row("dwell, no number", dwell, "2,7x", "2.5",
            "Temps de charge : « 2,7x » n'est pas un nombre : « x » suit le nombre.");
        row("dwell, beyond", dwell, "5,01", "2.5", dwellRange.arg("5,01"));
    }

    void typedEngineNumbers()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, message);
        const QMap<QString, QString> fileKeys{{"Txt_av_statique", "#AVANCE STATIQUE="},
                                              {"Txt_rpm_maxi", "#MAXI RPM="},
                                              {"TxtDureeRetardCliquetis", "#CLIQUETIS TEMPS="},
                                              {"TxtDwell", "#DWELL T="}};
        VEK_Accueil w;
        w.Form_Load(false);
        auto *edit = w.control<QLineEdit>(box);
        QVERIFY(Keyboard::focus(edit));
        Keyboard::retype(typed);
        Keyboard::press(Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != edit);
        auto *warning = w.findChild<QMessageBox *>("Warning");
        QCOMPARE(warning ? warning->text() : QString(), message);
        if (warning)
            warning->button(QMessageBox::Ok)->click();
        QCOMPARE(edit->text(), kept);

        const QString path = store_.filePath("typed.vek");
        QFile::remove(path);
        FileDialogAnswer save(path);
        QTest::mouseClick(w.control<QPushButton>("enregistrer"), Qt::LeftButton);
        QVERIFY2(save.answered(), qPrintable(save.unexpected.join('\n')));
        const QStringList lines = QString::fromLatin1(TestSupport::readFile(path)).split("\r\n");
        QVERIFY(lines.contains(fileKeys.value(box) + kept));
    }

    // Enregistrer of a curve or a project that cannot be written: the older
    // file stays as it was, the user learns which file and why, and the curve
    // stays unsaved so that Quit still asks.
    void failedSaveKeepsTheFileAndTheCurveUnsaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("full"); // the disk fills
        QTest::addColumn<QString>("reason");
        const QString tooLarge = "fichier trop grand pour le système";
        row("curve, disk full", QString("full.vek"), true, tooLarge);
        row("project, folder gone", QString("gone/p.xsc"), false,
            QString("erreur d'écriture (fichier ou dossier introuvable)"));
    }

    void failedSaveKeepsTheFileAndTheCurveUnsaved()
    {
        QFETCH(QString, name);
        QFETCH(bool, full);
        QFETCH(QString, reason);
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        enterCurve(w);
        const QString path = store_.filePath(name);
        const QByteArray old = "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n";
        if (full)
            QVERIFY(TestSupport::writeFile(path, old));

        QStringList said; // the boxes the program showed, with their texts
        const auto tell = [&said](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            said << box->text();
            box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)->click();
        };
        {
            std::optional<FailingWrites> limit;
            if (full)
                limit.emplace();
            FileDialogAnswer save(path, tell); // its question about replacing the file: Yes
            QTest::mouseClick(w.control<QPushButton>("enregistrer"), Qt::LeftButton);
            QVERIFY2(save.answered(), qPrintable(save.unexpected.join('\n')));
        }
        QCOMPARE(TestSupport::readFile(path), full ? old : QByteArray());
        QCOMPARE(said, QStringList{"Le fichier " + QDir::toNativeSeparators(path) +
                                   " ne peut pas être écrit : " + reason +
                                   ". La courbe n'est pas enregistrée."});
        QVERIFY(w.L_Info()->text() != "Courbe enregistrée.");

        said.clear();
        const ModalAnswer quit(tell);
        QTest::mouseClick(w.control<QPushButton>("Quit"), Qt::LeftButton);
        QCOMPARE(said, QStringList{"La courbe a été modifiée et n'est pas "
                                   "enregistrée.\nAbandonner les modifications ?"});
        QVERIFY(w.isVisible()); // answered No: the program goes on
    }

    // A value that a file gives with a decimal comma is read as typed, listed
    // with what it became, and saved again with ".".
    void loadedCommaIsSavedWithADot()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        const QString vek = store_.filePath("comma.vek");
        QVERIFY(TestSupport::writeFile(vek, "#VEKP_COURBE 2\r\n#DWELL T=2,7\r\n"
                                            "#TABLE=1000;10;8\r\n"));
        MainWindowCurveFiles files(w);
        ModalAnswerer answers({});
        files.commands().OpenFile(vek);
        QCOMPARE(answers.texts,
                 QStringList{"Des valeurs lues ne sont pas prises telles qu'écrites ; une valeur "
                             "refusée garde sa valeur précédente :\nFichier " +
                             vek + ", ligne 2 : Temps de charge : « 2,7 » est lu comme 2.70."});
        QCOMPARE(w.control<QLineEdit>("TxtDwell")->text(), QString("2.70"));
        QVERIFY(files.currentCurve().toVek().contains("#DWELL T=2.70\r\n"));
    }

    void optionBoardButtonOpensTheDialog()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        QVERIFY(w.TypeCarteOption()->count() > 1);
        w.TypeCarteOption()->setCurrentIndex(1);
        QString caption;
        ModalAnswer valider([&caption](QWidget *modal) {
            auto *dialog = qobject_cast<VEK_cfg_carte_fille *>(modal);
            QVERIFY(dialog);
            caption = dialog->windowTitle();
            dialog->valider();
        });
        w.control<QPushButton>("BP_Parametres_carte_option")->click();
        QCOMPARE(caption, "Configuration Carte Option - " + w.context().optionBoard.CarteOptionNom);
    }

    void screenshot()
    {
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        QVERIFY(w.grab().save(TestSupport::screenshotPath("main_parameters.png")));
        w.SSTab1()->setCurrentIndex(1);
        enterCurve(w);
        w.tab_avance()->selectRow(3);
        w.curveEditor()->showChartPoint(3);
        TestSupport::settle();
        QVERIFY(w.grab().save(TestSupport::screenshotPath("main_curve.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestMainWindowCurve)
#include "tst_ui_mainwindowcurve.moc"
