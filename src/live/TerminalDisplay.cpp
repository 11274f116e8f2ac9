#include "live/TerminalDisplay.h"

#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"

namespace TerminalDisplay {

Mode ModeFromText(const QString &modeTerminal)
{
    if (modeTerminal == QLatin1String("dec"))
        return Mode::Dec;
    if (modeTerminal == QLatin1String("hex"))
        return Mode::Hex;
    return Mode::Asc;
}

QString TexteRecu(const QByteArray &bytes, Mode mode)
{
    switch (mode) {
    case Mode::Dec:
        return StrToDecDump(bytes);
    case Mode::Hex:
        return StrToHexDump(bytes);
    case Mode::Asc:
        break;
    }
    return TextEncoding::decodeWindows1252(bytes);
}

bool DoitTronquer(qsizetype boxLength)
{
    return boxLength > LongueurMax;
}

QString Tronque(const QString &boxText)
{
    return DoitTronquer(boxText.size()) ? boxText.right(LongueurGardee) : boxText;
}

} // namespace TerminalDisplay
