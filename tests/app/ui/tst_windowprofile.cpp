#include "app/FirmwareProfile.h"
#include "app/ui/WindowProfile.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMap>
#include <QtTest>

// A stand-in for the main window: the named controls the profile touches.
class ProfileWindow : public QWidget
{
public:
    ProfileWindow()
    {
        for (const char *name : {"FrameMoteur", "FrameAvanceST", "FrameDwell", "FrameTableMap",
                                 "PicMap", "FrameLED", "BP_OpenPort", "FrameKT5"})
            (new QGroupBox(this))->setObjectName(name);
        cylinders = new QComboBox(findChild<QWidget *>("FrameMoteur"));
        cylinders->setObjectName("NbCylindres");
        cylinders->addItems({"1", "2", "4", "6", "8"});
        statique = new QLineEdit(this);
        statique->setObjectName("Txt_av_statique");
        for (int i = 0; i < FirmwareProfile::kMapBoxes; ++i) {
            (new QLineEdit(this))->setObjectName(QStringLiteral("tbMapAdj%1").arg(i));
            (new QLineEdit(this))->setObjectName(QStringLiteral("tbMap%1").arg(i));
        }
    }
    bool shown(const char *name) const { return !findChild<QWidget *>(name)->isHidden(); }
    QLineEdit *box(const QString &name) const { return findChild<QLineEdit *>(name); }

    QComboBox *cylinders;
    QLineEdit *statique;
};

class TestWindowProfile : public QObject
{
    Q_OBJECT

private slots:
    void packageThenFreeSetting()
    {
        ProfileWindow w;
        const QMap<QString, QString> d = {{"EN_SET_MOTEUR", "OUI"}, {"FIX_NBCYL", "OUI"},
                                          {"VAL_NBCYL", "6"},       {"FIX_AVSTAT", "OUI"},
                                          {"VAL_AVSTAT", "12.5"},   {"TERMINALRS232", "NON"},
                                          {"NB_COURBES", "4"},      {"DIAG_KT5", "OUI"}};
        ApplyWindowProfile(w, PackageProfile([&d](const QString &k) { return d.value(k); }));
        QVERIFY(w.shown("FrameMoteur"));
        QVERIFY(!w.shown("FrameAvanceST") && !w.shown("FrameDwell") && !w.shown("PicMap"));
        QVERIFY(!w.shown("FrameLED") && !w.shown("BP_OpenPort"));
        QVERIFY(!w.cylinders->isEnabled());
        QCOMPARE(w.cylinders->currentText(), QString("6"));
        QVERIFY(!w.statique->isEnabled());
        QCOMPARE(w.statique->text(), QString("12.5"));
        QCOMPARE(w.box("tbMapAdj1")->text(), QString(" 33"));
        QCOMPARE(w.box("tbMap3")->text(), QString("75-100"));
        QVERIFY(w.box("tbMapAdj0")->isReadOnly() && w.box("tbMapAdj3")->isReadOnly());
        QVERIFY(!w.box("tbMapAdj2")->isReadOnly());
        QVERIFY(w.box("tbMapAdj4")->isHidden() && w.box("tbMap8")->isHidden());

        ApplyWindowProfile(w,
                           FreeSettingProfile([](const QString &, const QString &d) { return d; }));
        QVERIFY(w.shown("FrameAvanceST") && w.shown("FrameDwell") && w.shown("PicMap"));
        QVERIFY(w.shown("FrameLED"));
        QVERIFY(!w.shown("BP_OpenPort")); // the free setting leaves the port controls alone
        QVERIFY(w.shown("FrameKT5"));
        QVERIFY(w.cylinders->isEnabled());
        QCOMPARE(w.cylinders->currentText(), QString("6"));
        QCOMPARE(w.statique->text(), QString("45"));
        QVERIFY(w.box("tbMapAdj4")->isHidden());

        // A count that is no number leaves the boxes; an unknown count clears the selection.
        const QMap<QString, QString> odd = {{"NB_COURBES", "x"}, {"VAL_NBCYL", "5"}};
        ApplyWindowProfile(w, PackageProfile([&odd](const QString &k) { return odd.value(k); }));
        QCOMPARE(w.box("tbMapAdj1")->text(), QString(" 33"));
        QCOMPARE(w.cylinders->currentIndex(), -1);
    }
};

QTEST_MAIN(TestWindowProfile)
#include "tst_windowprofile.moc"
