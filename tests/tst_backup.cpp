#include "app_fixture.h"
#include "gui_support.h"

#include "context/daily_backup.h"
#include "data/backup.h"
#include "shell/form1.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// Starts a process that ends at once (its number is then one whose writer
// is gone).
void startEndingProcess(QProcess &process)
{
#ifdef Q_OS_WIN
    process.start(u"cmd.exe"_s, {u"/c"_s, u"exit"_s});
#else
    process.start(u"true"_s);
#endif
}

// A marker order, so a copy is known to hold the data of its moment.
void storeMarker(TestDb &db, const QString &number)
{
    QVariantList values;
    for (int i = 0; i < 28; ++i)
        values.append(u"x"_s);
    values[0] = number;
    db.exec("INSERT INTO tbl_Trel VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
            values);
}

QStringList ordersIn(const QString &path)
{
    Store copy;
    if (!copy.open(path))
        return {u"cannot open"_s};
    const auto rows = copy.texts("SELECT trelok_br FROM tbl_Trel ORDER BY 1");
    QStringList numbers;
    for (const QStringList &row : rows.value())
        numbers << row.value(0);
    return numbers;
}

QString integrity(const QString &path)
{
    Store copy;
    if (!copy.open(path))
        return u"cannot open"_s;
    return copy.texts("PRAGMA integrity_check").value().value(0).value(0);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(openWindows().isEmpty()); }

    void copyOpensAndPassesTheCheck()
    {
        TestDb db;
        storeMarker(db, u"7/2026"_s);
        const QString file = db.dir.filePath(u"copy.db"_s);
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(backupFromCommandLine(db.store, file, out, err), 0);
        QCOMPARE(outText, u"Rezervnata kopija e zapisana i proverena: %1\n"_s.arg(file));
        QCOMPARE(errText, QString());
        QCOMPARE(integrity(file), u"ok"_s);
        QCOMPARE(ordersIn(file), QStringList{u"7/2026"_s});
        // Only the copy was added: no temporary file is left beside it.
        QCOMPARE(filesIn(db.dir.path()).filter(u".part"_s), QStringList());
    }

    // The copy reaches the disk before it takes its name, and the name
    // after it: the program's own system calls, as strace sees them. SQLite
    // does not promise to sync what VACUUM INTO writes (it calls fdatasync,
    // where it does): the copy's fsync is the program's.
    void aCopyIsSyncedBeforeItsName()
    {
#ifndef Q_OS_LINUX
        QSKIP("strace");
#else
        const QString strace = QStandardPaths::findExecutable(u"strace"_s);
        if (strace.isEmpty())
            QSKIP("strace is not installed");
        TestDb db;
        storeMarker(db, u"7/2026"_s);
        QProcess program;
        // The calls come on strace's standard error, read to its end.
        program.start(strace, {u"-f"_s, u"-y"_s, u"-e"_s,
                               u"trace=write,pwrite64,fsync,fdatasync,rename,renameat,renameat2"_s,
                               QStringLiteral(TRELOK_PROGRAM), u"--dir"_s, db.dir.path(),
                               u"--backup"_s, db.dir.filePath(u"copy.db"_s)});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QStringList calls = QString::fromUtf8(program.readAllStandardError()).split(u'\n');
        qsizetype written = -1, synced = -1, named = -1, folderSynced = -1;
        QStringList seen;
        for (qsizetype i = 0; i < calls.size(); ++i) {
            // A call of a thread other than the first comes after "[pid N] ".
            const QString call = calls[i].startsWith(u"[pid"_s) ? calls[i].section(u"] "_s, 1)
                                                                 : calls[i];
            if (!call.contains(u"write"_s))
                seen << call;
            const bool onPart = call.contains(u".part>"_s);
            if (onPart && call.contains(u"write"_s))
                written = i;
            else if (onPart && call.startsWith(u"fsync("_s))
                synced = i;
            else if (call.startsWith(u"rename"_s) && call.contains(u"copy.db\""_s))
                named = i;
            else if (call.contains(u"sync("_s) && call.contains(u"<%1>"_s.arg(db.dir.path())))
                folderSynced = i;
        }
        QVERIFY2(written >= 0 && written < synced && synced < named && named < folderSynced,
                 qPrintable(u"write %1, fsync %2, rename %3, folder %4 of:\n"_s.arg(written)
                                .arg(synced)
                                .arg(named)
                                .arg(folderSynced) +
                            seen.join(u'\n')));
#endif
    }

    void refusedTargetsLeaveEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const QString own = u"%1 e datoteka na programata i ne smee da se prezapise"_s;
        QTest::newRow("the database itself") << u"trelok.db"_s << own;
        QTest::newRow("the fonts' licence") << u"OFL.txt"_s << own;
        QTest::newRow("a daily copy") << u"backup/trelok-2026-11-01.db"_s << own;
        QTest::newRow("a copy not made yet, spelt otherwise") << u"folder/../backup/trelok-2026-11-02.db"_s
                                                     << own;
        QTest::newRow("missing folder") << u"nema/copy.db"_s << u"Papkata %2/nema ne postoi"_s;
        QTest::newRow("a folder") << u"folder"_s << u"%1 e papka"_s;
    }
    void refusedTargetsLeaveEverythingAsItWas()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        TestDb db;
        QVERIFY(QDir(db.dir.path()).mkdir(u"folder"_s));
        QVERIFY(QDir(db.dir.path()).mkdir(u"backup"_s));
        const QString file = db.dir.filePath(target);
        for (const QString &name : {u"OFL.txt"_s, u"backup/trelok-2026-11-01.db"_s}) {
            QFile own(db.dir.filePath(name));
            QVERIFY(own.open(QIODevice::WriteOnly) && own.write("own") == 3);
        }
        const QByteArray before = digest(databasePath(db.dir.path()));
        const QByteArray targetBefore = QFile::exists(file) ? digest(file) : QByteArray();
        const QStringList filesBefore = filesIn(db.dir.path());
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(backupFromCommandLine(db.store, file, out, err), 1);
        QCOMPARE(outText, QString());
        message.replace(u"%1"_s, file).replace(u"%2"_s, db.dir.path());
        QCOMPARE(errText, u"trelok: Rezervnata kopija ne e napravena: "_s + message + u"\n"_s);
        QCOMPARE(digest(databasePath(db.dir.path())), before);
        QCOMPARE(filesIn(db.dir.path()), filesBefore);
        QCOMPARE(QFile::exists(file) ? digest(file) : QByteArray(), targetBefore);
        QVERIFY(!QFile::exists(db.dir.filePath(u"backup/trelok-2026-11-02.db"_s)));
    }

    void damagedDatabaseLeavesNoCopy()
    {
        TestDb db;
        const QString damaged = db.dir.filePath(u"damaged.db"_s);
        QVERIFY(QFile::copy(databasePath(db.dir.path()), damaged));
        {
            // The first page of every table and index is overwritten; the
            // schema (on pages of its own) still reads.
            const auto roots = db.store.texts("SELECT rootpage FROM sqlite_master WHERE rootpage>1");
            QVERIFY(roots && !roots.value().isEmpty());
            QFile file(damaged);
            QVERIFY(file.open(QIODevice::ReadWrite));
            for (const QStringList &root : roots.value()) {
                QVERIFY(file.seek((root.first().toLongLong() - 1) * 4096));
                file.write(QByteArray(4096, '\xff'));
            }
        }
        Store store;
        QVERIFY(store.open(damaged).ok());
        QDir(db.dir.path()).mkdir(u"out"_s);
        const QString target = db.dir.filePath(u"out/copy.db"_s);
        const DbStatus written = backupDatabase(store, target);
        QVERIFY(!written);
        QVERIFY2(written.error().contains(u"malformed"_s), qPrintable(written.error()));
        QCOMPARE(filesIn(db.dir.filePath(u"out"_s)), QStringList());
    }

    void onceADayKeepingTheLastThirty()
    {
        AppFixture app;
        const QString folder = backupFolder(app.db.dir.path());
        QDate day(2026, 11, 1);
        for (int i = 0; i < 30; ++i, day = day.addDays(1))
            QCOMPARE(dailyBackup(app.db.store, app.db.dir.path(), day).value(),
                     DailyBackup::Written);
        QCOMPARE(filesIn(folder).size(), 30);
        QCOMPARE(filesIn(folder).first(), u"trelok-2026-11-01.db"_s);
        // A second start on the same day writes nothing.
        storeMarker(app.db, u"1/2026"_s);
        QCOMPARE(dailyBackup(app.db.store, app.db.dir.path(), day.addDays(-1)).value(),
                 DailyBackup::AlreadyDone);
        QCOMPARE(ordersIn(QDir(folder).filePath(u"trelok-2026-11-30.db"_s)), QStringList());
        // Other files in the folder are not copies to prune, also when they
        // only end like one; side files of a copy whose writer is gone are.
        // (Its number is taken while it runs: an ended QProcess says 0.)
        QProcess gone;
        startEndingProcess(gone);
        QVERIFY(gone.waitForStarted());
        const qint64 gonePid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString leftover = u".trelok-2026-11-05.db-%1-aB3dE9.part"_s.arg(gonePid);
        // A side file whose writer still runs (this test) stays.
        const QString writing =
            u".trelok-2026-11-06.db-%1-aB3dE9.part"_s.arg(QCoreApplication::applicationPid());
        for (const QString &name : {u"notes.txt"_s, u"old-trelok-2020-01-01.db"_s, leftover,
                                    leftover + u"-journal"_s, writing}) {
            QFile other(QDir(folder).filePath(name));
            QVERIFY(other.open(QIODevice::WriteOnly));
        }
        // The 31st copy: the oldest goes.
        QCOMPARE(dailyBackup(app.db.store, app.db.dir.path(), day).value(), DailyBackup::Written);
        QVERIFY(QFile::remove(QDir(folder).filePath(writing)));
        const QStringList files = filesIn(folder);
        QCOMPARE(files.size(), 32);
        QCOMPARE(files.first(), u"notes.txt"_s);
        QCOMPARE(files.at(1), u"old-trelok-2020-01-01.db"_s);
        QCOMPARE(files.at(2), u"trelok-2026-11-02.db"_s);
        QVERIFY(!QFile::exists(QDir(folder).filePath(leftover)));
        QVERIFY(!QFile::exists(QDir(folder).filePath(leftover + u"-journal"_s)));
        QVERIFY(ownersOnly(folder));
        QVERIFY(ownersOnly(QDir(folder).filePath(files.last())));
        QCOMPARE(files.last(), u"trelok-2026-12-01.db"_s);
        QCOMPARE(ordersIn(QDir(folder).filePath(files.last())), QStringList{u"1/2026"_s});
        QCOMPARE(integrity(QDir(folder).filePath(files.last())), u"ok"_s);
    }

    // A database its owner protected from writing gets no daily copy.
    void aProtectedDatabaseGetsNoDailyCopy()
    {
        AppFixture app;
        const QString db = app.db.store.path();
        const auto before = QFile::permissions(db);
        QVERIFY(QFile::setPermissions(db, QFile::ReadOwner | QFile::ReadUser));
        Store protectedOne;
        const bool opened = protectedOne.open(db).ok();
        const auto outcome = dailyBackup(protectedOne, app.db.dir.path(), QDate(2026, 11, 1));
        QVERIFY(QFile::setPermissions(db, before));
        QVERIFY(opened && protectedOne.readOnly());
        QCOMPARE(outcome.value(), DailyBackup::AlreadyDone);
        QVERIFY(!QFileInfo::exists(backupFolder(app.db.dir.path())));
    }

    void mainWindowCopiesOnceAndGoesOnWhenItFails()
    {
        AppFixture app;
        // A file where the backup folder should be.
        QFile blocker(backupFolder(app.db.dir.path()));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Form1 form(app.context);
        // Nothing is copied before the window shows; the copy follows it.
        QTest::qWait(50);
        QVERIFY(!form.dailyBackup().running());
        QCOMPARE(app.prompter.shown, QStringList());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(app.prompter.shown,
                     QStringList{u"Greska pri dnevnata rezervna kopija na bazata!\n"
                                 "Papkata %1 ne moze da se napravi"_s.arg(blocker.fileName())});
        QVERIFY(app.ended.isEmpty());
        form.hide();
        form.show();
        QTest::qWait(100);
        QCOMPARE(app.prompter.shown.size(), 1);
        // The next start of the day makes the copy, without a word.
        QVERIFY(blocker.remove());
        app.prompter.shown.clear();
        Form1 again(app.context);
        again.show();
        QTRY_VERIFY(QFile::exists(dailyBackupPath(app.db.dir.path(), QDate(2026, 12, 8))));
        QTRY_VERIFY(!again.dailyBackup().running());
        QCOMPARE(app.prompter.shown, QStringList());
        QCOMPARE(integrity(dailyBackupPath(app.db.dir.path(), QDate(2026, 12, 8))), u"ok"_s);
    }

    // The copy waits for the window to be drawn, but not for ever: a window
    // shown and never drawn (here, its drawing turned off) still gets it.
    void aWindowNeverDrawnStillGetsTheCopy()
    {
        AppFixture app;
        Form1 form(app.context);
        form.setUpdatesEnabled(false);
        form.show();
        QTest::qWait(1000);
        QVERIFY(!QFile::exists(dailyBackupPath(app.db.dir.path(), QDate(2026, 12, 8))));
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(dailyBackupPath(app.db.dir.path(), QDate(2026, 12, 8))), 10000);
        QTRY_VERIFY(!form.dailyBackup().running());
    }

    // A start that finds the day's lock held leaves the copy to its holder;
    // a lock whose holder is gone is taken over.
    void aHeldLockIsLeftToItsHolder()
    {
        AppFixture app;
        const QDate day(2026, 12, 8);
        QVERIFY(QDir().mkpath(backupFolder(app.db.dir.path())));
        {
            QLockFile other(dailyBackupLock(app.db.dir.path()));
            QVERIFY(other.tryLock(0));
            QCOMPARE(dailyBackup(app.db.store, app.db.dir.path(), day).value(),
                     DailyBackup::BeingWritten);
            QVERIFY(!QFile::exists(dailyBackupPath(app.db.dir.path(), day)));
        }
#ifdef Q_OS_WIN
        QSKIP("QLockFile under Wine takes the lock of an ended process as still held");
#endif
        QProcess gone;
        startEndingProcess(gone);
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QFile stale(dailyBackupLock(app.db.dir.path()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(pid) + "\ntrue\n" +
                    QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        QCOMPARE(dailyBackup(app.db.store, app.db.dir.path(), day).value(), DailyBackup::Written);
        QCOMPARE(filesIn(backupFolder(app.db.dir.path())), QStringList{u"trelok-2026-12-08.db"_s});
    }

    // Closing the program while the copy is written leaves no partial file;
    // the next start makes the copy.
    void aClosedCopyLeavesNothingPartial()
    {
        AppFixture app;
        QList<QVariantList> orders;
        for (int i = 0; i < 40000; ++i) {
            QVariantList values{u"%1/2026"_s.arg(i + 1)};
            for (int c = 1; c < 28; ++c)
                values.append(u"kolona %1 na red %2"_s.arg(c).arg(i));
            orders.append(values);
        }
        QVERIFY(app.db.store.transaction([&] {
            return app.db.store.execEach(sql::trel::insert, orders);
        }));
        const QString folder = backupFolder(app.db.dir.path());
        const QString copy = dailyBackupPath(app.db.dir.path(), QDate(2026, 12, 8));
        {
            Form1 form(app.context);
            form.show();
            QTRY_VERIFY_WITH_TIMEOUT(!filesIn(folder).filter(u".part"_s).isEmpty(), 20000);
        }
        QCOMPARE(filesIn(folder).filter(u".part"_s), QStringList());
        QCOMPARE(app.prompter.shown, QStringList());
        // Closed while the copy was written: it stopped.
        QVERIFY(!QFile::exists(copy));
        Form1 again(app.context);
        again.show();
        QTRY_VERIFY_WITH_TIMEOUT(!again.dailyBackup().running() && QFile::exists(copy), 20000);
        QCOMPARE(integrity(copy), u"ok"_s);
        QCOMPARE(ordersIn(copy).size(), 40000);
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
