#include "test_db.h"

#include "data/store.h"
#include "shell/application.h"
#include "shell/command_line.h"
#include "platform/printers.h"
#include "shell/headless_commands.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace trelok;

Q_DECLARE_METATYPE(trelok::CommandLine::Use)

namespace {

QStringList args(const QStringList &rest)
{
    return QStringList{u"trelok"_s} + rest;
}

struct Run {
    int status;
    QString out, err;
};

// The program itself, without any display and without a chosen platform.
Run runProgram(const QStringList &arguments, const QStringList &extraEnvironment = {},
               const QString &program = QString::fromLocal8Bit(TRELOK_BINARY))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString &variable : extraEnvironment)
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    static const QTemporaryDir runtime; // private, as Qt expects it
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, {}, {}};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            programText(process.readAllStandardOutput()),
            programText(process.readAllStandardError())};
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parsing_data()
    {
        using Use = CommandLine::Use;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Use>("use");
        QTest::addColumn<QString>("error");
        QTest::newRow("nothing") << QStringList{} << Use::Window << QString();
        QTest::newRow("dir") << QStringList{u"--dir"_s, u"/tmp/x"_s} << Use::Window << QString();
        QTest::newRow("print") << QStringList{u"--print"_s, u"1/2026"_s} << Use::Headless
                               << QString();
        QTest::newRow("print into pdf") << QStringList{u"--print=1/2026"_s, u"--pdf"_s, u"a.pdf"_s}
                                        << Use::Headless << QString();
        QTest::newRow("calibration sheet into pdf")
            << QStringList{u"--calibration-sheet"_s, u"--pdf"_s, u"a.pdf"_s} << Use::Headless
            << QString();
        QTest::newRow("calibration sheet takes no value")
            << QStringList{u"--calibration-sheet=x"_s} << Use::Error
            << u"trelok: Pogresna komandna linija: Unexpected value after '--calibration-sheet'."_s;
        QTest::newRow("help") << QStringList{u"--help"_s} << Use::Help << QString();
        QTest::newRow("help among others")
            << QStringList{u"--dir"_s, u"x"_s, u"-h"_s} << Use::Help << QString();
        QTest::newRow("version") << QStringList{u"--version"_s} << Use::Version << QString();
        QTest::newRow("no help-all: Qt's options are refused")
            << QStringList{u"--help-all"_s} << Use::Error << u"trelok: Nepoznata opcija: --help-all"_s;
        QTest::newRow("extra argument") << QStringList{u"--dir"_s, u"x"_s, u"extra"_s} << Use::Error
                                        << u"trelok: Nepoznat argument: extra"_s;
        QTest::newRow("extra argument with print")
            << QStringList{u"--print"_s, u"1/2026"_s, u"2/2026"_s} << Use::Error
            << u"trelok: Nepoznat argument: 2/2026"_s;
        QTest::newRow("empty dir") << QStringList{u"--dir"_s, QString()} << Use::Error
                                   << u"trelok: Opcijata --dir nema vrednost"_s;
        QTest::newRow("empty dir with =")
            << QStringList{u"--dir="_s} << Use::Error << u"trelok: Opcijata --dir nema vrednost"_s;
        QTest::newRow("blank dir") << QStringList{u"--dir"_s, u"  "_s} << Use::Error
                                   << u"trelok: Opcijata --dir nema vrednost"_s;
        QTest::newRow("empty print") << QStringList{u"--print"_s, QString()} << Use::Error
                                     << u"trelok: Opcijata --print nema vrednost"_s;
        QTest::newRow("empty pdf") << QStringList{u"--print"_s, u"1/2026"_s, u"--pdf"_s, QString()}
                                   << Use::Error << u"trelok: Opcijata --pdf nema vrednost"_s;
        QTest::newRow("print without value") << QStringList{u"--print"_s} << Use::Error
                                             << u"trelok: Opcijata --print bara vrednost"_s;
        QTest::newRow("pdf without print")
            << QStringList{u"--pdf"_s, u"a.pdf"_s} << Use::Error
            << u"trelok: Opcijata --pdf odi samo so --print ili --calibration-sheet ili --list"_s;
        QTest::newRow("list") << QStringList{u"--list"_s, u"01.03.2026"_s, u"31.03.2026"_s,
                                             u"--csv"_s, u"a.csv"_s}
                              << Use::Headless << QString();
        QTest::newRow("list without its second date")
            << QStringList{u"--list"_s, u"01.03.2026"_s, u"--csv"_s, u"a.csv"_s} << Use::Error
            << u"trelok: Opcijata --list bara dve vrednosti: FROM TO"_s;
        QTest::newRow("list with a third date")
            << QStringList{u"--list=01.03.2026"_s, u"31.03.2026"_s, u"x"_s, u"--csv"_s, u"a.csv"_s}
            << Use::Error << u"trelok: Nepoznat argument: x"_s;
        QTest::newRow("kind without list") << QStringList{u"--kind"_s, u"108"_s} << Use::Error
                                           << u"trelok: Opcijata --kind odi samo so --list"_s;
        QTest::newRow("twice") << QStringList{u"--print"_s, u"1/2026"_s, u"--print"_s, u"2/2026"_s}
                               << Use::Error << u"trelok: Opcijata --print e dadena povekje pati"_s;
        QTest::newRow("unknown") << QStringList{u"--prnt"_s, u"1/2026"_s} << Use::Error
                                 << u"trelok: Nepoznata opcija: --prnt"_s;
    }
    void parsing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Use, use);
        QFETCH(QString, error);
        const CommandLine line = parseCommandLine(args(arguments));
        QCOMPARE(line.use, use);
        if (use == CommandLine::Use::Error)
            QCOMPARE(line.text, error);
        QCOMPARE(line.command != nullptr, use == CommandLine::Use::Headless);
    }

    void theValuesAreKept()
    {
        const CommandLine line = parseCommandLine(args(
            {u"--dir"_s, u"/data/trelok"_s, u"--print"_s, u"12/2026"_s, u"--pdf"_s, u"out.pdf"_s}));
        QCOMPARE(line.value("dir"), u"/data/trelok"_s);
        QCOMPARE(line.value("print"), u"12/2026"_s);
        QCOMPARE(line.value("pdf"), u"out.pdf"_s);
        QCOMPARE(QString::fromLatin1(line.command->option.name), u"print"_s);
    }

    void everyHeadlessCommandIsOneEntry()
    {
        QSet<QString> names;
        for (const HeadlessCommand &command : headlessCommands()) {
            QVERIFY(command.option.valueName != nullptr || command.run);
            QVERIFY(!names.contains(QString::fromLatin1(command.option.name)));
            names.insert(QString::fromLatin1(command.option.name));
        }
        QVERIFY(names.contains(u"print"_s));
    }

    void headlessPrintingIntoAFile()
    {
        TestDb db;
        db.exec("INSERT INTO tbl_Trel (TRELOK_BR, NALOG1, MKD_CEL) VALUES ('1/2026', 'A', '5')");
        db.exec("UPDATE tbl_koor SET box = 'NALOG_1' WHERE box = 'NALOG1'");
        const QString pdf = QDir(db.dir.path()).filePath(u"out/order.pdf"_s);
        QVERIFY(QDir().mkpath(QFileInfo(pdf).path()));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const CommandLine line = parseCommandLine(
            args({u"--dir"_s, db.dir.path(), u"--print"_s, u"1/2026"_s, u"--pdf"_s, pdf}));
        // Printed, but not complete: not the status of full success.
        ListedPrinters printers;
        QCOMPARE(runHeadless(line, outStream, errStream, printers), 3);
        QCOMPARE(err, u"trelok: Ne se pecatat polinjata od tbl_koor koi ne se koloni na "
                      "tbl_Trel: 'NALOG_1'\n"_s);
        QVERIFY(QFileInfo(pdf).size() > 1000);
    }

    // A list is read and every order checked before anything is printed.
    void printingSeveralIntoOneFile_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("pages"); // 0: no file written
        QTest::newRow("list") << u"2/2026,1/2026"_s << 0 << QString() << 2;
        QTest::newRow("range and number") << u"1/2026..2/2026,01/2026"_s << 0 << QString() << 2;
        QTest::newRow("empty item") << u"1/2026,,2/2026"_s << 1
                                    << u"Listata na treloci '1/2026,,2/2026' ima prazen element"_s
                                    << 0;
        QTest::newRow("not a number") << u"1/2026,abc"_s << 1
                                      << u"'abc' ne e broj na trelok vo oblik broj/godina (na "
                                         "pr. 3/2026)"_s
                                      << 0;
        QTest::newRow("two years") << u"1/2025..3/2026"_s << 1
                                   << u"Opsegot 1/2025..3/2026 ne e od edna godina"_s << 0;
        QTest::newRow("backwards") << u"2/2026..1/2026"_s << 1
                                   << u"Opsegot 2/2026..1/2026 odi nanazad"_s << 0;
        QTest::newRow("too many") << u"1/2026..100001/2026"_s << 1
                                  << u"Opsegot 1/2026..100001/2026 ima poveke od 100000 treloci"_s
                                  << 0;
        QTest::newRow("missing in list") << u"1/2026,9/2026,2/2026"_s << 1
                                         << u"Trelokot broj: 9/2026 Ne postoi !"_s << 0;
        QTest::newRow("missing in range") << u"1/2026..3/2026"_s << 1
                                          << u"Trelokot broj: 3/2026 Ne postoi !"_s << 0;
    }
    void printingSeveralIntoOneFile()
    {
        QFETCH(QString, list);
        QFETCH(int, status);
        QFETCH(QString, err);
        QFETCH(int, pages);
        TestDb db;
        db.exec("INSERT INTO tbl_Trel (TRELOK_BR, NALOG1, MKD_CEL) VALUES ('1/2026', 'A', '5')");
        db.exec("INSERT INTO tbl_Trel (TRELOK_BR, NALOG1, MKD_CEL) VALUES ('2/2026', 'B', '7')");
        const QString pdf = QDir(db.dir.path()).filePath(u"orders.pdf"_s);
        QString out, errText;
        QTextStream outStream(&out), errStream(&errText);
        const CommandLine line = parseCommandLine(
            args({u"--dir"_s, db.dir.path(), u"--print"_s, list, u"--pdf"_s, pdf}));
        ListedPrinters printers;
        QCOMPARE(runHeadless(line, outStream, errStream, printers), status);
        QCOMPARE(errText, err.isEmpty() ? QString() : u"trelok: "_s + err + u"\n"_s);
        QFile file(pdf);
        QCOMPARE(file.exists(), pages > 0);
        if (pages > 0 && file.open(QIODevice::ReadOnly))
            QCOMPARE(QString::fromLatin1(file.readAll())
                         .count(QRegularExpression(u"/Type\\s*/Page[^s]"_s)),
                     pages);
    }

    void usesWithoutAWindowNeedNoDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Usage: trelok [options]"_s
                              << QString();
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"trelok 1.1\n"_s
                                 << QString();
        QTest::newRow("pdf without print")
            << QStringList{u"--pdf"_s, u"a.pdf"_s} << 2 << QString()
            << u"trelok: Opcijata --pdf odi samo so --print ili --calibration-sheet ili --list\n"_s;
        QTest::newRow("empty dir") << QStringList{u"--dir"_s, QString()} << 2 << QString()
                                   << u"trelok: Opcijata --dir nema vrednost\n"_s;
        QTest::newRow("extra argument") << QStringList{u"--print"_s, u"1/2026"_s, u"x"_s} << 2
                                        << QString() << u"trelok: Nepoznat argument: x\n"_s;
        QTest::newRow("print of a missing order")
            << QStringList{u"--print"_s, u"9/2026"_s, u"--pdf"_s, u"DIR/o.pdf"_s} << 1 << QString()
            << u"trelok: Trelokot broj: 9/2026 Ne postoi !\n"_s;
#ifndef Q_OS_WIN // a Windows session always has its desktop
        QTest::newRow("windows") << QStringList{} << 2 << QString()
                                 << u"trelok: Nema graficki ekran (DISPLAY ne e postaven)."_s;
#endif
    }
    void usesWithoutAWindowNeedNoDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        arguments.replaceInStrings(u"DIR"_s, dir.path());
        if (!arguments.contains(u"--dir"_s))
            arguments = QStringList{u"--dir"_s, dir.path()} + arguments;
        const Run run = runProgram(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.startsWith(out), qPrintable(run.out));
        QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
        if (err.isEmpty())
            QCOMPARE(run.err, QString());
        if (!arguments.contains(u"--print"_s))
            QVERIFY(!QFile::exists(QDir(dir.path()).filePath(u"trelok.db"_s)));
    }

    // A database file, or its folder, that its owner protected from writing
    // (a closed year kept on purpose): read, printed and exported as ever;
    // every write refused once, with the file and its protection as they
    // were. Decided by the permissions themselves, so it holds for root too.
    void aWriteProtectedDatabaseIsOnlyRead_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString refused = u"trelok: Bazata na podatoci e zastitena od zapisuvanje (samo za "
                                "citanje); nisto ne e promeneto\ntrelok: nisto ne e snimeno\n"_s;
        const QString year = QString::number(QDate::currentDate().year());
        QTest::newRow("export") << false << QStringList{u"--export"_s, u"DIR/e.csv"_s} << 0
                                << QString();
        QTest::newRow("list") << false
                              << QStringList{u"--list"_s, u"01.01.2000"_s, u"31.12.2099"_s,
                                             u"--csv"_s, u"DIR/l.csv"_s}
                              << 0 << QString();
        QTest::newRow("pdf") << false
                             << QStringList{u"--print"_s, u"1/"_s + year, u"--pdf"_s, u"DIR/o.pdf"_s}
                             << 0 << QString();
        QTest::newRow("orders") << false << QStringList{u"--import"_s, u"DIR/o.csv"_s} << 1
                                << refused;
        QTest::newRow("taxpayers") << false << QStringList{u"--import-taxpayers"_s, u"DIR/t.csv"_s}
                                   << 1 << refused;
        QTest::newRow("kinds") << false << QStringList{u"--import-kinds"_s, u"DIR/k.csv"_s} << 1
                               << refused;
#ifndef Q_OS_WIN // a folder's read-only mark means nothing on Windows
        QTest::newRow("orders, folder protected")
            << true << QStringList{u"--import"_s, u"DIR/o.csv"_s} << 1 << refused;
        QTest::newRow("export, folder protected")
            << true << QStringList{u"--export"_s, u"DIR/e.csv"_s} << 0 << QString();
#endif
    }
    void aWriteProtectedDatabaseIsOnlyRead()
    {
        QFETCH(bool, folder);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, err);
        QTemporaryDir files;
        const QDir out(files.path());
        const QString app = out.filePath(u"app"_s), db = QDir(app).filePath(u"trelok.db"_s);
        const auto write = [&out](const char *name, const char *text) {
            QFile file(out.filePath(QString::fromLatin1(name)));
            return file.open(QIODevice::WriteOnly) && file.write(text) > 0;
        };
        QVERIFY(write("t.csv", "dec_cod,dec_nam,dec_ad3,dec_tlx\n4030999123456,Firma,Adresa,Ohrid\n"));
        QVERIFY(write("k.csv", "vid,opis\n108,Carina\n"));
        QVERIFY(write("o.csv", "VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK\n"
                               "108,Firma,4030999123456,4030999123456,1500,00,004,2,08.12.2026,"
                               "108-2026-1010-1\n"));
        QCOMPARE(runProgram({u"--dir"_s, app, u"--import-taxpayers"_s, out.filePath(u"t.csv"_s)})
                     .status, 0);
        QCOMPARE(runProgram({u"--dir"_s, app, u"--import"_s, out.filePath(u"o.csv"_s)}).status, 0);
        const QString protectedOne = folder ? app : db;
        const auto before = QFile::permissions(protectedOne);
        QVERIFY(QFile::setPermissions(protectedOne, before & ~(QFile::WriteOwner | QFile::WriteUser |
                                                               QFile::WriteGroup | QFile::WriteOther)));
        QFile file(db);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray stored = file.readAll();
        file.close();
        arguments.replaceInStrings(u"DIR"_s, out.path());
        const Run run = runProgram(QStringList{u"--dir"_s, app} + arguments);
        const bool stillProtected = !(QFile::permissions(protectedOne) & QFile::WriteOwner);
        QVERIFY(QFile::setPermissions(protectedOne, before));
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
        QVERIFY(stillProtected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stored);
        if (status == 0)
            QVERIFY(QFileInfo(out.filePath(arguments.last().section(u'/', -1))).size() > 0);
    }

    // A windowed start that finds the database held by another program
    // says so as every window does and tries again when told to: once the
    // holder lets go, the main window comes (its messages on standard
    // error, every question answered yes).
    void aHeldDatabaseAtTheWindowedStartIsTriedAgain()
    {
        QTemporaryDir dir;
        QCOMPARE(runProgram({u"--dir"_s, dir.path(), u"--export"_s, dir.filePath(u"e.csv"_s)})
                     .status, 0);
        Store holder;
        QVERIFY(holder.open(QDir(dir.path()).filePath(u"trelok.db"_s)).ok());
        QVERIFY(holder.exec("BEGIN EXCLUSIVE").ok());
        QProcess start;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"TRELOK_EXIT_WHEN_SHOWN"_s, u"1"_s);
        start.setProcessEnvironment(env);
        start.start(QString::fromLocal8Bit(TRELOK_BINARY), {u"--dir"_s, dir.path()});
        QByteArray said;
        const QString asked = u"trelok: Bazata na podatoci ja koristi druga programa. Nisto ne "
                              "e zapisano, obidete se povtorno !\nDa probam povtorno ?"_s;
        for (int i = 0; i < 300 && !programText(said).contains(asked); ++i) {
            start.waitForReadyRead(100);
            said += start.readAllStandardError();
        }
        QVERIFY(holder.exec("ROLLBACK").ok());
        QVERIFY(start.waitForFinished(60000));
        said += start.readAllStandardError();
        QVERIFY2(programText(said).contains(asked) && !said.contains("locked"), said.constData());
        QCOMPARE(start.exitCode(), 0);
    }

    // Every command that writes a file refuses one of the program's own,
    // under any name; the file stays as it was.
    void outputOntoTheProgramsOwnFiles_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("target");
        QTest::newRow("export onto a font") << QStringList{u"--export"_s} << u"MCTIME.TTF"_s;
        QTest::newRow("list onto the licence")
            << QStringList{u"--list"_s, u"01.01.2026"_s, u"31.12.2026"_s, u"--csv"_s}
            << u"OFL.txt"_s;
        QTest::newRow("kinds onto the database") << QStringList{u"--export-kinds"_s}
                                                 << u"trelok.db"_s;
        QTest::newRow("layout onto trelok.conf") << QStringList{u"--export-layout"_s}
                                                 << u"trelok.conf"_s;
        QTest::newRow("municipalities onto the journal to come")
            << QStringList{u"--export-municipalities"_s} << u"trelok.db-journal"_s;
        QTest::newRow("backup onto a font") << QStringList{u"--backup"_s} << u"MCTIMEB.TTF"_s;
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, a file of its own
        QTest::newRow("offices through a link to a font")
            << QStringList{u"--export-offices"_s} << u"LINK"_s;
#endif
    }
    void outputOntoTheProgramsOwnFiles()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QDir app(dir.path());
        QCOMPARE(runProgram({u"--dir"_s, dir.path(), u"--export"_s, app.filePath(u"e.csv"_s)})
                     .status, 0);
        QFile conf(app.filePath(u"trelok.conf"_s));
        QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write("# own\n") > 0);
        conf.close();
        QString path = app.filePath(target);
        if (target == u"LINK"_s) {
            path = app.filePath(u"kodovi.csv"_s);
            QVERIFY(QFile::link(app.filePath(u"MCTIMEI.TTF"_s), path));
        }
        const auto bytes = [](const QString &name) {
            QFile file(name);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("none");
        };
        const QByteArray before = bytes(path);
        const Run run = runProgram(QStringList{u"--dir"_s, dir.path()} + command + QStringList{path});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(u"%1 e datoteka na programata i ne smee da se prezapise\n"_s.arg(
                     path)),
                 qPrintable(run.err));
        QCOMPARE(bytes(path), before);
    }

#ifndef Q_OS_WIN // how the program and its windowed part are loaded on Linux
    // A start on the database file loads no server library (libpq and the
    // two dozen it needs come with the first use of a server); the widget
    // and print-support libraries come only with the windows or a print on
    // paper; and the program looks for its libraries only where the system
    // keeps them.
    void whatAStartLoads_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("widgets");
        // A platform plugin: only what draws pages or windows needs one.
        QTest::addColumn<bool>("platform");
        QTest::newRow("export") << QStringList{u"--export"_s, u"DIR/o.csv"_s} << QStringList{}
                                << 0 << false << false;
        QTest::newRow("list into a CSV file")
            << QStringList{u"--list"_s, u"01.01.2026"_s, u"31.12.2026"_s, u"--csv"_s,
                           u"DIR/l.csv"_s}
            << QStringList{} << 0 << false << false;
        QTest::newRow("calibration sheet into a file")
            << QStringList{u"--calibration-sheet"_s, u"--pdf"_s, u"DIR/s.pdf"_s} << QStringList{}
            << 0 << false << true;
        // No printer chosen yet: refused, after the print system was asked.
        QTest::newRow("calibration sheet on paper")
            << QStringList{u"--calibration-sheet"_s} << QStringList{} << 1 << true << true;
        QTest::newRow("windows") << QStringList{}
                                 << QStringList{u"QT_QPA_PLATFORM=offscreen"_s,
                                                u"TRELOK_EXIT_WHEN_SHOWN=1"_s}
                                 << 0 << true << true;
    }
    void whatAStartLoads()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, status);
        QFETCH(bool, widgets);
        QFETCH(bool, platform);
        QTemporaryDir dir;
        arguments.replaceInStrings(u"DIR"_s, dir.path());
        const Run run = runProgram(QStringList{u"--dir"_s, dir.path()} + arguments,
                                   environment << u"LD_DEBUG=libs"_s);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(u"calling init:"_s), qPrintable(run.err.left(2000)));
        QCOMPARE(run.err.contains(u"libQt6Widgets"_s), widgets);
        QCOMPARE(run.err.contains(u"libQt6PrintSupport"_s), widgets);
        QCOMPARE(run.err.contains(u"/platforms/"_s), platform);
        QVERIFY2(!run.err.contains(u"libpq"_s), qPrintable(run.err));
        QVERIFY2(!run.err.contains(u"RUNPATH"_s) && !run.err.contains(u"RPATH"_s),
                 qPrintable(run.err));
    }

    // A copy of the program whose windowed part is broken, or started
    // without /proc (its folder unknown: nothing is looked for beside the
    // current directory): told, status 1, nothing begun.
    void aBrokenWindowedPart_data()
    {
        QTest::addColumn<int>("keptBytes"); // of the module; -1: none, 0: another file
        QTest::addColumn<bool>("withoutProc");
        QTest::addColumn<QString>("why"); // %1: the module
        QTest::newRow("missing") << -1 << false
                                 << u" od %1: cannot open shared object file: No such file or directory"_s;
        QTest::newRow("another file") << 0 << false << u" od %1: invalid ELF header"_s;
        QTest::newRow("cut short") << 200000 << false << u" od %1: datotekata e skratena"_s;
        QTest::newRow("no /proc") << 200000000 << true
                                  << u": papkata na programata ne moze da se najde (/proc/self/exe)"_s;
    }
    void aBrokenWindowedPart()
    {
        QFETCH(int, keptBytes);
        QFETCH(bool, withoutProc);
        QFETCH(QString, why);
        QTemporaryDir copy, app;
        const QString built = QString::fromLocal8Bit(TRELOK_BINARY);
        const QString program = copy.filePath(u"bin/trelok"_s);
        const QString module = QDir::cleanPath(
            QFileInfo(program).dir().filePath(QFileInfo(built).dir().relativeFilePath(
                QString::fromLocal8Bit(TRELOK_WINDOWS_MODULE_FILE))));
        QVERIFY(QDir().mkpath(QFileInfo(program).path()) && QDir().mkpath(QFileInfo(module).path()));
        QVERIFY(QFile::copy(built, program));
        QFile whole(QString::fromLocal8Bit(TRELOK_WINDOWS_MODULE_FILE)), broken(module);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        if (keptBytes >= 0) {
            QVERIFY(broken.open(QIODevice::WriteOnly));
            broken.write(keptBytes ? whole.read(keptBytes) : QByteArray(4096, 'x'));
            broken.close();
        }
        QStringList arguments{u"--dir"_s, app.path(), u"--print"_s, u"1/2026"_s};
        if (withoutProc) {
            // Started from bin/, where ../lib/trelok holds a whole module.
            if (QProcess::execute(u"unshare"_s, {u"-m"_s, u"true"_s}) != 0)
                QSKIP("no mount namespace here");
            arguments = QStringList{u"-m"_s, u"sh"_s, u"-c"_s,
                                    u"mount -t tmpfs none /proc && cd \"${0%/*}\" && exec \"$0\" \"$@\""_s,
                                    program} + arguments;
        }
        const Run run = runProgram(arguments, {}, withoutProc ? u"unshare"_s : program);
        QCOMPARE(run.err, u"trelok: Prozorcite na programata ne mozat da se vcitaat%1\n"_s.arg(
                              why.arg(module)));
        QCOMPARE(run.status, 1);
        QVERIFY(QDir(app.path()).isEmpty());
    }
#endif
};

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
