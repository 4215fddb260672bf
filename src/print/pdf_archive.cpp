#include "print/pdf_archive.h"

#include "platform/app_config.h"
#include "print/pdf_output.h"
#include "print/print_job.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace trelok {

QString archivePath(const QString &archiveDir, const QString &number)
{
    static const QRegularExpression form(u"^(\\d+)/(\\d{4})$"_s);
    const auto match = form.match(number.trimmed());
    if (!match.hasMatch())
        return {};
    return QDir(archiveDir)
        .filePath(match.captured(2) + u"/"_s + match.captured(1).rightJustified(6, u'0') +
                  u".pdf"_s);
}

QString archivePrintedPage(const QString &appDir, const PrintJob &job)
{
    const QString dir = archiveDirectory(appDir);
    if (dir.isEmpty())
        return {};
    const QString file = archivePath(dir, job.number);
    const auto failed = [&job](const QString &why) {
        return u"Trelokot %1 e pecaten, no ne e zapisan vo arhivata: %2"_s.arg(job.number, why);
    };
    if (file.isEmpty())
        return failed(u"brojot ne e vo oblik broj/godina"_s);
    const QString year = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(year))
        return failed(u"direktoriumot %1 ne moze da se napravi"_s.arg(year));
    if (const QString error = writeJobPdf(job, file, appDir); !error.isEmpty())
        return failed(error);
    return {};
}

} // namespace trelok
