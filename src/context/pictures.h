#pragma once

#include <QImage>

namespace trelok {

// The pictures of the windows, drawn by the program itself at the size
// they are shown at (drawn once there rather than scaled when shown).
QImage mainBackground(QSize size = {614, 383}); // the main window's background
QImage emblem(QSize size = {387, 383});         // the neutral emblem of the forms

} // namespace trelok
