#pragma once

#include <QApplication>

namespace trelok {

// The hourglass while a lookup or a list fill runs; the normal pointer again
// when it goes out of scope.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass &) = delete;
    Hourglass &operator=(const Hourglass &) = delete;
};

} // namespace trelok
