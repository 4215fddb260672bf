#include "print/trelok_pogled.h"

#include "platform/controls.h"
#include "platform/twips.h"
#include "print/overflow.h"
#include "print/print_engine.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// The drawing area: white paper with the order's fields, in twips.
class PreviewSurface : public QWidget {
public:
    PreviewSurface(const PrintJob &job, QWidget *parent) : QWidget(parent), m_job(job)
    {
        setObjectName(u"surface"_s);
        setAccessibleName(u"Pogled na trelokot"_s);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(1.0 / twips::perPixel, 1.0 / twips::perPixel);
        paintJob(p, m_job);
        markOverflows(p, m_job);
    }

private:
    const PrintJob &m_job;
};

} // namespace

namespace {
// The notices under the page: the lowest line, and the one above it when
// both are shown.
constexpr int noticeTop = 4560, noticeAbove = 4275;
QRect noticeLine(int top)
{
    return twips::rect(120, top, 8460, 285);
}
} // namespace

Trelok_pogled::Trelok_pogled(const QString &printerName, std::function<void()> print,
                             std::function<void()> savePdf, QWidget *parent)
    : QWidget(parent, Qt::Window), m_print(std::move(print)), m_savePdf(std::move(savePdf))
{
    announceAsWindow(staticMetaObject);
    setObjectName(u"Trelok_pogled"_s);
    setWindowTitle(u"Pogled na Trelok pred Pecatenje"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setClientSize(this, 8700, 5460);
    m_surface = new PreviewSurface(m_job, this);
    m_surface->setGeometry(twips::rect(0, 0, 8700, 4860));
    auto *command1 = button(this, u"Command1"_s, u"OK - Pecati"_s, QRect(360, 4920, 1575, 375),
                            QColor(192, 255, 192), font());
    auto *label1 = label(this, u"Label1"_s, printerName, QRect(2040, 5040, 4455, 255), font());
    label1->setAccessibleDescription(u"Pecatar"_s);
    // The order shown, at the right end of the printer's line.
    m_order = label(this, u"lbl_trelok"_s, QString(), QRect(4680, 5040, 1815, 255), font());
    m_order->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *command2 = button(this, u"Command2"_s, u"Izlez / Otkaz"_s, QRect(6600, 4920, 1575, 375),
                            QColor(255, 0, 0), font());
    // Shown only when the coordinate table names boxes the page goes without.
    m_skipped = label(this, u"Label2"_s, QString(), QRect(120, noticeTop, 8460, 285), font(),
                      QColor(192, 0, 0));
    m_skipped->setWordWrap(true);
    m_skipped->hide();
    // Shown only when texts are wider than their boxes.
    m_overflow = label(this, u"Label3"_s, QString(), QRect(120, noticeTop, 8460, 285), font(),
                       QColor(192, 0, 0));
    m_overflow->hide();
    // In the page's empty top corner, clear of every field of the form.
    auto *command3 = button(this, u"Command3"_s, u"Snimi kako PDF"_s, QRect(6960, 60, 1620, 375),
                            QColor(192, 224, 255), formFont(8, true));
    // Several orders: the page's place between the buttons that move, left
    // of "Snimi kako PDF" in the page's empty top strip.
    auto *previous = button(this, u"cmd_prethoden"_s, u"<"_s, QRect(4440, 60, 480, 375),
                            QColor(224, 224, 224), formFont(8, true));
    previous->setAccessibleName(u"Prethoden trelok"_s);
    m_place = label(this, u"lbl_strana"_s, QString(), QRect(4920, 120, 1080, 255),
                    formFont(8, true));
    m_place->setAlignment(Qt::AlignCenter);
    auto *next = button(this, u"cmd_sleden"_s, u">"_s, QRect(6000, 60, 480, 375),
                        QColor(224, 224, 224), formFont(8, true));
    next->setAccessibleName(u"Sleden trelok"_s);
    m_previous = previous;
    m_next = next;
    for (QWidget *control : {static_cast<QWidget *>(previous), static_cast<QWidget *>(m_place),
                             static_cast<QWidget *>(next)})
        control->hide();
    connect(previous, &QPushButton::clicked, this, &Trelok_pogled::previousPage);
    connect(next, &QPushButton::clicked, this, &Trelok_pogled::nextPage);
    connect(command1, &QPushButton::clicked, this, &Trelok_pogled::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Trelok_pogled::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &Trelok_pogled::Command3_Click);
    exitOnEscape(this, [this] { Command2_Click(); });
    chainTabOrder({command1, command2, command3, previous, next});
    command1->setFocus();
}

void Trelok_pogled::showJob(const PrintJob &job)
{
    showJobs({job});
}

void Trelok_pogled::showJobs(const QList<PrintJob> &jobs)
{
    if (jobs.isEmpty())
        return;
    m_jobs = jobs;
    m_page = -1;
    const bool several = jobs.size() > 1;
    m_previous->setVisible(several);
    m_place->setVisible(several);
    m_next->setVisible(several);
    showPage(0);
}

void Trelok_pogled::showPage(int index)
{
    if (index < 0 || index >= m_jobs.size() || index == m_page)
        return;
    m_page = index;
    m_job = m_jobs.at(index);
    const PrintJob &job = m_job;
    const bool several = m_jobs.size() > 1;
    // Among several orders a notice names the order it belongs to.
    const auto notice = [&](const QString &text) {
        return several ? noticeOfOrder(job.number, text) : text;
    };
    m_order->setText(u"Trelok: "_s + job.number);
    m_order->setAccessibleName(m_order->text());
    m_place->setText(u"%1 / %2"_s.arg(index + 1).arg(m_jobs.size()));
    m_place->setAccessibleName(u"Strana "_s + m_place->text());
    m_previous->setEnabled(index > 0);
    m_next->setEnabled(index + 1 < m_jobs.size());
    m_skipped->setText(job.skippedBoxes.isEmpty()
                           ? QString()
                           : notice(skippedBoxesMessage(job.skippedBoxes)));
    m_skipped->setAccessibleName(m_skipped->text());
    m_skipped->setVisible(!job.skippedBoxes.isEmpty());
    const QStringList wide = overflowingBoxes(job);
    m_overflow->setText(wide.isEmpty() ? QString() : notice(overflowMessage(wide)));
    m_overflow->setAccessibleName(m_overflow->text());
    m_overflow->setGeometry(noticeLine(job.skippedBoxes.isEmpty() ? noticeTop : noticeAbove));
    m_overflow->setVisible(!wide.isEmpty());
    m_surface->update();
}

void Trelok_pogled::keyPressEvent(QKeyEvent *event)
{
    // PageUp and PageDown move between the orders, whichever control has
    // the focus (the buttons leave these keys to the window).
    if (event->key() == Qt::Key_PageUp && event->modifiers() == Qt::NoModifier)
        previousPage();
    else if (event->key() == Qt::Key_PageDown && event->modifiers() == Qt::NoModifier)
        nextPage();
    else
        QWidget::keyPressEvent(event);
}

void Trelok_pogled::Command1_Click()
{
    if (m_print)
        m_print();
}

void Trelok_pogled::Command2_Click()
{
    close();
}

void Trelok_pogled::Command3_Click()
{
    if (m_savePdf)
        m_savePdf();
}

} // namespace trelok
