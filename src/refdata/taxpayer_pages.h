#pragma once

#include "platform/filtered_table_model.h"
#include "refdata/taxpayers.h"

#include <QHash>

#include <optional>

namespace trelok {

class Store;

// The taxpayer register as the register window lists it: four columns, read
// from the database a page at a time as the view shows them, in the order
// the database gives (TaxpayerOrder), so a register of any size opens and
// sorts at once. For searching and type-ahead, every line is read once, in
// that order, into the search's list (a part at a time while the window is
// open, or all at once when needed); from then on lines come from there. A
// search (search) narrows the lines; taxpayer() takes the row a line shows.
class TaxpayerPages : public FilteredTableModel {
    Q_OBJECT
public:
    explicit TaxpayerPages(Store &store, QObject *parent = nullptr);

    // Reads how many taxpayers there are, in tax number order; the lines
    // follow as they are shown. A search stays (every line is read for it).
    DbStatus load();
    Taxpayer taxpayer(int row) const;

    // Sorts by the column (0 tax number, 1 name, 2 address, 3 city),
    // ascending, by text without regard to case; rows that compare equal keep
    // their order, so sorting twice by one column changes nothing. Selected
    // and current lines stay with their rows.
    DbStatus sortByColumn(int column);

    // Shows the lines with the text in any column (every line for the empty
    // text), after reading all of them for searching.
    DbStatus search(const QString &text);
    // Reads at most rows more lines for searching.
    DbStatus readMore(int rows);
    DbStatus readAll();
    bool allRead() const { return m_allRead; }

    // A failure of reading the lines shown (the view cannot be told), once.
    std::optional<DbStatus> takeFailure();

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void readFailed();

protected:
    int sourceCount() const override { return m_count; }

private:
    // A row's column: from the lines read for searching, or from the page
    // of the database that holds it.
    QString sourceText(int source, int column) const;
    Taxpayer sourceTaxpayer(int source) const;
    // The row that shows t in the current order, or -1.
    DbResult<int> sourceOf(const Taxpayer &t) const;

    Store &m_store;
    TaxpayerOrder m_order;
    // Whether exact of a column was asked of the database since loading.
    bool m_checked[4] = {};
    int m_count = 0;
    bool m_allRead = false;
    mutable QHash<int, QList<Taxpayer>> m_pages;
    mutable std::optional<DbStatus> m_failure;
};

} // namespace trelok
