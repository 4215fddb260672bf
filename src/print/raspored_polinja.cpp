#include "print/raspored_polinja.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "data/store.h"
#include "entry/form_picture.h"
#include "platform/controls.h"
#include "platform/makscii.h"
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

// The page is shown at 10 twips a pixel (the preview shows 15), wide enough
// for the rightmost field (MKD_DEC ends at 9165 twips).
constexpr double surfaceScale = 10;
constexpr int pageWidth = 9240, pageHeight = 4860; // twips of the page shown
// The list, the boxes and the hint stand right of the page.
constexpr int sideLeft = 14130;

// What the arrows do, said on the form and to a screen reader.
const char16_t *const keysHint = u"Strelki: 0,1 mm; Shift+strelki: 1 mm; vle~ewe so glu{ecot; "
                                 u"Enter vo listata: kon obrazecot";

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
        setAccessibleDescription(makscii(QString::fromUtf16(keysHint)));
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
        const QFontMetricsF metrics(small);
        const Layout &layout = m_window.layout();
        const auto colourOf = [&chosen](qsizetype i) {
            return chosen.contains(int(i)) ? QColor(0, 0, 230) : QColor(200, 0, 0);
        };
        for (qsizetype i = 0; i < layout.size(); ++i) {
            p.setPen(QPen(colourOf(i), chosen.contains(int(i)) ? 24 : 10));
            p.drawRect(fieldFrame(layout[i]));
        }
        // Each name on white at the end of its frame its text leaves free
        // (the right one for a text from the left, the left one for an
        // amount from the right), or above the frame where the text fills
        // it; always inside the page.
        const QFontMetricsF textMetrics(pageFont());
        for (const PlacedField &field : m_window.page().fields) {
            const qsizetype i = std::find_if(layout.begin(), layout.end(),
                                             [&field](const LayoutRow &row) {
                                                 return row.box == field.box;
                                             }) -
                                layout.begin();
            if (i == layout.size())
                continue;
            const QRectF frame = fieldFrame(layout[i]);
            const bool fromRight = field.jsft == u'R';
            const double text = textMetrics.horizontalAdvance(field.text) + 40;
            QRectF name(0, 0, metrics.horizontalAdvance(field.box) + 20, metrics.height());
            name.moveTop(frame.top());
            if (fromRight)
                name.moveLeft(frame.left());
            else
                name.moveRight(frame.right());
            if (frame.width() - text < name.width()) { // above, from where the text starts
                name.moveBottom(frame.top());
                if (!fromRight)
                    name.moveLeft(frame.left());
            }
            name.moveLeft(std::clamp(name.left(), 0.0, pageWidth - name.width()));
            name.moveTop(std::max(0.0, name.top()));
            p.fillRect(name, QColor(255, 255, 255, 230));
            p.setPen(colourOf(i));
            p.drawText(name, Qt::AlignCenter, field.box);
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
        // Tenths of a millimetre: one, or ten with Shift.
        const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
        switch (event->key()) {
        case Qt::Key_Left:
            m_window.stepChosen(-step, 0);
            break;
        case Qt::Key_Right:
            m_window.stepChosen(step, 0);
            break;
        case Qt::Key_Up:
            m_window.stepChosen(0, -step);
            break;
        case Qt::Key_Down:
            m_window.stepChosen(0, step);
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
    setClientSize(this, 17070, 8220);
    const QFont form = formFont(10, true);
    const QFont plain = font();

    m_surface = new LayoutSurface(*this);
    m_surface->move(twips::point(120, 120));

    auto *label1 = label(this, u"Label1"_s, u"Poliwa na trelokot"_s,
                         QRect(sideLeft, 120, 2610, 300), form);
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(u"List1"_s);
    m_list1->setGeometry(twips::rect(sideLeft, 450, 2810, 4200));
    m_list1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list1->setAccessibleName(label1->accessibleName());
    connect(m_list1, &QListWidget::itemSelectionChanged, this,
            &raspored_polinja::List1_SelectionChanged);
    // A field chosen with the mouse, or Return on it, hands the arrows to
    // the form: they move the field from there.
    connect(m_list1, &QListWidget::itemClicked, this, [this] { m_surface->setFocus(); });
    connect(m_list1, &QListWidget::itemActivated, this, [this] { m_surface->setFocus(); });

    const QStringList captions{u"Levo"_s, u"Gore"_s, u"[irina"_s};
    const QRegularExpression number(u"\\d*\\.?\\d*"_s);
    for (int i = 0; i < 3; ++i) {
        auto *caption = label(this, u"Label%1"_s.arg(i + 2), captions[i],
                              QRect(sideLeft, 4800 + i * 420, 900, 330), form);
        auto *box = textBox(this, u"Text%1"_s.arg(i + 1),
                            QRect(sideLeft + 900, 4780 + i * 420, 1100, 330), plain,
                            caption->accessibleName() + u" (0,1 mm)"_s);
        box->setValidator(new QRegularExpressionValidator(number, box));
        caption->setBuddy(box);
        label(this, u"Label%1"_s.arg(i + 5), u"0,1 mm"_s,
              QRect(sideLeft + 2080, 4800 + i * 420, 780, 330), form);
        connect(box, &QLineEdit::editingFinished, this, [this, i] { Text_Typed(i); });
        m_boxes.append(box);
    }
    label(this, u"Label8"_s, QString::fromUtf16(keysHint), QRect(sideLeft, 6120, 2800, 1200),
          formFont(9, false))
        ->setWordWrap(true);

    auto *command1 = button(this, u"Command1"_s, u"OK - Snimi"_s, QRect(120, 7620, 2200, 420),
                            QColor(192, 255, 192), form);
    auto *command2 = button(this, u"Command2"_s, u"Vrati go ispora~aniot raspored"_s,
                            QRect(2440, 7620, 4300, 420), QColor(255, 255, 160), form);
    auto *command3 = button(this, u"Command3"_s, u"Pe~ati kalibraciski list"_s,
                            QRect(6860, 7620, 3600, 420), QColor(255, 224, 160), form);
    auto *command4 = button(this, u"Command4"_s, u"Izlez / Otkaz"_s, QRect(14730, 7620, 2200, 420),
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
        m_list1->addItem(fieldTitle(row.box));
    for (int i : keep)
        if (auto *item = m_list1->item(i))
            item->setSelected(true);
    showChanged();
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
    moveFields(m_layout, chosen(), dx, dy);
    showChanged();
}

void raspored_polinja::stepChosen(int tenthsX, int tenthsY)
{
    stepFields(m_layout, chosen(), tenthsX, tenthsY);
    showChanged();
}

void raspored_polinja::showChanged()
{
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
    showChanged();
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
