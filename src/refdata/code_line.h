#pragma once

#include <QString>

namespace trelok {

// One line of a two-column code list: the code and its name or description.
struct CodeLine {
    QString code;
    QString name;
};

} // namespace trelok
