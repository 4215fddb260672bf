#pragma once

#include <QString>

#include <array>

namespace trelok {

// The pieces of a dashed text, at most five.
using DashPieces = std::array<QString, 5>;

// Splits a dashed text (trimmed) at each "-" into at most five pieces,
// written to pieces. Pieces the text does not reach keep their previous
// values, so callers empty them first. An empty text touches nothing.
// Returns the empty text.
QString dvoi_crtka(DashPieces &pieces, const QString &mtxt_);

// The pieces of a dashed text, those it does not reach empty (dvoi_crtka).
DashPieces dashPieces(const QString &text);

// With the function word "ADD" (any case): inserts sto_ directly after the
// posle_-th dash of the trimmed text, or in front of it when posle_ is 0.
// Any other word, or fewer dashes than posle_, gives the input unchanged.
QString crtka(const QString &mtxt_, const QString &fja_, int posle_, const QString &sto_);

// A conversion hook that returns its argument unchanged.
QString zasy2mk(const QString &zborce);

} // namespace trelok
