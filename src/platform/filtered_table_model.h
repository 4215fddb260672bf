#pragma once

#include "platform/row_filter.h"

#include <QAbstractTableModel>

#include <vector>

namespace trelok {

// A table model whose lines can be narrowed by a search box: the model
// holds its rows ("source rows") in its RowFilter (filter()); the lines
// shown are the rows where any column contains the searched text, in the
// same order. Row
// numbers given to and taken from views are shown lines; sourceRow maps a
// line to the row it shows. Selected and current lines stay with their rows
// while they remain shown.
class FilteredTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;

    // Shows the rows that contain text; the empty text shows every row.
    void setFilter(const QString &text);

    int sourceRow(int line) const;
    // The line that shows a row, or -1 when the search hides it.
    int lineOf(int source) const;

protected:
    virtual int sourceCount() const = 0;

    // The rows' texts as the search holds them (a model may keep its rows
    // there alone).
    RowFilter &filter() { return m_filter; }
    const RowFilter &filter() const { return m_filter; }

private:
    RowFilter m_filter;
};

} // namespace trelok
