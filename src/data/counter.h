#pragma once

#include "data/result.h"

#include <QString>

namespace trelok {

class Store;

// The document type under which payment orders are counted.
inline constexpr auto orderDocumentType = "TRELOK";

// The yearly document counter. get_brojac gives the next number of a year
// and document type without storing anything; put_brojac stores a number as
// the last one issued. Numbers are "<sequence>/<year>" without leading zeros.
DbResult<QString> get_brojac(Store &store, const QString &god, const QString &tip_dok);
DbStatus put_brojac(Store &store, const QString &god, const QString &tip_dok, QString &br_dok);

// The sequence part of a stored counter text: everything before "/" and the
// four-digit year, read as a leading number. Texts too short to hold a year
// read as 0. A stored text that is Null or too short is reported as an error
// by get_brojac rather than restarting the sequence.
double counterSequence(const QString &tekoven_br);

} // namespace trelok
