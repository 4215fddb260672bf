#include "print/pdf_output.h"

#include "data/own_files.h"
#include "data/store.h"
#include "platform/file_writes.h"
#include "print/print_engine.h"
#include "print/print_job.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace trelok {

QString refusedPdfTarget(const QString &file, const QString &appDir)
{
    if (file.isEmpty())
        return u"Ne e dadena datoteka za PDF"_s;
    if (QFileInfo(file).isDir())
        return u"%1 e direktorium, ne datoteka za PDF"_s.arg(file);
    return ownFileRefusal(file, appDir);
}

QByteArray renderPdfPage(const QString &title, const std::function<void(QPainter &)> &paint)
{
    return renderPdfPages(title, 1, [&paint](QPainter &painter, int) { paint(painter); });
}

namespace {

// Draws the pages into device; false when a page or the document failed.
bool drawPdf(QIODevice &device, const QString &title, int count,
             const std::function<bool(QPainter &, int)> &paint)
{
    QPdfWriter writer(&device);
    writer.setResolution(1200);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(title);
    writer.setCreator(u"trelok"_s);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !writer.newPage())
            return false;
        // Every page starts from the same untransformed painter.
        painter.save();
        useTwips(painter);
        const bool drawn = paint(painter, page);
        painter.restore();
        if (!drawn)
            return false;
    }
    return painter.end();
}

// A complete document starts with its header and ends with its trailer.
bool completePdf(QByteArrayView start, QByteArrayView end)
{
    return start.startsWith("%PDF-") && end.trimmed().endsWith("%%EOF");
}

// The bytes of a document handed on to a SafeFile as they come; its first
// and last bytes kept for the check.
class SafeFileDevice : public QIODevice {
public:
    explicit SafeFileDevice(SafeFile &file) : m_file(file) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    bool complete() const { return completePdf(m_start, m_end); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const QByteArrayView bytes(data, size);
        if (m_start.size() < 8)
            m_start += bytes.first(std::min<qint64>(size, 8 - m_start.size()));
        m_end = size >= 64 ? bytes.last(64).toByteArray() : (m_end + bytes.toByteArray()).right(64);
        m_file.write(bytes); // a failure is told at the commit
        return size;
    }

private:
    SafeFile &m_file;
    QByteArray m_start;
    QByteArray m_end;
};

} // namespace

QByteArray renderPdfPages(const QString &title, int count,
                          const std::function<void(QPainter &, int)> &paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!drawPdf(buffer, title, count, [&paint](QPainter &painter, int page) {
            paint(painter, page);
            return true;
        }))
        return {};
    const QByteArray pdf = buffer.data();
    if (!completePdf(pdf, pdf))
        return {};
    return pdf;
}

QString writePdfPages(const QString &file, const QString &title, int count,
                      const std::function<bool(QPainter &, int)> &paint, const QString &failed)
{
    SafeFile out(file);
    if (!out.open())
        return writeFailure(out);
    SafeFileDevice device(out);
    if (!drawPdf(device, title, count, paint) || !device.complete())
        return failed;
    if (!out.commit())
        return writeFailure(out);
    return {};
}

QByteArray renderPdf(const PrintJob &job)
{
    return renderPdfPage(u"Trelok "_s + job.number,
                         [&job](QPainter &painter) { paintJob(painter, job); });
}

QByteArray renderPdf(const QList<PrintJob> &jobs)
{
    return renderPdfPages(batchTitle(jobs), int(jobs.size()),
                          [&jobs](QPainter &painter, int page) { paintJob(painter, jobs.at(page)); });
}

QString batchTitle(const QList<PrintJob> &jobs)
{
    if (jobs.size() == 1)
        return u"Trelok "_s + jobs.first().number;
    return jobs.isEmpty() ? u"Treloci"_s
                          : u"Treloci %1 - %2"_s.arg(jobs.first().number, jobs.last().number);
}

QString writePdfFile(const QByteArray &pdf, const QString &file, const QString &appDir)
{
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    // A link is followed: the file it points to receives the page.
    return replaceFile(file, pdf);
}

QString writeJobPdf(const PrintJob &job, const QString &file, const QString &appDir)
{
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    const QByteArray pdf = renderPdf(job);
    if (pdf.isEmpty())
        return u"Stranata na Trelokot %1 ne moze da se izgotvi kako PDF"_s.arg(job.number);
    return writePdfFile(pdf, file, appDir);
}

QString writeJobsPdf(const QList<PrintJob> &jobs, const QString &file, const QString &appDir)
{
    if (jobs.size() == 1)
        return writeJobPdf(jobs.first(), file, appDir);
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    const QByteArray pdf = jobs.isEmpty() ? QByteArray() : renderPdf(jobs);
    if (pdf.isEmpty())
        return u"Stranite na Trelocite ne mozat da se izgotvat kako PDF"_s;
    return writePdfFile(pdf, file, appDir);
}

QString writeOrderPdf(Store &store, const QString &number, const QString &file,
                      PrintJob *written)
{
    const QString appDir = QFileInfo(store.path()).absolutePath();
    if (const QString refused = refusedPdfTarget(file, appDir); !refused.isEmpty())
        return refused;
    auto loaded = loadPrintJob(store, number);
    if (!loaded)
        return loaded.error();
    if (const QString reason = unprintableReason(loaded.value()); !reason.isEmpty())
        return reason;
    const QString error = writeJobPdf(loaded.value().job, file, appDir);
    if (written && error.isEmpty())
        *written = std::move(loaded.value().job);
    return error;
}

QString suggestedPdfName(const QString &number)
{
    QString name = number.trimmed();
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control)
            c = u'-';
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u"trelok"_s);
    return name + u".pdf"_s;
}

} // namespace trelok
