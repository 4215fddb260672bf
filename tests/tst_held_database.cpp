#include "app_fixture.h"
#include "gui_support.h"

#include "data/orders.h"
#include "data/settings.h"
#include "entry/izbor_trelok.h"
#include "entry/izbor_vid.h"
#include "entry/trelok_window.h"
#include "print/lista_period.h"
#include "print/pec_pod.h"
#include "print/print_engine.h"
#include "print/raspored_polinja.h"
#include "refdata/dan_ref.h"
#include "refdata/fix_firm.h"
#include "refdata/fixed_data.h"
#include "refdata/lista_isp.h"
#include "refdata/picker_dialog.h"
#include "refdata/taxpayers.h"

#include <QLineEdit>
#include <QListWidget>

#include <memory>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

const QString held =
    u"Bazata na podatoci ja koristi druga programa. Nisto ne e zapisano, obidete se povtorno !"_s;

// One action in a window: true when it was done (read, stored, shown).
using Action = std::function<bool()>;
using Prepare = std::function<Action(AppFixture &)>;

QLineEdit *box(QWidget &window, const QString &name)
{
    return window.findChild<QLineEdit *>(name);
}

template <class W> std::shared_ptr<W> loaded(std::shared_ptr<W> w)
{
    if (!w->Form_Load())
        qFatal("%s did not load", W::staticMetaObject.className());
    return w;
}
template <class W> std::shared_ptr<W> loaded(AppFixture &app)
{
    return loaded(std::make_shared<W>(app.context));
}

// Opening a window: a new one each time.
template <class W> Action opening(AppFixture &app)
{
    return [&app] { return W(app.context).Form_Load(); };
}

// The entry window for a new order of kind 108 or for a change of the
// stored order.
void entryState(AppFixture &app, EntryMode mode)
{
    app.context.state.f_ja = mode;
    app.context.state.vid_tre = u"108"_s;
    app.context.state.p_tre_br = u"1/2025"_s;
    app.context.state.td = u"TRELOK"_s;
}
Action openingEntry(AppFixture &app, EntryMode mode)
{
    entryState(app, mode);
    return opening<Trelok>(app);
}

// A picker over a box, with a known code typed into it; list: through its list.
Action picking(AppFixture &app, bool list)
{
    auto us2 = std::make_shared<QLineEdit>();
    auto w = std::make_shared<prom_opst>(app.context, us2.get());
    w->Form_Load();
    w->text1()->setText(u"004"_s);
    return [w, us2, list] {
        if (!list) {
            w->Command1_Click();
        } else {
            whenIdle([] {
                if (auto *shown = qobject_cast<lista_isp *>(QApplication::activeModalWidget()))
                    shown->reject();
            });
            w->Command3_Click();
        }
        return w->result() == QDialog::Accepted && us2->text() == u"004"_s;
    };
}

struct CountedPreviews : PrintSurfaces {
    int shown = 0;
    void showPreview(const PrintJob &) override { ++shown; }
    void printPage(const PrintJob &) override {}
};

// Every read and write of every window, prepared before the file is held.
const QList<std::pair<const char *, Prepare>> &actions()
{
    static const QList<std::pair<const char *, Prepare>> all{
        {"fix_firm opening", opening<fix_firm>},
        {"fix_firm save",
         [](AppFixture &app) -> Action {
             auto w = loaded<fix_firm>(app);
             box(*w, u"nal1"_s)->setText(u"Nova Firma"_s);
             return [w, &app] {
                 w->Command3_Click();
                 return w->result() == QDialog::Accepted &&
                        readFixedData(app.db.store).value()->nal1 == u"Nova Firma"_s;
             };
         }},
        {"dan_ref opening", opening<dan_ref>},
        {"dan_ref add",
         [](AppFixture &app) -> Action {
             auto w = loaded<dan_ref>(app);
             w->Command4_Click();
             const QStringList typed{u"4030999000001"_s, u"Nov"_s, u"ul. 2"_s, u"Skopje"_s};
             for (int i = 0; i < 4; ++i)
                 box(*w, u"Text%1"_s.arg(i + 1))->setText(typed[i]);
             return [w, &app, typed] {
                 app.prompter.answers = {Answer::Yes};
                 w->Command5_Click();
                 return box(*w, u"Text1"_s)->isHidden() &&
                        taxpayerExists(app.db.store, typed[0]).value();
             };
         }},
        {"pec_pod opening",
         [](AppFixture &app) -> Action {
             return [&app] { return pec_pod(app.context, {}).Form_Load(); };
         }},
        {"pec_pod offsets save",
         [](AppFixture &app) -> Action {
             auto w = loaded(std::make_shared<pec_pod>(app.context, nullptr));
             box(*w, u"Text1"_s)->setText(u"7"_s);
             return [w, &app] {
                 w->Command3_Click();
                 return w->result() == QDialog::Accepted &&
                        readOffsets(app.db.store).value()->right == 7.0;
             };
         }},
        {"pec_pod printer choice",
         [](AppFixture &app) -> Action {
             auto w = loaded(std::make_shared<pec_pod>(app.context, nullptr));
             w->Command5_Click();
             auto *list = w->findChild<QListWidget *>(u"List1"_s);
             list->setCurrentRow(0);
             return [w, list, &app] {
                 w->Command6_Click();
                 return list->isHidden() &&
                        *readApplicationPrinter(app.db.store).value() == u"Office"_s;
             };
         }},
        {"pec_pod calibration sheet",
         [](AppFixture &app) -> Action {
             auto w = loaded(std::make_shared<pec_pod>(app.context, nullptr));
             auto printed = std::make_shared<int>(0);
             w->setSheetPrinter([printed](const QString &, const CalibrationSheet &) {
                 ++*printed;
                 return QString();
             });
             app.context.state.def_prn = u"Office"_s;
             return [w, printed] {
                 w->Command7_Click();
                 return *printed == 1;
             };
         }},
        {"print engine",
         [](AppFixture &app) -> Action {
             app.context.state.def_prn = u"Office"_s;
             auto surfaces = std::make_shared<CountedPreviews>();
             return [surfaces, &app] {
                 tre_pct(app.context, *surfaces, u"1/2025"_s, PrintMode::Preview);
                 return surfaces->shown == 1;
             };
         }},
        {"picker, typed code", [](AppFixture &app) { return picking(app, false); }},
        {"picker, list", [](AppFixture &app) { return picking(app, true); }},
        {"izbor_vid opening", opening<izbor_vid>},
        {"izbor_vid choice",
         [](AppFixture &app) -> Action {
             auto w = loaded<izbor_vid>(app);
             return [w] {
                 w->Command1_Click();
                 return w->result() == QDialog::Accepted;
             };
         }},
        {"izbor_trelok opening", opening<izbor_trelok>},
        {"raspored_polinja opening", opening<raspored_polinja>},
        {"entry window opening, new", [](AppFixture &app) { return openingEntry(app, EntryMode::New); }},
        {"entry window opening, change",
         [](AppFixture &app) { return openingEntry(app, EntryMode::Change); }},
        {"entry window save",
         [](AppFixture &app) -> Action {
             entryState(app, EntryMode::New);
             auto w = loaded<Trelok>(app);
             const QStringList typed{u"d_nal"_s, u"4030999123456"_s, u"c_nal1"_s,
                                     u"4030999123456"_s, u"mkd1"_s, u"1500"_s,
                                     u"mkd2"_s, u"00"_s, u"us2"_s, u"004"_s,
                                     u"nac"_s, u"2"_s, u"p_nal2"_s, u"2026"_s,
                                     u"p_nal3"_s, u"1010"_s, u"p_nal4"_s, u"4711"_s};
             for (qsizetype i = 0; i < typed.size(); i += 2)
                 w->box(typed[i])->setText(typed[i + 1]);
             return [w, &app] {
                 app.prompter.answers = {Answer::Yes, Answer::No};
                 w->Command1_Click();
                 return listOrders(app.db.store).value().size() == 2;
             };
         }},
        {"lista_period opening", opening<lista_period>},
        {"lista_period list",
         [](AppFixture &app) -> Action {
             auto w = loaded<lista_period>(app);
             return [w] {
                 w->Command1_Click();
                 return w->shown().from.isValid();
             };
         }},
    };
    return all;
}

} // namespace

class TestHeldDatabase : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    // While another program holds the file, each window says so, stays as
    // it was and the application goes on; the next action is done.
    void everyWindowTellsAndTriesAgain_data()
    {
        QTest::addColumn<int>("action");
        for (qsizetype i = 0; i < actions().size(); ++i)
            QTest::newRow(actions()[i].first) << int(i);
    }
    void everyWindowTellsAndTriesAgain()
    {
        QFETCH(int, action);
        AppFixture app;
        app.printers.names = {u"Office"_s};
        app.enterFixedData();
        app.storeOrder(u"1/2025"_s, u"108"_s, u"108-2025-1010-5"_s);
        app.db.exec("INSERT INTO tbl_obvr (dec_cod, dec_nam) VALUES (?, ?)",
                    {u"4030999123456"_s, u"Primer"_s});
        // The program waits 5 s for a held file; the test need not.
        app.db.exec("PRAGMA busy_timeout = 50");
        const Action act = actions()[action].second(app);

        Store other;
        QVERIFY(other.open(app.db.store.path()).ok());
        QVERIFY(other.exec("BEGIN EXCLUSIVE").ok());
        app.prompter.shown.clear();
        QVERIFY(!act());
        QCOMPARE(app.prompter.shown.count(held), 1);
        QCOMPARE(app.prompter.shown.last(), held);
        QVERIFY(app.ended.isEmpty());
        QVERIFY(other.exec("ROLLBACK").ok());

        app.prompter.shown.clear();
        QVERIFY2(act(), qPrintable(app.prompter.shown.join(u" | "_s)));
        QVERIFY(!app.prompter.shown.contains(held));
        QVERIFY(app.ended.isEmpty());
    }
};

QTEST_MAIN(TestHeldDatabase)
#include "tst_held_database.moc"
