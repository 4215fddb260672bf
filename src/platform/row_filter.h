#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

namespace trelok {

// Finds the rows of a list where any column contains a searched text,
// compared as the "MAC C Times" font shows it and without regard to case
// (foldShown). The rows' texts are held once, as UTF-8 in large blocks, and
// folded while searching; a search that extends the previous one looks only
// at the rows that matched it, so typing one more letter stays quick on a
// list of any length. The held texts also give back each cell (cell).
class RowFilter {
public:
    // Forgets the rows, keeping the search; add the rows again, then call
    // searchAgain.
    void clear();
    void addRow(const QString *cells, qsizetype count);
    // The same from UTF-8 texts, copied straight into the held blocks.
    void addRow(const QByteArrayView *cells, qsizetype count);
    void searchAgain() { searchAll(); }
    int rowCount() const { return int(m_rows.size()); }
    // A column's text of a row, as it was added.
    QString cell(int row, int column) const;
    // The same as UTF-8, without a copy.
    QByteArrayView cellBytes(int row, int column) const;

    // A row's form as held here, for other holders of rows: its cells'
    // UTF-8 bytes, each ended by a byte UTF-8 never holds, appended to to;
    // and a column of such a row.
    static void appendRow(QByteArray &to, const QByteArrayView *cells, qsizetype count);
    static QByteArrayView cellOf(QByteArrayView row, int column);

    // Reorders the rows: row i becomes the former row order[i]. The search
    // is applied again to the new order.
    void permute(const std::vector<int> &order);

    // Searches for text; false when it folds to the current search, so
    // nothing changes.
    bool search(const QString &text);
    bool changes(const QString &text) const { return fold(text) != m_needle; }
    // Whether a search narrows the rows (an empty text shows all).
    bool active() const { return !m_needle.isEmpty(); }
    // The rows that match, in ascending order (only while active).
    const std::vector<int> &matches() const { return m_matches; }
    // The folded form of a text, as search compares it.
    static QString fold(QStringView text);

private:
    // Where a row's bytes are: its cells, each ended by a byte UTF-8 never
    // holds, so a search never matches across two columns.
    struct Span {
        quint32 block, begin, end;
    };
    void searchAll();
    void append(QByteArrayView row);
    // The block a row of size bytes goes to.
    QByteArray &blockFor(qsizetype size);
    bool rowContains(int row, const QByteArray &needle, QByteArray &folded) const;

    std::vector<QByteArray> m_blocks;
    std::vector<Span> m_rows;
    QString m_needle;
    std::vector<int> m_matches;
};

} // namespace trelok
