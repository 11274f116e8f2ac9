#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Every value a user can give is declared once here, with how its text is
// read, its bounds and the paths that bring it into the program. Each path
// reads it through `read`, so that the same text gets the same value or the
// same refusal wherever it comes from, and the refusal names the value and
// where it came from (a box, or a file and its line).
//
// Adding a value: add its id to `Value` (before Count) and one row to the
// table in ValueRules.cpp. Adding a path: add it to `Path` (before Count),
// list it in the rows of the values it takes, and give tst_ui_valuerules a
// driver that brings a text in by that path; the test fails for a listed path
// it cannot drive. A value whose text is not a number (a name, a port) gives
// its row a `textRule` that returns the reason a text is refused.
namespace ValueRules {

// How a value's text is read.
enum class Reading {
    Decimal, // "," or "." as the decimal point, brought onto the row's quantum
    Whole,   // digits with an optional sign; no point, no comma
    Hex,     // 1 to `hexDigits` hexadecimal digits without prefix
    Text,    // a name or a port: judged by the row's `textRule`, trimmed first
             // unless the row keeps its blanks
};

// Where a value comes from.
enum class Path {
    TypedBox,           // typed into a box of a window
    GridCell,           // typed into a cell of a window's grid
    CurveFileV1,        // "#VEKP_COURBE": the older positional curve file
    CurveFileV2,        // "#VEKP_COURBE 2": the keyword curve file
    Project,            // the curve file inside a project
    PackageDescription, // a package's description file
    SettingsFile,       // the program's settings file
    PackageEditor,      // a box of the package editor
    UpdateEditor,       // a box of the update-package editor
    SetupDialog,        // a box of a set-up dialog
    TableImport,        // a table include file imported into the curve
    Count
};

enum class Value {
    StaticAdvance,       // "#AVANCE STATIQUE", degrees
    RevLimit,            // "#MAXI RPM", rpm
    Dwell,               // "#DWELL T", ms
    KnockRetardDuration, // "#CLIQUETIS TEMPS"
    LowRpmAdvance,       // "#AVANCE BAS REGIME", degrees
    KnockAdvance,        // "#CLIQUETIS AVANCE", degrees
    MapPercentage,       // a MAP percentage of the MAP table
    MapPressureBand,     // a load-pressure band of the MAP boxes: "25-50" or "25"
    ThresholdRpm,        // option-board threshold of an RPM or rev-limit action
    ThresholdBoost,      // option-board threshold of a BOOST action
    ThresholdSequential, // option-board threshold of the sequential cut
    ProgrammerDelay,     // "ICSP_Delay": microseconds after each bit frame
    CurveLines,          // "NB_COURBES", "ICSP_NBTABLES": one MAP percentage box per line
    CodeStart,           // "HEX_ADD", "ICSP_HEXADD": first word of the firmware's range
    CodeLength,          // "HEX_LNG", "ICSP_HEXLNG": words of the firmware's range
    TableAddress,        // "ADD_TABLE_…", "ICSP_LTAB_L1"…: first word of a set of tables
    PackageName,         // a package's name, NomDuFichier: the file name of its archive,
                         // blanks around it included
    CylinderCount,       // "VAL_NBCYL": an entry of the cylinder list
    PackageRevLimit,     // "LIMITE_RUPTEUR": the firmware's rev limiter, rpm
    Port,                // a port: "COMn", "LPTn" or the path of a device
    WriteAttempts,       // "ICSP_NbWrite": write attempts per word of the programmer
    CompilationType,     // "TypeCompilation": the firmware build, 8, 16 or 88
    SerialPort,          // "newport": the live link's port, a number from 1 or a serial port
    SerialSettings,      // "com$": rate, parity, data and stop bits ("9600,N,8,1")
    ChartType,           // "TypeCourbe": the curve chart's type code
    LanguageFile,        // "Language": a file of the language folder
    Handshaking,         // "Handshaking": the live link's flow control, 0 to 3
    BoxType,             // "ICSP_Boitier": the programmer box, 0 to 3
    OutputPin,           // "ICSP_Broche_MCLR", "…CLOCK", "…DATA": a pin of the output list
    InputPin,            // "ICSP_Broche_DATAR": a pin of the input list
    Count
};

// Returns why `text` (trimmed) is refused, empty when it is taken; a taken
// text may be brought to the form the program writes ("12,5" to "12.5").
using TextRule = QString (*)(QString &text);

struct Declaration {
    Value id;
    const char *nameKey; // language key of the value's caption
    Reading reading;
    double lowest = 0;
    double highest = 0;
    double quantum = 0; // Decimal: a taken value is rounded to a multiple of it
    // Digits after "." in the text a taken number gets; -1: as few as the
    // value needs ("11", "2.5"), the form the files write it in.
    int decimals = 0;
    int hexDigits = 0; // Hex: the most digits
    TextRule textRule = nullptr;
    QList<Path> paths;       // every path that brings this value in
    bool mayBeEmpty = false; // an empty text is no value given, and taken as such
    // Whole: the only numbers taken, in the order a list shows them (a pin list,
    // the chart types); none: every number within the bounds.
    QList<int> choices = {};
    // The language key of the refusal of an empty text; none: "SaisieVide".
    const char *emptyKey = nullptr;
    bool keepsBlanks = false; // Text: blanks around it are part of it, judged by the rule

    QString name() const; // the caption, in the user's language
    // `value` rounded, halves to even, to a multiple of the quantum.
    double onQuantum(double value) const;
    // The value nearest to `value` that the rule takes: within the bounds, on
    // the quantum. What a value gets that a file refused or left out.
    double nearestTaken(double value) const;
};

// The entries of the cylinder list, the counts a firmware may fix.
const QStringList &CylinderCounts();

// The table, one row per value, in the order of `Value`.
const QList<Declaration> &Table();
const Declaration &Declared(Value value);

// Where a text came from: a box (no file), or a file and its line (0 when
// the file has no lines to name, as the settings file).
struct Source {
    Path path = Path::TypedBox;
    QString file;
    int line = 0;
    QString name; // the value's name where the caption is not enough ("SEUIL 5")

    static Source box(Path path = Path::TypedBox) { return {path, {}, 0, {}}; }
    static Source inFile(Path path, const QString &file, int line)
    {
        return {path, file, line, {}};
    }
    bool fromFile() const { return !file.isEmpty(); }
};

enum class Fault {
    None,
    Empty,        // nothing but blanks
    NotANumber,   // no number at all ("abc", "1.000,5")
    TrailingText, // a number, then something else ("7000 rpm", "1e3")
    NotWhole,     // a point or comma in a whole number ("6500,5", "7.000")
    OutOfRange,   // a number outside the bounds
    NotHex,       // not 1 to hexDigits hexadecimal digits
    Refused,      // a Text value its rule refuses
    ReadAs,       // taken, but a file wrote it otherwise ("12,5", "06000", "+12", "7.000",
                  // "3" where a point is written: read as 12.5, 6000, 12, 7.0, 3.00)
};

struct Outcome {
    Fault fault = Fault::None;
    std::optional<double> value; // a taken number (Decimal, Whole, Hex)
    QString text;                // a taken value as the program writes it ("12.5")
    QString reason;              // why refused or read otherwise, without naming the value
    QString message;             // the reason naming the value and its source

    bool taken() const { return fault == Fault::None || fault == Fault::ReadAs; }
    // Something to tell the user: a refusal, or a file value read otherwise.
    bool listed() const { return fault != Fault::None; }
};

// The one reading of a value's text. A box value brought onto the quantum is
// taken silently ("45,3" shows "45.5"); a file number written otherwise than
// the program writes it (a comma, off the quantum, a "+", leading zeros, more
// decimals than it writes, none where it writes some) is taken in the
// program's form and listed ("read as 45.5"), so that the user sees what
// became of it. Fewer decimals than the box shows ("2.5" for "2.50") is the
// program's own form too: its new curve writes it so.
Outcome read(Value value, const QString &text, const Source &source);

// Messages of several listed outcomes under one heading (the language key
// `headingKey`, by default that of values read from a file); empty for none.
QString listMessage(const QList<Outcome> &outcomes);
QString listMessage(const QList<Outcome> &outcomes, const char *headingKey);

// The text a taken number is written with ("45.5", "6500").
QString numberText(const Declaration &declaration, double value);

} // namespace ValueRules
