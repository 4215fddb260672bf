#pragma once

#include "data/forward_read.h"
#include "data/result.h"
#include "platform/filtered_table_model.h"

#include <QByteArrayView>
#include <QHash>

#include <functional>
#include <optional>
#include <vector>

namespace trelok {

// A long list of the database as a window lists it: read a page at a time
// as the view shows the lines (a bounded number of pages kept, as UTF-8), so
// a table of any size opens at once. For searching, every line is read once
// into the search's list, a part at a time, each part on from where the last
// stopped (readOn); from then on lines come from there. A search narrows the
// lines at once to those read that hold it; the lines it finds in each part
// read later are added after them (rowsInserted), so the answer is complete
// once every line is read (allRead). A model says only how its rows are
// counted and read (countRows, readOn or eachRow), in its order; a page the
// view cannot read is told once (readFailed, takeFailure) and not read again
// until then.
class PagedListModel : public FilteredTableModel {
    Q_OBJECT
public:
    // Reads how many rows there are; the lines follow as they are shown. A
    // search stays (every line is read for it).
    DbStatus load();

    int columnCount(const QModelIndex &parent = {}) const override;
    // The cell's text, and for a screen reader the letters the font shows.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Shows the lines with the text in any column (every line for the empty
    // text): of the lines read (the first searchedFirst at least, read now),
    // and then of each part read.
    DbStatus search(const QString &text);
    // Whether a search shows lines not all of which are read yet.
    bool searching() const { return filter().active() && !m_allRead; }
    // Reads at most rows more lines for searching. When the last is read
    // and there are not as many as counted (another clerk stored or removed
    // rows meanwhile), the list shows what was read.
    virtual DbStatus readMore(int rows);
    DbStatus readAll();
    bool allRead() const { return m_allRead; }

    // A failure of reading the lines shown (the view cannot be told), once.
    std::optional<DbStatus> takeFailure();

signals:
    void readFailed();

protected:
    // Hands visit the rows from the first-th (counted from 0), at most
    // count of them, each as the UTF-8 texts of its cells.
    using RowVisit = std::function<void(const QByteArrayView *cells)>;

    // Lines read together when every line is wanted at once.
    static constexpr int wholePart = 65536;
    // Lines a search answers from at least: read at once when fewer are.
    static constexpr int searchedFirst = 4096;

    PagedListModel(int columns, QObject *parent);

    virtual DbResult<int> countRows() const = 0;
    virtual DbStatus eachRow(int first, int count, const RowVisit &visit) const = 0;
    // At most count rows on from place (data/forward_read), each with its
    // keys after its cells; how many were read. A model without keys reads
    // them by position (eachRow after the rows held).
    virtual DbResult<int> readOn(ListPlace &place, int count, const RowVisit &visit) const;
    // Inside load's reset, before the rows are counted: what a model sets
    // back as it was when the window opened.
    virtual void restart() {}

    int sourceCount() const override { return m_count; }
    // A row's column: from the lines read for searching, or from the page
    // of the database that holds it; the empty text when it cannot be read.
    QString sourceText(int source, int column) const;
    // The same as UTF-8, valid until the next call.
    QByteArrayView sourceCell(int source, int column) const;
    // Reads at most rows lines after the ones held; a search goes on in
    // them (quietly: the caller is changing the lines, views are not told).
    DbStatus readPart(int rows, bool quietly = false);
    // Forgets every line read, to read them again from the top (the rows'
    // order changed, or lines moved under those held).
    void forgetLines();
    // Every line is in the search's list: the pages are no longer needed.
    void forgetPages() { m_pages.clear(); }
    void setCount(int count) { m_count = count; }
    // The failure of reading a page not told yet.
    const std::optional<DbStatus> &pendingFailure() const { return m_failure; }

private:
    // A page of lines as RowFilter holds a row, each row ending at ends.
    struct Page {
        QByteArray bytes;
        std::vector<qsizetype> ends;
    };

    const int m_columns;
    int m_count = 0;
    bool m_allRead = false;
    ListPlace m_place;
    mutable QHash<int, Page> m_pages;
    mutable std::optional<DbStatus> m_failure;
};

} // namespace trelok
