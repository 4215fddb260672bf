#pragma once

#include <QImage>

namespace trelok {

// The blank payment form PP 50 (614 x 396 pixels): the ground of the entry
// window and the picture the calibration moves.
QImage blankForm();

} // namespace trelok
