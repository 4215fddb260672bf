#include "refdata/dan_ref.h"

#include "context/app_context.h"
#include "platform/controls.h"
#include "platform/line_view.h"
#include "platform/pointer.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "refdata/list_reading.h"
#include "refdata/taxpayer_pages.h"
#include "refdata/taxpayers.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
const auto changeMode = u" ** Promena **"_s;
const auto addMode = u" ** Vnesi Nov **"_s;

// Type-ahead as the view has it, over every line: they are read first.
class RegisterView : public LineView {
public:
    RegisterView(QWidget *parent, std::function<bool()> readAll)
        : LineView(parent), m_readAll(std::move(readAll))
    {}
    void keyboardSearch(const QString &search) override
    {
        if (m_readAll())
            LineView::keyboardSearch(search);
    }

private:
    std::function<bool()> m_readAll;
};

} // namespace

dan_ref::dan_ref(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(u"dan_ref"_s);
    setWindowTitle(u"Izbor na Danocen broj"_s);
    setClientSize(this, 12120, 8400);
    const QFont form = formFont(10);

    m_model = new TaxpayerPages(context.store, this);
    m_listView1 = new RegisterView(this, [this] { return m_reading->readAll(); });
    m_listView1->setObjectName(u"ListView1"_s);
    m_listView1->setGeometry(twips::rect(120, 120, 11880, 5160));
    m_listView1->setFont(form);
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setModel(m_model);
    m_listView1->setAccessibleName(u"Lista na danocni obvrznici"_s);
    QHeaderView *header = m_listView1->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    m_listView1->setColumnWidth(0, twips::px(1800));
    m_listView1->setColumnWidth(1, twips::px(4200));
    m_listView1->setColumnWidth(2, twips::px(3600));
    m_listView1->setColumnWidth(3, twips::px(1800));
    connect(header, &QHeaderView::sectionClicked, this, &dan_ref::ListView1_ColumnClick);
    chooseOnEnter(m_listView1, [this] { ListView1_DblClick(); });

    auto *command1 =
        button(this, u"Command1"_s, u"&OK"_s, QRect(120, 5400, 2280, 420), QColor(0, 192, 0), form);
    auto *command2 = button(this, u"Command2"_s, u"O&tkaz"_s, QRect(2520, 5400, 2280, 420),
                            QColor(255, 128, 0), form);
    auto *command3 = button(this, u"Command3"_s, u"&Promeni"_s, QRect(4920, 5400, 2280, 420),
                            QColor(255, 255, 160), form);
    auto *command4 = button(this, u"Command4"_s, u"&Dodadi Nov"_s, QRect(7320, 5400, 2280, 420),
                            QColor(192, 255, 255), form);

    m_label5 = label(this, u"Label5"_s, QString(), QRect(120, 5940, 4000, 285), formFont(10, true));
    m_label5->setAccessibleName(u"Rezim"_s);
    const struct {
        const char16_t *caption;
        int top, width;
    } boxes[4] = {{u"Dano~en broj:", 6300, 2400},
                  {u"Naziv:", 6660, 5400},
                  {u"Adresa:", 7020, 5400},
                  {u"Grad:", 7380, 3000}};
    for (int i = 0; i < 4; ++i) {
        m_label[i] = label(this, u"Label%1"_s.arg(i + 1), QString::fromUtf16(boxes[i].caption),
                           QRect(120, boxes[i].top, 1800, 315), form);
        m_text[i] =
            textBox(this, u"Text%1"_s.arg(i + 1), QRect(1980, boxes[i].top, boxes[i].width, 330),
                    form, m_label[i]->accessibleName());
        m_text[i]->setMaxLength(taxpayerColumns[i].maxLength);
        m_label[i]->setBuddy(m_text[i]);
    }
    m_command5 = button(this, u"Command5"_s, u"OK-Prifati ja Promenata"_s,
                        QRect(7560, 6300, 3000, 420), QColor(0, 192, 0), form);
    m_command6 = button(this, u"Command6"_s, u"Otkaz na Promenata"_s, QRect(7560, 6840, 3000, 420),
                        QColor(255, 0, 0), form);

    connect(command1, &QPushButton::clicked, this, &dan_ref::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &dan_ref::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &dan_ref::Command3_Click);
    connect(command4, &QPushButton::clicked, this, &dan_ref::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &dan_ref::Command5_Click);
    connect(m_command6, &QPushButton::clicked, this, &dan_ref::Command6_Click);
    // Search: beside the buttons under the list.
    auto *caption = label(this, u"lbl_baraj"_s, u"&Baraj:"_s, QRect(9720, 5460, 720, 315), form);
    m_baraj = trelok::searchBox(this, u"baraj"_s, QRect(10440, 5445, 1560, 330), form,
                                caption->accessibleName());
    caption->setBuddy(m_baraj);
    connect(m_baraj, &QLineEdit::textChanged, this, &dan_ref::baraj_Change);
    chainTabOrder({m_listView1, command1, command2, command3, command4, m_text[0], m_text[1],
                   m_text[2], m_text[3], m_command5, m_command6, m_baraj});
    showPanel(false);
    m_listView1->setFocus();
    // The lines are read while the window is open; a line the view could
    // not read is told once the view has finished.
    m_reading = new ListReading(*m_model, 1024, m_context, this);
}

bool dan_ref::Form_Load()
{
    return loadList();
}

bool dan_ref::loadList()
{
    m_reading->stop();
    m_context.prompter.inform(QString::fromLatin1(taxpayerMsg::loading));
    Hourglass hourglass;
    if (auto loaded = m_model->load(); !loaded) {
        m_context.fail(loaded);
        return false;
    }
    if (isVisible())
        m_reading->start();
    return true;
}

void dan_ref::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_reading->start();
}

void dan_ref::showPanel(bool visible)
{
    for (int i = 0; i < 4; ++i) {
        m_text[i]->setVisible(visible);
        m_label[i]->setVisible(visible);
    }
    m_label5->setVisible(visible);
    m_command5->setVisible(visible);
    m_command6->setVisible(visible);
}

void dan_ref::Command1_Click()
{
    accept();
}

void dan_ref::Command2_Click()
{
    reject();
}

void dan_ref::ListView1_DblClick()
{
    accept();
}

void dan_ref::ListView1_ColumnClick(int column)
{
    m_reading->stop();
    {
        Hourglass hourglass;
        if (auto sorted = m_model->sortByColumn(column); !sorted) {
            m_context.fail(sorted);
            return;
        }
    }
    m_listView1->header()->setSortIndicator(column, Qt::AscendingOrder);
    m_listView1->header()->setSortIndicatorShown(true);
    if (isVisible())
        m_reading->start();
}

void dan_ref::baraj_Change()
{
    if (auto searched = m_model->search(m_baraj->text()); !searched) {
        m_context.fail(searched);
        return;
    }
    // The lines not read yet are searched as they are read.
    m_reading->start();
}

void dan_ref::Command3_Click()
{
    // Without a selected line there is nothing to change.
    const QModelIndexList selected = m_listView1->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const Taxpayer t = trimmedTaxpayer(m_model->taxpayer(selected.first().row()));
    m_text[0]->setReadOnly(true);
    m_label5->setText(changeMode);
    m_text[0]->setText(t.code);
    m_text[1]->setText(t.name);
    m_text[2]->setText(t.address);
    m_text[3]->setText(t.city);
    showPanel(true);
    m_text[1]->setFocus();
}

void dan_ref::Command4_Click()
{
    m_text[0]->setReadOnly(false);
    m_label5->setText(addMode);
    for (QLineEdit *box : m_text)
        box->clear();
    showPanel(true);
    m_text[0]->setFocus();
}

void dan_ref::Command5_Click()
{
    // The mode label is the only record of what the panel is for.
    TaxpayerMode mode;
    if (m_label5->text() == changeMode)
        mode = TaxpayerMode::Change;
    else if (m_label5->text() == addMode)
        mode = TaxpayerMode::Add;
    else
        return;
    const Taxpayer t = trimmedTaxpayer(
        {m_text[0]->text(), m_text[1]->text(), m_text[2]->text(), m_text[3]->text()});
    if (const auto refusal = checkTaxpayer(t, mode)) {
        m_context.prompter.inform(refusal->message);
        m_text[int(refusal->focus)]->setFocus();
        return;
    }
    const char *question =
        mode == TaxpayerMode::Change ? taxpayerMsg::confirmChange : taxpayerMsg::confirmAdd;
    if (m_context.prompter.ask(QString::fromLatin1(question), Buttons::YesNo) != Answer::Yes)
        return;
    bool duplicate = false;
    {
        Hourglass hourglass;
        DbStatus stored = succeeded();
        if (mode == TaxpayerMode::Change) {
            stored = changeTaxpayer(m_context.store, t);
        } else {
            auto exists = taxpayerExists(m_context.store, t.code);
            if (!exists)
                stored = DbStatus::failure(exists);
            else if (exists.value())
                duplicate = true;
            else
                stored = addTaxpayer(m_context.store, t);
            // Another clerk added the same number in the meantime: the
            // register's unique index refused this one.
            if (!stored && !stored.busy()) {
                auto added = taxpayerExists(m_context.store, t.code);
                if (added && added.value()) {
                    duplicate = true;
                    stored = succeeded();
                }
            }
        }
        if (!stored) {
            m_context.fail(stored);
            return;
        }
    }
    if (duplicate) {
        m_context.prompter.inform(QString::fromLatin1(taxpayerMsg::duplicate));
        return;
    }
    showPanel(false);
    loadList();
}

void dan_ref::Command6_Click()
{
    showPanel(false);
}

} // namespace trelok
