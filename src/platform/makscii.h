#pragma once

#include <QString>

namespace trelok {

// What the "MAC C Times" font shows for a text: Latin letters and the
// MAKSCII punctuation as Macedonian Cyrillic. Used for accessible names, so a
// screen reader speaks what the user sees.
QString makscii(const QString &latin);

} // namespace trelok
