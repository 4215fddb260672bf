#pragma once

#include <QString>
#include <QStringList>

namespace trelok {

inline constexpr auto formFontFamily = "MAC C Times";

// The four faces of "MAC C Times", in the order they are registered.
QStringList fontFileNames();

// Registers the font files of the application directory for this program
// only. A file that is missing or unusable is skipped silently. Returns how
// many faces were added.
int registerApplicationFonts(const QString &directory);

} // namespace trelok
