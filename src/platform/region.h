#pragma once

#include <QLocale>

namespace trelok {

// Probes whether numbers written with "." as decimal point read back
// unchanged under the user's regional number format. A text that cannot be
// read back at all counts as a failed probe.
bool decimalPointReadsBack(const QLocale &locale);

} // namespace trelok
