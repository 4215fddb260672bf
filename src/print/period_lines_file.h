#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTemporaryFile;

namespace trelok {

// The texts of a list's lines kept in a temporary file (removed with it)
// rather than in memory: written one line after the other, read back from
// any line, so the pages of a list of any length are drawn in little memory.
class PeriodLinesFile {
public:
    PeriodLinesFile();
    ~PeriodLinesFile();
    PeriodLinesFile(const PeriodLinesFile &) = delete;
    PeriodLinesFile &operator=(const PeriodLinesFile &) = delete;

    // Adds a line of texts after the others; nothing more is kept once
    // the file failed.
    void add(const QStringList &texts);
    qint64 count() const { return m_count; }
    // The lines from the first-th (counted from 0), at most count of them.
    std::vector<QStringList> read(qint64 first, qint64 count);
    // Why the file could not be written or read, or the empty text.
    QString error() const { return m_error; }

private:
    bool flush();
    // Reads the line at the file's place into texts (or past it, without).
    bool readLine(QStringList *texts);
    void fail(const QString &why);

    std::unique_ptr<QTemporaryFile> m_file;
    QByteArray m_buffer;
    // Where every marked-th line begins.
    std::vector<qint64> m_marks;
    qint64 m_written = 0;
    qint64 m_count = 0;
    QString m_error;
};

} // namespace trelok
