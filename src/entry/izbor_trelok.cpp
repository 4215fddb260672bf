#include "entry/izbor_trelok.h"

#include "context/app_context.h"
#include "data/orders.h"
#include "entry/order_list_model.h"
#include "platform/controls.h"
#include "platform/line_view.h"
#include "platform/pointer.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "refdata/list_reading.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Typing jumps to the first order whose number starts with what was typed.
class OrderListView : public LineView {
public:
    OrderListView(QWidget *parent, std::function<int(const QString &)> find)
        : LineView(parent), m_find(std::move(find))
    {}

    void keyboardSearch(const QString &search) override
    {
        if (m_typedAt.isValid() && m_typedAt.elapsed() < QApplication::keyboardInputInterval())
            m_typed += search;
        else
            m_typed = search;
        m_typedAt.start();
        if (!model() || model()->rowCount() == 0)
            return;
        const int line = m_find(m_typed);
        if (line < 0)
            return;
        const QModelIndex found = model()->index(line, 0);
        setCurrentIndex(found);
        scrollTo(found);
    }

private:
    std::function<int(const QString &)> m_find;
    QString m_typed;
    QElapsedTimer m_typedAt;
};


} // namespace

izbor_trelok::izbor_trelok(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(u"izbor_trelok"_s);
    setWindowTitle(u"Izbor na Trelok"_s);
    setClientSize(this, 10080, 5925);
    const QFont captions = formFont(10);
    m_model = new OrderListModel(context.store, this);
    // Among the lines read first; only an order not among them waits for
    // the rest.
    m_list = new OrderListView(this, [this](const QString &typed) {
        const int line = m_model->lineStartingWith(typed);
        if (line >= 0 || m_model->allRead() || !m_reading->readAll())
            return line;
        return m_model->lineStartingWith(typed);
    });
    m_list->setObjectName(u"ListView1"_s);
    m_list->setGeometry(twips::rect(120, 240, 9735, 4695));
    m_list->setFont(captions);
    m_list->setModel(m_model);
    m_list->setHeaderHidden(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAccessibleName(u"Treloki"_s);
    // Twips, one per cell of the chooser's line.
    constexpr int widths[] = {1440, 1440, 1440, 1440, 1440, 440, 1440};
    static_assert(std::size(widths) == std::size(orderLineCells));
    for (int column = 0; column < orderLineColumnCount; ++column)
        m_list->setColumnWidth(column, twips::px(widths[column]));
    auto *command1 = button(this, u"Command1"_s, u"OK - Izberi"_s, QRect(3120, 5400, 1575, 375),
                            QColor(192, 255, 192), captions);
    auto *command2 = button(this, u"Command2"_s, u"Izlez / Otkaz"_s, QRect(5760, 5400, 1575, 375),
                            QColor(255, 0, 0), captions);
    connect(command1, &QPushButton::clicked, this, &izbor_trelok::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &izbor_trelok::Command2_Click);
    // Search: in the free strip between the list and the buttons.
    auto *caption = label(this, u"lbl_baraj"_s, u"&Baraj:"_s, QRect(120, 5025, 720, 315), captions);
    m_baraj = trelok::searchBox(this, u"baraj"_s, QRect(840, 5010, 2160, 330), captions,
                                caption->accessibleName());
    caption->setBuddy(m_baraj);
    connect(m_baraj, &QLineEdit::textChanged, this, &izbor_trelok::baraj_Change);
    // Return in the search chooses the line it selected.
    connect(m_baraj, &QLineEdit::returnPressed, this, [this] {
        if (m_list->currentIndex().isValid())
            Command1_Click();
    });
    chooseOnEnter(m_list, [this] { Command1_Click(); });
    chainTabOrder({m_list, command1, command2, m_baraj});
    m_list->setFocus();
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_model->rowCount() > 0)
            m_list->setCurrentIndex(m_model->index(0, 0));
    });
    // The current line follows its order when the lines change under it; an
    // order that is gone leaves the first line current.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!m_list->currentIndex().isValid() && m_model->rowCount() > 0)
            m_list->setCurrentIndex(m_model->index(0, 0));
    });
    // The lines a search finds as the rest are read.
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first) { showExact(first); });
    // The lines are read while the window is open; a line the view could
    // not read is told once the view has finished.
    m_reading = new ListReading(*m_model, 4096, m_context, this);
}

bool izbor_trelok::Form_Load()
{
    const auto loaded = [this] {
        Hourglass wait;
        return m_model->load();
    }();
    if (!loaded) {
        m_context.fail(loaded);
        return false;
    }
    if (m_model->rowCount() == 0) {
        m_context.prompter.inform(u"Ne POSTOI Nitu Eden Trelok !"_s);
        return true;
    }
    m_list->setCurrentIndex(m_model->index(0, 0));
    return true;
}

void izbor_trelok::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_reading->start();
}

void izbor_trelok::allowSeveral()
{
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QStringList izbor_trelok::chosenNumbers() const
{
    QList<int> rows;
    for (const QItemSelectionRange &range : m_list->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() && m_list->currentIndex().isValid())
        rows.append(m_list->currentIndex().row());
    QStringList numbers;
    numbers.reserve(rows.size());
    for (int row : rows)
        if (row < m_model->rowCount())
            numbers.append(m_model->line(row).trelok_br);
    return numbers;
}

void izbor_trelok::Command1_Click()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid()) {
        // A search that shows nothing: the window stays for another search.
        if (!m_baraj->text().isEmpty() && m_model->rowCount() == 0)
            return;
        // Nothing to choose from: the same as cancelling.
        Command2_Click();
        return;
    }
    const OrderLine line = m_model->line(current.row());
    if (auto failed = m_model->takeFailure()) {
        m_context.fail(*failed);
        return;
    }
    m_context.state.p_tre_br = line.trelok_br;
    m_context.state.vid_tre = line.vid.trimmed();
    accept();
}

void izbor_trelok::Command2_Click()
{
    m_context.state.p_tre_br = u"0"_s;
    QDialog::reject();
}

void izbor_trelok::baraj_Change()
{
    if (auto searched = m_model->search(m_baraj->text()); !searched) {
        m_context.fail(searched);
        return;
    }
    m_exactSought = true;
    showExact(0);
    // The lines not read yet are searched as they are read.
    m_reading->start();
}

void izbor_trelok::showExact(int from)
{
    // The order whose number is exactly the text is the one chosen,
    // whatever else the search shows, once it is found.
    if (m_exactSought) {
        if (const int exact = m_model->lineOfNumber(m_baraj->text(), from);
            exact >= 0) {
            m_list->setCurrentIndex(m_model->index(exact, 0));
            m_exactSought = false;
            return;
        }
    }
    if (!m_list->currentIndex().isValid() && m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0, 0));
}

void izbor_trelok::reject()
{
    Command2_Click();
}

} // namespace trelok
