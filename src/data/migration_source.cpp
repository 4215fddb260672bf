#include "data/migration_source.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace trelok::migration {

namespace {

constexpr int startWaitMs = 30000;
// How long mdb-export may write nothing before the reading gives up.
constexpr int silenceMs = 120000;
constexpr int lookEveryMs = 500;

QString csvFileOf(const QString &folder, const QString &table)
{
    const QString wanted = table + u".csv"_s;
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString &file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(file);
    return {};
}

// Runs mdb-export for one table with its output into written; the error,
// empty when it ended well.
QString exportTable(const QString &source, const QString &table, QTemporaryFile &written)
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
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(lookEveryMs)) {
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
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return u"Tabelata %1 ne moze da se procita so %2 (izlez %3): %4"_s.arg(table, program)
            .arg(process.exitCode())
            .arg(said);
    }
    return {};
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
    if (QStandardPaths::findExecutable(QString::fromLatin1(mdbExport)).isEmpty())
        return DbStatus::failure(
            u"Za citanje na %1 e potrebna programata %2 od paketot %3; instalirajte go so: "
            "sudo apt install %3"_s.arg(source, QString::fromLatin1(mdbExport),
                                        QString::fromLatin1(mdbPackage)));
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
        error = opened->m_csv.open(file, -1);
    } else {
        auto written = std::make_unique<QTemporaryFile>(
            QDir(QDir::tempPath()).filePath(u"trelok-%1-XXXXXX.csv"_s.arg(table)));
        if (!written->open())
            return Result::failure(u"Tabelata %1 ne moze da se procita: privremeniot fajl: %2"_s.arg(
                table, written->errorString()));
        if (const QString failed = exportTable(source, table, *written); !failed.isEmpty())
            return Result::failure(failed);
        error = opened->m_csv.open(std::move(written), source, -1);
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

} // namespace trelok::migration
