#pragma once

#include <QString>
#include <QStringMatcher>
#include <QStringView>

#include <vector>

namespace trelok {

// Finds the rows of a list where any column contains a searched text,
// compared as the "MAC C Times" font shows it and without regard to case
// (foldShown). Each row's texts are folded once; a search that extends the
// previous one looks only at the rows that matched it, so typing one more
// letter stays quick on a list of any length.
class RowFilter {
public:
    // Forgets the rows, keeping the search; add the rows again, then call
    // searchAgain.
    void clear();
    void addRow(const QString *cells, qsizetype count);
    void searchAgain() { searchAll(); }
    int rowCount() const { return int(m_start.size()) - 1; }

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
    void searchAll();

    bool rowContains(int row, const QStringMatcher &matcher) const;

    QString m_text;                    // every row's folded cells, one after the other
    std::vector<qsizetype> m_start{0}; // where each row begins in m_text
    QString m_needle;
    std::vector<int> m_matches;
};

} // namespace trelok
