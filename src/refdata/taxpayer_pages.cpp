#include "refdata/taxpayer_pages.h"

#include "data/store.h"
#include "platform/makscii.h"

#include <QMap>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
// Lines read together while shown, and how many pages are kept.
constexpr int pageLines = 256;
constexpr qsizetype keptPages = 64;
constexpr int columns = 4;
// Rows alike in every key and the tax number are looked through for the
// one sought, at most this many.
constexpr int alikeRows = 1024;

const QString &cellOf(const Taxpayer &t, int column)
{
    static constexpr QString Taxpayer::*cells[columns] = {&Taxpayer::code, &Taxpayer::name,
                                                          &Taxpayer::address, &Taxpayer::city};
    return t.*cells[column];
}
} // namespace

TaxpayerPages::TaxpayerPages(Store &store, QObject *parent)
    : FilteredTableModel(parent), m_store(store)
{}

DbStatus TaxpayerPages::load()
{
    auto count = taxpayerCount(m_store);
    if (!count)
        return DbStatus::failure(count);
    beginResetModel();
    m_order = {};
    std::fill(std::begin(m_checked), std::end(m_checked), false);
    m_count = count.value();
    m_allRead = m_count == 0;
    m_pages.clear();
    filter().clear();
    endResetModel();
    if (!filter().active())
        return succeeded();
    auto read = readAll();
    beginResetModel();
    filter().searchAgain();
    endResetModel();
    return read;
}

int TaxpayerPages::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns;
}

QString TaxpayerPages::sourceText(int source, int column) const
{
    if (source < filter().rowCount())
        return filter().cell(source, column);
    const int page = source / pageLines;
    auto held = m_pages.constFind(page);
    if (held == m_pages.cend()) {
        // Until the window has told a failure, it does not read again.
        if (m_failure)
            return {};
        auto read = taxpayerPage(m_store, m_order, page * pageLines, pageLines);
        if (!read) {
            m_failure = DbStatus::failure(read);
            emit const_cast<TaxpayerPages *>(this)->readFailed();
            return {};
        }
        if (m_pages.size() >= keptPages)
            m_pages.clear();
        held = m_pages.insert(page, std::move(read.value()));
    }
    const int at = source % pageLines;
    return at < held->size() ? cellOf(held->at(at), column) : QString();
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

QVariant TaxpayerPages::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columns)
        return {};
    if (role == Qt::DisplayRole)
        return sourceText(sourceRow(index.row()), index.column());
    // A screen reader is given the letters the font shows.
    if (role == Qt::AccessibleTextRole)
        return makscii(sourceText(sourceRow(index.row()), index.column()));
    return {};
}

QVariant TaxpayerPages::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers{u"Danocen broj"_s, u"Naziv"_s, u"Adresa"_s, u"Grad"_s};
    return headers.value(section);
}

DbStatus TaxpayerPages::readMore(int rows)
{
    if (m_allRead)
        return succeeded();
    RowFilter &lines = filter();
    auto read = taxpayerPage(m_store, m_order, lines.rowCount(), rows);
    if (!read)
        return DbStatus::failure(read);
    for (const Taxpayer &t : std::as_const(read.value())) {
        const QString cells[] = {t.code, t.name, t.address, t.city};
        lines.addRow(cells, columns);
    }
    if (read.value().size() < rows) {
        m_allRead = true;
        m_pages.clear();
        // Taxpayers stored by another clerk since the window opened: the
        // list shows what was read.
        if (lines.rowCount() != m_count) {
            beginResetModel();
            m_count = lines.rowCount();
            lines.searchAgain();
            endResetModel();
        }
    }
    return succeeded();
}

DbStatus TaxpayerPages::readAll()
{
    while (!m_allRead)
        if (auto read = readMore(65536); !read)
            return read;
    return succeeded();
}

DbStatus TaxpayerPages::search(const QString &text)
{
    if (!filter().changes(text))
        return succeeded();
    if (auto read = readAll(); !read)
        return read;
    setFilter(text);
    return succeeded();
}

DbResult<int> TaxpayerPages::sourceOf(const Taxpayer &t) const
{
    auto before = taxpayersBefore(m_store, m_order, t);
    if (!before)
        return before;
    for (int source = before.value(); source < std::min(m_count, before.value() + alikeRows);
         ++source) {
        const Taxpayer at = sourceTaxpayer(source);
        if (m_failure)
            return DbResult<int>::failure(*m_failure);
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
    m_pages.clear();
    filter().clear();
    m_allRead = m_count == 0;
    DbStatus status = succeeded();
    if (filter().active()) {
        status = readAll();
        filter().searchAgain();
    }
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

std::optional<DbStatus> TaxpayerPages::takeFailure()
{
    return std::exchange(m_failure, std::nullopt);
}

} // namespace trelok
