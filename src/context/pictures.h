#pragma once

#include "platform/twips.h"

#include <QImage>
#include <QList>

namespace trelok {

// The pictures of the windows, drawn by the program itself at the size
// they are shown at (drawn once there rather than scaled when shown). The
// main window's are drawn when the program is built (make_pictures) and
// compiled in as their pixels, so a start only shows them; a size without
// such a copy is drawn when asked.
QImage mainBackground(QSize size = {614, 383}); // the main window's background
QImage emblem(QSize size = {387, 383});         // the neutral emblem of the forms

// The same, drawn now.
QImage drawMainBackground(QSize size);
QImage drawEmblem(QSize size);

// Where the main window shows them.
inline constexpr QSize mainBackgroundSize = twips::size(9285, 5730);
inline constexpr QRect mainEmblemPlace = twips::rect(1440, 960, 1965, 1905);

// A picture drawn when the program is built: the name of its copy among
// the resources (":/pictures/NAME": width, height and QImage format as
// three 32-bit numbers, then the rows of 32-bit pixels), its size and its
// drawing.
struct BuiltPicture {
    const char *name;
    QSize size;
    QImage (*draw)(QSize);
};
QList<BuiltPicture> builtPictures();

// The bytes of a built picture's copy.
QByteArray builtPictureBytes(const QImage &image);

} // namespace trelok
