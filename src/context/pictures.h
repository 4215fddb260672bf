#pragma once

#include <QImage>

namespace trelok {

// The pictures of the windows, drawn by the program itself.
QImage mainBackground(); // 614 x 383: the main window's background
QImage emblem();         // 387 x 383: the neutral emblem of the forms

} // namespace trelok
