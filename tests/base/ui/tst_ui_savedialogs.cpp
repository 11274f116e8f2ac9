#include "FileDialogAnswer.h"
#include "ModalAnswer.h"
#include "TestSupport.h"
#include "base/ui/WindowPrompts.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::row;

// The save dialog every window uses: a name typed without an extension is
// saved with the extension of the filter chosen.
class TestUiSaveDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void typedNameGetsTheFilterExtension_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        row("pdf", "PDF (*.pdf)", 0, "out1", "out1.pdf");
        row("hex", "Fichier HEX (*.hex)", 0, "out1", "out1.hex");
        row("second filter",
            "Projet VEK (*.xsc *.XSC);;Courbes VEK (*.vek *.VEK);;Mono Courbe MIRT (*.mrt *.MRT)",
            1, "out1", "out1.vek");
        row("own extension kept", "PDF (*.pdf)", 0, "out1.txt", "out1.txt");
        row("trailing dot", "Update files (*.xeh)", 0, "out1.", "out1.xeh");
        row("filter without extension", "Tous (*)", 0, "out1", "out1");
    }

    void typedNameGetsTheFilterExtension()
    {
        QFETCH(QString, filter);
        QFETCH(int, chosen);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QString chosenFilter;
        QString path;
        {
            // The user picks the filter in the dialog's list, types a name and presses Return.
            FileDialogAnswer save({{typed, chosen}});
            path = WindowPrompts::AskSaveFileName(nullptr, "Save", m_dir.path(), filter,
                                                  &chosenFilter);
            QVERIFY2(save.answered(), qPrintable(save.unexpected.join('\n')));
        }
        QCOMPARE(path, m_dir.filePath(saved));
        QCOMPARE(chosenFilter, filter.split(";;").at(chosen));
        // The windows' own prompts go through the same dialog.
        FileDialogAnswer again({{typed, chosen}});
        QCOMPARE(WindowPrompts::system().chooseSaveFile(nullptr, "Save", m_dir.path(), filter),
                 m_dir.filePath(saved));
        QVERIFY(again.answered());
    }

    void cancelSavesNothing()
    {
        ModalAnswer cancel([](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal))
                dialog->reject();
        });
        QString chosenFilter = "untouched";
        QVERIFY(WindowPrompts::AskSaveFileName(nullptr, "Save", m_dir.path(), "PDF (*.pdf)",
                                               &chosenFilter)
                    .isEmpty());
        QCOMPARE(chosenFilter, QString("untouched"));
    }
};

QTEST_MAIN(TestUiSaveDialogs)
#include "tst_ui_savedialogs.moc"
