#include "TestSupport.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/CurveColumn.h"
#include "firmware/Interpolation.h"
#include "firmware/OptionChannels.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"

#include <QtTest>

#include <cmath>

using TestSupport::row;

namespace {

// Answers the truncation question from a script and records what was asked.
class ScriptedPrompts : public TableGenerationPrompts
{
public:
    bool answer = true;
    QStringList questions;
    QStringList errors;
    bool askTruncation(const QString &, const QString &text) override
    {
        questions << text;
        return answer;
    }
    void showError(const QString &, const QString &text) override { errors << text; }
};

CurveGridSnapshot grid(std::initializer_list<QStringList> points)
{
    CurveGridSnapshot g;
    g.rows << QStringList{"Rpm", "Atmo", "Turbo"};
    for (const QStringList &p : points)
        g.rows << p;
    return g;
}

CurveGridSnapshot flat(double advance)
{
    const QString a = QString::number(advance);
    return grid({{"1000", a, a}, {"9000", a, a}});
}

TableHeaderSnapshot header()
{
    TableHeaderSnapshot h;
    h.Txt_rpm_maxi = "10000";
    h.CmbAvanceBasRegime = "0.0";
    h.Txt_av_statique = "10";
    h.TxtDwell = "3.0";
    h.TxtDureeRetardCliquetis = "20";
    return h;
}

QString entry(int byte)
{
    return TableGenerator::retlw(byte);
}

int roundEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// num / den rounded half to even, in exact integer arithmetic.
int64_t exactRoundEven(int64_t num, int64_t den)
{
    const int64_t q = num / den, twice = 2 * (num % den);
    return twice > den || (twice == den && q % 2 != 0) ? q + 1 : q;
}

} // namespace

class TestTableGenerator : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }

    void interpolation()
    {
        const CurveGridSnapshot none = grid({});
        QVERIFY(!InterpoleGrille(none, 2000, 1));
        QVERIFY(CurveColumn(none, 1).isEmpty());

        const CurveGridSnapshot one = grid({{"3000", "12.5", "8"}});
        QCOMPARE(*InterpoleGrille(one, 500, 1), 12.5);
        QCOMPARE(*InterpoleGrille(one, 9000, 2), 8.0);

        const CurveGridSnapshot g =
            grid({{"1000", "5", "2"}, {"2000", "15", "4"}, {"4000", "25", "6x"}, {"6000", "-1"}});
        QCOMPARE(*InterpoleGrille(g, 1000, 1), 5.0);  // on the first point
        QCOMPARE(*InterpoleGrille(g, 500, 1), 5.0);   // below it
        QCOMPARE(*InterpoleGrille(g, 2000, 1), 15.0); // on a middle point
        QCOMPARE(*InterpoleGrille(g, 1500, 1), 10.0);
        QCOMPARE(*InterpoleGrille(g, 3000, 2), 5.0); // "6x" reads as 6
        QCOMPARE(*InterpoleGrille(g, 5000, 1), 12.0);
        QCOMPARE(*InterpoleGrille(g, 5000, 2), 3.0);  // missing cell reads 0
        QCOMPARE(*InterpoleGrille(g, 7000, 1), -1.0); // a real advance of -1 degree
        QCOMPARE(*InterpoleGrille(g, 3000, 7), 0.0);

        // Rows out of order are searched in row order, never dividing by zero.
        const CurveGridSnapshot unsorted =
            grid({{"1000", "5"}, {"3000", "15"}, {"2000", "25"}, {"2000", "30"}, {"4000", "35"}});
        QCOMPARE(*InterpoleGrille(unsorted, 2500, 1), 12.5);
        QCOMPARE(*InterpoleGrille(unsorted, 3500, 1), 33.75);
    }

    // A flat curve 5 degrees below a static advance of 10: every delay is
    // 5 * K2 / (3 * K1 / i), i.e. i / 9 (and 2 i / 9 for the type-88 low table).
    void flatCurveByHand()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        FirmwareTable h8, l8, h16, l16;
        const CurveGridSnapshot g = flat(5);
        QCOMPARE(gen.GenereHTAB8(h8, g, 10, 1), int16_t(0));
        QCOMPARE(gen.GenereLTAB8(l8, g, 10, 1), int16_t(0));
        QCOMPARE(gen.GenereHTAB16(h16, g, 10, 2), int16_t(0));
        QCOMPARE(gen.GenereLTAB16(l16, g, 10, 2), int16_t(0));
        QVERIFY(prompts.questions.isEmpty() && prompts.errors.isEmpty());

        for (const FirmwareTable *t : {&h8, &l8, &h16, &l16})
            QCOMPARE((*t)[1], QString("0782"));
        QCOMPARE(h8[250], QString("341C")); // 3000 rpm: 27.78
        QCOMPARE(h8[75], QString("3408"));
        for (int i = 75; i <= 250; ++i)
            QCOMPARE(h8[i], entry(roundEven(i / 9.0)));
        for (int i = 2; i <= 74; ++i)
            QCOMPARE(h8[i], QString("3400"));
        for (int i = 251; i <= 255; ++i)
            QCOMPARE(h8[i], QString("3400"));
        QCOMPARE(h8[256], QString("34FF"));

        for (int i = 62; i <= 255; ++i)
            QCOMPARE(l8[i], entry(roundEven(i / 9.0)));
        QCOMPARE(l8[62], QString("3407"));
        QCOMPARE(l8[61], QString("3400"));
        QCOMPARE(l8[256], QString("34FF"));

        for (int i = 62; i <= 256; ++i)
            QCOMPARE(h16[i], entry(roundEven(i / 9.0)));
        for (int i = 2; i <= 61; ++i)
            QCOMPARE(h16[i], QString("3400"));

        for (int i = 61; i <= 256; ++i)
            QCOMPARE(l16[i], entry(roundEven(2 * i / 9.0)));
        QCOMPARE(l16[61], QString("340E"));
        QCOMPARE(l16[256], QString("3439"));
        QVERIFY(!gen.TroncatureAcceptee);
    }

    // A generator reads each column once per set, but never keeps the numbers
    // of a curve that changed since.
    void aChangedCurveIsReadAgain()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        CurveGridSnapshot g = flat(5);
        FirmwareTable before, after, copied;
        QCOMPARE(gen.GenereHTAB8(before, g, 10, 1), int16_t(0));
        QCOMPARE(before[250], QString("341C")); // 3000 rpm: 27.78
        g.rows[1][1] = g.rows[2][1] = "8";
        QCOMPARE(gen.GenereHTAB8(after, g, 10, 1), int16_t(0));
        QCOMPARE(after[250], QString("340B")); // 11.11
        CurveGridSnapshot other = g;
        other.rows[1][1] = other.rows[2][1] = "5";
        QCOMPARE(gen.GenereHTAB8(copied, other, 10, 1), int16_t(0));
        QCOMPARE(copied, before);

        // The boost column of the same grid: its own advances at the same speeds.
        other.rows[1][2] = "2";
        FirmwareTable boost;
        QCOMPARE(gen.GenereHTAB8(boost, other, 10, 2), int16_t(0));
        QCOMPARE(gen.GenereHTAB8(copied, other, 10, 1), int16_t(0));
        QCOMPARE(copied, before);
        QCOMPARE(boost[75], QString("3408"));  // 10000 rpm: 5 degrees, delay 8.33
        QCOMPARE(boost[250], QString("3428")); // 3000 rpm: 2.75 degrees, delay 40.28
    }

    void minusOneDegreeIsACurve()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        FirmwareTable t;
        QCOMPARE(gen.GenereHTAB8(t, flat(-1), 10, 1), int16_t(0));
        QCOMPARE(t[250], QString("343D")); // 11 * 250 / 45 = 61.1
        QVERIFY(prompts.errors.isEmpty());
    }

    void noPoint()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        FirmwareTable t;
        const CurveGridSnapshot empty = grid({});
        QCOMPARE(gen.GenereHTAB8(t, empty, 10, 1), int16_t(-1));
        QCOMPARE(gen.GenereLTAB8(t, empty, 10, 1), int16_t(-1));
        QCOMPARE(gen.GenereHTAB16(t, empty, 10, 1), int16_t(-1));
        QCOMPARE(gen.GenereLTAB16(t, empty, 10, 1), int16_t(-1));
        QCOMPARE(prompts.errors.size(), 4);
        QCOMPARE(prompts.errors.first(), VEK_LANGUAGE::GetLanguageText("InterpoError"));
        QVERIFY(!prompts.errors.first().isEmpty());
    }

    // Delays of exactly 254.5 and 253.5 (3125 rpm, entry 240) round to even.
    void halfEvenRounding()
    {
        ScriptedPrompts prompts;
        FirmwareTable t;
        TableGenerator a(header(), prompts);
        QCOMPARE(a.GenereHTAB8(t, flat(0), 47.71875, 1), int16_t(0));
        QCOMPARE(t[240], QString("34FE"));
        TableGenerator b(header(), prompts);
        QCOMPARE(b.GenereHTAB8(t, flat(0), 47.53125, 1), int16_t(0));
        QCOMPARE(t[240], QString("34FE"));
        QCOMPARE(t[239], QString("34FC")); // 252.4
    }

    // Settings whose decimal value lands exactly on a rounding half: the table
    // bytes must be those of exact decimal arithmetic, as the settings are
    // typed, not those of a value read a hair off.
    void decimalSettingsRoundAsTyped()
    {
        struct Layout {
            const char *name;
            int64_t k1, k2;
            int first, last;
        };
        const Layout layouts[] = {{"HTAB8", 750000, 50000, 75, 250},
                                  {"LTAB8", 187500, 12500, 62, 255},
                                  {"HTAB16", 937500, 62500, 62, 256},
                                  {"LTAB16", 234375, 31250, 61, 256}};
        // Static advances in hundredths over a flat curve at 0 or 2.5 degrees.
        for (const char *text : {"0.15", "0.30", "0.75", "1.17", "1.70", "2.43", "3.87", "11.25"}) {
            for (const char *curve : {"0", "2.5"}) {
                const int64_t hundredths =
                    QString(text).remove('.').toLongLong() - (QString(curve) == "2.5" ? 250 : 0);
                if (hundredths < 0)
                    continue;
                for (const Layout &l : layouts) {
                    ScriptedPrompts prompts;
                    TableGenerator gen(header(), prompts);
                    FirmwareTable t;
                    const CurveGridSnapshot g =
                        grid({{"1000", curve, curve}, {"9000", curve, curve}});
                    const double statique = NombreEnTete(QString(text));
                    const QString name = l.name;
                    const int16_t r = name == "HTAB8"    ? gen.GenereHTAB8(t, g, statique, 1)
                                      : name == "LTAB8"  ? gen.GenereLTAB8(t, g, statique, 1)
                                      : name == "HTAB16" ? gen.GenereHTAB16(t, g, statique, 1)
                                                         : gen.GenereLTAB16(t, g, statique, 1);
                    QCOMPARE(r, int16_t(0));
                    for (int i = l.first; i <= l.last; ++i) {
                        // delay = static * K2 / (3 * K1 / i), static = hundredths / 100
                        const int64_t exact = exactRoundEven(hundredths * l.k2 * i, 300 * l.k1);
                        if (exact > 255)
                            continue;
                        if (t[i] != entry(int(exact)))
                            QFAIL(qPrintable(QString("%1 static %2 curve %3 entry %4: %5, exact %6")
                                                 .arg(name, text, curve)
                                                 .arg(i)
                                                 .arg(t[i], entry(int(exact)))));
                    }
                }
            }
        }
    }

    // The dwell in 8 us units (ms * 125), low byte on line 8, high on line 9;
    // halves go to the even neighbour.
    void dwellRoundsAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        row("6.5", "0.052", "3406", "3400");
        row("18.5", "0.148", "3412", "3400");
        row("38.5", "0.308", "3426", "3400");
        row("37.5", "0.3", "3426", "3400");
        row("125.5", "1.004", "347E", "3400");
        row("1484.375", "11.875", "34CC", "3405");
        row("276.5, decimal comma", "2,212", "3414", "3401");
    }

    void dwellRoundsAsTyped()
    {
        QFETCH(QString, text);
        QFETCH(QString, low);
        QFETCH(QString, high);
        TableHeaderSnapshot h = header();
        h.TxtDwell = text;
        ScriptedPrompts prompts;
        TableGenerator gen(h, prompts);
        FirmwareTable l8;
        QCOMPARE(gen.GenereLTAB8(l8, flat(5), 10, 1), int16_t(0));
        QCOMPARE(l8[8], low);
        QCOMPARE(l8[9], high);
    }

    void truncationAskedOncePerSet()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        FirmwareTable h1, l1, h2, l2;
        // 60 degrees of difference: far above 255 ticks at the low speeds.
        const CurveGridSnapshot g = grid({{"1000", "0", "40"}, {"9000", "30", "40"}});
        QCOMPARE(gen.GenereHTAB8(h1, g, 60, 1), int16_t(0));
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(gen.TroncatureAcceptee);
        QVERIFY(prompts.questions.first().startsWith(
            VEK_LANGUAGE::GetLanguageText("DifAvStAvTooBig") + "\r\n" +
            VEK_LANGUAGE::GetLanguageText("MessAvanceAuRegime").section('{', 0, 0)));
        QVERIFY(prompts.questions.first().endsWith("\r\nSouhaitez-vous tronquer cette avance ?"));
        QCOMPARE(h1[250], QString("34FF")); // the entry that asked is clamped too
        QCOMPARE(gen.GenereLTAB8(l1, g, 60, 1), int16_t(0));
        QCOMPARE(gen.GenereHTAB8(h2, g, 10, 2), int16_t(0)); // below 0: clamped silently
        QCOMPARE(h2[100], QString("3400"));
        QCOMPARE(gen.GenereLTAB8(l2, g, 60, 2), int16_t(0));
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(l1[255], QString("34FF"));

        // A new set asks again; No stops the table.
        ScriptedPrompts refuse;
        refuse.answer = false;
        TableGenerator next(header(), refuse);
        QCOMPARE(next.GenereHTAB8(h2, g, 10, 2), int16_t(-1));
        QCOMPARE(refuse.questions.size(), 1);
        // 40 degrees of curve at 10000 rpm for a static advance of 10.
        QCOMPARE(refuse.questions.first(),
                 QString("L'avance de la courbe dépasse l'avance statique.\r\n"
                         "Pour le régime 10000 tr/min, l'avance de la courbe est de 40°.\r\n"
                         "Souhaitez-vous tronquer cette avance ?"));
        QVERIFY(!next.TroncatureAcceptee);
    }

    // In every language: the reason, the speed with the curve's advance in
    // degrees, and the question, each on a line of its own.
    void truncationQuestionInEveryLanguage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("speedLine");
        QTest::addColumn<QString>("question");
        row("fr", "francais.ini", "Pour le régime 10000 tr/min, l'avance de la courbe est de 40°.",
            "Souhaitez-vous tronquer cette avance ?");
        row("en", "english.ini", "At 10000 rpm, the curve's advance is 40°.",
            "Do you want to truncate this advance?");
        row("de", "deutch.ini", "Bei 10000 U/min beträgt die Frühzündung der Kurve 40°.",
            "Möchten Sie diese Frühzündung begrenzen?");
        row("es", "spanish.ini", "Para el régimen de 10000 rpm, el avance de la curva es de 40°.",
            "¿Desea truncar este avance?");
        row("sk", "slovak.ini", "Pri 10000 ot/min je predstih krivky 40°.",
            "Chcete tento predstih orezať?");
    }

    void truncationQuestionInEveryLanguage()
    {
        QFETCH(QString, file);
        QFETCH(QString, speedLine);
        QFETCH(QString, question);
        const QString previous = VEK_LANGUAGE::FichierLangue();
        TestSupport::useTexts(file);
        ScriptedPrompts prompts;
        prompts.answer = false;
        TableGenerator gen(header(), prompts);
        FirmwareTable t;
        const int16_t result =
            gen.GenereHTAB8(t, grid({{"1000", "0", "40"}, {"9000", "30", "40"}}), 10, 2);
        const QString reason = VEK_LANGUAGE::GetLanguageText("DifAvStAvNotEnough");
        TestSupport::useTexts(previous);
        QCOMPARE(result, int16_t(-1));
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.questions.first().split("\r\n"),
                 QStringList({reason, speedLine, question}));
    }

    void type88Ranges()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        FirmwareTable t;
        const CurveGridSnapshot big = flat(0);
        QCOMPARE(gen.GenereHTAB16(t, big, 100, 1), int16_t(0)); // above 255: 34FF silently
        QCOMPARE(t[256], QString("34FF"));
        QCOMPARE(t[115], QString("34FF")); // 255.6
        QCOMPARE(t[114], QString("34FD")); // 253.3
        QCOMPARE(t[62], QString("348A"));  // 137.8
        QVERIFY(prompts.questions.isEmpty() && prompts.errors.isEmpty());

        QCOMPARE(gen.GenereLTAB16(t, big, 100, 1), int16_t(-1));
        // The speed and the curve's advance, never the table's delay in "0x".
        QCOMPARE(prompts.errors, QStringList{"L'écart entre l'avance statique et l'avance de la "
                                             "courbe est trop grand.\r\nPour le régime 3842 "
                                             "tr/min, l'avance de la courbe est de 0°."});

        QCOMPARE(gen.GenereHTAB16(t, flat(20), 10, 1), int16_t(-1));
        QCOMPARE(gen.GenereLTAB16(t, flat(20), 10, 1), int16_t(-1));
        QCOMPARE(prompts.errors.size(), 3);
        QCOMPARE(prompts.errors.at(1),
                 "L'avance de la courbe dépasse l'avance statique.\r\nPour le "
                 "régime 15120 tr/min, l'avance de la courbe est de 20°.");
        QVERIFY(prompts.questions.isEmpty());
        QVERIFY(!gen.TroncatureAcceptee);
    }

    void lowHeaderLines_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("type8");
        QTest::addColumn<QString>("type88");
        row("rev 10000", "rpm", "10000", 3, "34FF", "3417");
        row("rev 14678", "rpm", "14678", 3, "34FF", "34FF");
        row("rev 916", "rpm", "916", 3, "34FF", "34FF");
        row("rev 915", "rpm", "915", 3, "34FF", "3400");
        row("rev 20000", "rpm", "20000", 3, "34FF", "34BC");
        row("period 500", "rpm", "500", 11, "3400", "3400");
        row("period 500 high", "rpm", "500", 12, "3400", "3400");
        row("period 6000", "rpm", "6000", 11, "34F4", "3471");
        row("period 6000 high", "rpm", "6000", 12, "3401", "3402");
        row("static 10.5", "static", "10.5", 7, "340A", "340A");
        row("static 11.5", "static", "11.5", 7, "340C", "340C");
        row("static 127.5", "static", "127.5", 7, "3480", "3480");
        row("dwell comma", "dwell", "3,0", 8, "3477", "3477");
        row("dwell 5", "dwell", "5.00", 9, "3402", "3402");
        row("dwell 0", "dwell", "0", 8, "3400", "3400");
        row("low rpm 0", "low", "0.0", 6, "3401", "3401");
        row("low rpm 12", "low", "12.0", 6, "340D", "340D");
        row("knock", "knock", "255", 10, "34FF", "34FF");
        row("multiple spark", "spark", "multiple", 5, "3402", "3402");
        row("led 1", "led", "1", 13, "3403", "3403");
        row("led 2", "led", "2", 13, "3405", "3405");
        row("led 3", "led", "3", 13, "3409", "3409");
        row("led 4", "led", "4", 13, "3411", "3411");
    }
    void lowHeaderLines()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, type8);
        QFETCH(QString, type88);
        TableHeaderSnapshot h = header();
        if (field == "rpm")
            h.Txt_rpm_maxi = text;
        else if (field == "static")
            h.Txt_av_statique = text;
        else if (field == "dwell")
            h.TxtDwell = text;
        else if (field == "low")
            h.CmbAvanceBasRegime = text;
        else if (field == "knock")
            h.TxtDureeRetardCliquetis = text;
        else if (field == "spark")
            h.SingleSparck = false;
        else if (field == "led")
            h.HardXLED = text.toInt();
        ScriptedPrompts prompts;
        TableGenerator gen(h, prompts);
        FirmwareTable l8, l16;
        QCOMPARE(gen.GenereLTAB8(l8, flat(5), 10, 1), int16_t(0));
        QCOMPARE(gen.GenereLTAB16(l16, flat(5), 10, 1), int16_t(0));
        QCOMPARE(l8[line], type8);
        QCOMPARE(l16[line], type88);
    }

    // The type-88 rev-limit byte needs a usable rev limit: no division by zero,
    // no overflow for very low values.
    void revLimitRefused_data()
    {
        QTest::addColumn<QString>("rev");
        row("zero", "0");
        row("empty", "");
        row("negative", "-100");
        row("very low", "100");
    }
    void revLimitRefused()
    {
        QFETCH(QString, rev);
        TableHeaderSnapshot h = header();
        h.Txt_rpm_maxi = rev;
        ScriptedPrompts prompts;
        TableGenerator gen(h, prompts);
        FirmwareTable t;
        QCOMPARE(gen.GenereLTAB16(t, flat(5), 10, 1), int16_t(-1));
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(prompts.errors.first(), VEK_LANGUAGE::GetLanguageText("RpmMaxTooLittle") + "\r\n" +
                                             VEK_LANGUAGE::GetLanguageText("SupRpm5900"));
        // The type-8 table has no such line and goes through.
        QCOMPARE(gen.GenereLTAB8(t, flat(5), 10, 1), int16_t(0));
        QCOMPARE(t[11], QString("3400"));
    }

    void noOptionBoard()
    {
        ScriptedPrompts prompts;
        TableGenerator gen(header(), prompts);
        FirmwareTable l8, l16;
        QCOMPARE(gen.GenereLTAB8(l8, flat(5), 10, 1), int16_t(0));
        QCOMPARE(gen.GenereLTAB16(l16, flat(5), 10, 1), int16_t(0));
        for (const FirmwareTable *t : {&l8, &l16}) {
            QCOMPARE((*t)[22], QString("3400"));
            QCOMPARE((*t)[23], QString("34FF"));
            QCOMPARE((*t)[24], QString("3406"));
        }
        for (int line : {2, 14, 21, 25, 31, 32, 43, 44, 51, 58, 61})
            QCOMPARE(l8[line], QString("3400"));
        QCOMPARE(l8[4], QString("3404"));
        const QStringList inputs = {"3400", "3441", "3400", "3400", "3444", "3445"};
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(l8[52 + k], inputs[k]);
            QCOMPARE(l16[42 + k], inputs[k]);
        }
    }

    void optionBoard()
    {
        TableHeaderSnapshot h = header();
        OptionBoardState &b = h.optionBoard;
        b.CarteOptionId = "3";
        b.DeviceCfgP = "1f";
        b.DeviceCfgA = "06";
        b.DeviceCfg = "OOOIII"; // read from the right: inputs at 0-2, outputs at 3-5
        b.VoiesTOR[0] = {1, 0};
        b.VoiesTOR[1] = {2, 7500};
        b.VoiesTOR[2] = {3, 40};
        b.VoiesTOR[3] = {1, 6000};
        b.VoiesTOR[4] = {2, 300};
        b.VoiesTOR[5] = {0, 999};

        QCOMPARE(IndexVoieOption(b, "O", 1), int16_t(3));
        QCOMPARE(IndexVoieOption(b, "O", 3), int16_t(5));
        QCOMPARE(IndexVoieOption(b, "O", 4), int16_t(0));
        QCOMPARE(IndexVoieOption(b, "I", 2), int16_t(2));
        QCOMPARE(IndexVoieOption(b, "X", 1), int16_t(0));
        QCOMPARE(ValeurVoieOption(b, 3), int32_t(500));
        QCOMPARE(ValeurVoieOption(b, 4), int32_t(300));
        QCOMPARE(ValeurVoieOption(b, 5), int32_t(0));
        QCOMPARE(ValeurVoieOption(b, 9), int32_t(0));

        ScriptedPrompts prompts;
        TableGenerator gen(h, prompts);
        FirmwareTable l8, l16;
        QCOMPARE(gen.GenereLTAB8(l8, flat(5), 10, 1), int16_t(0));
        QCOMPARE(gen.GenereLTAB16(l16, flat(5), 10, 1), int16_t(0));
        QCOMPARE(l8[22], QString("3403"));
        QCOMPARE(l8[23], QString("341F"));
        QCOMPARE(l8[24], QString("3406"));
        const QStringList outputs = {"3408", "3401", "34F4", "3401", "3410", "3402",
                                     "342C", "3401", "3420", "3400", "3400", "3400"};
        for (int k = 0; k < 12; ++k)
            QCOMPARE(l8[32 + k], outputs[k]);
        const QStringList inputs = {"3403", "3405", "3490", "3401", "3409", "3428"};
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(l8[52 + k], inputs[k]);
            QCOMPARE(l16[42 + k], inputs[k]);
        }
        for (int line = 32; line <= 41; ++line)
            QCOMPARE(l16[line], QString("3400"));
    }

    void optionInputHighestPosition()
    {
        OptionBoardState b;
        b.DeviceCfg = "IIIIII";
        b.VoiesTOR[1].Action = 1;
        b.VoiesTOR[4].Action = 1;
        QCOMPARE(IndexVoieOption(b, "I", 1), int16_t(5));
        b.DeviceCfg = "III"; // a short description only names positions 3 to 5
        QCOMPARE(IndexVoieOption(b, "I", 1), int16_t(5));
        b.VoiesTOR[4].Action = 0;
        QCOMPARE(IndexVoieOption(b, "I", 1), int16_t(0));
        b.DeviceCfg = "OIIIIO"; // an output at position 0 counts as none
        QCOMPARE(IndexVoieOption(b, "O", 1), int16_t(0));
    }
};

QTEST_GUILESS_MAIN(TestTableGenerator)
#include "tst_tablegenerator.moc"
