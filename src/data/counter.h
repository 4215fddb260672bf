#pragma once

#include "data/result.h"

#include <QString>

#include <optional>

namespace trelok {

class Store;

// The document type under which payment orders are counted.
inline constexpr auto orderDocumentType = "TRELOK";

// The yearly document counter. get_brojac gives the next number of a year
// and document type without storing anything; put_brojac stores a number as
// the last one issued. Numbers are "<sequence>/<year>" without leading zeros.
DbResult<QString> get_brojac(Store &store, const QString &god, const QString &tip_dok);
DbStatus put_brojac(Store &store, const QString &god, const QString &tip_dok, QString &br_dok);

// The highest sequence the counter continues from: 18 digits. Counted in
// whole numbers, never in floating point, so every number is exact.
inline constexpr qint64 maxSequence = 999'999'999'999'999'999;

// The sequence part of a stored counter text: everything before "/" and the
// four-digit year, read as a leading number. Texts too short to hold a year,
// or without a leading number, read as 0. Nothing when the number is not
// one the counter can continue: negative, with a fraction, or above
// maxSequence.
std::optional<qint64> counterSequence(const QString &tekoven_br);

// The counter of a year and document type as stored: absent (no row yet),
// or its text and, when it can be continued, its sequence. A stored text
// that is Null or too short to hold a year is an error.
struct StoredCounter {
    bool present = false;
    QString text;
    std::optional<qint64> sequence;
};
DbResult<StoredCounter> readCounter(Store &store, const QString &god, const QString &tip_dok);

// Why a stored counter cannot be continued, naming it.
QString uncontinuableCounter(const QString &god, const QString &tip_dok, const QString &text);

} // namespace trelok
