#include "refdata/taxpayer_pages.h"

#include "data/store.h"

#include <QMap>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
constexpr int columns = 4;
// Rows alike in every key and the tax number are looked through for the
// one sought, at most this many.
constexpr int alikeRows = 1024;
} // namespace

TaxpayerPages::TaxpayerPages(Store &store, QObject *parent)
    : PagedListModel(columns, parent), m_store(store)
{}

DbResult<int> TaxpayerPages::countRows() const
{
    return taxpayerCount(m_store);
}

DbStatus TaxpayerPages::eachRow(int first, int count, const RowVisit &visit) const
{
    return eachTaxpayerLine(m_store, m_order, first, count, visit);
}

DbResult<int> TaxpayerPages::readOn(ListPlace &place, int count, const RowVisit &visit) const
{
    return readTaxpayerLines(m_store, m_order, place, count, visit);
}

void TaxpayerPages::restart()
{
    m_order = {};
    std::fill(std::begin(m_checked), std::end(m_checked), false);
}

Taxpayer TaxpayerPages::sourceTaxpayer(int source) const
{
    return {sourceText(source, 0), sourceText(source, 1), sourceText(source, 2),
            sourceText(source, 3)};
}

Taxpayer TaxpayerPages::taxpayer(int row) const
{
    return sourceTaxpayer(sourceRow(row));
}

QVariant TaxpayerPages::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers{u"Danocen broj"_s, u"Naziv"_s, u"Adresa"_s, u"Grad"_s};
    return headers.value(section);
}

DbResult<int> TaxpayerPages::sourceOf(const Taxpayer &t)
{
    auto before = taxpayersBefore(m_store, m_order, t);
    if (!before)
        return before;
    for (int source = before.value(); source < std::min(sourceCount(), before.value() + alikeRows);
         ++source) {
        const Taxpayer at = sourceTaxpayer(source);
        if (const auto &failed = pendingFailure())
            return DbResult<int>::failure(*failed);
        if (at.code == t.code && at.name == t.name && at.address == t.address && at.city == t.city)
            return source;
    }
    return -1;
}

DbStatus TaxpayerPages::sortByColumn(int column)
{
    if (column < 0 || column >= columns)
        return succeeded();
    if (m_store.engine() == Engine::File && !m_checked[column]) {
        auto beyond = taxpayerTextsBeyondAscii(m_store, column);
        if (!beyond)
            return DbStatus::failure(beyond);
        m_order.exact[column] = beyond.value();
        m_checked[column] = true;
    }
    // The rows the selected and current lines show, once each.
    const QModelIndexList before = persistentIndexList();
    QList<int> oldSources;
    QMap<int, Taxpayer> shown;
    for (const QModelIndex &index : before) {
        oldSources.append(index.isValid() ? sourceRow(index.row()) : -1);
        if (index.isValid())
            shown.insert(oldSources.last(), {});
    }
    for (auto at = shown.begin(); at != shown.end(); ++at)
        at.value() = sourceTaxpayer(at.key());

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_order.sortBy(column);
    forgetLines();
    // A search shows what it finds in the first lines; the rest follow as
    // they are read.
    DbStatus status = filter().active() ? readPart(searchedFirst, true) : succeeded();
    QMap<int, int> lines; // old row -> new line
    for (auto at = shown.cbegin(); status && at != shown.cend(); ++at) {
        auto source = sourceOf(at.value());
        if (!source)
            status = DbStatus::failure(source);
        else
            lines.insert(at.key(), source.value() < 0 ? -1 : lineOf(source.value()));
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int line = lines.value(oldSources[i], -1);
        after.append(line < 0 ? QModelIndex() : index(line, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return status;
}

} // namespace trelok
