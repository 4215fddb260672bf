#include "data/migration_source.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace trelok::migration {

namespace {

constexpr int startWaitMs = 30000;

QString csvFileOf(const QString &folder, const QString &table)
{
    const QString wanted = table + u".csv"_s;
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString &file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(file);
    return {};
}

} // namespace

SourceTable::~SourceTable()
{
    if (auto *process = qobject_cast<QProcess *>(m_device.get());
        process && process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(startWaitMs);
    }
}

DbStatus checkSource(const QString &source)
{
    const QFileInfo info(source);
    if (!info.exists())
        return DbStatus::failure(u"%1 ne postoi"_s.arg(source));
    if (info.isDir())
        return succeeded();
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
    if (QFileInfo(source).isDir()) {
        const QString file = csvFileOf(source, table);
        if (file.isEmpty())
            return Result::failure(u"Vo %1 ja nema tabelata %2 (fajlot %2.csv)"_s.arg(source, table));
        auto device = std::make_unique<QFile>(file);
        if (!device->open(QIODevice::ReadOnly))
            return Result::failure(u"%1: %2"_s.arg(file, device->errorString()));
        opened->m_device = std::move(device);
    } else {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QString::fromLatin1(mdbExport));
        process->setArguments({source, table});
        process->start(QIODevice::ReadOnly);
        if (!process->waitForStarted(startWaitMs))
            return Result::failure(u"%1 ne moze da se pokrene: %2"_s.arg(
                QString::fromLatin1(mdbExport), process->errorString()));
        opened->m_device = std::move(process);
    }
    opened->m_csv = std::make_unique<SourceCsv>(*opened->m_device);
    return Result(std::move(opened));
}

DbStatus SourceTable::finish()
{
    if (!m_csv->error().isEmpty())
        return DbStatus::failure(u"Tabelata %1 ne moze da se procita do kraj: %2"_s.arg(
            m_table, m_csv->error()));
    auto *process = qobject_cast<QProcess *>(m_device.get());
    if (!process)
        return succeeded();
    process->waitForFinished(startWaitMs);
    if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
        return DbStatus::failure(u"Tabelata %1 ne moze da se procita so %2 (izlez %3): %4"_s.arg(
            m_table, QString::fromLatin1(mdbExport))
                                     .arg(process->exitCode())
                                     .arg(said));
    }
    return succeeded();
}

} // namespace trelok::migration
