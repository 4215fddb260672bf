#include "data/migration_csv.h"

#include <QElapsedTimer>
#include <QIODevice>

using namespace Qt::StringLiterals;

namespace trelok::migration {

namespace {
constexpr qint64 chunkBytes = 1 << 16;
constexpr int endOfText = -1;
} // namespace

SourceCsv::SourceCsv(QIODevice &device, int waitMs) : m_device(device), m_waitMs(waitMs) {}

bool SourceCsv::fill()
{
    while (!m_end && m_error.isEmpty()) {
        const QByteArray bytes = m_device.read(chunkBytes);
        if (!bytes.isEmpty()) {
            const QString text = m_decoder.decode(bytes);
            if (m_decoder.hasError()) {
                m_error = u"tekstot ne e vo UTF-8 (red %1)"_s.arg(m_line);
                return false;
            }
            m_buffer = m_buffer.mid(m_pos) + text;
            m_pos = 0;
            if (m_pos < m_buffer.size())
                return true;
            continue;
        }
        if (!m_device.isSequential()) {
            if (!m_device.atEnd())
                m_error = u"citanjeto zapre (red %1): %2"_s.arg(m_line).arg(m_device.errorString());
            m_end = true;
            break;
        }
        // A pipe: wait for more, or for its end.
        QElapsedTimer waited;
        waited.start();
        if (m_device.waitForReadyRead(m_waitMs) || m_device.bytesAvailable() > 0)
            continue;
        if (waited.elapsed() >= m_waitMs)
            m_error = u"nema podatoci %1 sekundi (red %2)"_s.arg(m_waitMs / 1000).arg(m_line);
        m_end = true;
    }
    return false;
}

int SourceCsv::peek()
{
    if (m_pos >= m_buffer.size() && !fill())
        return endOfText;
    return m_buffer[m_pos].unicode();
}

int SourceCsv::get()
{
    const int c = peek();
    if (c != endOfText)
        ++m_pos;
    return c;
}

bool SourceCsv::next(SourceRecord &record)
{
    record.fields.clear();
    for (int c = peek(); c == u'\n' || c == u'\r'; c = peek()) {
        get();
        if (c == u'\n')
            ++m_line;
    }
    if (peek() == endOfText)
        return false;
    record.line = m_line;
    QString field;
    for (;;) {
        int c = get();
        if (c == endOfText) {
            if (!m_error.isEmpty())
                return false;
            record.fields.append(field);
            return true;
        }
        if (c == u'"' && field.isEmpty()) {
            const qsizetype opened = m_line;
            for (;;) {
                c = get();
                if (c == endOfText) {
                    if (m_error.isEmpty())
                        m_error = u"navodnikot otvoren vo red %1 ne e zatvoren"_s.arg(opened);
                    return false;
                }
                if (c == u'"') {
                    if (peek() != u'"')
                        break;
                    get();
                } else if (c == u'\n') {
                    ++m_line;
                }
                field.append(QChar(c));
            }
            // What follows the closing quote up to the separator is kept.
            continue;
        }
        if (c == u',') {
            record.fields.append(std::exchange(field, QString()));
        } else if (c == u'\n' || (c == u'\r' && peek() == u'\n')) {
            if (c == u'\r')
                get();
            ++m_line;
            record.fields.append(field);
            return true;
        } else {
            field.append(QChar(c));
        }
    }
}

} // namespace trelok::migration
