#include "literal_messages.h"
#include "test_db.h"

#include "context/shared_state.h"
#include "context/startup.h"
#include "data/statements.h"
#include "platform/fonts.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {
QString missing(const QString &name)
{
    return literal::printerMissing(name);
}
QString decimalFinal()
{
    return literal::cannotContinue() + QChar(13) + literal::decimalSymbol();
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // Start-up's messages, in the order the user sees them, and whether the
    // program goes on to its main window.
    void messagesAndOutcome_data()
    {
        QTest::addColumn<QStringList>("printerRows"); // "<none>": table emptied
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("proceeds");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("defPrn");

        QTest::newRow("no printer chosen")
            << QStringList{QString()} << u"C"_s << QStringList{literal::choosePrinterInMenu()}
            << true << QString() << QString();
        QTest::newRow("installed printer, trimmed")
            << QStringList{u"  PDF-Queue  "_s} << u"en_US"_s << QStringList{} << true
            << u"PDF-Queue"_s << u"PDF-Queue"_s;
        QTest::newRow("name differs in case")
            << QStringList{u"pdf-queue"_s} << u"C"_s << QStringList{missing(u"pdf-queue"_s)} << true
            << u"pdf-queue"_s << QString();
        QTest::newRow("first row counts")
            << QStringList{u"PDF-Queue"_s, u"Other"_s} << u"C"_s << QStringList{} << true
            << u"PDF-Queue"_s << u"PDF-Queue"_s;
        QTest::newRow("printer table emptied, decimal comma not reached")
            << QStringList{u"<none>"_s} << u"de_DE"_s << QStringList{literal::configMissing()}
            << false << QString() << QString();
        QTest::newRow("decimal comma after printer message")
            << QStringList{QString()} << u"de_DE"_s
            << QStringList{literal::choosePrinterInMenu(), literal::decimalSymbol(), decimalFinal()}
            << false << QString() << QString();
        QTest::newRow("decimal comma, blank grouping")
            << QStringList{u"PDF-Queue"_s} << u"fr_FR"_s
            << QStringList{literal::decimalSymbol(), decimalFinal()} << false << u"PDF-Queue"_s
            << u"PDF-Queue"_s;
        QTest::newRow("macedonian settings")
            << QStringList{u"PDF-Queue"_s} << u"mk_MK"_s
            << QStringList{literal::decimalSymbol(), decimalFinal()} << false << u"PDF-Queue"_s
            << u"PDF-Queue"_s;
    }
    void messagesAndOutcome()
    {
        QFETCH(QStringList, printerRows);
        QFETCH(QString, locale);
        QFETCH(QStringList, messages);
        QFETCH(bool, proceeds);
        QFETCH(QString, label);
        QFETCH(QString, defPrn);

        TestDb db;
        db.exec("DELETE FROM tbl_prnt");
        for (const QString &row : printerRows)
            if (row != u"<none>"_s)
                db.exec("INSERT INTO tbl_prnt (def_print) VALUES (?)", {row});
        RecordingPrompter prompter;
        ListedPrinters printers({u"Office"_s, u"PDF-Queue"_s});
        SharedState state;
        StartupContext context{db.store, prompter, printers, state, QLocale(locale), db.dir.path()};
        const StartupOutcome outcome = runStartup(context);

        QCOMPARE(prompter.shown, messages);
        QCOMPARE(outcome.proceed, proceeds);
        if (!proceeds)
            QVERIFY(outcome.exitCode != 0);
        if (!proceeds && printerRows.first() == u"<none>"_s)
            return;
        QCOMPARE(outcome.label1, label);
        QCOMPARE(state.def_prn, defPrn);
        QCOMPARE(printers.current(), defPrn);
    }

    void sharedStateAfterStartUp()
    {
        TestDb db;
        RecordingPrompter prompter;
        ListedPrinters printers;
        SharedState state;
        state.tek_isp = u"1234"_s;
        state.desno = 60;
        StartupContext context{db.store, prompter, printers, state, QLocale::c(), db.dir.path()};
        QVERIFY(runStartup(context).proceed);
        QCOMPARE(state.m_base, u"a"_s);
        QCOMPARE(state.td, u"TRELOK"_s);
        QCOMPARE(state.tek_isp, QString());
        QCOMPARE(state.tek_opst, QString());
        QCOMPARE(state.desno, 0.0);
        QCOMPARE(state.dole, 0.0);
    }

    void fontsAreRegisteredAndMissingOnesSkipped()
    {
        TestDb db;
        QFile::remove(QDir(db.dir.path()).filePath(u"MCTIMEI.TTF"_s));
        RecordingPrompter prompter;
        ListedPrinters printers({u"P"_s});
        db.exec(sql::prnt::setPrinter, {u"P"_s});
        SharedState state;
        StartupContext context{db.store, prompter, printers, state, QLocale::c(), db.dir.path()};
        const StartupOutcome outcome = runStartup(context);
        QCOMPARE(outcome.fontsRegistered, 3);
        QVERIFY(prompter.shown.isEmpty());
    }

    void aDataErrorEndsWithItsText()
    {
        TestDb db;
        db.exec("DROP TABLE tbl_prnt");
        RecordingPrompter prompter;
        ListedPrinters printers;
        SharedState state;
        StartupContext context{db.store, prompter, printers, state, QLocale::c(), db.dir.path()};
        const StartupOutcome outcome = runStartup(context);
        QVERIFY(!outcome.proceed);
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY2(prompter.shown.first().contains(u"tbl_prnt"_s),
                 qPrintable(prompter.shown.first()));
    }

    void regionSetShowsItsMessageOnlyOnFailure()
    {
        RecordingPrompter prompter;
        QVERIFY(region_set(prompter, QLocale(u"en_US"_s), u"poraka"_s, true));
        QVERIFY(prompter.shown.isEmpty());
        QVERIFY(!region_set(prompter, QLocale(u"de_DE"_s), u"poraka"_s, false));
        QCOMPARE(prompter.shown, QStringList{u"poraka"_s});
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
