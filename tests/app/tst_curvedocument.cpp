#include "TestSupport.h"
#include "app/CurveDocument.h"
#include "app/CurveFiles.h"
#include "base/BoundedFile.h"
#include "base/VEK_LANGUAGE.h"

#include <QTemporaryDir>
#include <QtTest>

using TestSupport::row;
using Layout = CurveDocument::Layout;

static CurveDocument sampleCurve()
{
    CurveDocument doc;
    doc.moteur.NbCylindres = 2;
    doc.moteur.Txt_av_statique = QStringLiteral("12.5");
    doc.moteur.CmbAvanceBasRegime = 7;
    doc.moteur.Txt_rpm_maxi = QStringLiteral("7200");
    doc.moteur.TxtDwell = QStringLiteral("3.00");
    doc.moteur.MultiSparck = true;
    doc.moteur.CmbCliquetis = 3;
    doc.moteur.TxtDureeRetardCliquetis = QStringLiteral("40");
    doc.moteur.HardXLED = 1;
    doc.CarteOptionNom = QStringLiteral("Opt_q29b");
    doc.DeviceCfg = QStringLiteral("OOIIAA");
    doc.rows = {{"1000", "10.0", "8.0"}, {"3000", " 25.5", "20"}, {"6500", "32", "28.5"}};
    return doc;
}

static CurveReadResult reread(const CurveDocument &doc)
{
    CurveDocument base; // the board's channel kinds come from the catalogue, not the file
    base.DeviceCfg = doc.DeviceCfg;
    return CurveDocument::parseVek(doc.toVek(), base);
}

class TestCurveDocument : public QObject
{
    Q_OBJECT

private slots:
    void writesKeywordLayout()
    {
        CurveDocument doc = sampleCurve();
        doc.VoiesTOR[4] = {2, -1};
        const QByteArray expected =
            "#VEKP_COURBE 2\r\n#CYLINDRES=8\r\n#AVANCE STATIQUE=12.5\r\n"
            "#AVANCE BAS REGIME= 7\r\n#MAXI RPM=7200\r\n#DWELL T=3.00\r\n"
            "#MULTI ETINCELLE=OUI\r\n#CLIQUETIS AVANCE= 1.5\r\n"
            "#CLIQUETIS TEMPS=40\r\n#HARDWARE=RESET\r\n#OPTION=Opt_q29b\r\n";
        const QByteArray text = doc.toVek();
        QVERIFY2(text.startsWith(expected), text.constData());
        QVERIFY(text.contains("#TOR-4 TYPE=BOOST\r\n#TOR-4 VALEUR=-1\r\n"));
        QVERIFY(text.contains("#TOR-0 TYPE=DISABLE\r\n#TOR-0 VALEUR= 0\r\n"));
        QVERIFY(!text.contains("#KNOCK CURVE"));
        QVERIFY(text.endsWith("#TABLE=3000; 25.5;20\r\n#TABLE=6500;32;28.5\r\n"));
    }

    void everyParameterPositionRoundTrips()
    {
        const struct {
            int EngineParameters::*field;
            int positions;
        } lists[] = {{&EngineParameters::NbCylindres, CurveDocument::kCylinderPositions},
                     {&EngineParameters::CmbAvanceBasRegime, CurveDocument::kLowRpmPositions},
                     {&EngineParameters::CmbCliquetis, CurveDocument::kKnockRetardPositions},
                     {&EngineParameters::HardXLED, CurveDocument::kHardXLedPositions}};
        for (const auto &list : lists) {
            for (int p = 0; p < list.positions; ++p) {
                CurveDocument doc = sampleCurve();
                doc.moteur.*list.field = p;
                const CurveReadResult r = reread(doc);
                QVERIFY(r.ok());
                QCOMPARE(r.document.moteur.*list.field, p);
            }
        }
        for (bool multi : {false, true}) {
            CurveDocument doc = sampleCurve();
            doc.moteur.MultiSparck = multi;
            QCOMPARE(reread(doc).document.moteur.MultiSparck, multi);
        }
        CurveDocument doc = sampleCurve();
        const CurveReadResult r = reread(doc);
        QCOMPARE(r.layout, Layout::Keyword);
        QCOMPARE(r.document, doc);
    }

    void everyChannelRoundTrips()
    {
        // Channels 5..0 are output, output, input, input, analogue, analogue.
        const int codesByKind[3] = {5, 4, 1}; // O: 0..4, I: 0..3, A: 0
        const int kindOfChannel[6] = {2, 2, 1, 1, 0, 0};
        for (int n = 0; n < CurveDocument::kChannels; ++n) {
            for (int code = 0; code < codesByKind[kindOfChannel[n]]; ++code) {
                CurveDocument doc = sampleCurve();
                // Within the range of the action's threshold: RPM and rev limit
                // 500 to 10000, boost -1 to 100, sequential cut 0 to 100.
                const QString word =
                    CurveDocument::channelWord(CurveDocument::channelKind(doc.DeviceCfg, n), code);
                const QMap<QString, int> inRange{
                    {"REGIME", 9500}, {"RUPTEUR2", 500}, {"BOOST", -1}, {"SEQUENTIEL", 100}};
                doc.VoiesTOR[n] = {static_cast<uint8_t>(code), inRange.value(word, 500 * code)};
                const CurveReadResult r = reread(doc);
                QVERIFY(r.ok());
                QCOMPARE(r.document.VoiesTOR[n].Action, doc.VoiesTOR[n].Action);
                QCOMPARE(r.document.VoiesTOR[n].Seuil, doc.VoiesTOR[n].Seuil);
            }
        }
    }

    void channelWordsFollowTheKind()
    {
        QCOMPARE(CurveDocument::channelKind("OOIIAA", 0), QChar('A'));
        QCOMPARE(CurveDocument::channelKind("OOIIAA", 5), QChar('O'));
        QCOMPARE(CurveDocument::channelKind("OI", 4), QChar('I'));
        QCOMPARE(CurveDocument::channelKind("OI", 0), QChar()); // too short: no channel
        QCOMPARE(CurveDocument::channelWord('I', 4), QString("DISABLE"));
        QCOMPARE(CurveDocument::channelWord('O', 4), QString("BATTERIE"));
        QCOMPARE(CurveDocument::channelWord('A', 2), QString("DISABLE"));
        // A word gives its code whatever the channel's kind.
        QCOMPARE(CurveDocument::channelAction("BOOST"), uint8_t(2));
        QCOMPARE(CurveDocument::channelAction("RUPTEUR2"), uint8_t(2));
        QCOMPARE(CurveDocument::channelAction("UNKNOWN"), uint8_t(0));
    }

    void boardNamesMatchWhateverTheirCase()
    {
        const QStringList boards = {"Sans", "OPT_Q17", "Opt_q29b"};
        QCOMPARE(CurveDocument::optionBoardEntry(boards, "opt_q29B"), 2);
        QCOMPARE(CurveDocument::optionBoardEntry(boards, "OPT_Q17"), 1);
        QCOMPARE(CurveDocument::optionBoardEntry(boards, "OPT_Q99"), 0);
        QCOMPARE(CurveDocument::optionBoardEntry(boards, ""), 0);
    }

    void threeAndFourColumnsRoundTrip()
    {
        CurveDocument doc = sampleCurve();
        doc.knockColumn = true;
        doc.rows = {{"1000", "10", "8", "6"}, {"4000", "30", "25", "23.5"}};
        CurveReadResult r = reread(doc);
        QVERIFY(doc.toVek().contains("#KNOCK CURVE=OUI\r\n#TABLE=1000;10;8;6\r\n"));
        QCOMPARE(r.document, doc);

        // A file without the knock line keeps the column count of the base.
        const QByteArray plain = "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n";
        r = CurveDocument::parseVek(plain, CurveDocument());
        QCOMPARE(r.document.columnCount(), 3);
        QCOMPARE(r.document.rows, QList<QStringList>({{"1000", "10", "8"}}));

        r = CurveDocument::parseVek("#VEKP_COURBE 2\n#KNOCK CURVE=TRUE\n#TABLE=1;2;3;4\n"
                                    "#KNOCK CURVE=NON\n",
                                    CurveDocument());
        QVERIFY(r.ok());
        QCOMPARE(r.document.columnCount(), 3);
        QCOMPARE(r.document.rows.first(), QStringList({"1", "2", "3"}));

        // Cells past the last column stay in it.
        r = CurveDocument::parseVek("#VEKP_COURBE 2\r\n#TABLE=3000;25;20;15\r\n", {});
        QVERIFY(r.ok());
        QCOMPARE(r.document.rows.first(), QStringList({"3000", "25", "20;15"}));
    }

    void readsOlderCodes()
    {
        const struct {
            const char *value;
            int position;
        } cylinders[] = {{"4", 0}, {"6", 1}, {"8", 2}, {"CYL6", 3}, {"CYL8", 4}, {"2", 0}};
        for (const auto &c : cylinders) {
            const QByteArray text = QByteArray("#VEKP_COURBE 2\r\n#CYLINDRES=") + c.value + "\r\n";
            CurveDocument base;
            base.moteur.NbCylindres = 4;
            QCOMPARE(CurveDocument::parseVek(text, base).document.moteur.NbCylindres, c.position);
        }
        const CurveReadResult r = CurveDocument::parseVek(
            "#VEKP_COURBE 2\r\n#HARDWARE=PMH\r\n#MULTI ETINCELLE=YES\r\n#AVANCE BAS REGIME=11\r\n"
            "#CLIQUETIS AVANCE= 2.5\r\n#HARDWARE=SOMETHING\r\n",
            CurveDocument());
        QVERIFY(r.ok());
        QCOMPARE(r.document.moteur.HardXLED, 3);
        QVERIFY(r.document.moteur.MultiSparck);
        QCOMPARE(r.document.moteur.CmbAvanceBasRegime, 11);
        QCOMPARE(r.document.moteur.CmbCliquetis, 5);
    }

    void keysAndRemarks()
    {
        CurveDocument base;
        base.CarteOptionNom = QStringLiteral("OLD");
        base.VoiesTOR[1] = {1, 3000};
        const CurveReadResult r = CurveDocument::parseVek(
            "#VEKP_COURBE 2\r\n"
            "#MULTI ETINCELLE =OUI\r\n" // one blank before "=" is the same key
            "#MAXI RPM  =9999\r\n"      // two blanks: a key nobody knows
            "#REM=any text; even = signs\r\n"
            "note=not a key\r\n"
            "#TOR-2 TYPE=BOOST\r\n" // lost: the board line below clears channels
            "#OPTION=Opt_Q17\r\n"
            "#TOR-3 TYPE=BOOST\r\n#TOR-3 VALEUR= 50\r\n",
            base);
        QVERIFY(r.ok());
        QVERIFY(r.document.moteur.MultiSparck);
        QCOMPARE(r.document.moteur.Txt_rpm_maxi, QString("6650"));
        QCOMPARE(r.commentLines, QList<int>({5}));
        QCOMPARE(r.document.CarteOptionNom, std::optional<QString>("Opt_Q17"));
        QCOMPARE(r.document.VoiesTOR[1].Action, uint8_t(0));
        QCOMPARE(r.document.VoiesTOR[2].Action, uint8_t(0));
        QCOMPARE(r.document.VoiesTOR[3].Action, uint8_t(2));
        QCOMPARE(r.document.VoiesTOR[3].Seuil, 50);

        // Without a board line the channels of the base are kept and amended.
        const CurveReadResult kept =
            CurveDocument::parseVek("#VEKP_COURBE 2\r\n#TOR-0 VALEUR=7\r\n", base);
        QCOMPARE(kept.document.CarteOptionNom, std::optional<QString>("OLD"));
        QCOMPARE(kept.document.VoiesTOR[1].Seuil, 3000);
        QCOMPARE(kept.document.VoiesTOR[0].Seuil, 7);
    }

    void readsFilesTypedByHand()
    {
        // LF only, blank lines, trailing blanks, indentation, no end on the last line.
        const QByteArray typed = "\n#VEKP_COURBE 2  \n\n  #AVANCE STATIQUE=30.0   \n"
                                 "#OPTION=opt_q29B \n#TOR-5 TYPE= regime\t\n"
                                 "#TABLE=1000;10;8  \n\n   \n#TABLE=2000;20;18";
        const CurveReadResult r = CurveDocument::parseVek(typed, CurveDocument());
        QVERIFY2(r.ok(), qPrintable(r.errorKey + QString::number(r.errorLine)));
        QCOMPARE(r.document.moteur.Txt_av_statique, QString("30.0"));
        QCOMPARE(r.document.CarteOptionNom, std::optional<QString>("opt_q29B"));
        QCOMPARE(r.document.VoiesTOR[5].Action, uint8_t(1));
        QCOMPARE(r.document.rows, QList<QStringList>({{"1000", "10", "8"}, {"2000", "20", "18"}}));

        // A decimal comma reads as typed; a cell that is no number stays, to be reported.
        const CurveReadResult comma = CurveDocument::parseVek(
            "#VEKP_COURBE 2\r\n#TABLE=1000;24,5;2z6\r\n#TABLE=2000; 20,25 ;18\r\n", {});
        QCOMPARE(comma.document.rows,
                 QList<QStringList>({{"1000", "24.5", "2z6"}, {"2000", " 20.25 ", "18"}}));
        const CurveReadResult mrt =
            CurveDocument::parseMrt("1000;12,5\r\n", {}, CurveDocument::MrtColumn::Atmo);
        QCOMPARE(mrt.document.rows, QList<QStringList>({{"1000", "12.5", "0"}}));

        // Windows-1252 and UTF-8 text both read.
        const CurveReadResult latin =
            CurveDocument::parseVek("#VEKP_COURBE 2\r\n#OPTION=Carte \xe9t\xe9\r\n", {});
        QCOMPARE(latin.document.CarteOptionNom, std::optional<QString>(u"Carte été"_qs));
        const CurveReadResult utf8 =
            CurveDocument::parseVek("#VEKP_COURBE 2\r\n#OPTION=Carte \xc3\xa9t\xc3\xa9\r\n", {});
        QCOMPARE(utf8.document.CarteOptionNom, latin.document.CarteOptionNom);
    }

    void badLinesFailTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("line");
        const QByteArray head = "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n";
        row("no header", QByteArray("#TABLE=1;2;3\r\n"), "CorruptFile", 1);
        row("empty file", QByteArray(), "CorruptFile", 1);
        row("no =", head + "#REM nothing\r\n", "CurveFileBadLine", 3);
        row("short row", head + "#TABLE=2000;20\r\n", "CurveFileBadLine", 3);
        row("older layout, short row",
            QByteArray("#VEKP_COURBE\r\n42.5;\r\n7000;\r\n3;\r\n1000;10\r\n"), "CurveFileBadLine",
            5);
    }

    void badLinesFailTheWholeFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, key);
        QFETCH(int, line);
        const CurveReadResult r = CurveDocument::parseVek(text, sampleCurve());
        QVERIFY(!r.ok());
        QCOMPARE(r.errorKey, key);
        QCOMPARE(r.errorLine, line);
    }

    // Engine values and thresholds are read by the rule of their box: a value
    // written otherwise than the program writes it is taken and listed with
    // what it became; one the rule refuses keeps the base's value and is
    // listed with its reason, naming the file and the line; the file is read.
    void fileValuesAreReadByTheirRule_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("value"); // the value as the document then holds it
        QTest::addColumn<QString>("listed");
        const QString at = "Fichier c.vek, ligne 3 : ";
        row("static comma", QByteArray("#AVANCE STATIQUE=12,5"), "12.5",
            at + "Avance statique : « 12,5 » est lu comme 12.5.");
        row("static in range", QByteArray("#AVANCE STATIQUE= 20.5"), "20.5", "");
        row("static out of range", QByteArray("#AVANCE STATIQUE=200"), "45.0",
            at + "Avance statique : « 200 » est hors limites : entrez un nombre de 0 à 127.5.");
        row("knock comma", QByteArray("#CLIQUETIS AVANCE= 1,5"), "3",
            at + "Retard par détection : « 1,5 » est lu comme 1.5.");
        row("knock out of range", QByteArray("#CLIQUETIS AVANCE=-0.5"), "5",
            at + "Retard par détection : « -0.5 » est hors limites : entrez un nombre de 0 à 4.");
        row("low rpm comma", QByteArray("#AVANCE BAS REGIME= 5,6"), "6",
            at + "Avance à bas régime : « 5,6 » est lu comme 6.");
        row("low rpm out of range", QByteArray("#AVANCE BAS REGIME=13"), "11",
            at + "Avance à bas régime : « 13 » est hors limites : entrez un nombre de 0 à 12.");
        row("rpm fraction", QByteArray("#MAXI RPM=6500,5"), "6650",
            at + "Régime maxi : « 6500,5 » n'est pas un nombre entier.");
        row("rpm thousands point", QByteArray("#MAXI RPM=7.000"), "6650",
            at + "Régime maxi : « 7.000 » n'est pas un nombre entier.");
        row("rpm with its unit", QByteArray("#MAXI RPM=7000 rpm"), "6650",
            at + "Régime maxi : « 7000 rpm » n'est pas un nombre : « rpm » suit le nombre.");
        row("dwell empty", QByteArray("#DWELL T="), "2.5",
            at + "Temps de charge : aucune valeur n'est donnée.");
        row("duration exponent", QByteArray("#CLIQUETIS TEMPS=1e3"), "10",
            at + "Durée du retard : « 1e3 » n'est pas un nombre : « e3 » suit le nombre.");
        // A number in a form of its own is brought to the program's; the forms
        // the program writes are read as they are.
        row("rpm leading zero", QByteArray("#MAXI RPM=06000"), "6000",
            at + "Régime maxi : « 06000 » est lu comme 6000.");
        row("duration with its sign", QByteArray("#CLIQUETIS TEMPS=+12"), "12",
            at + "Durée du retard : « +12 » est lu comme 12.");
        row("static trailing zeros", QByteArray("#AVANCE STATIQUE=7.000"), "7.0",
            at + "Avance statique : « 7.000 » est lu comme 7.0.");
        row("dwell whole", QByteArray("#DWELL T=3"), "3.00",
            at + "Temps de charge : « 3 » est lu comme 3.00.");
        row("dwell as a new curve writes it", QByteArray("#DWELL T=2.5"), "2.5", "");
        row("low rpm as written", QByteArray("#AVANCE BAS REGIME= 11"), "11", "");
        // A threshold refused leaves one its rule takes, the nearest to the
        // cleared channel's 0, which the option-board dialog would refuse.
        row("rpm threshold low", QByteArray("#TOR-5 TYPE=REGIME\r\n#TOR-5 VALEUR=200"), "500",
            "Fichier c.vek, ligne 4 : Seuil de la carte option : « 200 » n'est pas accepté : "
            "entrez un nombre entier de 500 à 10000.");
        row("boost threshold high", QByteArray("#TOR-4 VALEUR=20000\r\n#TOR-4 TYPE=BOOST"), "0",
            at + "Seuil de la carte option : « 20000 » n'est pas accepté : entrez un nombre "
                 "entier de -1 à 100.");
        row("rev-limit threshold fraction",
            QByteArray("#TOR-3 TYPE=RUPTEUR2\r\n#TOR-3 VALEUR=4000,5"), "500",
            "Fichier c.vek, ligne 4 : Seuil de la carte option : « 4000,5 » n'est pas un "
            "nombre entier.");
        row("sequential threshold", QByteArray("#TOR-2 TYPE=SEQUENTIEL\r\n#TOR-2 VALEUR= 40"), "40",
            "");
    }

    void fileValuesAreReadByTheirRule()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, value);
        QFETCH(QString, listed);
        TestSupport::useFrenchTexts();
        CurveDocument base;
        base.DeviceCfg = "OOIIAA";
        const CurveReadResult r = CurveDocument::parseVek(
            "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n" + lines + "\r\n", base, "c.vek");
        QVERIFY(r.ok());
        QStringList messages;
        for (const ValueRules::Outcome &o : r.values)
            messages << o.message;
        QCOMPARE(messages.join('\n'), listed);
        const EngineParameters &m = r.document.moteur;
        const QString key = QString::fromLatin1(lines.left(lines.indexOf('=')));
        QString held;
        if (key.startsWith("#TOR-"))
            held = QString::number(r.document.VoiesTOR[key.mid(5, 1).toInt()].Seuil);
        else if (key == "#AVANCE STATIQUE")
            held = m.Txt_av_statique;
        else if (key == "#CLIQUETIS AVANCE")
            held = QString::number(m.CmbCliquetis);
        else if (key == "#AVANCE BAS REGIME")
            held = QString::number(m.CmbAvanceBasRegime);
        else if (key == "#MAXI RPM")
            held = m.Txt_rpm_maxi;
        else if (key == "#DWELL T")
            held = m.TxtDwell;
        else if (key == "#CLIQUETIS TEMPS")
            held = m.TxtDureeRetardCliquetis;
        QCOMPARE(held, value);
    }

    void readsPositionalLayout()
    {
        const QByteArray old = "#VEKP_COURBE\r\n42.5;\r\n7000 ;\r\n3;\r\n"
                               "1000;10.5;8;\r\n3000;25;20;\r\n6000;30;26\r\n";
        const CurveReadResult r = CurveDocument::parseVek(old, CurveDocument());
        QVERIFY(r.ok());
        QCOMPARE(r.layout, Layout::Positional);
        QCOMPARE(r.document.moteur.Txt_av_statique, QString("42.5"));
        QCOMPARE(r.document.moteur.Txt_rpm_maxi, QString("7000"));
        QCOMPARE(r.document.rows,
                 QList<QStringList>(
                     {{"1000", "10.5", "8"}, {"3000", "25", "20"}, {"6000", "30", "26"}}));
    }

    void singleCurveFiles()
    {
        CurveDocument doc = sampleCurve();
        QCOMPARE(doc.toMrt(), QByteArray("1000;10.0\r\n3000; 25.5\r\n6500;32\r\n"));

        const QByteArray mrt = "1000;10.0\r\n 3000.50;25\n\n6500;32";
        CurveReadResult r =
            CurveDocument::parseMrt(mrt, CurveDocument(), CurveDocument::MrtColumn::Turbo);
        QVERIFY(r.ok());
        QCOMPARE(r.layout, Layout::SingleCurve);
        QCOMPARE(r.document.rows,
                 QList<QStringList>(
                     {{"1000", "0", "10.0"}, {"3000.5", "0", "25"}, {"6500", "0", "32"}}));
        r = CurveDocument::parseMrt(mrt, CurveDocument(), CurveDocument::MrtColumn::Atmo);
        QCOMPARE(r.document.rows.first(), QStringList({"1000", "10.0", "0"}));
        // The rpm is read as a typed one: a comma is a decimal point, junk stays to be reported.
        r = CurveDocument::parseMrt("1500,5;12\r\n2z6;14\r\n", {}, CurveDocument::MrtColumn::Atmo);
        QCOMPARE(r.document.rows, QList<QStringList>({{"1500.5", "12", "0"}, {"2z6", "14", "0"}}));
        r = CurveDocument::parseMrt("1000;10\r\nrubbish\r\n", {}, CurveDocument::MrtColumn::Atmo);
        QCOMPARE(r.errorLine, 2);
    }

    void numberTexts()
    {
        QCOMPARE(CurveDocument::signedNumberText(11), QString(" 11"));
        QCOMPARE(CurveDocument::signedNumberText(2.5), QString(" 2.5"));
        QCOMPARE(CurveDocument::signedNumberText(0.5), QString(" 0.5"));
        QCOMPARE(CurveDocument::signedNumberText(0), QString(" 0"));
        QCOMPARE(CurveDocument::signedNumberText(-1), QString("-1"));
        QCOMPARE(CurveDocument::numberText(2500.5), QString("2500.5"));
    }

    void fileKindsAndNames()
    {
        using CurveFiles::Kind;
        QCOMPARE(CurveFiles::KindOf("a/b.Vek"), Kind::Curve);
        QCOMPARE(CurveFiles::KindOf("b.XSC"), Kind::Project);
        QCOMPARE(CurveFiles::KindOf("b.mRt"), Kind::SingleCurve);
        QCOMPARE(CurveFiles::KindOf("b.txt"), Kind::Unknown);
        QCOMPARE(CurveFiles::KindOf("vek"), Kind::Unknown);
        QCOMPARE(CurveFiles::WithExtension("curve", Kind::Curve), QString("curve.vek"));
        QCOMPARE(CurveFiles::WithExtension("curve.Vek", Kind::Project), QString("curve.Vek"));
        QCOMPARE(CurveFiles::WithExtension("v1.2", Kind::SingleCurve), QString("v1.2.mrt"));
    }

    void oversizedCurveFileIsNotRead()
    {
        VEK_LANGUAGE::InitLanguage();
        QTemporaryDir dir;
        const QString path = dir.filePath("huge.vek");
        QVERIFY(TestSupport::writeFile(path, QByteArray(BoundedFile::MaxTextFileBytes + 1, '#')));
        QByteArray bytes = "kept";
        QString error;
        QVERIFY(!CurveFiles::ReadAll(path, bytes, &error));
        QVERIFY(error.contains(QString::number(BoundedFile::MaxTextFileBytes)));
        QCOMPARE(error, VEK_LANGUAGE::GetLanguageText(
                            "MessTailleDepassee",
                            {"{OCTETS}", QString::number(BoundedFile::MaxTextFileBytes)}));
    }
};

QTEST_GUILESS_MAIN(TestCurveDocument)
#include "tst_curvedocument.moc"
