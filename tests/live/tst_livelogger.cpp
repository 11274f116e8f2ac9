#include "FailingWrites.h"
#include "live/LiveLogger.h"
#include "live/TrameLive.h"

#include <QTemporaryDir>
#include <QtTest>

static QByteArray frame(uint16_t period, uint8_t seq)
{
    return TrameLive::withWords(period, 0x1F4, 5, 0x40, 0, seq).toByteArray();
}

static QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(f.readAll()).split("\r\n");
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class TestLiveLogger : public QObject
{
    Q_OBJECT

    const QDateTime when{QDate(2007, 12, 7), QTime(9, 5, 30)};

private slots:
    void fileName()
    {
        QCOMPARE(LiveLogger::NomFichierLog(when), QString("VEK-LOGGER__2007-12-7_9H5.txt"));
        QCOMPARE(LiveLogger::NomFichierLog(QDateTime(QDate(2026, 1, 31), QTime(23, 59))),
                 QString("VEK-LOGGER__2026-1-31_23H59.txt"));
    }

    void oneLinePerValidFrame()
    {
        QTemporaryDir dir;
        // Three frames in a row: three lines, the last one included.
        const QByteArray three = frame(1250, 1) + frame(1250, 2) + frame(1250, 3);
        auto r = LiveLogger::EcrireLog(three, dir.path(), when);
        QCOMPARE(r.status, LiveLogger::Result::Written);
        QCOMPARE(r.lines, 3);
        QCOMPARE(r.path, dir.filePath("VEK-LOGGER__2007-12-7_9H5.txt"));
        const QStringList lines = fileLines(r.path);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(
            lines[0],
            QString("RPM : 3000 | 4E2 - DP : 1F4 - XX : 5 - OPTION : 40 - ADC1 : 0 - ADC2 : 1"));
        QVERIFY(lines[2].endsWith("ADC2 : 3"));
    }

    void resynchronisesAfterLostAndDamagedBytes()
    {
        // Garbage first, a frame missing a byte, a damaged checksum: only the
        // sound frames are logged, each once, and nothing after a loss is shifted.
        QByteArray damaged = frame(2500, 4);
        damaged[9] = char(damaged[9] ^ 1);
        const QByteArray capture = QByteArray("\x01#\x02zz") + frame(1250, 1) +
                                   frame(1250, 2).remove(3, 1) + frame(5000, 3) + damaged +
                                   frame(TrameLive::Marker * 257, 5) + frame(1250, 6);
        int count = 0;
        const QStringList lines =
            QString::fromLatin1(LiveLogger::TexteLog(capture, &count)).split("\r\n");
        QCOMPARE(count, 4);
        QVERIFY(lines[0].endsWith("ADC2 : 1"));
        QVERIFY(lines[1].startsWith("RPM : 750 |") && lines[1].endsWith("ADC2 : 3"));
        QVERIFY(lines[2].endsWith("ADC2 : 5"));
        QVERIFY(lines[3].endsWith("ADC2 : 6"));
    }

    void offLine()
    {
        const QByteArray off = TrameLive::build(255, 0, 255, 0, 1, 2, 3, 4).toByteArray();
        QCOMPARE(
            LiveLogger::TexteLog(off),
            QByteArray("RPM : OFF | FFFF - DP : FFFF - OPTION : FF - ADC1 : FF - ADC2 : FF\r\n"));
    }

    void noFrameWritesNoFile()
    {
        QTemporaryDir dir;
        for (const QByteArray &capture :
             {QByteArray(), QByteArray(40, '#'), frame(1250, 1).left(9)}) {
            const auto r = LiveLogger::EcrireLog(capture, dir.path(), when);
            QCOMPARE(r.status, LiveLogger::Result::NoFrame);
        }
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void neverReplacesAnEarlierLog()
    {
        QTemporaryDir dir;
        const auto first = LiveLogger::EcrireLog(frame(1250, 1), dir.path(), when);
        const auto second =
            LiveLogger::EcrireLog(frame(1250, 2) + frame(1250, 3), dir.path(), when);
        QCOMPARE(second.status, LiveLogger::Result::Written);
        QCOMPARE(second.path, dir.filePath("VEK-LOGGER__2007-12-7_9H5_2.txt"));
        QCOMPARE(fileLines(first.path).size(), 1);
        QCOMPARE(fileLines(second.path).size(), 2);
    }

    void failuresAreReported()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("no/such/folder");
        auto r = LiveLogger::EcrireLog(frame(1250, 1), missing, when);
        QCOMPARE(r.status, LiveLogger::Result::CannotCreate);
        QVERIFY(!r.reason.isEmpty());

        // A full disk: the file size limit makes the write fail part-way.
        QByteArray big;
        for (int i = 0; i < 200; ++i)
            big += frame(1250, uint8_t(i));
        {
            const FailingWrites full(1000);
            r = LiveLogger::EcrireLog(big, dir.path(), when);
        }
        QCOMPARE(r.status, LiveLogger::Result::WriteFailed);
        QVERIFY(!r.reason.isEmpty());
        QVERIFY(!QFile::exists(r.path)); // no half log left
    }
};

QTEST_GUILESS_MAIN(TestLiveLogger)
#include "tst_livelogger.moc"
