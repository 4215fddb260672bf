#include "entry/order_list_model.h"

#include "platform/makscii.h"

namespace trelok {

namespace {
// Lines read together while shown, and how many pages are kept.
constexpr int pageLines = 256;
constexpr qsizetype keptPages = 64;
constexpr int columns = orderLineColumnCount;
} // namespace

OrderListModel::OrderListModel(Store &store, QObject *parent)
    : FilteredTableModel(parent), m_store(store)
{}

DbStatus OrderListModel::load()
{
    auto count = orderCount(m_store);
    if (!count)
        return DbStatus::failure(count);
    beginResetModel();
    m_count = count.value();
    m_allRead = m_count == 0;
    m_pages.clear();
    filter().clear();
    endResetModel();
    return succeeded();
}

int OrderListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns;
}

const QString &OrderListModel::cell(const OrderLine &line, int column)
{
    return line.*orderLineCells[column];
}

QString OrderListModel::sourceText(int source, int column) const
{
    if (source < filter().rowCount())
        return filter().cell(source, column);
    const int page = source / pageLines;
    auto held = m_pages.constFind(page);
    if (held == m_pages.cend()) {
        // Until the window has told a failure, it does not read again.
        if (m_failure)
            return {};
        auto read = orderPage(m_store, page * pageLines, pageLines);
        if (!read) {
            if (!m_failure) {
                m_failure = DbStatus::failure(read);
                emit const_cast<OrderListModel *>(this)->readFailed();
            }
            return {};
        }
        if (m_pages.size() >= keptPages)
            m_pages.clear();
        held = m_pages.insert(page, std::move(read.value()));
    }
    const int at = source % pageLines;
    return at < held->size() ? cell(held->at(at), column) : QString();
}

OrderLine OrderListModel::line(int row) const
{
    const int source = sourceRow(row);
    return {sourceText(source, 0), sourceText(source, 1), sourceText(source, 2),
            sourceText(source, 3), sourceText(source, 4), sourceText(source, 5),
            sourceText(source, 6)};
}

QVariant OrderListModel::data(const QModelIndex &index, int role) const
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

DbStatus OrderListModel::readMore(int rows)
{
    if (m_allRead)
        return succeeded();
    RowFilter &lines = filter();
    auto read = orderPage(m_store, lines.rowCount(), rows);
    if (!read)
        return DbStatus::failure(read);
    QString cells[columns];
    for (const OrderLine &line : std::as_const(read.value())) {
        for (int c = 0; c < columns; ++c)
            cells[c] = cell(line, c);
        lines.addRow(cells, columns);
    }
    if (read.value().size() < rows) {
        m_allRead = true;
        m_pages.clear();
        // Orders stored by another clerk since the window opened: the list
        // shows what was read.
        if (lines.rowCount() != m_count) {
            beginResetModel();
            m_count = lines.rowCount();
            lines.searchAgain();
            endResetModel();
        }
    }
    return succeeded();
}

DbStatus OrderListModel::readAll()
{
    while (!m_allRead)
        if (auto read = readMore(std::max(pageLines, 65536)); !read)
            return read;
    return succeeded();
}

DbStatus OrderListModel::search(const QString &text)
{
    if (!filter().changes(text))
        return succeeded();
    if (auto read = readAll(); !read)
        return read;
    setFilter(text);
    return succeeded();
}

int OrderListModel::lineStartingWith(const QString &typed) const
{
    const int lines = rowCount();
    for (int line = 0; line < lines; ++line)
        if (filter().cell(sourceRow(line), 0).startsWith(typed, Qt::CaseInsensitive))
            return line;
    return -1;
}

int OrderListModel::lineOfNumber(const QString &number) const
{
    const QByteArray wanted = number.trimmed().toUtf8();
    if (wanted.isEmpty())
        return -1;
    const int lines = rowCount();
    for (int line = 0; line < lines; ++line)
        if (filter().cellBytes(sourceRow(line), 0).trimmed() == wanted)
            return line;
    return -1;
}

std::optional<DbStatus> OrderListModel::takeFailure()
{
    return std::exchange(m_failure, std::nullopt);
}

} // namespace trelok
