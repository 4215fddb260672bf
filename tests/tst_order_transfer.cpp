#include "app_fixture.h"
#include "entry_dialog_script.h"

#include "data/csv.h"
#include "data/order_columns.h"
#include "data/orders.h"
#include "entry/order_export.h"
#include "entry/order_transfer.h"
#include "entry/saving.h"
#include "refdata/taxpayer_import.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <thread>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Holds a process still, or lets it go on (a POSIX signal; Windows skips
// what needs it).
bool holdStill(qint64 pid, bool hold)
{
#ifdef Q_OS_WIN
    Q_UNUSED(pid);
    Q_UNUSED(hold);
    return false;
#else
    return ::kill(pid_t(pid), hold ? SIGSTOP : SIGCONT) == 0;
#endif
}

// Texts that have broken programs like this one.
QStringList difficultTexts()
{
    return {u""_s,
            u"'"_s,
            u"\""_s,
            u"O'Brien \"Export\" DOO"_s,
            u"a;b;c"_s,
            u"one, two,,"_s,
            u"first line\nsecond line"_s,
            u"windows\r\nline"_s,
            u"'); DELETE FROM tbl_Trel; --"_s,
            u"' OR '1'='1"_s,
            u"Општина Центар"_s,
            u"Ѓорче Петров ѕ џ ќ ѓ"_s,
            u"Größe € ½ ő"_s,
            u"  leading"_s,
            u"trailing  "_s,
            u"   "_s,
            u"\t"_s,
            u"\"\"\"\""_s,
            u"Op{tina ~~ [ ] ` @ ^"_s,
            QString(1000, u'x'),
            QString(1000, u'ш'),
            u"emoji 🙂 mixed"_s};
}

QString pick(QRandomGenerator &random, const QStringList &pool)
{
    QString text = pool[random.bounded(int(pool.size()))];
    if (random.bounded(3) == 0)
        text += pool[random.bounded(int(pool.size()))];
    return text;
}

// An order whose free texts are difficult but which passes the checks with
// unknown taxpayers and municipalities accepted.
EntryFields generated(QRandomGenerator &random, const QString &kind)
{
    const QStringList pool = difficultTexts();
    EntryFields f;
    for (const auto &[name, m] : EntryFields::boxes())
        f.*m = pick(random, pool);
    // What a box could never hold is refused by the import.
    for (const ColumnDescriptor &column : orderColumnTable)
        for (const auto &[name, m] : EntryFields::boxes())
            while (column.box && name == QLatin1StringView(column.box) &&
                   !columnRefusal(column, f.*m).isEmpty())
                f.*m = pick(random, pool);
    // The whole amount takes digits only, blanks between and around them.
    const QString digits = QString::number(1 + random.bounded(99999));
    f.mkd1 = random.bounded(2) ? digits : u" "_s + digits.left(1) + u" "_s + digits.mid(1) + u" "_s;
    f.mkd2 = random.bounded(2) ? u" 50 "_s : u"00"_s;
    f.nac = u"2"_s; // the box holds one character
    if (kind == u"108"_s) {
        // Segments free of the dash that separates them.
        const auto segment = [&] {
            QString text;
            do
                text = pick(random, pool).remove(u'-');
            while (text.contains(u'\n') || text.contains(u'\r'));
            return text;
        };
        f.p_nal1 = kind;
        f.p_nal2 = u"20"_s + QString::number(10 + random.bounded(20));
        f.p_nal3 = u"x"_s + segment();
        f.p_nal4 = QString::number(random.bounded(1000000));
        f.p_nal5.clear();
        f.p_nal = f.p_nal1 + u'-' + f.p_nal2 + u'-' + f.p_nal3 + u'-' + f.p_nal4;
    }
    return f;
}

QByteArray exported(Store &store)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"orders.csv"_s);
    QString errors;
    QTextStream err(&errors);
    if (exportOrders(store, file, err) != 0)
        qWarning("%s", qPrintable(errors));
    QFile f(file);
    (void)f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The export as it was before it streamed: every row read, sorted in
// memory by the number's rule, then written.
QByteArray sortedWhole(Store &store)
{
    QList<QStringList> orders = store.texts(sql::trel::everyColumn).value();
    std::stable_sort(orders.begin(), orders.end(), [](const QStringList &a, const QStringList &b) {
        return newerOrder(b.first(), a.first());
    });
    QByteArray bytes = csvRecord(orderColumns()).toUtf8();
    for (const QStringList &order : orders)
        bytes += csvRecord(order).toUtf8();
    return bytes;
}

// Imports orders of kind 701, one a line, NALOG1 reading as named (their
// taxpayer outside the register accepted); what was said on standard
// output lands in output. Returns the import's status.
int importNamed(AppFixture &app, std::initializer_list<const char *> names, QString &output)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"in.csv"_s);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return -1;
    f.write("vid,nalog1,dan_br,cel1,mkd_cel,mkd_dec,up_smet2,nacin,datum,povik\n");
    for (const char *name : names)
        f.write(QByteArray("701,") + name +
                ",4030999123456,4030999123456,1,00,004,2,08.12.2026,701-1010\n");
    f.close();
    QString errors;
    QTextStream out(&output);
    QTextStream err(&errors);
    OrderImportOptions options;
    options.acceptUnknown = true;
    return importOrders(app.db.store, app.clock, file, options, out, err);
}

} // namespace

class TestOrderTransfer : public QObject {
    Q_OBJECT
private slots:
    // Every case runs on the SQLite file and on the PostgreSQL server.
    void initTestCase_data() { engineRows(); }
    void init() { USE_ENGINE_OF_ROW(); }

    void difficultTextsRoundTrip()
    {
        // Each difficult text lands in every column many times over.
        constexpr int orders = 300;
        AppFixture source;
        source.db.exec("INSERT INTO tbl_vid VALUES ('999', 'Drug vid')");
        if (testEngine() == Engine::File)
            source.db.exec("PRAGMA synchronous=OFF"); // content, not durability, is tested here
        QRandomGenerator random(20261208);
        QList<EntryFields> typed;
        QStringList kinds;
        ScriptedEntryDialog dialog;
        for (int i = 0; i < orders; ++i) {
            const QString kind = i % 5 == 0 ? u"108"_s : u"999"_s;
            typed.append(generated(random, kind));
            kinds.append(kind);
            dialog.answers = {Answer::Yes, Answer::No};
            auto saved = saveEntry(source.db.store, dialog, {EntryMode::New, kind, {}}, u"TRELOK"_s,
                                   u"2026"_s, typed.last());
            QVERIFY2(saved.ok(), qPrintable(saved.error()));
        }
        // Read back byte for byte through the saving path.
        auto rows = source.db.store.texts(sql::trel::everyColumn);
        QCOMPARE(rows.value().size(), orders);
        for (const QStringList &row : rows.value()) {
            const int i = row[0].section(u'/', 0, 0).toInt() - 1;
            const QVariantList values = orderValues(typed[i], Recipient{}, kinds[i]);
            for (int c = 0; c < values.size(); ++c)
                QCOMPARE(row[c + 1], values[c].toString());
        }

        // Export, import into an empty installation, export again.
        const QByteArray first = exported(source.db.store);
        QVERIFY(!first.isEmpty());
        QTemporaryDir dir;
        const QString file = dir.filePath(u"orders.csv"_s);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(first);
        }
        AppFixture target;
        target.db.exec("INSERT INTO tbl_vid VALUES ('999', 'Drug vid')");
        if (testEngine() == Engine::File)
            target.db.exec("PRAGMA synchronous=OFF");
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        OrderImportOptions options;
        options.acceptUnknown = true;
        const int status = importOrders(target.db.store, target.clock, file, options, out, err);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        QVERIFY2(!output.contains(u"refused"_s), qPrintable(output.section(u"refused"_s, 1, 1)));
        QCOMPARE(status, 0);
        QCOMPARE(exported(target.db.store), first);
    }

    void importReportsEachRow()
    {
        // A row the server refuses leaves no word of the driver's behind.
        QTest::failOnWarning(QRegularExpression(u"Unable to free statement"_s));
        AppFixture app;
        app.db.exec("INSERT INTO tbl_obvr (dec_cod) VALUES ('4030999123456')");
        QTemporaryDir dir;
        const QString file = dir.filePath(u"in.csv"_s);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // Lower-case names, the ignored columns, a line break inside a field.
        f.write("vid,Dan_br,cel1,mkd_cel,mkd_dec,up_smet2,nacin,datum,valuta,povik,trelok_br,"
                "primac1,nalog1\r\n"
                "108,4030999123456,4030999123456,1500,00,004,2,08.12.2026,,108-2025-1010-7,99/1,"
                "X,\"two, lines\"\n\n"
                "108,4030999000000,4030999123456,1500,00,004,2,08.12.2026,,108-2026-1010-7,,,\n"
                "205,4030999123456,4030999123456,0,00,004,2,08.12.2026,,,,,\n"
                "QQQ,4030999123456,4030999123456,1,00,004,2,08.12.2026,,,,,\n"
                "701,4030999123456,4030999123456,1,00,004,1,08.12.2026,09.12.2026,701-1010,,,\n"
                "701,4030999123456,4030999123456,1,00,004,2,08.12.2026,,701-1010-4030999123456,,,\n"
                "108,too,few\n"
                "108,4030999123456,4030999123456,1500,00,004,2,08.12.2026,,,,,\"two\nlines\"\n"
                "108,4030999123456,4030999123456,1500,00,004,22,08.12.2026,,,,,\n"
                "108,4030999123456,4030999123456,12abc,00,004,2,08.12.2026,,108-2026-1010-7,,,\n"
                "108,4030999123456,4030999123456,1,00,004,2,08.12.2026,,108-2026--7,,,\n"
                // Paid last year, entered now: numbered in this year's sequence.
                "701,4030999123456,4030999123456,1,00,004,2,30.12.2025,,701-1010,,,\n"
                // Refused by the database with a text of two lines.
                "701,4030999123456,4030999123456,1,00,004,2,08.12.2026,,701-1010,,,refuse\n");
        f.close();
        if (testEngine() == Engine::File) {
            app.db.exec("CREATE TRIGGER refuse BEFORE INSERT ON tbl_Trel WHEN NEW.NALOG1 = "
                        "'refuse' BEGIN SELECT RAISE(ABORT, 'refused\r\n  by the test'); END");
        } else {
            app.db.execDirect("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ "
                              "BEGIN IF NEW.nalog1 = 'refuse' THEN RAISE EXCEPTION E'refused\\r\\n"
                              "  by the test'; END IF; RETURN NEW; END $$");
            app.db.execDirect("CREATE TRIGGER refuse BEFORE INSERT ON tbl_Trel FOR EACH ROW "
                              "EXECUTE FUNCTION refuse()");
        }
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        QCOMPARE(importOrders(app.db.store, app.clock, file, {}, out, err), 1);
        // The database's text, on the line of its row.
        const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines.last(), testEngine() == Engine::File
                                   ? u"16: refused: refused by the test Unable to fetch row"_s
                                   : u"16: refused: ERROR:  refused by the test CONTEXT:  "
                                     "PL/pgSQL function refuse() line 1 at RAISE (P0001) "
                                     "QPSQL: Unable to create query"_s);
        QCOMPARE(lines.mid(0, 12),
                 (QStringList{u"2: 1/2026"_s,
                              u"4: refused: Trelokot ne e Snimen,Vnesete tocen danocniot broj !"_s,
                              u"5: refused: Vnesi Iznos za Uplata (Cel del BEZ Decimali) !"_s,
                              u"6: refused: Nepostoecki Vid na Uplata !"_s,
                              u"7: refused: Pogresni Datumi na UPLATA/VALUTA, Trelokot NE E "
                              "Snimen !"_s,
                              u"8: 2/2026"_s, u"9: refused: ocekuvani se 13 polinja, ima 3"_s,
                              u"10: refused: Kolonata NALOG1 sodrzi nov red, a poleto ima eden "
                              "red"_s,
                              u"12: refused: Kolonata NACIN ima 2 znaci, a poleto prima "
                              "najmnogu 1"_s,
                              u"13: refused: Vnesi Iznos za Uplata (Cel del BEZ Decimali) !"_s,
                              u"14: refused: Trelokot ne e Snimen,Vnesete ja Ispostavata !"_s,
                              u"15: 3/2026"_s}));
        auto first = app.db.store.texts(sql::trel::everyColumn);
        const QStringList &row = first.value().first();
        QCOMPARE(row[0], u"1/2026"_s);
        QCOMPARE(row[1], u"two, lines"_s);
        QCOMPARE(row[6], u"108-2025-1010-7"_s); // the typed year is kept
        QCOMPARE(row[9], u"Carinska Uprava na RM"_s);
        QCOMPARE(first.value()[1][6], u"701-1010-4030999123456"_s);
    }

    // Rows stored under one commit: the database refusing one of them
    // undoes that row alone, its number included.
    void aRowRefusedInsideABatchLeavesTheOthers()
    {
        AppFixture app;
        if (testEngine() == Engine::File) {
            app.db.exec("CREATE TRIGGER refuse BEFORE INSERT ON tbl_Trel WHEN NEW.NALOG1 = "
                        "'refuse' BEGIN SELECT RAISE(ABORT, 'refused'); END");
        } else {
            app.db.execDirect("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ "
                              "BEGIN IF NEW.nalog1 = 'refuse' THEN RAISE EXCEPTION 'refused'; "
                              "END IF; RETURN NEW; END $$");
            app.db.execDirect("CREATE TRIGGER refuse BEFORE INSERT ON tbl_Trel FOR EACH ROW "
                              "EXECUTE FUNCTION refuse()");
        }
        QString output;
        QCOMPARE(importNamed(app, {"a", "b", "refuse", "c"}, output), 1);
        const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.mid(0, 2), (QStringList{u"2: 1/2026"_s, u"3: 2/2026"_s}));
        QVERIFY2(lines[2].startsWith(u"4: refused: "_s) && lines[2].contains(u"refused"_s),
                 qPrintable(lines[2]));
        QCOMPARE(lines[3], u"5: 3/2026"_s);
        auto stored = app.db.store.texts("SELECT trelok_br, nalog1 FROM tbl_trel ORDER BY 1");
        QCOMPARE(stored.value(), (QList<QStringList>{{u"1/2026"_s, u"a"_s},
                                                     {u"2/2026"_s, u"b"_s},
                                                     {u"3/2026"_s, u"c"_s}}));
        auto counter = app.db.store.texts("SELECT tekoven_br FROM tbl_Broj");
        QCOMPARE(counter.value(), QList<QStringList>{{u"3/2026"_s}});
    }

    // A batch the database refuses only at its COMMIT (a check deferred to
    // the end): every row of it is reported refused, and every row reported
    // stored is there, however the rows fell into batches.
    void rowsOfABatchWhoseCommitFailedAreRefused()
    {
        AppFixture app;
        if (testEngine() == Engine::File) {
            app.db.exec("PRAGMA foreign_keys = ON");
            app.db.exec("CREATE TABLE parent (id INTEGER PRIMARY KEY)");
            app.db.exec("CREATE TABLE late (id INTEGER REFERENCES parent(id) "
                        "DEFERRABLE INITIALLY DEFERRED)");
            app.db.exec("CREATE TRIGGER late AFTER INSERT ON tbl_Trel WHEN NEW.NALOG1 = 'late' "
                        "BEGIN INSERT INTO late VALUES (1); END");
        } else {
            app.db.execDirect("CREATE FUNCTION late() RETURNS trigger LANGUAGE plpgsql AS $$ "
                              "BEGIN IF NEW.nalog1 = 'late' THEN RAISE EXCEPTION 'late'; "
                              "END IF; RETURN NULL; END $$");
            app.db.execDirect("CREATE CONSTRAINT TRIGGER late AFTER INSERT ON tbl_Trel "
                              "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION late()");
        }
        QString output;
        QCOMPARE(importNamed(app, {"a", "late", "b"}, output), 1);
        QStringList reported;
        for (const QString &line : output.split(u'\n', Qt::SkipEmptyParts)) {
            const QString outcome = line.section(u": "_s, 1);
            if (!outcome.startsWith(u"refused: "_s))
                reported << outcome;
        }
        QVERIFY2(output.contains(u"3: refused: "_s), qPrintable(output));
        auto stored = app.db.store.texts("SELECT trelok_br FROM tbl_trel ORDER BY 1");
        QStringList numbers;
        for (const QStringList &row : stored.value())
            numbers << row[0];
        QCOMPARE(numbers, reported);
        QVERIFY(numbers.contains(u"1/2026"_s));
    }

    // Memory stays flat however long the file: a register, an order file
    // read to an end cut off inside quotes (so nothing is stored) and one
    // whose orders are all stored (one batch at a time in memory), the
    // program's peak read back after the run.
    void longFilesAreReadInBoundedMemory_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<int>("rows");
        QTest::newRow("taxpayers") << u"--import-taxpayers"_s
                                   << QByteArray("dec_cod,dec_nam,dec_ad3,dec_tlx\n")
                                   << QByteArray(",Firma DOOEL Skopje,\"ul. Partizanska, 12\",Ohrid\n")
                                   << QByteArray() << 300000;
        QTest::newRow("orders") << u"--import"_s
                                << QByteArray("VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,DATUM\n")
                                << QByteArray(",\"Firma, DOOEL\",4030999123456,4030999123456,1500,"
                                              "00,08.12.2026\n")
                                << QByteArray("108,\"never closed\n") << 300000;
        QTest::newRow("orders stored")
            << u"--import"_s
            << QByteArray("NALOG1,VID,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\n")
            << QByteArray(",108,4030999123456,4030999123456,1500,00,004,2,08.12.2026,108-2026-1010-7\n")
            << QByteArray() << 50000;
    }

    void longFilesAreReadInBoundedMemory()
    {
        if (testEngine() != Engine::File)
            QSKIP("the program's own memory");
        QFETCH(QString, command);
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, end);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString csv = dir.filePath(u"long.csv"_s);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(header);
        for (qint64 i = 0; i < rows; ++i)
            file.write(QByteArray::number(4030000000000LL + i) + row);
        file.write(end);
        file.close();
        QProcess program;
        program.setStandardOutputFile(QProcess::nullDevice());
        program.start(QStringLiteral(TRELOK_PROGRAM),
                      QStringList{u"--dir"_s, dir.filePath(u"app"_s), command, csv} +
                          (command == u"--import"_s ? QStringList{u"--accept-unknown"_s}
                                                    : QStringList()));
        QVERIFY(program.waitForFinished(300000));
        QCOMPARE(program.exitCode(), end.isEmpty() ? 0 : 1);
#ifndef Q_OS_WIN
        // The largest of the children this test waited for: this program
        // (about 25 MB; 50,000 orders held at once would take 65 MB).
        rusage children{};
        QCOMPARE(getrusage(RUSAGE_CHILDREN, &children), 0);
        QVERIFY2(children.ru_maxrss < 48 * 1024, qPrintable(u"peak %1 kB"_s.arg(children.ru_maxrss)));
#endif
    }

    void unusableFilesStoreNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        QTest::newRow("cut off in a quoted field")
            << QByteArray("VID,NALOG1\n108,\"never closed\n") << u"navodnici"_s;
        QTest::newRow("unknown column") << QByteArray("VID,IZNOS\n108,1\n") << u"IZNOS"_s;
        QTest::newRow("column twice") << QByteArray("VID,vid\n108,108\n") << u"dva pati"_s;
        QTest::newRow("not UTF-8") << QByteArray("VID,NALOG1\n108,\xff\xfe\n") << u"UTF-8"_s;
        QTest::newRow("cut off inside a letter")
            << QByteArray("VID,NALOG1\n108,Ohri\xd0") << u"ne e vo UTF-8"_s;
        QTest::newRow("empty") << QByteArray() << u"prazen"_s;
        QTest::newRow("a record longer than any row")
            << QByteArray("VID,NALOG1\n108,") + QByteArray(2400000, 'x') + "\n108,x\n"
            << u"in.csv: Zapisot od red 2 e podolg od najdolgiot red sto programata moze da go "
               "zapise (2359401 znaci)"_s;
    }

    void unusableFilesStoreNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        AppFixture app;
        QTemporaryDir dir;
        const QString file = dir.filePath(u"in.csv"_s);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        QCOMPARE(importOrders(app.db.store, app.clock, file, {}, out, err), 1);
        QVERIFY2(errors.contains(error), qPrintable(errors));
        QVERIFY(errors.contains(u"nisto ne e snimeno"_s));
        QVERIFY(output.isEmpty());
        QCOMPARE(app.db.store.texts(sql::trel::everyColumn).value().size(), 0);
    }

    // The records read after the check are those checked, whatever
    // another program did to the file in between.
    void aFileIsReadAsItWasChecked_data()
    {
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("error");
        QTest::newRow("grown") << QByteArray("VID,NALOG1\n108,a\n108,b\xff\n") << QString();
        QTest::newRow("cut short") << QByteArray("VID,NA")
                                   << u"Fajlot %1 e promenet otkako e proveren"_s;
    }
    void aFileIsReadAsItWasChecked()
    {
        QFETCH(QByteArray, after);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"in.csv"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("VID,NALOG1\n108,a\n");
        f.close();
        CsvFile file;
        QCOMPARE(file.open(path, 100), QString());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(after);
        f.close();
        QStringList read;
        QCOMPARE(file.records([&](CsvRecord &r) { read.append(r.fields.join(u',')); return true; }),
                 error.isEmpty() ? error : error.arg(path));
        if (error.isEmpty())
            QCOMPARE(read, (QStringList{u"VID,NALOG1"_s, u"108,a"_s}));
    }

    void whatIsNotAFileIsRefusedBeforeReading_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QTest::newRow("directory") << u"."_s << u"trelok: . e direktorium, a ne fajl"_s;
#ifdef Q_OS_WIN
        for (const char *device : {"NUL"})
#else
        for (const char *device : {"/dev/zero", "/dev/urandom"})
#endif
            QTest::newRow(device) << QString::fromLatin1(device)
                                  << u"trelok: %1 ne e fajl (ured ili vtiknuvac); nisto ne e "
                                     "procitano"_s.arg(QString::fromLatin1(device));
    }
    void whatIsNotAFileIsRefusedBeforeReading()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        AppFixture app;
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        QCOMPARE(importOrders(app.db.store, app.clock, path, {}, out, err), 1);
        QCOMPARE(importTaxpayers(app.db.store, path, out, err), 1);
        const QString refused = error + u"\ntrelok: nisto ne e snimeno\n"_s;
        QCOMPARE(errors, refused + refused);
        QVERIFY(output.isEmpty());
    }

    void carriageReturnSurvivesTheExport()
    {
        AppFixture app;
        app.storeOrder(u"1/2026"_s, u"108"_s, u"108-2026-1010-7"_s);
        app.db.exec("UPDATE tbl_trel SET nalog1 = ?, nalog2 = ?", {u"a\rb"_s, u"\r"_s});
        QTemporaryDir dir;
        const QString file = dir.filePath(u"orders.csv"_s);
        QString errors;
        QTextStream err(&errors);
        QCOMPARE(exportOrders(app.db.store, file, err), 0);
        CsvFile csv;
        QCOMPARE(csv.open(file, longestCsvRecord(orderColumnTable)), QString());
        QList<QStringList> records;
        QCOMPARE(csv.records([&](CsvRecord &r) { return records.append(r.fields), true; }),
                 QString());
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[1][1], u"a\rb"_s);
        QCOMPARE(records[1][2], u"\r"_s); // a lone one too
        // Read back whole, it is refused as the one-line box could not hold it.
        QString output;
        QTextStream out(&output);
        QCOMPARE(importOrders(app.db.store, app.clock, file, {}, out, err), 1);
        QCOMPARE(output, u"2: refused: Kolonata NALOG1 sodrzi nov red, a poleto ima eden red\n"_s);
    }

    // A file is imported without anyone to press the button again: a
    // database held longer than one busy wait is tried again.
    void importWaitsForABusyDatabase()
    {
        if (testEngine() != Engine::File)
            QSKIP("the file's lock");
        AppFixture app;
        QTemporaryDir dir;
        const QString file = dir.filePath(u"in.csv"_s);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("vid,dan_br,cel1,mkd_cel,mkd_dec,up_smet2,nacin,datum,povik\n"
                "701,4030999123456,4030999123456,1,00,004,2,08.12.2026,701-1010-4030999123456\n");
        f.close();
        const QString path = app.db.store.path();
        std::thread holder([path] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
                db.setDatabaseName(path);
                QSqlQuery query(db);
                if (!db.open() || !query.exec(u"BEGIN IMMEDIATE"_s))
                    qFatal("cannot hold the database");
                std::this_thread::sleep_for(std::chrono::milliseconds(7000));
                query.exec(u"ROLLBACK"_s);
                db.close();
            }
            QSqlDatabase::removeDatabase(u"holder"_s);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        OrderImportOptions options;
        options.acceptUnknown = true;
        const int status = importOrders(app.db.store, app.clock, file, options, out, err);
        holder.join();
        QCOMPARE(output, u"2: 1/2026\n"_s);
        QCOMPARE(status, 0);
    }

    // Stored in random order: numbers with gaps, of several years and
    // lengths, difficult texts; then numbers of unusual forms, which the
    // database orders otherwise than the program's rule.
    void exportIsTheSortedRows_data()
    {
        QTest::addColumn<QStringList>("unusual");
        QTest::addColumn<bool>("fromBeforeTheIndex");
        QTest::newRow("numbers with gaps, several years") << QStringList{} << false;
        QTest::newRow("numbers of unusual forms")
            << QStringList{u" 7/2025 "_s, u"1 2/2024"_s, u"12a/2023"_s, u"3/2019/2"_s,
                           u"-4/2020"_s, u"0007/2021"_s, u"bez godina"_s, u"1e3/2022"_s,
                           u"5/2022\t"_s, u""_s}
            << false;
        QTest::newRow("a database from before the export's index")
            << QStringList{u" 7/2025 "_s, u"12a/2023"_s} << true;
    }
    void exportIsTheSortedRows()
    {
        QFETCH(QStringList, unusual);
        QFETCH(bool, fromBeforeTheIndex);
        AppFixture app;
        // A new installation hands the rows over in order, unsorted (the
        // server once it holds enough of them to prefer its index).
        if (testEngine() == Engine::File) {
            const QByteArray explain = QByteArray("EXPLAIN QUERY PLAN ") + sql::exported::file;
            const auto plan = app.db.store.texts(explain.constData());
            QVERIFY(plan && !plan.value().isEmpty());
            QCOMPARE(plan.value().first().last(), u"SCAN tbl_trel USING INDEX idx_trel_export"_s);
        } else {
            app.db.execDirect("SET enable_sort = off");
            QSqlQuery plan(QSqlDatabase::database(app.db.store.connectionName(), false));
            QVERIFY(plan.exec(u"EXPLAIN "_s + QString::fromLatin1(sql::exported::server)) &&
                    plan.next());
            QVERIFY2(plan.value(0).toString().startsWith(
                         u"Index Scan using idx_trel_export on tbl_trel "_s),
                     qPrintable(plan.value(0).toString()));
            app.db.execDirect("RESET enable_sort");
        }
        if (fromBeforeTheIndex)
            app.db.execDirect("DROP INDEX idx_trel_export");
        if (testEngine() == Engine::File)
            app.db.exec("PRAGMA synchronous=OFF");
        QRandomGenerator random(20261209);
        QStringList numbers = unusual;
        QSet<QString> taken(unusual.begin(), unusual.end());
        while (numbers.size() < 2000) {
            const QString number = u"%1/%2"_s.arg(1 + random.bounded(random.bounded(2) ? 999 : 99999))
                                       .arg(2019 + random.bounded(8));
            if (!taken.contains(number))
                taken.insert(number), numbers.append(number);
        }
        QList<QVariantList> rows;
        for (const QString &number : numbers) {
            QVariantList row{number};
            for (int c = 1; c < 28; ++c)
                row.append(pick(random, difficultTexts()));
            rows.append(row);
        }
        QVERIFY(app.db.store.transaction([&] { return app.db.store.execEach(sql::trel::insert, rows); }));
        // Bytes that are not UTF-8, in a file written by another program.
        if (testEngine() == Engine::File)
            app.db.exec("UPDATE tbl_trel SET cel2 = CAST(x'41c328ff' AS TEXT) WHERE rowid % 97 = 0");
        QCOMPARE(exported(app.db.store), sortedWhole(app.db.store));
    }

    // From the server the export is the file's export of the same orders,
    // byte for byte; a session ended while the rows stream leaves no file
    // and says the connection was lost.
    void serverExportIsTheFileExport_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("the same orders") << false;
        QTest::newRow("session ended midway") << true;
    }
    void serverExportIsTheFileExport()
    {
        QFETCH(bool, cut);
        if (testEngine() != Engine::Server)
            QSKIP("compared on the server's row");
#ifdef Q_OS_WIN
        if (cut)
            QSKIP("a process is held still with a POSIX signal");
#endif
        TestDb server(Engine::Server);
        if (cut) {
            server.execDirect("INSERT INTO tbl_trel SELECT i || '/2026', repeat('Firma, \"x\" ', 20) "
                              "|| i FROM generate_series(1, 300000) i");
            QTemporaryDir out;
            QProcess trelok;
            trelok.start(QStringLiteral(TRELOK_PROGRAM),
                         {u"--dir"_s, server.dir.path(), u"--db"_s, server.server->url,
                          u"--export"_s, out.filePath(u"o.csv"_s)});
            QVERIFY(trelok.waitForStarted());
            // The export's COPY on the server, in the state asked for.
            const auto copying = [&](const QString &state) {
                bool found = false;
                ServerDatabase::admin([&](QSqlQuery &q) {
                    found = q.exec(u"SELECT 1 FROM pg_stat_activity WHERE datname = '%1' AND "
                                   "query LIKE 'COPY%' AND %2"_s.arg(server.server->name, state)) &&
                            q.next();
                    return true;
                });
                return found;
            };
            QTRY_VERIFY_WITH_TIMEOUT(copying(u"state = 'active'"_s), 60000);
            // Held still, the program reads nothing: the session ends while
            // it waits to send the next rows.
            QVERIFY(holdStill(trelok.processId(), true));
            QTRY_VERIFY_WITH_TIMEOUT(copying(u"wait_event = 'ClientWrite'"_s), 60000);
            ServerDatabase::admin([&](QSqlQuery &q) {
                return q.exec(u"SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity "
                              "WHERE datname = '%1' AND query LIKE 'COPY%'"_s.arg(
                                  server.server->name));
            });
            QVERIFY(holdStill(trelok.processId(), false));
            QVERIFY(trelok.waitForFinished(60000));
            QCOMPARE(trelok.exitCode(), 1);
            const QStringList said =
                QString::fromUtf8(trelok.readAllStandardError()).split(u'\n').filter(u"trelok:"_s);
            QCOMPARE(said.size(), 1);
            QVERIFY2(said[0].startsWith(
                         u"trelok: Vrskata so serverot na bazata na podatoci e prekinata: "_s) &&
                         said[0].endsWith(u" Obidete se povtorno."_s),
                     qPrintable(said[0]));
            QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            return;
        }
        TestDb file(Engine::File);
        QRandomGenerator random(20261210);
        QList<QVariantList> rows;
        for (int n = 0; n < 3000; ++n) {
            QVariantList row{u"%1/%2"_s.arg(n * 7 + random.bounded(7) + 1).arg(2019 + n % 8)};
            for (int c = 1; c < 28; ++c)
                row.append(pick(random, difficultTexts()));
            rows.append(row);
        }
        for (TestDb *db : {&file, &server}) {
            QVERIFY(db->store.transaction([&] { return db->store.execEach(sql::trel::insert, rows); }));
            db->exec("UPDATE tbl_trel SET cel2 = NULL WHERE trelok_br LIKE '%3/%'");
        }
        const QByteArray fromServer = exported(server.store);
        QVERIFY(fromServer.contains("\"O'Brien \"\"Export\"\" DOO\"") &&
                fromServer.contains("Ѓорче Петров") && fromServer.contains("\"windows\r\nline"));
        QCOMPARE(fromServer, exported(file.store));
    }

    // The export's peak memory does not grow with the orders (before it
    // streamed, 200,000 orders took some 420 MB).
    void exportMemoryStaysFlat()
    {
        if (testEngine() != Engine::File)
            QSKIP("filled through SQLite");
#ifdef Q_OS_WIN
        QSKIP("the peak is read from /proc");
#endif
        AppFixture app;
        app.db.exec("PRAGMA synchronous=OFF");
        app.db.exec("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 200000) "
                    "INSERT INTO tbl_Trel SELECT (i % 40000 + 1) || '/' || (2020 + i / 40000), "
                    "hex(zeroblob(75)), 'a,b', 'Tekst \"so\" navodnici ' || i, '', '', '', '', "
                    "'', '', '', '', '', '', '', '', '', '', '', '', '', '', '', '2', "
                    "'08.12.2026', 'Skopje', '108', '' FROM c");
        QTemporaryDir dir;
        QProcess trelok;
        trelok.start(QStringLiteral(TRELOK_PROGRAM),
                     {u"--dir"_s, app.db.dir.path(), u"--export"_s, dir.filePath(u"o.csv"_s)});
        QVERIFY(trelok.waitForStarted());
        // The child's own high-water mark, read from /proc while it runs (the
        // rusage of children also counts this process's pages copied by the fork).
        const QString status = u"/proc/%1/status"_s.arg(trelok.processId());
        qint64 peakKb = 0;
        for (int waited = 0; !trelok.waitForFinished(20) && waited < 15000; ++waited) {
            QFile file(status);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &line : file.readAll().split('\n'))
                if (line.startsWith("VmHWM:"))
                    peakKb = std::max(peakKb, line.mid(6).trimmed().split(' ').value(0).toLongLong());
        }
        QCOMPARE(trelok.exitCode(), 0);
        QVERIFY(QFileInfo(dir.filePath(u"o.csv"_s)).size() > 200000 * 200);
        QVERIFY(peakKb > 0);
        QVERIFY2(peakKb < 64 * 1024, qPrintable(QString::number(peakKb)));
    }

    void exportRefusesTheDatabaseItself()
    {
        AppFixture app;
        app.storeOrder(u"1/2026"_s, u"108"_s, u"x"_s);
        const QByteArray before = digest(app.db.store.path());
        QString errors;
        QTextStream err(&errors);
        QCOMPARE(exportOrders(app.db.store, app.db.store.path(), err), 1);
        QCOMPARE(exportOrders(app.db.store, app.db.dir.path(), err), 1);
        QCOMPARE(digest(app.db.store.path()), before);
#ifndef Q_OS_WIN
        // A device or a pipe is not replaced by a file.
        const QString pipe = app.db.dir.filePath(u"pipe"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(exportOrders(app.db.store, pipe, err), 1);
        QVERIFY(errors.endsWith(u"trelok: %1 ne e obicen fajl (ured ili cevka); izvozot ne e "
                                "zapisan\n"_s.arg(pipe)));
        QVERIFY(!QFileInfo(pipe).isFile());
#endif
    }
};

QTEST_GUILESS_MAIN(TestOrderTransfer)
#include "tst_order_transfer.moc"
