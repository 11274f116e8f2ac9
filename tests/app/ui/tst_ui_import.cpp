#include "FileDialogAnswer.h"
#include "Keyboard.h"
#include "MainWindowRig.h"
#include "TestSupport.h"
#include "app/ui/TableImportFlow.h"
#include "app/ui/VEK_Accueil.h"
#include "base/BoundedFile.h"
#include "base/VEK_LANGUAGE.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// An include file whose words are all "3400" but for `changes` (word number, byte).
QByteArray tableFile(const QList<QPair<int, int>> &changes = {}, int words = 256)
{
    QStringList list{QStringLiteral("0782")};
    while (list.size() < words)
        list << QStringLiteral("3400");
    for (const auto &c : changes)
        list[c.first - 1] = QStringLiteral("34%1").arg(c.second, 2, 16, QLatin1Char('0')).toUpper();
    QByteArray text;
    for (int m = 0; m * 4 < list.size(); ++m)
        text += "         DW         " + list.mid(4 * m, 4).join(',').toLatin1() + "\r\n";
    return text;
}

} // namespace

using TestSupport::row;

class TestImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_files; // answers of the file dialog, in turn
    QStringList m_titles;
    QStringList m_filters;
    QStringList m_warnings;
    QStringList m_questions;
    QStringList m_status;
    bool m_answer = true;

    TableImportFlow flow()
    {
        TableImportFlow f;
        f.setFileChooser([this](const QString &title, const QString &filter) {
            m_titles << title;
            m_filters << filter;
            return m_files.isEmpty() ? QString() : m_files.takeFirst();
        });
        f.setMessageSinks([this](const QString &t) { m_warnings << t; },
                          [this](const QString &t) {
                              m_questions << t;
                              return m_answer;
                          });
        f.setStatusSink([this](const QString &t) { m_status << t; });
        return f;
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        TestSupport::writeFile(path, bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        MainWindowRig::keepSettingsIn(m_dir.path());
        TestSupport::useFrenchTexts();
    }

    void init()
    {
        m_files.clear();
        m_titles.clear();
        m_filters.clear();
        m_warnings.clear();
        m_questions.clear();
        m_status.clear();
        m_answer = true;
    }

    void bothTablesGiveTheCurve()
    {
        m_files << file("HTAB0.TXT", tableFile({{100, 0x10}}))
                << file("LTAB0.TXT", tableFile({{100, 0x08}}));
        const auto points = flow().BP_import(false, QStringLiteral("45.0"));
        QVERIFY(points);
        QCOMPARE(points->size(), 176 + 193);
        QCOMPARE(points->first().rpm, 735);
        QCOMPARE(points->last().rpm, 10000);
        QCOMPARE(m_titles, (QStringList{VEK_LANGUAGE::GetLanguageText("LoadHighTable"),
                                        VEK_LANGUAGE::GetLanguageText("LoadLowTable")}));
        QVERIFY(m_filters.first().contains("*.TXT"));
        QCOMPARE(m_status,
                 (QStringList{VEK_LANGUAGE::GetLanguageText("BPimportTreateCurrentHTAB"),
                              VEK_LANGUAGE::GetLanguageText("BPimportTreateCurrentLTAB")}));
        QVERIFY(m_questions.isEmpty());
        const QList<QStringList> rows = TableImportFlow::RowsOf(*points);
        QMultiMap<QString, QString> advanceAt; // rpm text to advance texts
        for (const QStringList &row : rows) {
            QCOMPARE(row.size(), 3);
            advanceAt.insert(row.at(0), row.at(1));
        }
        QCOMPARE(advanceAt.values("7500"), QStringList{"37.8"});
        QCOMPARE(advanceAt.values("1875"), QStringList{"41.4"});
        QCOMPARE(advanceAt.values("3000"), QStringList{"45"});
        QCOMPARE(rows.first().at(2), QString());
    }

    void cancelLeavesNoResult()
    {
        // Cancel on the first dialog, then on the second.
        QVERIFY(!flow().BP_import(false, "45"));
        QCOMPARE(m_titles.size(), 1);
        m_files << file("HTAB0.TXT", tableFile());
        QVERIFY(!flow().BP_import(false, "45"));
        QCOMPARE(m_titles.size(), 3);
        QVERIFY(m_warnings.isEmpty());
    }

    void unsavedEditsAreAskedAboutFirst()
    {
        m_answer = false;
        m_files << file("HTAB0.TXT", tableFile()) << file("LTAB0.TXT", tableFile());
        QVERIFY(!flow().BP_import(true, "45"));
        QCOMPARE(m_questions,
                 QStringList{VEK_LANGUAGE::GetLanguageText("BPimportModifiedQuestion")});
        QVERIFY(m_titles.isEmpty()); // no file dialog before the answer
        m_answer = true;
        QVERIFY(flow().BP_import(true, "45"));
    }

    // A file refused is named with the cause, and nothing is imported.
    void refusedFilesAreNamed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<bool>("low");         // the low table, after a sound high one
        QTest::addColumn<QString>("advance");  // the static advance
        QTest::addColumn<QString>("message");  // %1: the file
        const QString cancelled = " Importation annulée.";
        row("more words than a table", QString("BIG.TXT"), tableFile({}, 260), false, QString("45"),
            "Le fichier %1 contient plus de 256 mots : ce n'est pas une table." + cancelled);
        // A static advance of 10 cannot give back a delay of 0x80 at 187500 / 200 rpm.
        row("points out of range", QString("LOW.TXT"), tableFile({{200, 0x80}}), true,
            QString("10"),
            "Le fichier %1 donne des points hors limites (1 points, le premier à 938 tr/min et "
            "-18.8°). Vérifiez l'avance statique." +
                cancelled);
        // An empty file, or one short of lines, is no table.
        row("empty", QString("EMPTY.TXT"), QByteArray(""), true, QString("45"),
            "Fichier %1 refusé : il contient 0 mots au lieu des 256 d'une table." + cancelled);
        row("short of lines", QString("SHORT.TXT"), tableFile({}, 128), false, QString("45"),
            "Fichier %1 refusé : il contient 128 mots au lieu des 256 d'une table." + cancelled);
        row("missing", QString("missing.txt"), QByteArray(), false, QString("45"),
            "Le fichier %1 ne peut pas être lu : fichier ou dossier introuvable." + cancelled);
        // Beyond the text-file bound the file is not read at all, as any file so large.
        const QString bound = QString::number(BoundedFile::MaxTextFileBytes);
        row("past the text-file bound", QString("HUGE.TXT"),
            tableFile() + QByteArray(BoundedFile::MaxTextFileBytes, ' '), false, QString("45"),
            "Le fichier %1 n'est pas lu : il dépasse " + bound + " octets.");
    }

    void refusedFilesAreNamed()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, low);
        QFETCH(QString, advance);
        QFETCH(QString, message);
        if (low)
            m_files << file("HTAB0.TXT", tableFile());
        m_files << (bytes.isNull() ? m_dir.filePath(name) : file(name, bytes));
        QVERIFY(!flow().BP_import(false, advance));
        QCOMPARE(m_warnings, QStringList{message.arg(m_dir.filePath(name))});
    }

    // Courbes, Importer in the main window: a valid high table, then a low
    // table. One whose line 30 holds "ZZ00" is refused with its line and item,
    // and the curve stays as it was; a valid one gives the curve, thinned, and
    // the MAP table the same rows. Either way the label no longer says that a
    // table is being read.
    void importThroughTheWindow_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("info");
        QTest::newRow("damaged low table") << true << QString();
        QTest::newRow("both tables valid") << false << QString("Lissage terminé.");
    }

    void importThroughTheWindow()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, info);
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        w.context().tab_avance.appendRow({"1000", "10", "8"});
        w.settings().CourbeModifie = false;
        QByteArray bad = tableFile();
        bad.replace(30 * 41 - 11, 4, "ZZ00"); // lines of 41 bytes: 20 + 4 x 5 - 1 + 2
        const QString low = damaged ? file("LTAB0.TXT", bad) : file("LTAB1.TXT", tableFile());
        QVERIFY(bad.split('\n').at(29).contains(",ZZ00,"));
        // The file dialogs, answered in turn: the high table, then the low one.
        const QStringList asked{"Charger la table HAUTE (régimes élevés)",
                                "Charger la table BASSE (bas régimes)"};
        QStringList boxes;
        FileDialogAnswer open({{file("HTAB0.TXT", tableFile())}, {low}}, [&boxes](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            boxes << box->text();
            Keyboard::press(Qt::Key_Return);
        });
        QTest::mouseClick(w.control<QPushButton>("BP_import"), Qt::LeftButton);
        QVERIFY2(open.answered(), qPrintable(open.unexpected.join('\n')));
        const QStringList &titles = open.titles;
        QCOMPARE(titles, asked);
        QCOMPARE(w.L_Info()->text(), info);
        if (!damaged) {
            QCOMPARE(boxes, QStringList{"Avant : 370 lignes\r\nAprès : 3 lignes"});
            const int rows = w.tab_avance()->rowCount();
            QVERIFY(rows > 1 && rows < 10); // thinned
            QCOMPARE(w.control<QTableWidget>("tabl_avance")->rowCount(), rows);
            QVERIFY(w.settings().CourbeModifie);
            return;
        }
        QCOMPARE(boxes, QStringList{"Fichier " + low +
                                    " refusé : la ligne 30 contient « ZZ00 », qui n'est pas un mot "
                                    "de quatre chiffres hexadécimaux. Importation annulée."});
        QCOMPARE(w.context().tab_avance.rows(), (QVector<QStringList>{{"1000", "10", "8"}}));
        QCOMPARE(w.tab_avance()->rowCount(), 1);
        QVERIFY(!w.settings().CourbeModifie);
    }
};

QTEST_MAIN(TestImport)
#include "tst_ui_import.moc"
