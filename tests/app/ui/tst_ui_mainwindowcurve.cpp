#include "Screenshots.h"
#include "app/ui/CurveChart.h"
#include "app/ui/CurveEditorPanel.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_cfg_carte_fille.h"
#include "base/VEK_LANGUAGE.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

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
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName("VEK_Courbe");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store_.path());
    }

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
        QTimer::singleShot(0, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            box->button(QMessageBox::Ok)->click();
        });
        w.bp_new_Click();
        QVERIFY(w.control<QLineEdit>("Txt_regime")->isEnabled());
        QCOMPARE(w.tab_avance()->rowCount(), 0);
        // New puts 45.0, then the free setting it applies presets 45.
        QCOMPARE(w.control<QLineEdit>("Txt_av_statique")->text(), QString("45"));
        QCOMPARE(w.context().moteur.Txt_av_statique, QString("45"));
        QVERIFY(!w.settings().CourbeModifie);
    }

    void optionBoardButtonOpensTheDialog()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        QVERIFY(w.TypeCarteOption()->count() > 1);
        w.TypeCarteOption()->setCurrentIndex(1);
        QString caption;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<VEK_cfg_carte_fille *>(QApplication::activeModalWidget());
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
        w.Form_Load(false);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(TestSupport::screenshotPath("main_parameters.png")));
        w.SSTab1()->setCurrentIndex(1);
        enterCurve(w);
        w.tab_avance()->selectRow(3);
        w.curveEditor()->showChartPoint(3);
        QTest::qWait(200);
        QVERIFY(w.grab().save(TestSupport::screenshotPath("main_curve.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestMainWindowCurve)
#include "tst_ui_mainwindowcurve.moc"
