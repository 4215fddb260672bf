#pragma once

#include "data/orders.h"
#include "platform/filtered_table_model.h"

#include <QHash>

#include <optional>
#include <vector>

namespace trelok {

class Store;

// The stored orders as the order chooser lists them, newest first: seven
// columns, read from the database a page at a time as the view shows them
// (a bounded number of pages kept, as UTF-8), so a register of any size
// opens at once. For searching, every line is read once into the search's
// list (a part at a time while the window is open, or all at the first
// search); from then on lines come from there. Each part starts at the last
// line read before it: when that line is no longer there (another clerk
// saved or removed an order above it), every line is read again from the
// top at once. When the lines read differ from those shown, the current and
// selected lines follow their orders. A search narrows the lines; line()
// takes the order a line shows.
class OrderListModel : public FilteredTableModel {
    Q_OBJECT
public:
    explicit OrderListModel(Store &store, QObject *parent = nullptr);

    // Reads how many orders there are; the lines follow as they are shown.
    DbStatus load();
    OrderLine line(int row) const;

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The text of one cell: order number, reference, purpose (two lines),
    // date, method, kind.
    static const QString &cell(const OrderLine &line, int column);

    // Shows the lines with the text in any column (every line for the empty
    // text), after reading all of them for searching.
    DbStatus search(const QString &text);
    // Reads at most rows more lines for searching.
    DbStatus readMore(int rows);
    DbStatus readAll();
    bool allRead() const { return m_allRead; }

    // The first line shown whose order number begins with typed, without
    // regard to case (type-ahead), or -1; after readAll.
    int lineStartingWith(const QString &typed) const;
    // The line shown of the order numbered exactly number, or -1; after
    // readAll.
    int lineOfNumber(const QString &number) const;

    // A failure of reading the lines shown (the view cannot be told), once.
    std::optional<DbStatus> takeFailure();

signals:
    void readFailed();

protected:
    int sourceCount() const override { return m_count; }

private:
    // A row's column: from the lines read for searching, or from the page
    // of the database that holds it.
    QString sourceText(int source, int column) const;
    // The same as UTF-8, valid until the next call.
    QByteArrayView sourceCell(int source, int column) const;
    // Reads at most rows lines after the ones held; false when the line
    // read last is no longer where it was.
    DbResult<bool> readPart(int rows);
    // After every line was read and they differ from those shown: the new
    // count, and each persistent index on the line of the order its line
    // showed (numbers by line; invalid when the order is gone or unknown).
    void followOrders(int count, const QHash<int, QByteArray> &numbers);

    // A page of lines as RowFilter holds a row, each row ending at ends.
    struct Page {
        QByteArray bytes;
        std::vector<qsizetype> ends;
    };

    Store &m_store;
    int m_count = 0;
    bool m_allRead = false;
    mutable QHash<int, Page> m_pages;
    mutable std::optional<DbStatus> m_failure;
};

} // namespace trelok
