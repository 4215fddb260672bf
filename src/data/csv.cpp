#include "data/csv.h"

#include "platform/makscii.h"
#include "platform/os_files.h"

#include <QFile>
#include <QTemporaryFile>


#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QString tooLong(qsizetype line, qsizetype max)
{
    return u"Zapisot od red %1 e podolg od najdolgiot red sto programata moze da go "
           "zapise (%2 znaci)"_s.arg(line)
        .arg(max);
}

} // namespace

void CsvParser::endRecord(QList<CsvRecord> &records)
{
    if (m_any && m_keep) {
        m_record.append(m_field);
        records.append(CsvRecord{m_record, m_recordLine});
    }
    m_record.clear();
    m_field.clear();
    m_fieldStarted = false;
    m_any = false;
    m_chars = 0;
}

bool CsvParser::feed(QStringView text, QList<CsvRecord> &records)
{
    if (!m_error.isEmpty())
        return false;
    const qsizetype size = text.size();
    for (qsizetype at = 0; at < size; ++at) {
        const QChar c = text[at];
        if (m_skipLf) {
            m_skipLf = false;
            if (c == u'\n')
                continue;
        }
        // A run of characters that end nothing is taken at once: inside
        // quotes up to the next quote, else up to a separator or line break.
        const bool quoted = m_state == State::Quoted && c != u'"';
        const bool plain = m_state == State::Plain && c != u',' && c != u'\n' && c != u'\r' &&
                           (c != u'"' || m_fieldStarted);
        if (quoted || plain) {
            qsizetype end = at + 1;
            qsizetype breaks = c == u'\n' ? 1 : 0;
            for (; end < size; ++end) {
                const char16_t d = text[end].unicode();
                if (quoted ? d == u'"' : d == u',' || d == u'\n' || d == u'\r')
                    break;
                breaks += d == u'\n';
            }
            if (m_max >= 0 && (m_chars += end - at) > m_max) {
                m_error = tooLong(m_recordLine, m_max);
                return false;
            }
            if (plain && !m_any)
                m_recordLine = m_line;
            if (quoted)
                m_line += breaks;
            m_any = true;
            m_fieldStarted = true;
            if (m_keep)
                m_field.append(text.sliced(at, end - at));
            at = end - 1;
            continue;
        }
        if (m_max >= 0 && ++m_chars > m_max) {
            m_error = tooLong(m_recordLine, m_max);
            return false;
        }
        if (m_state == State::Quoted) {
            if (c == u'"') {
                m_state = State::QuoteInQuoted;
            } else {
                if (c == u'\n')
                    ++m_line;
                if (m_keep)
                    m_field.append(c);
            }
            continue;
        }
        if (m_state == State::QuoteInQuoted) {
            m_state = State::Plain;
            if (c == u'"') {
                if (m_keep)
                    m_field.append(c);
                m_state = State::Quoted;
                continue;
            }
        }
        if (c == u'\n' || c == u'\r') {
            m_skipLf = c == u'\r';
            endRecord(records);
            ++m_line;
            m_recordLine = m_line;
            continue;
        }
        if (!m_any)
            m_recordLine = m_line;
        m_any = true;
        if (c == u'"' && !m_fieldStarted) {
            m_state = State::Quoted;
            m_fieldStarted = true;
            m_quoteLine = m_line;
        } else if (c == u',') {
            if (m_keep)
                m_record.append(m_field);
            m_field.clear();
            m_fieldStarted = false;
        } else {
            if (m_keep)
                m_field.append(c);
            m_fieldStarted = true;
        }
    }
    return true;
}

bool CsvParser::finish(QList<CsvRecord> &records)
{
    if (!m_error.isEmpty())
        return false;
    if (m_state == State::Quoted) {
        m_error = u"Fajlot zavrsuva vo sredina na pole vo navodnici (red %1)"_s.arg(m_quoteLine);
        return false;
    }
    m_state = State::Plain;
    endRecord(records);
    return true;
}

CsvText readCsv(const QString &text)
{
    CsvText out;
    CsvParser parser;
    if (!parser.feed(text, out.records) || !parser.finish(out.records))
        out.error = parser.error();
    return out;
}

QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    for (CsvRecord &record : readCsv(text).records)
        records.append(std::move(record.fields));
    return records;
}

QString csvRecord(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        const QString &field = fields[i];
        // Quoted whenever a reader could take it otherwise: separators, quotes,
        // line breaks, and blanks at either end.
        const bool quote =
            field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
            field.contains(u'\r') ||
            (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
        if (!quote) {
            line += field;
            continue;
        }
        QString escaped = field;
        escaped.replace(u"\""_s, u"\"\""_s);
        line += u'"' + escaped + u'"';
    }
    return line + u"\r\n"_s;
}

namespace {

// Bytes read at a time.
constexpr qint64 chunkSize = 64 * 1024;

// Why a path cannot be read as a file of records, or nothing.
QString notAFile(const QString &fileName)
{
    switch (os::kindOf(fileName)) {
    case os::FileKind::Missing: // opening reports why
    case os::FileKind::Plain:
    case os::FileKind::Pipe:
        return {};
    case os::FileKind::Directory:
        return u"%1 e direktorium, a ne fajl"_s.arg(fileName);
    case os::FileKind::Other:
        break;
    }
    return u"%1 ne e fajl (ured ili vtiknuvac); nisto ne e procitano"_s.arg(fileName);
}

bool isRegularFile(const QString &fileName)
{
    return os::kindOf(fileName) == os::FileKind::Plain;
}

} // namespace

CsvFile::CsvFile() = default;
CsvFile::~CsvFile() = default;

QString CsvFile::read(QFile &device, QFile *copy, const std::function<bool(CsvRecord &)> &visit,
                      bool headerOnly)
{
    // After the check only the bytes checked are read: a file another
    // program changed meanwhile is read as it was checked, or refused when
    // it lost some of them.
    const qint64 limit = m_checked;
    qint64 total = 0;
    QStringDecoder utf8(QStringDecoder::Utf8);
    CsvParser parser(m_max);
    QList<CsvRecord> records;
    QByteArray bytes(chunkSize, Qt::Uninitialized);
    bool first = true;
    const auto hand = [&]() {
        for (CsvRecord &record : records)
            if (!visit(record))
                return false;
        if (headerOnly && !records.isEmpty())
            parser.keepRecords(false);
        records.clear();
        return true;
    };
    for (;;) {
        // A pipe blocks until there is more; nothing read is the end.
        const qint64 n = device.read(
            bytes.data(), limit < 0 ? chunkSize : std::min(chunkSize, limit - total));
        if (n < 0 && device.error() != QFileDevice::NoError)
            return u"Fajlot %1 ne moze da se procita: %2"_s.arg(m_fileName, device.errorString());
        if (n <= 0)
            break;
        total += n;
        if (copy && copy->write(bytes.constData(), n) != n)
            return u"Fajlot %1 ne moze da se procita: privremenata kopija: %2"_s.arg(
                m_fileName, copy->errorString());
        QString text = utf8(QByteArrayView(bytes.constData(), n));
        if (utf8.hasError())
            return u"Fajlot %1 ne e vo UTF-8"_s.arg(m_fileName);
        if (first && !text.isEmpty()) {
            if (text.front() == QChar(0xFEFF))
                text.remove(0, 1);
            first = false;
        }
        if (m_makscii)
            text = fromCyrillic(text);
        if (!parser.feed(text, records))
            return m_fileName + u": "_s + parser.error();
        if (!hand())
            return {};
    }
    // A file cut inside a letter: its first bytes wait in the decoder, and
    // only a byte after them shows that they are not UTF-8.
    if (const QString rest = utf8(QByteArrayView("\n")); utf8.hasError())
        return u"Fajlot %1 ne e vo UTF-8"_s.arg(m_fileName);
    if (limit >= 0 && total != limit)
        return u"Fajlot %1 e promenet otkako e proveren"_s.arg(m_fileName);
    if (!parser.finish(records))
        return m_fileName + u": "_s + parser.error();
    hand();
    m_checked = total;
    return {};
}

QString CsvFile::open(const QString &fileName, qsizetype maxRecordChars, bool makscii,
                      const std::function<void(const CsvRecord &)> &header)
{
    m_fileName = fileName;
    m_readFrom = fileName;
    m_max = maxRecordChars;
    m_makscii = makscii;
    m_checked = -1;
    m_copy.reset();
    if (const QString refused = notAFile(fileName); !refused.isEmpty())
        return refused;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return u"Fajlot %1 ne moze da se procita: %2"_s.arg(fileName, file.errorString());
    if (!isRegularFile(fileName)) {
        m_copy = std::make_unique<QTemporaryFile>();
        if (!m_copy->open())
            return u"Fajlot %1 ne moze da se procita: privremenata kopija: %2"_s.arg(
                fileName, m_copy->errorString());
        m_readFrom = m_copy->fileName();
    }
    // The form alone is checked: no record is kept but the first.
    bool first = true;
    const QString error = read(
        file, m_copy.get(),
        [&](CsvRecord &record) {
            if (header && std::exchange(first, false))
                header(record);
            return true;
        },
        true);
    if (error.isEmpty() && m_copy && !m_copy->flush())
        return u"Fajlot %1 ne moze da se procita: privremenata kopija: %2"_s.arg(
            fileName, m_copy->errorString());
    return error;
}

QString CsvFile::open(std::unique_ptr<QTemporaryFile> written, const QString &name,
                      qsizetype maxRecordChars)
{
    m_fileName = name;
    m_readFrom = written->fileName();
    m_max = maxRecordChars;
    m_makscii = false;
    m_checked = -1;
    m_copy = std::move(written);
    return records([](CsvRecord &) { return true; });
}

QString CsvFile::records(const std::function<bool(CsvRecord &)> &visit)
{
    QFile file(m_readFrom);
    if (!file.open(QIODevice::ReadOnly))
        return u"Fajlot %1 ne moze da se procita: %2"_s.arg(m_fileName, file.errorString());
    return read(file, nullptr, visit);
}

bool isHeaderRecord(const QStringList &fields, const QStringList &header)
{
    if (fields.size() != header.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(header[i].trimmed(), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

} // namespace trelok
