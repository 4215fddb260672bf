#pragma once

#include "print/calibration_sheet.h"

#include <optional>

namespace trelok {

struct AppContext;

// The stored calibration sheet, with the application's printer chosen to
// print it. Empty when it cannot be printed: the user has been told why (no
// printer chosen, the printer gone, the database held), or the program ends
// on a missing configuration row.
std::optional<LoadedSheet> loadSheetForPrinter(AppContext &context);

} // namespace trelok
