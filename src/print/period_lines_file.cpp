#include "print/period_lines_file.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
// Lines between two marks, and bytes written at a time.
constexpr qint64 marked = 64;
constexpr qsizetype chunk = 1 << 20;

// Each text as its length (4 bytes) and its UTF-8.
void appendText(QByteArray &bytes, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const quint32 size = quint32(utf8.size());
    bytes.append(reinterpret_cast<const char *>(&size), sizeof size);
    bytes.append(utf8);
}
} // namespace

PeriodLinesFile::PeriodLinesFile()
    : m_file(std::make_unique<QTemporaryFile>(QDir::temp().filePath(u"trelok-lista-XXXXXX"_s)))
{
    if (!m_file->open())
        fail(m_file->errorString());
}

PeriodLinesFile::~PeriodLinesFile() = default;

void PeriodLinesFile::fail(const QString &why)
{
    if (m_error.isEmpty())
        m_error = u"Privremenata datoteka na listata %1: %2"_s.arg(m_file->fileName(), why);
}

void PeriodLinesFile::add(const QStringList &texts)
{
    if (!m_error.isEmpty())
        return;
    if (m_count % marked == 0)
        m_marks.push_back(m_written + m_buffer.size());
    const quint32 cells = quint32(texts.size());
    m_buffer.append(reinterpret_cast<const char *>(&cells), sizeof cells);
    for (const QString &text : texts)
        appendText(m_buffer, text);
    ++m_count;
    if (m_buffer.size() >= chunk)
        flush();
}

bool PeriodLinesFile::flush()
{
    if (m_buffer.isEmpty())
        return m_error.isEmpty();
    if (!m_file->seek(m_written) || m_file->write(m_buffer) != m_buffer.size()) {
        fail(m_file->errorString());
        return false;
    }
    m_written += m_buffer.size();
    m_buffer.clear();
    return true;
}

std::vector<QStringList> PeriodLinesFile::read(qint64 first, qint64 count)
{
    std::vector<QStringList> lines;
    count = std::min(count, m_count - first);
    if (first < 0 || count <= 0 || !flush() || !m_file->flush())
        return lines;
    // From the mark before the first line, skipping to it.
    bool read = m_file->seek(m_marks[size_t(first / marked)]);
    for (qint64 line = first / marked * marked; read && line < first + count; ++line) {
        QStringList texts;
        read = readLine(line >= first ? &texts : nullptr);
        if (read && line >= first)
            lines.push_back(std::move(texts));
    }
    if (!read)
        fail(m_file->errorString());
    return lines;
}

bool PeriodLinesFile::readLine(QStringList *texts)
{
    const auto take = [this](void *into, qint64 size) {
        return m_file->read(static_cast<char *>(into), size) == size;
    };
    quint32 cells = 0;
    if (!take(&cells, sizeof cells))
        return false;
    for (quint32 c = 0; c < cells; ++c) {
        quint32 size = 0;
        if (!take(&size, sizeof size))
            return false;
        QByteArray utf8(qsizetype(size), Qt::Uninitialized);
        if (!take(utf8.data(), size))
            return false;
        if (texts)
            texts->append(QString::fromUtf8(utf8));
    }
    return true;
}

} // namespace trelok
