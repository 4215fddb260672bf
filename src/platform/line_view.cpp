#include "platform/line_view.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Cells drawn without their own focus frame: the view frames the current
// line whole.
class WholeLineFocus : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

LineView::LineView(QWidget *parent) : QTableView(parent)
{
    setItemDelegate(new WholeLineFocus(this));
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *columns = horizontalHeader();
    columns->setStretchLastSection(true);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setSectionsMovable(true);
    // A column keeps the width it is given under every style (Windows' own
    // would widen a narrow one to its header's measure).
    columns->setMinimumSectionSize(8);
    fitLineHeight();
}

void LineView::fitLineHeight()
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = u"Xy"_s;
    const int height =
        style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(height);
}

void LineView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitLineHeight();
}

QModelIndex LineView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return QTableView::moveCursor(action, modifiers);
    switch (action) {
    case MoveHome:
        return model()->index(0, current.column());
    case MoveEnd:
        return model()->index(model()->rowCount() - 1, current.column());
    case MovePageUp:
    case MovePageDown: {
        // The line a viewport's height above or below, or the first or last.
        const int height = action == MovePageUp ? -viewport()->height() : viewport()->height();
        const int line = rowAt(rowViewportPosition(current.row()) + height);
        const int end = action == MovePageUp ? 0 : model()->rowCount() - 1;
        return model()->index(line < 0 ? end : line, current.column());
    }
    case MoveLeft:
    case MoveRight: {
        QScrollBar *bar = horizontalScrollBar();
        const bool left = action == MoveLeft;
        bar->setValue(bar->value() + (left ? -bar->singleStep() : bar->singleStep()));
        return current;
    }
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}

void LineView::keyboardSearch(const QString &search)
{
    QAbstractItemModel *lines = model();
    if (!lines || lines->rowCount() == 0 || lines->columnCount() == 0)
        return;
    const QModelIndex current = currentIndex();
    QModelIndex start = current.isValid() ? current : lines->index(0, 0);
    // Keys typed within the keyboard interval make one text; a new text
    // starts below the current line.
    bool skipLine = false;
    if (search.isEmpty() || !m_typedAt.isValid() ||
        m_typedAt.elapsed() > QApplication::keyboardInputInterval()) {
        m_typed = search;
        skipLine = current.isValid();
    } else {
        m_typed += search;
    }
    m_typedAt.start();
    // One key typed again and again goes on to the next line it begins.
    const bool sameKey = m_typed.size() > 1 && m_typed.count(m_typed.back()) == m_typed.size();
    if (sameKey)
        skipLine = true;
    if (skipLine)
        start = lines->index(start.row() + 1 < lines->rowCount() ? start.row() + 1 : 0,
                             start.column());
    const QModelIndexList found =
        lines->match(start, Qt::DisplayRole, sameKey ? QString(m_typed.front()) : m_typed);
    if (found.isEmpty())
        return;
    selectionModel()->setCurrentIndex(
        found.first(),
        selectionMode() == SingleSelection
            ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
            : QItemSelectionModel::NoUpdate);
}

void LineView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !(hasFocus() || viewport()->hasFocus()))
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QStyleOptionFocusRect frame;
    frame.QStyleOption::operator=(option);
    frame.state |= QStyle::State_KeyboardFocusChange;
    const auto group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    frame.backgroundColor = option.palette.color(
        group, selectionModel()->isSelected(current) ? QPalette::Highlight : QPalette::Window);
    const QHeaderView *columns = horizontalHeader();
    frame.rect = style()->visualRect(layoutDirection(), viewport()->rect(),
                                     QRect(-columns->offset(), rowViewportPosition(current.row()),
                                           columns->length(), rowHeight(current.row())));
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

} // namespace trelok
