#pragma once

#include <QString>

namespace trelok {

// What the "MAC C Times" font shows for a text: Latin letters and the
// MAKSCII punctuation as Macedonian Cyrillic. Used for accessible names, so a
// screen reader speaks what the user sees.
QString makscii(const QString &latin);

// The reverse: each Unicode Macedonian Cyrillic letter (31, both cases)
// becomes the code point the font shows as that letter; Latin letters and
// every other character stay as they are. Text typed on a Cyrillic keyboard
// is stored this way, like everything else the system holds.
QString fromCyrillic(const QString &text);

// One character as searches compare it: the letter the font shows, without
// regard to case. `{` and `[` (ш, Ш) fold together, and so do a Unicode
// Cyrillic letter and the code point the font shows as that letter.
QChar foldShown(QChar c);

} // namespace trelok
