// Every box and dialog comes in front of the window it belongs to, with the
// keyboard: the warning of a start with refused settings once the main window
// is up, the questions and dialogs of the main window, through one helper.
#include "MainWindowRig.h"
#include "ModalAnswer.h"
#include "TestSupport.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_about.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QWindow>
#include <QtTest>

namespace {

// Whether `box` lies over `window`, a child of it, and has the keyboard.
bool inFrontOf(const QWidget *box, const QWidget &window)
{
    return box && box->isVisible() && box->parentWidget() == &window && box->windowHandle() &&
           box->windowHandle()->transientParent() == window.windowHandle() &&
           QApplication::activeWindow() == box &&
           QGuiApplication::focusWindow() == box->windowHandle();
}

} // namespace

class TestBoxesInFront : public QObject
{
    Q_OBJECT
    QTemporaryDir store_;

private slots:
    void initTestCase() { MainWindowRig::keepSettingsIn(store_.path()); }

    // The start: the presentation comes over the main window once that is up,
    // without its OK button, and goes by itself; then a refused setting is
    // said over the window, and Return, typed where the keyboard is, closes
    // the box.
    void startShowsThePresentationThenItsWarning()
    {
        {
            const auto store = MainSettingsLoader::OpenStore();
            store->clear();
            store->setValue("ICSP/ICSP_Delay", "abc");
            store->setValue("ICSP/ICSP_NBTABLES", "9");
        }
        VEK_Accueil w;
        w.Form_Load(true);
        QVERIFY(w.settings().presentation);
        QPointer<QMessageBox> box = w.findChild<QMessageBox *>("Warning");
        QPointer<VEK_about> splash = w.findChild<VEK_about *>();
        QVERIFY(box && splash);
        // Nothing is shown before the window it belongs to.
        QVERIFY(!box->isVisible() && !splash->isVisible());
        QVERIFY(box->text().contains("ICSP_NBTABLES"));
        w.show();
        QTRY_VERIFY(splash && splash->isVisible()); // the presentation first
        QVERIFY(splash && splash->findChild<QWidget *>("OK")->isHidden());
        QVERIFY(!box->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash, 3000);
        QVERIFY(!w.settings().presentation);
        QTRY_VERIFY(inFrontOf(box, w));
        QVERIFY(!w.isEnabled() || QApplication::activeModalWidget() == box);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!box || !box->isVisible());
        QVERIFY(!QApplication::activeModalWidget()); // the window takes the user's clicks again
    }

    // The main window's own question and dialogs: in front, with the keyboard,
    // Escape answers them.
    void questionsAndDialogsComeInFront()
    {
        MainSettingsLoader::OpenStore()->clear();
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w) && QTest::qWaitForWindowActive(&w));
        for (const auto &open :
             {std::function<void()>([&w] {
                  w.settings().CourbeModifie = true;
                  w.bp_new_Click();
              }),
              std::function<void()>([&w] { w.about_Click(); }), std::function<void()>([&w] {
                  w.TypeCarteOption()->setCurrentIndex(1);
                  w.BP_Parametres_carte_option_Click();
              })}) {
            bool front = false;
            ModalAnswer answer([&](QWidget *modal) {
                QTRY_VERIFY(inFrontOf(modal, w));
                front = true;
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            });
            open();
            QVERIFY(answer.answered());
            QVERIFY(front);
        }
    }

    // A box a modal dialog opens (the about box's driver status) comes over
    // that dialog at once.
    void boxOfAModalDialogComesOverIt()
    {
        MainSettingsLoader::OpenStore()->clear();
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w) && QTest::qWaitForWindowActive(&w));
        bool front = false;
        ModalAnswer answer([&front](QWidget *about) {
            about->findChild<QPushButton *>("BP_StatusDRV")->click();
            QPointer<QMessageBox> notice = about->findChild<QMessageBox *>("PortServiceNotice");
            QTRY_VERIFY(inFrontOf(notice, *about));
            front = true;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(!notice || !notice->isVisible());
            QTRY_COMPARE(QApplication::activeModalWidget(), about);
            static_cast<QDialog *>(about)->reject();
        });
        w.about_Click();
        QVERIFY(answer.answered());
        QVERIFY(front);
    }

    // No box or dialog is shown but through the one helper: a way around it
    // would bring back boxes behind their window.
    void onlyTheHelperShowsBoxes()
    {
        static const QRegularExpression ways(QStringLiteral(
            R"(QMessageBox\s*::\s*(warning|information|question|critical|about)\s*\()"
            R"(|\bQMessageBox\s+\w+\s*\(|new\s+QMessageBox\b|QFileDialog\s*::\s*get\w+\s*\()"
            R"(|QInputDialog\s*::\s*get\w+\s*\(|(\.|->)\s*exec\s*\(\s*\))"
            R"(|\w*([Bb]ox|[Dd]ialog|[Ww]indow)\w*\s*(\.|->)\s*open\s*\(\s*\))"));
        QStringList found;
        QDirIterator it(TestSupport::testSourceDirectory() + "/../src", {"*.cpp", "*.h"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith("base/ui/WindowPrompts.cpp") || path.endsWith("/main.cpp"))
                continue;
            const QStringList lines = QString::fromUtf8(TestSupport::readFile(path)).split('\n');
            for (qsizetype n = 0; n < lines.size(); ++n)
                if (!lines[n].trimmed().startsWith("//") && ways.match(lines[n]).hasMatch())
                    found << QString("%1:%2: %3")
                                 .arg(path.section('/', -2))
                                 .arg(n + 1)
                                 .arg(lines[n].trimmed());
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
};

VEK_TEST_MAIN_ON_SCREEN(TestBoxesInFront, 1024, 768)
#include "tst_ui_boxesinfront.moc"
