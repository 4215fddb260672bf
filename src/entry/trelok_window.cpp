#include "entry/trelok_window.h"

#include "context/app_context.h"
#include "context/pictures.h"
#include "data/order_columns.h"
#include "data/store.h"
#include "entry/entry_dialog.h"
#include "entry/form_picture.h"
#include "entry/kind_layout.h"
#include "entry/saving.h"
#include "entry/validation.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/makscii.h"
#include "platform/pointer.h"
#include "platform/twips.h"
#include "refdata/picker_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

const QColor red(255, 0, 0);
const QColor labelGround(212, 208, 200); // the system colour of inactive window borders
const QColor green(192, 255, 192);
const QColor cyan(192, 255, 255);

// The window's boxes with where they sit: the order's columns that have a
// box, then the segments of the reference number.
QList<const ColumnDescriptor *> windowBoxes()
{
    QList<const ColumnDescriptor *> boxes;
    for (const ColumnDescriptor &column : orderColumnTable)
        if (column.box)
            boxes.append(&column);
    for (const ColumnDescriptor &segment : referenceSegmentBoxes)
        boxes.append(&segment);
    return boxes;
}

// The picture of the blank form, the red frames and the decimal comma.
class FormGround : public QWidget {
public:
    explicit FormGround(QWidget *parent) : QWidget(parent), m_picture(blankForm())
    {
        setObjectName(u"ground"_s);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(215, 215, 215));
        p.drawImage(0, 0, m_picture);
        p.setPen(QPen(red, 1));
        const int shapes[][4] = {{0, 120, 1215, 495},  {0, 720, 4455, 735},  {0, 1560, 4455, 615},
                                 {0, 2270, 4455, 615}, {0, 3000, 4455, 615}, {0, 3710, 4455, 615},
                                 {0, 4430, 4455, 855}, {0, 5340, 4455, 615}};
        for (const auto &s : shapes)
            p.drawRect(twips::rect(s[0], s[1], s[2], s[3]).adjusted(0, 0, -1, -1));
        p.setPen(QPen(red, 4));
        p.drawLine(twips::point(8520, 3000), twips::point(8490, 3120));
    }

private:
    QImage m_picture;
};

// The entry window as the checks and the saving see it: questions in message
// boxes, the focus on the window's boxes, the customs office picker.
class WindowDialog : public EntryDialog {
public:
    WindowDialog(AppContext &context, Trelok &window) : m_context(context), m_window(window) {}

    Answer ask(EntryQuestion, const QString &text, Buttons buttons) override
    {
        return m_context.prompter.ask(text, buttons);
    }
    void inform(const QString &text) override { m_context.prompter.inform(text); }
    void focus(const QString &name, EntryFields &fields) override
    {
        m_window.showChanges(fields);
        if (QLineEdit *target = m_window.box(name))
            target->setFocus();
        // Leaving a box may change another one (a guarantee fills the purpose).
        fields = m_window.fields();
    }
    void pickCustomsOffice(EntryFields &fields) override
    {
        m_window.showChanges(fields);
        m_window.Command3_Click();
        fields = m_window.fields();
    }
    void busy(bool on) override
    {
        if (on)
            m_hourglass.emplace();
        else
            m_hourglass.reset();
    }

private:
    AppContext &m_context;
    Trelok &m_window;
    std::optional<Hourglass> m_hourglass;
};

} // namespace

Trelok::Trelok(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_context(context)
{
    announceAsWindow(staticMetaObject);
    setObjectName(u"Trelok"_s);
    setWindowTitle(u"Trelok za Carina"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setClientSize(this, 9255, 5970);
    auto *ground = new FormGround(this);
    ground->setGeometry(rect());

    auto *image1 = new QLabel(this);
    image1->setObjectName(u"Image1"_s);
    image1->setGeometry(twips::rect(6960, 240, 885, 825));
    image1->setPixmap(QPixmap::fromImage(emblem()));
    image1->setScaledContents(true);
    image1->setAccessibleName(u"Grb"_s);

    buildLabels();
    buildBoxes();
    buildButtons();

    // Keyboard order follows the tab index of every box and button.
    QList<std::pair<int, QWidget *>> order;
    for (const ColumnDescriptor *column : windowBoxes())
        order.append({column->place.tab, m_boxes.value(QString::fromLatin1(column->box))});
    order.append({31, m_command1});
    order.append({32, m_command2});
    order.append({34, m_command3});
    order.append({35, m_command4});
    order.append({43, m_command5});
    std::sort(order.begin(), order.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QWidget *> chain;
    for (const auto &entry : order)
        chain.append(entry.second);
    chainTabOrder(chain);
}

void Trelok::buildBoxes()
{
    const QFont bold = formFont(9.75, true);
    for (const ColumnDescriptor *column : windowBoxes()) {
        const QString name = QString::fromLatin1(column->box);
        const BoxPlace &place = column->place;
        QLineEdit *box =
            textBox(this, name, QRect(place.left, place.top, place.width, place.height),
                    name == u"s_pri"_s ? formFont(12, true) : bold,
                    makscii(QString::fromLatin1(place.caption)));
        box->setMaxLength(column->maxLength);
        m_boxes.insert(name, box);
    }
    box(u"p_nal1"_s)->setEnabled(false);
    box(u"p_nal5"_s)->setVisible(false);
    box(u"p_nal"_s)->setVisible(false);
    box(u"s_pri"_s)->setText(EntryFields::design().s_pri);
    box(u"mkd1"_s)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const char *name : {"us1", "us3", "sb1", "sb2", "sb3", "ps1", "ps2"})
        box(QString::fromLatin1(name))->setEnabled(false);
    box(u"p_nal3"_s)->installEventFilter(this);
}

void Trelok::buildLabels()
{
    const QFont regular = formFont(9.75);
    auto redLabel = [&](const char *name, const QString &caption, QRect r) {
        m_labels.insert(QString::fromLatin1(name), label(this, QString::fromLatin1(name), caption,
                                                         r, regular, red, labelGround));
    };
    auto *label3 = label(this, u"Label3"_s, u"Vid na Uplata"_s, QRect(1320, 120, 5535, 255),
                         formFont(11.25, true), QColor(128, 0, 0));
    label3->setAlignment(Qt::AlignCenter);
    m_labels.insert(u"Label3"_s, label3);
    redLabel("Label12", u"Datum na Valuta"_s, QRect(4680, 360, 1695, 255));
    const QFont bold = formFont(9.75, true);
    m_labels.insert(u"pri1"_s, label(this, u"pri1"_s, u"Carinska Uprava na RM"_s,
                                     QRect(4680, 1080, 4575, 255), bold));
    m_labels.insert(u"pri2"_s, label(this, u"pri2"_s, u"Evidentna smetka"_s,
                                     QRect(4680, 1320, 4575, 255), bold));
    m_labels.insert(u"b_pri"_s, label(this, u"b_pri"_s, u"Narodna banka na RM"_s,
                                      QRect(4680, 1680, 4455, 255), bold));
    redLabel("Label1", u"Banka na nalogodava~ot"_s, QRect(120, 1560, 4215, 255));
    redLabel("Label6", u"Smetka"_s, QRect(120, 2280, 4215, 255));
    redLabel("Label2", u"Dano~en Broj ili EMBG"_s, QRect(120, 3000, 4215, 255));
    redLabel("Label7", u"Povikuvawe na broj - zadol`uvawe"_s, QRect(120, 3720, 4215, 255));
    const QFont dash = sansFont(13.5);
    const int dashes[][3] = {{720, 3900, 4}, {1560, 3900, 5}, {2520, 3900, 10}, {3960, 3960, 11}};
    for (const auto &d : dashes) {
        const QString name = u"Label%1"_s.arg(d[2]);
        auto *l =
            label(this, name, u"-"_s, QRect(d[0], d[1], 135, 255), dash, QColor(), labelGround);
        l->setAlignment(Qt::AlignCenter);
        m_labels.insert(name, l);
    }
    m_labels.value(u"Label11"_s)->setVisible(false);
    redLabel("Label8", u"Cel na doznaka"_s, QRect(120, 4440, 4215, 255));
    redLabel("Label9", u"Potpis"_s, QRect(120, 5400, 4215, 255));
}

void Trelok::buildButtons()
{
    const QFont system = font();
    const QFont small = formFont(9);
    m_command1 =
        button(this, u"Command1"_s, u"OK - Snimi"_s, QRect(4800, 5640, 1575, 255), green, system);
    m_command2 = button(this, u"Command2"_s, u"Izlez / Otkaz"_s, QRect(7440, 5640, 1575, 255),
                        QColor(255, 0, 0), system);
    m_command3 =
        button(this, u"Command3"_s, u"Ispostava"_s, QRect(1680, 4250, 975, 200), cyan, small);
    m_command4 =
        button(this, u"Command4"_s, u"Op{tina"_s, QRect(5520, 3800, 975, 200), cyan, small);
    m_command5 = button(this, u"Command5"_s, u"(referenten br)"_s, QRect(2760, 4250, 1575, 210),
                        green, small);
    connect(m_command1, &QPushButton::clicked, this, &Trelok::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Trelok::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Trelok::Command3_Click);
    connect(m_command4, &QPushButton::clicked, this, &Trelok::Command4_Click);
    exitOnEscape(this, [this] { Command2_Click(); });
}

void Trelok::applyLayout()
{
    const KindLayout layout = kindLayout(m_session.kind, m_session.description);
    QLineEdit *p_nal3 = box(u"p_nal3"_s);
    p_nal3->setMaxLength(layout.p_nal3MaxLength > 0 ? layout.p_nal3MaxLength : 32767);
    p_nal3->setGeometry(twips::rect(layout.p_nal3Left, 3960, layout.p_nal3Width, 285));
    box(u"p_nal1"_s)->setVisible(layout.p_nal1Visible);
    box(u"p_nal1"_s)->setEnabled(false);
    box(u"p_nal2"_s)->setVisible(layout.p_nal2Visible);
    box(u"p_nal4"_s)->setVisible(layout.p_nal4Visible);
    box(u"p_nal5"_s)->setVisible(layout.p_nal5Visible);
    m_labels.value(u"Label3"_s)->setText(layout.label3Caption);
    m_labels.value(u"Label3"_s)->setAccessibleName(makscii(layout.label3Caption));
    m_labels.value(u"Label4"_s)->setVisible(layout.label4Visible);
    m_labels.value(u"Label5"_s)->setVisible(layout.label5Visible);
    m_labels.value(u"Label10"_s)->setVisible(layout.label10Visible);
    m_labels.value(u"Label11"_s)->setVisible(layout.label11Visible);
    m_command3->setVisible(layout.command3Visible);
    m_command5->setText(layout.command5Caption);
    m_command5->setAccessibleName(makscii(layout.command5Caption));
    m_command5->move(twips::px(layout.command5Left), m_command5->y());
}

bool Trelok::Form_Load()
{
    SharedState &state = m_context.state;
    m_session = {state.f_ja, state.vid_tre, state.p_tre_br, state.opi_tre};
    applyLayout();
    const EntryMode mode = m_session.mode;
    auto filled =
        fillEntry({m_context.store, m_context.clock, m_context.prompter}, m_session);
    if (mode == EntryMode::Change && filled) {
        // The stored order's kind becomes the one the other windows see.
        state.vid_tre = m_session.kind;
        if (m_session.kind != u"000"_s)
            state.opi_tre = m_session.description;
    }
    if (!filled) {
        m_context.fail(filled);
        return false;
    }
    const EntryFilling &filling = filled.value();
    setWindowTitle(filling.caption);
    m_command1->setText(filling.command1Caption);
    m_command1->setAccessibleName(filling.command1Caption.trimmed());
    if (!filling.label3Caption.isEmpty()) {
        m_labels.value(u"Label3"_s)->setText(filling.label3Caption);
        m_labels.value(u"Label3"_s)->setAccessibleName(makscii(filling.label3Caption));
    }
    setFields(filling.fields);
    box(u"mes"_s)->setFocus();
    return true;
}

EntryFields Trelok::fields() const
{
    EntryFields f;
    for (const auto &[name, member] : EntryFields::boxes())
        f.*member = box(name)->text();
    return f;
}

void Trelok::setFields(const EntryFields &f)
{
    for (const auto &[name, member] : EntryFields::boxes()) {
        box(name)->setText(f.*member);
        box(name)->setCursorPosition(0);
    }
}

void Trelok::showChanges(const EntryFields &f)
{
    for (const auto &[name, member] : EntryFields::boxes())
        if (box(name)->text() != f.*member)
            box(name)->setText(f.*member);
}

QString Trelok::recipientCaption(const char *name) const
{
    return m_labels.value(QString::fromLatin1(name))->text();
}

void Trelok::Command1_Click()
{
    EntryFields f = fields();
    WindowDialog dialog(m_context, *this);
    const QString year = m_context.clock.today().toString(u"yyyyMMdd"_s).left(4);
    auto checked = validateEntry(m_context.store, dialog, m_session.kind, year, f);
    showChanges(f);
    if (!checked) {
        m_context.fail(checked);
        return;
    }
    if (!checked.value().passed)
        return;
    composeReference(m_session.kind, f);
    showChanges(f);
    const Recipient recipient{recipientCaption("pri1"), recipientCaption("pri2"),
                              recipientCaption("b_pri")};
    auto saved =
        saveEntry(m_context.store, dialog, m_session, m_context.state.td, year, f, recipient);
    if (!saved) {
        m_context.fail(saved);
        return;
    }
    if (saved.value().print && m_printOrder)
        m_printOrder(saved.value().number);
}

void Trelok::Command2_Click()
{
    close();
}

// Shows a picker over the window and takes the code it leaves behind.
void Trelok::runPicker(CodePickerDialog &picker, QLineEdit *target, const QString &taken)
{
    picker.Form_Load();
    picker.exec();
    if (!taken.isEmpty()) {
        target->setText(taken);
        target->repaint();
    }
}

void Trelok::Command3_Click()
{
    prom_isp picker(m_context, box(u"p_nal3"_s), this);
    runPicker(picker, box(u"p_nal3"_s), m_context.state.tek_isp);
}

void Trelok::Command4_Click()
{
    prom_opst picker(m_context, box(u"us2"_s), this);
    runPicker(picker, box(u"us2"_s), m_context.state.tek_opst);
}

void Trelok::p_nal3_LostFocus()
{
    EntryFields f = fields();
    trelok::p_nal3_LostFocus(m_session, f);
    if (f.c_nal1 != box(u"c_nal1"_s)->text())
        box(u"c_nal1"_s)->setText(f.c_nal1);
}

bool Trelok::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == box(u"p_nal3"_s) && event->type() == QEvent::FocusOut)
        p_nal3_LostFocus();
    return QWidget::eventFilter(watched, event);
}

} // namespace trelok
