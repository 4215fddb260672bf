#include "taxpayer_reference_model.h"

#include "platform/makscii.h"

#include <algorithm>
#include <numeric>
#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

void TaxpayerModel::setTaxpayers(QList<Taxpayer> rows)
{
    beginResetModel();
    filter().clear();
    for (const Taxpayer &t : std::as_const(rows)) {
        const QString cells[] = {t.code, t.name, t.address, t.city};
        filter().addRow(cells, 4);
    }
    m_given.resize(size_t(rows.size()));
    std::iota(m_given.begin(), m_given.end(), 0);
    rows.clear();
    filter().searchAgain();
    endResetModel();
}

Taxpayer TaxpayerModel::taxpayer(int row) const
{
    const int source = sourceRow(row);
    return {filter().cell(source, 0), filter().cell(source, 1), filter().cell(source, 2),
            filter().cell(source, 3)};
}

void TaxpayerModel::sortByColumn(int column)
{
    if (column < 0 || column >= 4)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The texts folded once, then compared as plain texts.
    const int n = filter().rowCount();
    std::vector<QString> keys;
    keys.reserve(size_t(n));
    for (int row = 0; row < n; ++row)
        keys.push_back(filter().cell(row, column).toCaseFolded());
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return keys[size_t(a)] < keys[size_t(b)] ||
               (keys[size_t(a)] == keys[size_t(b)] && m_given[size_t(a)] < m_given[size_t(b)]);
    });
    std::vector<int> given(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        given[i] = m_given[size_t(order[i])];
    m_given = std::move(given);
    keys.clear();
    // The rows held again in the new order; selected and current lines
    // follow their rows.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldSources;
    for (const QModelIndex &index : before)
        oldSources.push_back(index.isValid() ? sourceRow(index.row()) : -1);
    std::vector<int> newRow(order.size());
    std::vector<QString> cells;
    cells.reserve(order.size() * 4);
    for (size_t i = 0; i < order.size(); ++i) {
        newRow[size_t(order[i])] = int(i);
        for (int c = 0; c < 4; ++c)
            cells.push_back(filter().cell(order[i], c));
    }
    filter().clear();
    for (size_t i = 0; i < order.size(); ++i)
        filter().addRow(&cells[i * 4], 4);
    filter().searchAgain();
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int old = oldSources[size_t(i)];
        const int line = old < 0 ? -1 : lineOf(newRow[size_t(old)]);
        after.append(line < 0 ? QModelIndex() : index(line, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TaxpayerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant TaxpayerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return filter().cell(sourceRow(index.row()), index.column());
    // A screen reader is given the letters the font shows.
    if (role == Qt::AccessibleTextRole)
        return makscii(filter().cell(sourceRow(index.row()), index.column()));
    return {};
}

QVariant TaxpayerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers{u"Danocen broj"_s, u"Naziv"_s, u"Adresa"_s, u"Grad"_s};
    return headers.value(section);
}

} // namespace trelok
