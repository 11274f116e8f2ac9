#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "app/ui/EngineParametersPanel.h"
#include "base/VEK_LANGUAGE.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using Box = EngineParameterRules::Box;

class TestUiEngineParameters : public QObject
{
    Q_OBJECT

    struct Page {
        VekContext ctx;
        EngineParametersPanel panel{ctx};
        Page()
        {
            panel.resize(760, 360);
            panel.show();
            ctx.settings.CourbeModifie = false;
        }
        template <class T> T *child(const char *name)
        {
            return panel.findChild<T *>(QString::fromLatin1(name));
        }
        void type(Box b, const QString &text)
        {
            QLineEdit *edit = panel.box(b);
            edit->clear();
            QTest::keyClicks(edit, text);
        }
    };

private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }

    void keysValidateAndStep()
    {
        Page page;
        page.type(Box::AvanceStatique, "45.3");
        QVERIFY(page.ctx.settings.CourbeModifie);
        QTest::keyClick(page.panel.box(Box::AvanceStatique), Qt::Key_Return);
        QCOMPARE(page.ctx.moteur.Txt_av_statique, QString("45.5"));
        page.type(Box::Dwell, "4.8");
        QTest::keyClick(page.panel.box(Box::Dwell), Qt::Key_PageUp);
        QCOMPARE(page.panel.box(Box::Dwell)->text(), QString("5.00"));
        QCOMPARE(page.ctx.moteur.TxtDwell, QString("5.00"));
    }

    void leavingTheBoxValidates()
    {
        Page page;
        QLineEdit *rpm = page.panel.box(Box::RegimeMaxi);
        QVERIFY(QTest::qWaitForWindowActive(&page.panel));
        rpm->setFocus();
        QSignalSpy refused(&page.panel, &EngineParametersPanel::refused);
        page.type(Box::RegimeMaxi, "12000");
        QCOMPARE(rpm->text(), QString("12000"));
        page.panel.box(Box::Dwell)->setFocus();
        QCOMPARE(rpm->text(), QString("6650")); // out of range: refused, the value kept
        QCOMPARE(refused.count(), 1);
        QCOMPARE(page.ctx.moteur.Txt_rpm_maxi, QString("6650"));
    }

    void listsMarkModified()
    {
        Page page;
        QSignalSpy info(&page.panel, &EngineParametersPanel::info);
        page.child<QComboBox>("CmbCliquetis")->setCurrentIndex(3);
        QCOMPARE(page.child<QLineEdit>("Txt_av_cliquetisPlus")->text(), QString("6"));
        QCOMPARE(page.ctx.moteur.CmbCliquetis, 3);
        QVERIFY(page.ctx.settings.CourbeModifie);
        page.child<QComboBox>("NbCylindres")->setCurrentIndex(2);
        QCOMPARE(page.ctx.moteur.NbCylindres, 2);
        QCOMPARE(info.last().first().toString(),
                 VEK_LANGUAGE::GetLanguageText("NbCylindresChange"));
        QTest::mouseClick(page.child<QRadioButton>("MultiSparck"), Qt::LeftButton);
        QVERIFY(page.ctx.moteur.MultiSparck);
        QCOMPARE(info.last().first().toString(), VEK_LANGUAGE::GetLanguageText("MultiSparckClick"));
    }

    void showParametersFromContext()
    {
        Page page;
        page.ctx.moteur.Txt_av_statique = "30.5";
        page.ctx.moteur.HardXLED = 4;
        page.ctx.moteur.MultiSparck = true;
        page.panel.showParameters();
        QCOMPARE(page.panel.box(Box::AvanceStatique)->text(), QString("30.5"));
        QCOMPARE(page.child<QComboBox>("HardXLED")->currentText(), QString("BOOST"));
        QVERIFY(page.child<QRadioButton>("MultiSparck")->isChecked());
        QCOMPARE(page.ctx.moteur.HardXLED, 4);
    }

    void screenshot()
    {
        Page page;
        TestSupport::settle();
        QVERIFY(page.panel.grab().save(TestSupport::screenshotPath("engine_parameters.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestUiEngineParameters)
#include "tst_ui_engineparameters.moc"
