// The clerk's whole story on the real program: the main window, its menu and
// every window it opens, driven by mouse clicks and key presses on a real X
// display, printing through the CUPS queue that acceptance_test.py starts.
//
// The program runs on the main thread exactly as the executable runs it
// (runApplication). The story runs on a second thread: it sends every click
// and key press to the main thread without waiting for it (a click may open
// a modal window, whose loop then runs the following steps) and reads the
// windows through blocking calls. Every window is saved as a picture into
// the artefact directory; every printed page is copied there as
// page-NN.pdf, listed in pages.txt for acceptance_test.py to measure.

#include "cups_jobs.h"
#include "gui_support.h"

#include "shell/application.h"

#include <QAbstractButton>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

struct StoryFailed : std::runtime_error {
    explicit StoryFailed(const QString &what) : std::runtime_error(what.toStdString()) {}
};

// The story's side: every access to a widget happens on the main thread.
class Clerk {
public:
    Clerk(QString artefacts, QString queue, QString output)
        : m_artefacts(std::move(artefacts)), m_queue(std::move(queue)), m_output(std::move(output))
    {}

    QStringList log;
    QString year = QDate::currentDate().toString(u"yyyy"_s);
    QString today = QDate::currentDate().toString(u"dd.MM.yyyy"_s);

    void story();

private:
    template <class F> auto onGui(F f)
    {
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            QMetaObject::invokeMethod(qApp, std::move(f), Qt::BlockingQueuedConnection);
        } else {
            R result{};
            QMetaObject::invokeMethod(
                qApp, [&] { result = f(); }, Qt::BlockingQueuedConnection);
            return result;
        }
    }

    // Input that may open a modal window: sent, not waited for.
    template <class F> void send(F f)
    {
        QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }

    template <class F> void waitUntil(const QString &what, F condition, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 50) {
            if (onGui(condition))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        throw StoryFailed(u"timed out waiting for "_s + what);
    }

    static QWidget *visibleWindow(const QString &name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == name)
                return w;
        return nullptr;
    }

    static QMessageBox *visibleMessageBox()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                return box;
        return nullptr;
    }

    QWidget *window(const QString &name)
    {
        waitUntil(u"window "_s + name, [&] { return visibleWindow(name) != nullptr; });
        // Let it finish drawing before it is pictured and used.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        return onGui([&] { return visibleWindow(name); });
    }

    void waitClosed(const QString &name)
    {
        waitUntil(u"window "_s + name + u" to close"_s,
                  [&] { return visibleWindow(name) == nullptr; });
    }

    template <class T> void picture(const QPointer<T> &w, const QString &what)
    {
        const QString file =
            u"%1/%2-%3.png"_s.arg(m_artefacts).arg(++m_pictures, 2, 10, QChar(u'0')).arg(what);
        onGui([&] {
            if (w)
                w->grab().save(file);
        });
        log.append(u"picture "_s + file);
    }

    void picture(QWidget *w, const QString &what) { picture(QPointer<QWidget>(w), what); }

    template <class T = QWidget> T *child(QWidget *w, const QString &name)
    {
        T *c = onGui([&] { return w->findChild<T *>(name); });
        if (!c)
            throw StoryFailed(u"no control "_s + name);
        return c;
    }

    void click(QWidget *w, const QString &name)
    {
        QWidget *c = child(w, name);
        if (m_keys) { // Tab to the button, Return on it
            tabTo(w, name);
            send([c] { QTest::keyClick(c, Qt::Key_Return); });
            return;
        }
        send([c] { QTest::mouseClick(c, Qt::LeftButton); });
    }

    // Tab until the named control has the focus.
    void tabTo(QWidget *w, const QString &name)
    {
        for (int i = 0; i < 80; ++i) {
            QWidget *focus = onGui([w] { return w->focusWidget(); });
            if (focus && onGui([focus] { return focus->objectName(); }) == name)
                return;
            send([w, focus] { QTest::keyClick(focus ? focus : w, Qt::Key_Tab); });
        }
        throw StoryFailed(u"Tab does not reach "_s + name);
    }

    // Clicks into the box, selects what it holds and types over it.
    void type(QWidget *w, const QString &name, const QString &text)
    {
        auto *box = child<QLineEdit>(w, name);
        if (m_keys)
            tabTo(w, name);
        send([box, text, keys = m_keys] {
            if (!keys)
                QTest::mouseClick(box, Qt::LeftButton);
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            if (text.isEmpty())
                QTest::keyClick(box, Qt::Key_Delete);
            else
                QTest::keyClicks(box, text);
        });
        waitUntil(u"box "_s + name + u" to hold "_s + text, [&] { return box->text() == text; });
    }

    // Opens a menu of the menu bar with the mouse and clicks one of its items.
    void menu(const QString &menuName, const QString &itemName)
    {
        QWidget *main = window(u"Form1"_s);
        auto *bar = onGui([&] { return static_cast<QMainWindow *>(main)->menuBar(); });
        auto *popup = child<QMenu>(main, menuName);
        if (m_keys) { // Alt and the menu's access key, then the item's
            auto *item = child<QAction>(main, itemName);
            const auto key = [](const QString &text) {
                return text.at(text.indexOf(u'&') + 1).toUpper().toLatin1();
            };
            const char menuKey = key(onGui([popup] { return popup->title(); }));
            const char itemKey = key(onGui([item] { return item->text(); }));
            // The menu's keys belong to the active window: the main one, as
            // the entry window just closed (without a window manager here
            // nothing hands it back by itself).
            onGui([main] { QApplication::setActiveWindow(main); });
            waitUntil(u"the main window active"_s,
                      [&] { return QApplication::activeWindow() == main; });
            send([main, menuKey] { QTest::keyClick(main, menuKey, Qt::AltModifier); });
            waitUntil(u"menu "_s + menuName, [&] { return popup->isVisible(); });
            send([popup, itemKey] { QTest::keyClick(popup, itemKey); });
            waitUntil(u"menu "_s + menuName + u" to close"_s, [&] { return !popup->isVisible(); });
            return;
        }
        send([bar, popup] {
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->actionGeometry(popup->menuAction()).center());
        });
        waitUntil(u"menu "_s + menuName, [&] { return popup->isVisible(); });
        auto *item = child<QAction>(main, itemName);
        send([popup, item] {
            QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(item).center());
        });
        waitUntil(u"menu "_s + menuName + u" to close"_s, [&] { return !popup->isVisible(); });
    }

    // Answers the message box that must come next, by clicking its button.
    void answer(const QString &text, QMessageBox::StandardButton button)
    {
        waitUntil(u"message \""_s + text + u"\""_s, [&] { return visibleMessageBox() != nullptr; });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // The message box is gone with the question that showed it: every use
        // of it checks that it is still there.
        const QPointer<QMessageBox> box =
            onGui([] { return QPointer<QMessageBox>(visibleMessageBox()); });
        const QString shown = onGui([box] { return box ? box->text() : QString(); });
        if (shown != text)
            throw StoryFailed(u"expected the message \""_s + text + u"\", saw \""_s + shown +
                              u"\""_s);
        picture(box, u"message"_s);
        const QPointer<QAbstractButton> b = onGui([box, button] {
            return QPointer<QAbstractButton>(box ? box->button(button) : nullptr);
        });
        if (!b)
            throw StoryFailed(u"the message has no such button: "_s + text);
        log.append(u"answered: "_s + text);
        if (m_keys && onGui([box, b] { return box && box->defaultButton() == b; })) {
            send([box] {
                if (box)
                    QTest::keyClick(box->focusWidget() ? box->focusWidget() : box.data(),
                                    Qt::Key_Return);
            });
        } else {
            send([b] {
                if (b)
                    QTest::mouseClick(b, Qt::LeftButton);
            });
        }
        waitUntil(u"message to close"_s, [box] { return !box || !box->isVisible(); });
    }

    // Clicks the line of a list whose first column reads text.
    void chooseLine(QWidget *w, const QString &name, const QString &text)
    {
        auto *view = child<QAbstractItemView>(w, name);
        const QRect rect = onGui([&] {
            QAbstractItemModel *model = view->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                const QModelIndex index = model->index(row, 0);
                // A field of the layout list is named with its caption beside it.
                const QString line = model->data(index).toString().trimmed();
                if (line == text || line.startsWith(text + u" \u2013 "_s)) {
                    view->scrollTo(index);
                    return view->visualRect(index);
                }
            }
            return QRect();
        });
        if (rect.isNull())
            throw StoryFailed(u"no line "_s + text + u" in "_s + name);
        QWidget *viewport = onGui([view] { return view->viewport(); });
        if (m_keys) { // Down from the first line until it is the one
            send([view] {
                view->setFocus();
                QTest::keyClick(view, Qt::Key_Home);
            });
            for (int i = 0; i < 200 && onGui([view] {
                                         return view->model()
                                             ->data(view->currentIndex().siblingAtColumn(0))
                                             .toString()
                                             .trimmed();
                                     }) != text;
                 ++i)
                send([view] { QTest::keyClick(view, Qt::Key_Down); });
        } else {
            send([viewport, rect] {
                QTest::mouseClick(viewport, Qt::LeftButton, {}, rect.center());
            });
        }
        waitUntil(u"line "_s + text + u" chosen"_s, [&] {
            return view->currentIndex().isValid() &&
                   view->model()
                       ->data(view->currentIndex().siblingAtColumn(0))
                       .toString()
                       .trimmed()
                       .section(u" \u2013 "_s, 0, 0) == text;
        });
    }

    // "OK - Pecati" on the preview; the finished job's PDF is kept.
    void printPreview(const QString &number)
    {
        QWidget *preview = window(u"Trelok_pogled"_s);
        picture(preview, u"Trelok_pogled"_s);
        const int before = completedJobs(m_queue);
        click(preview, u"Command1"_s);
        for (int waited = 0; completedJobs(m_queue) <= before; waited += 200) {
            if (waited > 60000)
                throw StoryFailed(u"the print job did not complete"_s);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        const QString page = u"page-%1.pdf"_s.arg(++m_pages, 2, 10, QChar(u'0'));
        QFile::remove(m_artefacts + u"/"_s + page);
        if (!QFile::copy(m_output, m_artefacts + u"/"_s + page))
            throw StoryFailed(u"the printed page could not be copied"_s);
        QFile list(m_artefacts + u"/pages.txt"_s);
        if (!list.open(QIODevice::Append | QIODevice::Text))
            throw StoryFailed(u"pages.txt"_s);
        list.write((page + u" "_s + number + u"\n"_s).toUtf8());
        log.append(u"printed "_s + number + u" as "_s + page);
        click(preview, u"Command2"_s);
        waitClosed(u"Trelok_pogled"_s);
    }

    // Several orders chosen with Shift and the arrow keys, moved through with
    // PageDown on the preview, printed as one job kept as batch.pdf.
    void printSeveral(const QString &first, int more, const QString &second);

    void fixedData();
    void taxpayer();
    void printer();
    void layout();
    void periodList();
    QWidget *newOrder(const QString &kind);
    void saveNew(QWidget *entry, const QString &number);

    bool m_keys = false; // the keyboard alone, as a clerk without a mouse
    QString m_artefacts;
    QString m_queue;
    QString m_output;
    int m_pictures = 0;
    int m_pages = 0;
};

void Clerk::printSeveral(const QString &first, int more, const QString &second)
{
    menu(u"apct"_s, u"pct"_s);
    QWidget *chooser = window(u"izbor_trelok"_s);
    chooseLine(chooser, u"ListView1"_s, first);
    auto *list = child<QAbstractItemView>(chooser, u"ListView1"_s);
    for (int i = 0; i < more; ++i)
        send([list] { QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier); });
    waitUntil(u"the lines chosen"_s,
              [&] { return list->selectionModel()->selectedRows().size() == more + 1; });
    picture(chooser, u"izbor_trelok-several"_s);
    click(chooser, u"Command1"_s);
    waitClosed(u"izbor_trelok"_s);
    QWidget *preview = window(u"Trelok_pogled"_s);
    const auto shows = [&](const QString &place, const QString &order) {
        waitUntil(u"page "_s + place + u" of "_s + order, [&] {
            const auto *at = preview->findChild<QLabel *>(u"lbl_strana"_s);
            const auto *shown = preview->findChild<QLabel *>(u"lbl_trelok"_s);
            return at && shown && at->text() == place &&
                   shown->text() == u"Trelok: "_s + order;
        });
    };
    const QString pages = u" / "_s + QString::number(more + 1);
    shows(u"1"_s + pages, first);
    send([preview] { QTest::keyClick(preview, Qt::Key_PageDown); });
    shows(u"2"_s + pages, second);
    picture(preview, u"Trelok_pogled-several"_s);
    const int before = completedJobs(m_queue);
    click(preview, u"Command1"_s);
    for (int waited = 0; completedJobs(m_queue) <= before; waited += 200) {
        if (waited > 60000)
            throw StoryFailed(u"the print job of several orders did not complete"_s);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    if (completedJobs(m_queue) != before + 1)
        throw StoryFailed(u"several orders were printed as more than one job"_s);
    QFile::remove(m_artefacts + u"/batch.pdf"_s);
    if (!QFile::copy(m_output, m_artefacts + u"/batch.pdf"_s))
        throw StoryFailed(u"the printed pages could not be copied"_s);
    log.append(u"printed "_s + QString::number(more + 1) + u" orders as batch.pdf"_s);
    click(preview, u"Command2"_s);
    waitClosed(u"Trelok_pogled"_s);
}

void Clerk::fixedData()
{
    menu(u"srvs"_s, u"vfpd"_s);
    QWidget *w = window(u"fix_firm"_s);
    type(w, u"nal1"_s, u"Primer DOOEL"_s);
    type(w, u"nal2"_s, u"ul. Partizanska 12"_s);
    type(w, u"b_nal"_s, u"Komercijalna banka"_s);
    type(w, u"s_nal"_s, u"300000000123456"_s);
    type(w, u"d_nal"_s, u"4030999123456"_s);
    type(w, u"mes"_s, u"Skopje"_s);
    type(w, u"us2"_s, u"004"_s);
    picture(w, u"fix_firm"_s);
    click(w, u"Command3"_s);
    answer(u"Uspesno Snimeni Fiksni Podatoci !"_s, QMessageBox::Ok);
    waitClosed(u"fix_firm"_s);
}

void Clerk::taxpayer()
{
    menu(u"srvs"_s, u"sdb"_s);
    answer(
        u"Vnimanie !, Otvaranjeto na Listata na Danocni Obvrznici ke Potrae okolu 20 sekundi !"_s,
        QMessageBox::Ok);
    QWidget *w = window(u"dan_ref"_s);
    click(w, u"Command4"_s);
    waitUntil(u"the taxpayer panel"_s,
              [&] { return w->findChild<QWidget *>(u"Text1"_s)->isVisible(); });
    type(w, u"Text1"_s, u"4030999123456"_s);
    type(w, u"Text2"_s, u"Primer DOOEL"_s);
    type(w, u"Text3"_s, u"ul. Partizanska 12"_s);
    type(w, u"Text4"_s, u"Skopje"_s);
    picture(w, u"dan_ref-new"_s);
    click(w, u"Command5"_s);
    answer(u"Dali navistina da go vnesam komitentot ? "_s, QMessageBox::Yes);
    answer(
        u"Vnimanie !, Otvaranjeto na Listata na Danocni Obvrznici ke Potrae okolu 20 sekundi !"_s,
        QMessageBox::Ok);
    chooseLine(w, u"ListView1"_s, u"4030999123456"_s);
    picture(w, u"dan_ref"_s);
    click(w, u"Command1"_s);
    waitClosed(u"dan_ref"_s);
}

void Clerk::printer()
{
    menu(u"srvs"_s, u"pec_podes"_s);
    answer(u"Izberete Default Pecatar za Proektot so kopceto Izberi Pecatar !"_s, QMessageBox::Ok);
    QWidget *w = window(u"pec_pod"_s);
    click(w, u"Command5"_s);
    waitUntil(u"the printer list"_s,
              [&] { return w->findChild<QWidget *>(u"List1"_s)->isVisible(); });
    chooseLine(w, u"List1"_s, m_queue);
    click(w, u"Command6"_s);
    waitUntil(u"the chosen printer"_s,
              [&] { return w->findChild<QLabel *>(u"Label5"_s)->text() == m_queue; });
    type(w, u"Text1"_s, u"10"_s);
    type(w, u"Text2"_s, u"-5"_s);
    picture(w, u"pec_pod"_s);
    click(w, u"Command3"_s);
    answer(u"Uspesno Snimeno Podesuvanje za Pecatar !"_s, QMessageBox::Ok);
    waitClosed(u"pec_pod"_s);
}

// One field moved 1 mm to the right in the layout window, and saved.
void Clerk::layout()
{
    menu(u"srvs"_s, u"rasp_pol"_s);
    QWidget *w = window(u"raspored_polinja"_s);
    chooseLine(w, u"List1"_s, u"MESTO"_s);
    QWidget *surface = child(w, u"surface"_s);
    send([surface] {
        surface->setFocus();
        QTest::keyClick(surface, Qt::Key_Right, Qt::ShiftModifier);
    });
    auto *left = child<QLineEdit>(w, u"Text1"_s);
    waitUntil(u"MESTO at 1183 tenths of a millimetre"_s,
              [&] { return left->text() == u"1183"_s; });
    picture(w, u"raspored_polinja"_s);
    click(w, u"Command1"_s);
    answer(u"Rasporedot na polinjata e snimen !"_s, QMessageBox::Ok);
    waitClosed(u"raspored_polinja"_s);
}

// Today's orders listed with their totals and printed on plain A4; the
// printed list is kept as lista.pdf.
void Clerk::periodList()
{
    menu(u"apct"_s, u"lista_per"_s);
    QWidget *w = window(u"lista_period"_s);
    type(w, u"dat_od"_s, today);
    type(w, u"dat_do"_s, today);
    click(w, u"Command1"_s);
    auto *list = child<QAbstractItemView>(w, u"ListView1"_s);
    waitUntil(u"five orders listed"_s, [&] { return list->model()->rowCount() == 5; });
    picture(w, u"lista_period"_s);
    const int before = completedJobs(m_queue);
    click(w, u"Command2"_s);
    for (int waited = 0; completedJobs(m_queue) <= before; waited += 200) {
        if (waited > 60000)
            throw StoryFailed(u"the list was not printed"_s);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    QFile::remove(m_artefacts + u"/lista.pdf"_s);
    if (!QFile::copy(m_output, m_artefacts + u"/lista.pdf"_s))
        throw StoryFailed(u"the printed list could not be copied"_s);
    log.append(u"printed the list of the period as lista.pdf"_s);
    click(w, u"Command5"_s);
    waitClosed(u"lista_period"_s);
}

QWidget *Clerk::newOrder(const QString &kind)
{
    menu(u"vns"_s, u"ntrel"_s);
    QWidget *chooser = window(u"izbor_vid"_s);
    chooseLine(chooser, u"ListView1"_s, kind);
    picture(chooser, u"izbor_vid-"_s + kind);
    click(chooser, u"Command1"_s);
    waitClosed(u"izbor_vid"_s);
    return window(u"Trelok"_s);
}

void Clerk::saveNew(QWidget *entry, const QString &number)
{
    answer(u"Da go snimam Noviot Trelok ? "_s, QMessageBox::Yes);
    answer(u"Uspesno Vnesen Trelok broj: "_s + number + u", Da go PECATAM ? "_s, QMessageBox::Yes);
    printPreview(number);
    picture(entry, u"Trelok-saved-"_s + QString(number).replace(u'/', u'_'));
    click(entry, u"Command2"_s);
    waitClosed(u"Trelok"_s);
}

void Clerk::story()
{
    const QString unknown = u"4030888000017"_s;
    // A new installation has no printer chosen yet.
    answer(u"Izberete Default Pecatar za Proektot vo menito Servis/Podesuvanje na Pecatar!"_s,
           QMessageBox::Ok);
    picture(window(u"Form1"_s), u"Form1"_s);
    fixedData();
    taxpayer();
    printer();
    layout();
    picture(window(u"Form1"_s), u"Form1-printer"_s);

    // 108: a purpose line taxpayer outside the register, last year's year.
    QWidget *entry = newOrder(u"108"_s);
    type(entry, u"c_nal1"_s, unknown);
    type(entry, u"p_nal2"_s, u"2025"_s);
    type(entry, u"p_nal3"_s, u"1010"_s);
    type(entry, u"p_nal4"_s, u"12345"_s);
    type(entry, u"mkd1"_s, u"12500"_s);
    type(entry, u"nac"_s, u"2"_s);
    type(entry, u"valu"_s, today);
    picture(entry, u"Trelok-108"_s);
    click(entry, u"Command1"_s);
    answer(u"Danocniot broj: "_s + unknown + u" Nepostoi ! , Dali Da go Prifatam ? "_s,
           QMessageBox::Yes);
    answer(u"Trelokot moze da bide i NEVALIDEN, Ako danocniot broj e tocen, mozete da go vnesete "
           u"vo Servis/Danocni_broevi !"_s,
           QMessageBox::Ok);
    answer(u"Pogresna Godina, Dali da ja stavam tekovnata ?"_s, QMessageBox::Yes);
    saveNew(entry, u"1/"_s + year);

    // The amount changed.
    menu(u"promm"_s, u"azur_tre"_s);
    QWidget *chooser = window(u"izbor_trelok"_s);
    chooseLine(chooser, u"ListView1"_s, u"1/"_s + year);
    picture(chooser, u"izbor_trelok"_s);
    click(chooser, u"Command1"_s);
    waitClosed(u"izbor_trelok"_s);
    entry = window(u"Trelok"_s);
    type(entry, u"mkd1"_s, u"13750"_s);
    picture(entry, u"Trelok-change"_s);
    click(entry, u"Command1"_s);
    answer(u"Danocniot broj: "_s + unknown + u" Nepostoi ! , Dali Da go Prifatam ? "_s,
           QMessageBox::Yes);
    answer(u"Trelokot moze da bide i NEVALIDEN, Ako danocniot broj e tocen, mozete da go vnesete "
           u"vo Servis/Danocni_broevi !"_s,
           QMessageBox::Ok);
    answer(u"Da go Promenam Trelokot 1/"_s + year, QMessageBox::Yes);
    answer(u"Uspesno Promenet Trelok broj: 1/"_s + year + u", Da go PECATAM ? "_s, QMessageBox::No);
    click(entry, u"Command2"_s);
    waitClosed(u"Trelok"_s);

    // Printed again from the stored order.
    menu(u"apct"_s, u"pct"_s);
    chooser = window(u"izbor_trelok"_s);
    chooseLine(chooser, u"ListView1"_s, u"1/"_s + year);
    click(chooser, u"Command1"_s);
    waitClosed(u"izbor_trelok"_s);
    printPreview(u"1/"_s + year);

    entry = newOrder(u"205"_s);
    type(entry, u"p_nal3"_s, u"1000"_s);
    type(entry, u"p_nal4"_s, u"4567"_s);
    type(entry, u"p_nal5"_s, u"0"_s);
    type(entry, u"mkd1"_s, u"880"_s);
    type(entry, u"mkd2"_s, u"50"_s);
    type(entry, u"nac"_s, u"2"_s);
    type(entry, u"valu"_s, today);
    picture(entry, u"Trelok-205"_s);
    click(entry, u"Command1"_s);
    saveNew(entry, u"2/"_s + year);

    entry = newOrder(u"GAR"_s);
    type(entry, u"p_nal3"_s, u"1010"_s);
    type(entry, u"p_nal4"_s, u"7788"_s);
    type(entry, u"mkd1"_s, u"40000"_s);
    type(entry, u"nac"_s, u"2"_s);
    type(entry, u"valu"_s, today);
    picture(entry, u"Trelok-GAR"_s);
    click(entry, u"Command1"_s);
    saveNew(entry, u"3/"_s + year);

    // 701 with the keyboard alone: menus by their access keys, the kind by
    // the arrows, the boxes by Tab, Return on "OK - Snimi", on the answers
    // and on the preview's buttons.
    m_keys = true;
    entry = newOrder(u"701"_s);
    type(entry, u"p_nal3"_s, u"1000"_s);
    type(entry, u"mkd1"_s, u"300"_s);
    type(entry, u"nac"_s, u"2"_s);
    type(entry, u"valu"_s, today);
    picture(entry, u"Trelok-701"_s);
    click(entry, u"Command1"_s);
    saveNew(entry, u"4/"_s + year);
    m_keys = false;

    // 900: the guarantee number goes into the purpose line as the box is left.
    entry = newOrder(u"900"_s);
    type(entry, u"p_nal3"_s, u"9001234567"_s);
    type(entry, u"mkd1"_s, u"1500"_s);
    waitUntil(u"the guarantee number in c_nal1"_s, [&] {
        return entry->findChild<QLineEdit *>(u"c_nal1"_s)->text() == u"9001234567"_s;
    });
    type(entry, u"nac"_s, u"2"_s);
    type(entry, u"valu"_s, today);
    picture(entry, u"Trelok-900"_s);
    click(entry, u"Command1"_s);
    saveNew(entry, u"5/"_s + year);
    periodList();

    // The four orders of the day once more, in one job: 5/Y down to 2/Y.
    printSeveral(u"5/"_s + year, 3, u"4/"_s + year);

    // "&Izlez" on the menu bar ends the program.
    QWidget *main = window(u"Form1"_s);
    auto *bar = onGui([&] { return static_cast<QMainWindow *>(main)->menuBar(); });
    auto *exit = child<QAction>(main, u"izl"_s);
    send([bar, exit] {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(exit).center());
    });
}

} // namespace

class TestAcceptance : public QObject {
    Q_OBJECT

private slots:
    void theClerksStory()
    {
        const QString artefacts = qEnvironmentVariable("TRELOK_ACCEPTANCE_ARTEFACTS");
        const QString queue = qEnvironmentVariable("TRELOK_TEST_QUEUE");
        const QString output = qEnvironmentVariable("TRELOK_TEST_OUTPUT");
        const QString appDir = qEnvironmentVariable("TRELOK_ACCEPTANCE_APPDIR");
        if (queue.isEmpty() || artefacts.isEmpty() || appDir.isEmpty())
            QSKIP("needs the display and CUPS queue that acceptance_test.py starts");
        QVERIFY(QDir().mkpath(artefacts));

        Clerk clerk(artefacts, queue, output);
        std::atomic<bool> done = false;
        std::atomic<bool> programEnded = false;
        QString failure;
        std::thread story([&] {
            try {
                clerk.story();
            } catch (const StoryFailed &e) {
                failure = QString::fromStdString(e.what());
                // Close whatever is open so the program ends.
                while (!programEnded) {
                    QMetaObject::invokeMethod(
                        qApp,
                        [] {
                            for (QWidget *w : QApplication::topLevelWidgets())
                                w->close();
                            QCoreApplication::exit(99);
                        },
                        Qt::QueuedConnection);
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                }
            }
            done = true;
        });
        const int status = trelok::runApplication({u"trelok"_s, u"--dir"_s, appDir});
        programEnded = true;
        while (!done) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        story.join();
        for (const QString &line : std::as_const(clerk.log))
            qInfo().noquote() << line;
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(status, 0);
        QTRY_VERIFY(openWindows().isEmpty());
    }
};

QTEST_MAIN(TestAcceptance)
#include "tst_acceptance.moc"
