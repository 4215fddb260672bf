#include "print/raspored_polinja.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "data/store.h"
#include "entry/form_picture.h"
#include "platform/controls.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "print/calibration_sheet.h"
#include "print/print_engine.h"
#include "print/printer_output.h"
#include "print/sheet_for_printer.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <cmath>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// The page is shown at 10 twips a pixel (the preview shows 15).
constexpr double surfaceScale = 10;
constexpr int pageWidth = 8700, pageHeight = 4860; // twips of the page shown

// Shown to a tenth of a tenth; typing takes what is typed.
QString tenthsText(double twips)
{
    return QString::number(std::round(twipsToTenths(twips) * 10) / 10, 'g', 10);
}

// The page with the form's picture, the texts as printed and a frame per
// field; the chosen ones blue.
class LayoutSurface : public QWidget {
public:
    explicit LayoutSurface(raspored_polinja &window) : QWidget(&window), m_window(window)
    {
        setObjectName(u"surface"_s);
        setAccessibleName(u"Obrazec so polinjata"_s);
        setAccessibleDescription(
            u"Strelki: 0,1 mm; Shift i strelki: 1 mm; klik ili vlecenje so glusecot"_s);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
        setFixedSize(int(pageWidth / surfaceScale), int(pageHeight / surfaceScale));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(1 / surfaceScale, 1 / surfaceScale);
        p.setOpacity(0.45);
        p.drawImage(formOnPage(), m_form);
        p.setOpacity(1);
        paintJob(p, m_window.page());
        const QList<int> chosen = m_window.chosen();
        QFont small(u"Liberation Sans"_s);
        small.setPixelSize(110);
        p.setFont(small);
        const Layout &layout = m_window.layout();
        for (qsizetype i = 0; i < layout.size(); ++i) {
            const bool isChosen = chosen.contains(int(i));
            const QColor colour = isChosen ? QColor(0, 0, 230) : QColor(200, 0, 0);
            p.setPen(QPen(colour, isChosen ? 24 : 10));
            const QRectF frame = fieldFrame(layout[i]);
            p.drawRect(frame);
            p.drawText(frame.topLeft() + QPointF(10, -12), layout[i].box);
        }
        if (hasFocus()) {
            p.setPen(QPen(QColor(0, 0, 230), 30, Qt::DotLine));
            p.drawRect(QRectF(15, 15, pageWidth - 30, pageHeight - 30));
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        setFocus();
        m_last = twipsAt(event->position());
        const int row = fieldAt(m_window.layout(), m_last);
        const bool add = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (row >= 0 && !(m_window.chosen().contains(row) && !add))
            m_window.choose(row, add);
        m_dragging = row >= 0;
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!m_dragging)
            return;
        const QPointF at = twipsAt(event->position());
        const double dx = std::round(at.x() - m_last.x());
        const double dy = std::round(at.y() - m_last.y());
        if (dx == 0 && dy == 0)
            return;
        m_window.moveChosen(dx, dy);
        m_last += QPointF(dx, dy);
    }

    void mouseReleaseEvent(QMouseEvent *) override { m_dragging = false; }

    void keyPressEvent(QKeyEvent *event) override
    {
        const double step = event->modifiers() & Qt::ShiftModifier ? coarseStep : fineStep;
        switch (event->key()) {
        case Qt::Key_Left:
            m_window.moveChosen(-step, 0);
            break;
        case Qt::Key_Right:
            m_window.moveChosen(step, 0);
            break;
        case Qt::Key_Up:
            m_window.moveChosen(0, -step);
            break;
        case Qt::Key_Down:
            m_window.moveChosen(0, step);
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    }

    void focusInEvent(QFocusEvent *) override { update(); }
    void focusOutEvent(QFocusEvent *) override { update(); }

private:
    static QPointF twipsAt(QPointF pixels) { return pixels * surfaceScale; }

    raspored_polinja &m_window;
    QImage m_form = blankForm();
    QPointF m_last;
    bool m_dragging = false;
};

} // namespace

raspored_polinja::raspored_polinja(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context),
      m_printSheet([&context](const QString &printer, const CalibrationSheet &sheet) {
          return printCalibrationSheet(context.printers, printer, sheet);
      })
{
    setObjectName(u"raspored_polinja"_s);
    setWindowTitle(u"Raspored na Polinjata"_s);
    setClientSize(this, 16260, 8220);
    const QFont form = formFont(10, true);
    const QFont plain = font();

    m_surface = new LayoutSurface(*this);
    m_surface->move(twips::point(120, 120));

    auto *label1 = label(this, u"Label1"_s, u"Poliwa na trelokot"_s,
                         QRect(13320, 120, 2610, 300), form);
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(u"List1"_s);
    m_list1->setGeometry(twips::rect(13320, 450, 2610, 4200));
    m_list1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list1->setAccessibleName(label1->accessibleName());
    connect(m_list1, &QListWidget::itemSelectionChanged, this,
            &raspored_polinja::List1_SelectionChanged);

    const QStringList captions{u"Levo"_s, u"Gore"_s, u"[irina"_s};
    const QRegularExpression number(u"\\d*\\.?\\d*"_s);
    for (int i = 0; i < 3; ++i) {
        auto *caption = label(this, u"Label%1"_s.arg(i + 2), captions[i],
                              QRect(13320, 4800 + i * 420, 900, 330), form);
        auto *box = textBox(this, u"Text%1"_s.arg(i + 1),
                            QRect(14220, 4780 + i * 420, 1100, 330), plain,
                            caption->accessibleName() + u" (0,1 mm)"_s);
        box->setValidator(new QRegularExpressionValidator(number, box));
        caption->setBuddy(box);
        label(this, u"Label%1"_s.arg(i + 5), u"0,1 mm"_s, QRect(15400, 4800 + i * 420, 780, 330),
              plain);
        connect(box, &QLineEdit::editingFinished, this, [this, i] { Text_Typed(i); });
        m_boxes.append(box);
    }
    label(this, u"Label8"_s, u"Strelki: 0,1 mm; Shift+strelki: 1 mm; vlecenje so glusecot"_s,
          QRect(13320, 6120, 2800, 600), plain)
        ->setWordWrap(true);

    auto *command1 = button(this, u"Command1"_s, u"OK - Snimi"_s, QRect(120, 7620, 2200, 420),
                            QColor(192, 255, 192), form);
    auto *command2 = button(this, u"Command2"_s, u"Vrati go ispora~aniot raspored"_s,
                            QRect(2440, 7620, 4300, 420), QColor(255, 255, 160), form);
    auto *command3 = button(this, u"Command3"_s, u"Pe~ati kalibraciski list"_s,
                            QRect(6860, 7620, 3600, 420), QColor(255, 224, 160), form);
    auto *command4 = button(this, u"Command4"_s, u"Izlez / Otkaz"_s, QRect(13920, 7620, 2200, 420),
                            QColor(255, 0, 0), form);
    // Return in a box takes the typed value; it presses no button.
    for (QPushButton *b : {command1, command2, command3, command4})
        b->setAutoDefault(false);
    connect(command1, &QPushButton::clicked, this, &raspored_polinja::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &raspored_polinja::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &raspored_polinja::Command3_Click);
    connect(command4, &QPushButton::clicked, this, &raspored_polinja::Command4_Click);
    chainTabOrder({m_surface, m_list1, m_boxes[0], m_boxes[1], m_boxes[2], command1, command2,
                   command3, command4});
    m_surface->setFocus();
}

bool raspored_polinja::Form_Load()
{
    auto layout = readLayout(m_context.store);
    if (!layout) {
        m_context.fail(layout);
        return false;
    }
    auto texts = layoutTexts(m_context.store);
    if (!texts) {
        m_context.fail(texts);
        return false;
    }
    m_layout = m_opened = layout.value();
    m_texts = texts.value();
    showLayout();
    return true;
}

void raspored_polinja::showLayout()
{
    const QSignalBlocker quiet(m_list1);
    const QList<int> keep = chosen();
    m_list1->clear();
    for (const LayoutRow &row : m_layout)
        m_list1->addItem(row.box);
    for (int i : keep)
        if (auto *item = m_list1->item(i))
            item->setSelected(true);
    m_page = layoutPage(m_layout, m_texts);
    showCoordinates();
    m_surface->update();
}

void raspored_polinja::showCoordinates()
{
    const QList<int> rows = chosen();
    const bool one = !rows.isEmpty();
    const LayoutRow row = one ? m_layout[rows.first()] : LayoutRow{};
    const QList<double> values{row.z_x, row.z_y, row.z_len};
    for (int i = 0; i < 3; ++i) {
        m_boxes[i]->setEnabled(one);
        if (!m_boxes[i]->hasFocus() || !one)
            m_boxes[i]->setText(one ? tenthsText(values[i]) : QString());
    }
}

QList<int> raspored_polinja::chosen() const
{
    QList<int> rows;
    for (int i = 0; i < m_list1->count(); ++i)
        if (m_list1->item(i)->isSelected())
            rows.append(i);
    return rows;
}

void raspored_polinja::choose(int row, bool add)
{
    if (row < 0 || row >= m_list1->count())
        return;
    if (add) {
        m_list1->item(row)->setSelected(!m_list1->item(row)->isSelected());
    } else {
        const QSignalBlocker quiet(m_list1);
        m_list1->clearSelection();
        m_list1->item(row)->setSelected(true);
    }
    m_list1->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    List1_SelectionChanged();
}

void raspored_polinja::moveChosen(double dx, double dy)
{
    const QList<int> rows = chosen();
    if (rows.isEmpty())
        return;
    moveFields(m_layout, rows, dx, dy);
    m_page = layoutPage(m_layout, m_texts);
    showCoordinates();
    m_surface->update();
}

void raspored_polinja::List1_SelectionChanged()
{
    showCoordinates();
    m_surface->update();
}

void raspored_polinja::Text_Typed(int coordinate)
{
    // Leaving a box that was not typed in changes nothing (it shows a
    // rounded value).
    QLineEdit *box = m_boxes[coordinate];
    const QString typed = box->text().trimmed();
    if (!box->isModified() || typed.isEmpty() || typed == u"."_s)
        return;
    box->setModified(false);
    const double twips = tenthsToTwips(typed.toDouble());
    for (int i : chosen()) {
        LayoutRow &row = m_layout[i];
        (coordinate == 0 ? row.z_x : coordinate == 1 ? row.z_y : row.z_len) = twips;
    }
    m_page = layoutPage(m_layout, m_texts);
    showCoordinates();
    m_surface->update();
}

void raspored_polinja::Command1_Click()
{
    if (m_context.store.engine() == Engine::Server &&
        m_context.prompter.ask(u"Rasporedot na polinjata e zaednicki za celata kancelarija: "
                               u"so snimanjeto se menuva za sekoja rabotna stanica. Da se snimi ?"_s,
                               Buttons::YesNo) != Answer::Yes)
        return;
    auto saved = saveLayout(m_context.store, m_layout, m_opened);
    if (!saved) {
        m_context.fail(saved.error(), saved.busy());
        return;
    }
    if (saved.value() == LayoutSaved::ChangedMeanwhile) {
        m_context.prompter.inform(
            u"Rasporedot na polinjata vo meguvreme e promenet od druga rabotna stanica, "
            u"nisto ne e snimeno ! Otvorete go prozorecot povtorno."_s);
        return;
    }
    m_context.prompter.inform(u"Rasporedot na polinjata e snimen !"_s);
    accept();
}

void raspored_polinja::Command2_Click()
{
    if (m_context.prompter.ask(u"Da se vrati isporacaniot raspored na site polinja ? "
                               u"(Se snimuva duri so OK - Snimi)"_s,
                               Buttons::YesNo) != Answer::Yes)
        return;
    m_layout = deliveredLayout();
    showLayout();
}

void raspored_polinja::Command3_Click()
{
    const auto loaded = loadSheetForPrinter(m_context);
    if (!loaded)
        return;
    // The stored offsets with the layout shown, saved or not.
    CalibrationSheet sheet = loaded->sheet;
    sheet.marks.clear();
    for (const LayoutRow &row : m_layout)
        sheet.marks.append({row.box, row.z_x, row.z_y});
    if (const QString error = m_printSheet(m_context.printers.current(), sheet); !error.isEmpty())
        m_context.prompter.inform(error);
}

void raspored_polinja::Command4_Click()
{
    reject();
}

} // namespace trelok
