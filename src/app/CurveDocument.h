#pragma once

#include "app/EngineParameters.h"
#include "base/OptionBoardState.h"
#include "base/ValueRules.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

struct CurveReadResult;

// A curve as its files carry it: the curve rows as text cells, every engine
// parameter as list position or box text, the option board and its channels.
// It knows the file layouts only; putting a document into the main window's
// controls (and taking one out of them) is the window's business.
class CurveDocument
{
public:
    // Sizes of the parameter lists (positions 0 .. size - 1).
    static constexpr int kCylinderPositions = 5;    // "1", "2", "4", "6", "8"
    static constexpr int kLowRpmPositions = 13;     // "0.0" .. "12.0"
    static constexpr int kKnockRetardPositions = 9; // "0.0" .. "4.0" by 0.5
    static constexpr int kHardXLedPositions = 5;    // "DISABLE" .. "BOOST"
    static constexpr int kChannels = 6;

    // How a file lays out the curve.
    enum class Layout {
        Keyword,     // "#VEKP_COURBE 2": key lines, always written
        Positional,  // "#VEKP_COURBE": the older layout, read only
        SingleCurve, // ".mrt": rpm and one advance a line
    };
    // Which advance column the values of a single-curve file go into.
    enum class MrtColumn { Atmo, Turbo };

    // List positions and box texts, defaults as a new curve has them.
    EngineParameters moteur;

    // Board named by the file; none when the file names no board at all
    // (an empty name stands for "no board").
    std::optional<QString> CarteOptionNom;
    // Channel kinds of the board ("I", "O", "A" per channel, read from the
    // right); the writer names each channel's action by its kind.
    QString DeviceCfg;
    std::array<VoieTOR, 7> VoiesTOR{};

    bool knockColumn = false; // a fourth grid column
    QList<QStringList> rows;  // data rows; each has columnCount() cells

    int columnCount() const { return knockColumn ? 4 : 3; }
    bool operator==(const CurveDocument &other) const;

    // File texts, Windows-1252 with CR LF line ends.
    QByteArray toVek() const;
    QByteArray toMrt() const;

    // Parses a ".vek" file of either layout over `base` (what the file does
    // not mention keeps the value of `base`). A line that cannot be read
    // fails the whole file; `base` is what the caller keeps then. Engine
    // values and thresholds are read by the table of value rules; one refused
    // keeps the value of `base` and is listed, naming `file` and its line.
    static CurveReadResult parseVek(const QByteArray &bytes, const CurveDocument &base,
                                    const QString &file = {});
    // Parses a ".mrt" file over `base`; the values go into `column`, 0 into the other.
    static CurveReadResult parseMrt(const QByteArray &bytes, const CurveDocument &base,
                                    MrtColumn column);

    // Word of a channel action in the file, by the channel's kind letter.
    static QString channelWord(QChar kind, int action);
    // Action code of a word read from a file, whatever the channel's kind.
    static uint8_t channelAction(const QString &word);
    // The value a channel's threshold is, by its action word; none for an
    // action without threshold.
    static std::optional<ValueRules::Value> thresholdValue(const QString &word);
    // Kind letter of channel n in a board description (channel 0 is the last letter).
    static QChar channelKind(const QString &deviceCfg, int channel);

    // Entry of the option-board list named by a file: the first whose name
    // matches without regard to case, else 0 (no board).
    static int optionBoardEntry(const QStringList &boardNames, const QString &name);

    // Number text with a blank in place of the sign when not negative
    // (" 11", " 2.5", "-1"), "." as decimal point, no trailing zeros.
    static QString signedNumberText(double value);
    // The same without the blank ("3000", "2500.5").
    static QString numberText(double value);
};

// Outcome of reading a curve file.
struct CurveReadResult {
    CurveDocument document; // the curve read (only when ok())
    CurveDocument::Layout layout = CurveDocument::Layout::Keyword;
    QString errorKey;        // language key of the failure, empty on success
    int errorLine = 0;       // 1-based line that failed (0: the whole file)
    QList<int> commentLines; // lines skipped as remarks without "#"
    QList<int> rowLines;     // line of the file each row of the curve came from
    // Values refused (kept as `base` had them) or read otherwise than written.
    QList<ValueRules::Outcome> values;

    bool ok() const { return errorKey.isEmpty(); }
};
