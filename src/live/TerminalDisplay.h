#pragma once

#include <QByteArray>
#include <QString>

// How the terminal page turns received bytes into text, and how it keeps its
// box small.
namespace TerminalDisplay {

enum class Mode { Asc, Dec, Hex };

// `ModeTerminal` text: "dec" and "hex" pick those modes; anything else, the
// empty text included, shows the bytes as received.
Mode ModeFromText(const QString &modeTerminal);

// The text shown for received bytes: as received (every byte one character, the
// old 8-bit code page, so no byte is lost), or " 065 066" / " 41 42".
QString TexteRecu(const QByteArray &bytes, Mode mode);

// The box text before new text is inserted: above 1000 characters only its last
// 100 are kept; otherwise it is left as it is.
inline constexpr int LongueurMax = 1000;
inline constexpr int LongueurGardee = 100;
bool DoitTronquer(qsizetype boxLength);
QString Tronque(const QString &boxText);

} // namespace TerminalDisplay
