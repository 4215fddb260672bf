#include "data/migration_source.h"

#include "data/columns.h"
#include "platform/os_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace trelok::migration {

namespace {

constexpr int startWaitMs = 30000;
// How long mdb-export may write nothing before the reading gives up.
constexpr int silenceMs = 120000;
constexpr int lookEveryMs = 500;
// The longest record a source may hold: as many columns as any table has
// (with room for columns the program does not take), each as wide as the
// widest box, quoted. A longer one (a damaged or foreign file) is refused
// before it is held in memory.
constexpr qsizetype longestSourceRecord = 64 * (3 * qsizetype(unlimitedBox) + 3);

QString csvFileOf(const QString &folder, const QString &table)
{
    const QString wanted = table + u".csv"_s;
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString &file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(file);
    return {};
}

// The temporary copies of mdb-export's output carry the number of the
// process that reads them: trelok-PID-TABLE-XXXXXX.csv.
QString copyPattern(const QString &table)
{
    return u"trelok-%1-%2-XXXXXX.csv"_s.arg(QCoreApplication::applicationPid()).arg(table);
}

// Removes the copies a killed reading left behind: those whose process is gone.
void removeLeftCopies()
{
    static const QRegularExpression copy(u"^trelok-(\\d+)-tbl_\\w+-\\w{6}\\.csv$"_s);
    QDir temp(QDir::tempPath());
    const QStringList names = temp.entryList({u"trelok-*-tbl_*.csv"_s}, QDir::Files);
    for (const QString &name : names)
        if (const auto match = copy.match(name);
            match.hasMatch() && !os::processRuns(match.captured(1).toLongLong()))
            temp.remove(name);
}

// The first line of what a program wrote on its standard error.
QString firstLine(const QByteArray &said)
{
    return QString::fromLocal8Bit(said).trimmed().section(u'\n', 0, 0).trimmed();
}

// How a program that failed ended, and what it said first.
QString howItEnded(const QProcess &process, const QByteArray &said)
{
    const QString first = firstLine(said);
    const QString why = first.isEmpty() ? u"ne kaza zosto"_s : first;
    if (process.exitStatus() != QProcess::NormalExit)
        return u"(prekinata): %1"_s.arg(why);
    return u"(izlez %1): %2"_s.arg(process.exitCode()).arg(why);
}

// The rows mdb-count gives for the table, or the failure that names it.
DbResult<qint64> countRows(const QString &source, const QString &table)
{
    const QString program = QString::fromLatin1(mdbCount);
    QProcess process;
    process.start(program, {source, table}, QIODevice::ReadOnly);
    if (!process.waitForStarted(startWaitMs))
        return DbResult<qint64>::failure(
            u"%1 ne moze da se pokrene: %2"_s.arg(program, process.errorString()));
    if (!process.waitForFinished(silenceMs)) {
        process.kill();
        process.waitForFinished(startWaitMs);
        return DbResult<qint64>::failure(u"Redovite na tabelata %1 ne se izbroeni: %2 ne "
                                          "zavrsi za %3 sekundi"_s.arg(table, program)
                                              .arg(silenceMs / 1000));
    }
    const QByteArray said = process.readAllStandardError();
    bool number = false;
    const qint64 rows = process.readAllStandardOutput().trimmed().toLongLong(&number);
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
        said.trimmed().isEmpty() && number && rows >= 0)
        return rows;
    return DbResult<qint64>::failure(u"Redovite na tabelata %1 ne mozat da se izbrojat so %2 "
                                      "%3"_s.arg(table, program, howItEnded(process, said)));
}

// Runs mdb-export for one table with its output into written; the error,
// empty when it ended well. What it said while ending well (the warnings
// of a damaged file) goes into warning.
QString exportTable(const QString &source, const QString &table, QTemporaryFile &written,
                    QString &warning)
{
    const QString program = QString::fromLatin1(mdbExport);
    QProcess process;
    process.setStandardOutputFile(written.fileName());
    process.start(program, {source, table}, QIODevice::ReadOnly);
    if (!process.waitForStarted(startWaitMs))
        return u"%1 ne moze da se pokrene: %2"_s.arg(program, process.errorString());
    QElapsedTimer silent;
    silent.start();
    qint64 size = 0;
    // What it says is kept to its first lines: a damaged file may give a
    // warning for every page.
    constexpr qsizetype keptBytes = 4096;
    QByteArray said;
    const auto listen = [&] {
        const QByteArray more = process.readAllStandardError();
        said.append(more.left(std::max<qsizetype>(0, keptBytes - said.size())));
    };
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(lookEveryMs)) {
        listen();
        if (const qint64 now = QFileInfo(written.fileName()).size(); now != size) {
            size = now;
            silent.restart();
        } else if (silent.elapsed() >= silenceMs) {
            process.kill();
            process.waitForFinished(startWaitMs);
            return u"Tabelata %1 ne moze da se procita do kraj: %2 nema zapisano nisto %3 "
                   "sekundi"_s.arg(table, program)
                .arg(silenceMs / 1000);
        }
    }
    listen();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return u"Tabelata %1 ne moze da se procita so %2 %3"_s.arg(table, program,
                                                                 howItEnded(process, said));
    if (!said.trimmed().isEmpty())
        warning = u"%1: %2"_s.arg(program, firstLine(said));
    return {};
}

// Whether the file begins as a database of the Access form does.
DbStatus checkAccessForm(const QString &source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return DbStatus::failure(u"%1 ne moze da se otvori: %2"_s.arg(source, file.errorString()));
    const QByteArray start = file.read(32);
    const QByteArray mark = start.mid(4, 15);
    if (mark != "Standard Jet DB" && mark != "Standard ACE DB")
        return DbStatus::failure(
            u"%1 ne e baza vo formata na Access (.mdb): ne pocnuva so oznakata "
            "\"Standard Jet DB\""_s.arg(source));
    return succeeded();
}

} // namespace

DbStatus checkSource(const QString &source)
{
    const QFileInfo info(source);
    if (!info.exists())
        return DbStatus::failure(u"%1 ne postoi"_s.arg(source));
    if (info.isDir())
        return succeeded();
#ifdef Q_OS_WIN
    // mdbtools is not built for Windows: the tables come as CSV files, one
    // per table, exported by Access itself or by mdb-export on Debian.
    return DbStatus::failure(
        u"Vo verzijata za Windows %1 ne moze da se cita: izvezete gi tabelite vo CSV fajlovi "
        "(TABELA.csv, od Access ili so %2 na Debian) vo edna papka i dadete ja papkata "
        "na --migrate-from"_s.arg(source, QString::fromLatin1(mdbExport)));
#endif
    if (auto form = checkAccessForm(source); !form)
        return form;
    for (const char *program : {mdbExport, mdbCount})
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            return DbStatus::failure(
                u"Za citanje na %1 e potrebna programata %2 od paketot %3; instalirajte go so: "
                "sudo apt install %3"_s.arg(source, QString::fromLatin1(program),
                                            QString::fromLatin1(mdbPackage)));
    removeLeftCopies();
    return succeeded();
}

DbResult<std::unique_ptr<SourceTable>> SourceTable::open(const QString &source,
                                                         const QString &table)
{
    using Result = DbResult<std::unique_ptr<SourceTable>>;
    std::unique_ptr<SourceTable> opened(new SourceTable);
    opened->m_table = table;
    QString error;
    if (QFileInfo(source).isDir()) {
        const QString file = csvFileOf(source, table);
        if (file.isEmpty())
            return Result::failure(u"Vo %1 ja nema tabelata %2 (fajlot %2.csv)"_s.arg(source, table));
        error = opened->m_csv.open(file, longestSourceRecord);
    } else {
        auto counted = countRows(source, table);
        if (!counted)
            return Result::failure(counted);
        opened->m_expected = counted.value();
        auto written =
            std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(copyPattern(table)));
        if (!written->open())
            return Result::failure(u"Tabelata %1 ne moze da se procita: privremeniot fajl: %2"_s.arg(
                table, written->errorString()));
        if (const QString failed = exportTable(source, table, *written, opened->m_warning);
            !failed.isEmpty())
            return Result::failure(failed);
        error = opened->m_csv.open(std::move(written), source, longestSourceRecord);
    }
    if (!error.isEmpty())
        return Result::failure(u"Tabelata %1 ne moze da se procita do kraj: %2"_s.arg(table, error));
    return Result(std::move(opened));
}

DbStatus SourceTable::records(const std::function<bool(CsvRecord &)> &visit)
{
    if (const QString error = m_csv.records(visit); !error.isEmpty())
        return DbStatus::failure(
            u"Tabelata %1 ne moze da se procita do kraj: %2"_s.arg(m_table, error));
    return succeeded();
}

DbStatus SourceTable::checkRowsRead(qint64 read) const
{
    if (!m_expected || (*m_expected == read && m_warning.isEmpty()))
        return succeeded();
    QString message = u"Tabelata %1 ima %2 redovi, a mozat da se procitaat %3: fajlot e "
                      "osteten"_s.arg(m_table)
                          .arg(*m_expected)
                          .arg(read);
    if (!m_warning.isEmpty())
        message += u" (%1)"_s.arg(m_warning);
    return DbStatus::failure(message);
}

} // namespace trelok::migration
