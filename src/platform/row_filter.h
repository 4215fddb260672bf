#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

namespace trelok {

// Finds the rows of a list where any column contains a searched text,
// compared as the "MAC C Times" font shows it and without regard to case
// (foldShown). The rows' texts are held once, as UTF-8 in large blocks, and
// folded while searching; a search that extends the previous one looks only
// at the rows that matched it, so typing one more letter stays quick on a
// list of any length. The held texts also give back each cell (cell).
// A text that a column repeats (a date, a method, a kind, a purpose) is held
// once for the column, the rows naming it in three bytes, and is folded and
// searched once per search; a column whose texts hardly repeat stops being
// looked up. Every sixteenth row is held whole; in the rows after it, a cell
// held as its text keeps only what follows the start it shares with the same
// column of that row ("108-2026-1010-23" after "108-2026-1010-16" held whole
// costs five bytes), so any row is read from two, and a search folds that
// start once.
// Each row costs four bytes beside its texts.
class RowFilter {
public:
    // Forgets the rows, keeping the search; add the rows again, then call
    // searchAgain.
    void clear();
    void addRow(const QString *cells, qsizetype count);
    // The same from UTF-8 texts, copied straight into the held blocks.
    void addRow(const QByteArrayView *cells, qsizetype count);
    void searchAgain() { searchAll(); }
    int rowCount() const { return int(m_starts.size()); }
    // A column's text of a row, as it was added.
    QString cell(int row, int column) const;
    // The same as UTF-8, valid until the next call of cell, cellBytes,
    // search or addRow. Reading rows in ascending order is quickest.
    QByteArrayView cellBytes(int row, int column) const;

    // A row's form as held here, for other holders of rows: its cells'
    // UTF-8 bytes, each ended by a byte UTF-8 never holds, appended to to;
    // and a column of such a row.
    static void appendRow(QByteArray &to, const QByteArrayView *cells, qsizetype count);
    static QByteArrayView cellOf(QByteArrayView row, int column);

    // Searches for text; false when it folds to the current search, so
    // nothing changes.
    bool search(const QString &text);
    bool changes(const QString &text) const { return fold(text) != m_needle; }
    // The rows from first on that match the search (rows added since it),
    // in ascending order; addMatches adds them to those shown.
    std::vector<int> matchesFrom(int first);
    void addMatches(const std::vector<int> &rows);
    // Whether a search narrows the rows (an empty text shows all).
    bool active() const { return !m_needle.isEmpty(); }
    // The rows that match, in ascending order (only while active).
    const std::vector<int> &matches() const { return m_matches; }
    // The folded form of a text, as search compares it.
    static QString fold(QStringView text);

private:
    // The texts a column repeats, each held once.
    struct Shared {
        std::vector<QByteArray> texts;
        QHash<QByteArray, int> ids;
        // Texts looked up, and how many of them were held already.
        qsizetype seen = 0, found = 0;
        // Whether each text contains the current search.
        std::vector<bool> matching;
    };
    // A row's cells: each either its text (length bytes at text: in the
    // row's bytes, or in own when its first bytes are those of the row held
    // whole before it), or the number of one of its column's shared texts
    // (shared, else -1).
    struct Cell {
        const char *text = nullptr;
        size_t length = 0;
        size_t kept = 0;
        int shared = -1;
        std::string own;
    };
    // The cells of row, and of the row held whole before it (first); the
    // text cellBytes gave last.
    struct Reader {
        int row = -1, first = -1;
        std::vector<Cell> cells, whole;
        size_t count = 0;
        std::string text;
    };
    // A search going through rows in order.
    struct Walk;
    // Makes the reader hold row.
    const Reader &readRow(int row) const;
    // A column's cell of the row held whole first, which the reader holds.
    const Cell *wholeCell(int first, int column) const;
    // Reads row's cells into cells (as many as it has): the starts from
    // whole, the cells of the row held whole before it. Gives how many.
    size_t readCells(int row, std::vector<Cell> &cells, const std::vector<Cell> *whole) const;
    // Folds row into to, each cell ended by a cellBreak; gives its size.
    // Without found, row is held whole: where each text begins and its
    // ASCII start are kept in walk, and whether a shared cell matches.
    // Otherwise a text's start shared with that row is copied from there,
    // and found is set when a shared cell matches.
    size_t foldRow(int row, Walk &walk, std::string &to, bool *found = nullptr) const;
    void searchAll();
    // The texts shared from now on, each folded once for needle.
    void matchShared(const QByteArray &needle);
    void append(QByteArrayView row);
    // The block a row of size bytes goes to.
    QByteArray &blockFor(qsizetype size);
    // A row's bytes: its cells one after another, each either its text
    // ended by a byte UTF-8 never holds (so a search never matches across
    // two columns), or a mark UTF-8 never holds and two bytes naming a text
    // of the column's shared texts, or another such mark, a byte counting
    // the bytes its text shares with the same column of the last row held
    // whole, and the rest of its text, ended as a text.
    QByteArrayView rowBytes(int row) const;
    // Appends a cell of column to a row's bytes.
    void appendCell(QByteArray &to, int column, QByteArrayView text);
    // The number of text among column's shared texts (added when new), or
    // -1 when it is held with its row.
    int sharedId(int column, QByteArrayView text);
    bool rowContains(int row, const QByteArray &needle, Walk &walk) const;
    // Whether rows at the row being added keep only what follows the start
    // they share with the row before.
    bool sharesStarts() const { return rowCount() % wholeEvery != 0; }
    static constexpr int wholeEvery = 16;

    std::vector<QByteArray> m_blocks;
    // Where each row begins in its block, and the first row of each block.
    std::vector<quint32> m_starts;
    std::vector<int> m_blockRows;
    std::vector<Shared> m_shared;
    // The row being added, and each column's text of the last row held
    // whole.
    QByteArray m_row;
    std::vector<std::string> m_whole;
    mutable Reader m_reader;
    QString m_needle;
    // The search the shared texts' answers (Shared::matching) are for.
    QByteArray m_sharedNeedle;
    std::vector<int> m_matches;
};

} // namespace trelok
