#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using TestSupport::row;

// Qt's own dialogs speak the language chosen in the program, also where the
// system's Qt catalogue lacks the standard buttons (Slovak).
class TestDialogTexts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TestSupport::useFrenchTexts(); }

    void standardButtonsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::addColumn<QString>("cancel");
        row("slovak", "slovak.ini", "Áno", "Nie", "Zrušiť");
        row("deutch", "deutch.ini", "Ja", "Nein", "Abbrechen");
        row("spanish", "spanish.ini", "Sí", "No", "Cancelar");
        row("francais", "francais.ini", "Oui", "Non", "Annuler");
        row("english", "english.ini", "Yes", "No", "Cancel");
    }

    void standardButtonsFollowTheLanguage()
    {
        QFETCH(QString, file);
        QFETCH(QString, yes);
        QFETCH(QString, no);
        QFETCH(QString, cancel);
        TestSupport::useTexts(file);

        QMessageBox box(QMessageBox::Question, "?", "?", QMessageBox::Yes | QMessageBox::No);
        // Texts as shown, without their shortcut marks.
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), yes);
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), no);

        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QVERIFY(buttons->button(QDialogButtonBox::Cancel));
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text().remove('&'), cancel);
    }
};

QTEST_MAIN(TestDialogTexts)
#include "tst_ui_dialogtexts.moc"
