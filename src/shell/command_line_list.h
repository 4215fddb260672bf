#pragma once

class QTextStream;

namespace trelok {

struct HeadlessRun;

// --list FROM TO [--kind K] (--pdf FILE | --csv FILE): the orders of the
// period with their totals, written to an A4 PDF or a CSV file. Messages go
// to err. Returns 0 when the file was written, 2 when the command line is
// refused (a date, the order of the dates, an unknown kind, not exactly one
// of --pdf and --csv), 1 when the list could not be read or written.
int periodListFromCommandLine(HeadlessRun &run);

} // namespace trelok
