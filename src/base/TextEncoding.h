#pragma once

#include <QByteArray>
#include <QString>

// The original text files are 8-bit Windows-1252; files written by newer tools
// may be UTF-8. Reading takes UTF-8 where the bytes are valid UTF-8.
namespace TextEncoding {

QString decodeWindows1252(const QByteArray &bytes);
// Characters outside Windows-1252 become '?'.
QByteArray encodeWindows1252(const QString &text);
// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
QString decodeText(const QByteArray &bytes);

// Whether the text holds a control character (C0, DEL or C1; NUL among them).
bool hasControlCharacters(QStringView text);
// Text from outside (a file, a module) as a window or message shows it, on one
// line: each control character (C0, DEL, C1) as a middle dot "·", which every
// font draws (the control pictures of U+2400 are missing from the usual ones).
// Only for showing: what is stored or compared keeps the characters as received.
QString visibleControls(QString text);
// Text from a file as a message shows it: visibleControls, at most `length`
// characters, longer texts cut and ended by "...".
QString shownInMessage(const QString &text, qsizetype length = 40);

// Reads a whole text file (decodeText) and splits it into lines ended by
// CR LF, LF or CR. A final line without an end is kept. False if unreadable or
// larger than BoundedFile::MaxTextFileBytes; `error` then says why.
bool readTextLines(const QString &path, QStringList &lines, QString *error = nullptr);

} // namespace TextEncoding
