#pragma once

#include <QString>

#include <span>

namespace trelok {

// Where a window's box sits, in twips, its place in the keyboard order and
// the caption that names it for a screen reader (as the form font shows it).
struct BoxPlace {
    int left = 0, top = 0, width = 0, height = 0;
    int tab = 0;
    const char *caption = nullptr;
};

// What one stored text column may hold: what the window's box for it takes.
struct ColumnDescriptor {
    const char *name;  // the column
    const char *box;   // the window's box that fills it, or nullptr
    int maxLength;     // the most characters the box holds
    bool oneLine;      // the box has one line: no line break
    bool trimmed;      // stored trimmed (else as typed)
    BoxPlace place{};  // where the box sits, when the window is laid out from here
};

// The most characters a box holds when the window sets no limit.
inline constexpr int unlimitedBox = 32767;

// Why value cannot be stored in the column as its box could never hold it
// (too long, a NUL, a line break in a one-line box), naming the column;
// empty when it can. A trimmed column is measured trimmed.
QString columnRefusal(const ColumnDescriptor &column, const QString &value);
// The same for a column no descriptor names: at most maxLength characters
// (measured trimmed when trimmed), no NUL, no line break when oneLine.
QString valueRefusal(const QString &name, const QString &value, int maxLength, bool oneLine,
                     bool trimmed);

// The longest CSV record that can carry a row of these columns: every field
// quoted with each character a doubled quote, as many blanks again around
// it, and the separators.
qsizetype longestCsvRecord(std::span<const ColumnDescriptor> columns);

} // namespace trelok
