#include "platform/filtered_table_model.h"

#include <algorithm>

namespace trelok {

int FilteredTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_filter.active() ? int(m_filter.matches().size()) : sourceCount();
}

int FilteredTableModel::sourceRow(int line) const
{
    return m_filter.active() ? m_filter.matches().at(size_t(line)) : line;
}

int FilteredTableModel::lineOf(int source) const
{
    if (!m_filter.active())
        return source;
    const auto &rows = m_filter.matches();
    const auto at = std::lower_bound(rows.begin(), rows.end(), source);
    return at != rows.end() && *at == source ? int(at - rows.begin()) : -1;
}

void FilteredTableModel::setFilter(const QString &text)
{
    if (!m_filter.changes(text))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sources;
    sources.reserve(size_t(before.size()));
    for (const QModelIndex &index : before)
        sources.push_back(index.isValid() ? sourceRow(index.row()) : -1);
    m_filter.search(text);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int line = sources[size_t(i)] < 0 ? -1 : lineOf(sources[size_t(i)]);
        after.append(line < 0 ? QModelIndex() : index(line, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace trelok
