#include "refdata/taxpayer_model.h"

#include <algorithm>
#include <numeric>
#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

void TaxpayerModel::setTaxpayers(QList<Taxpayer> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    refold();
    endResetModel();
}

const QString &TaxpayerModel::field(const Taxpayer &t, int column)
{
    switch (column) {
    case 1:
        return t.name;
    case 2:
        return t.address;
    case 3:
        return t.city;
    default:
        return t.code;
    }
}

void TaxpayerModel::sortByColumn(int column)
{
    if (column < 0 || column >= 4)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The texts folded once, then compared as plain texts.
    const qsizetype n = m_rows.size();
    std::vector<QString> keys;
    keys.reserve(size_t(n));
    for (const Taxpayer &t : std::as_const(m_rows))
        keys.push_back(field(t, column).toCaseFolded());
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    QList<Taxpayer> sorted;
    sorted.reserve(m_rows.size());
    for (int row : order)
        sorted.append(std::move(m_rows[row]));
    m_rows = std::move(sorted);
    reordered(order);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QString TaxpayerModel::sourceText(int source, int column) const
{
    return field(m_rows[source], column);
}

int TaxpayerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant TaxpayerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return field(taxpayer(index.row()), index.column());
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
