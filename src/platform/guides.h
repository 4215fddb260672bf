#pragma once

#include <QString>

namespace trelok {

// The two guides installed with the program.
inline constexpr auto installationGuide = "instalacija.html";
inline constexpr auto usersGuide = "koristenje.html";

// Where an installed guide is: share/trelok/guide beside the program's bin
// folder (the build tree has the same layout). Empty when it is not there.
QString guideFile(const QString &name);

} // namespace trelok
