#include "shell/command_line_list.h"

#include "data/store.h"
#include "entry/kinds.h"
#include "platform/fonts.h"
#include "print/period_csv.h"
#include "print/period_list.h"
#include "print/period_list_page.h"
#include "shell/headless_commands.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace trelok {

int periodListFromCommandLine(HeadlessRun &run)
{
    const auto fail = [&run](const QString &message, int status) {
        run.err << "trelok: " << message << Qt::endl;
        return status;
    };
    Period period;
    const QString from = run.options.value("list"), to = run.options.secondValue;
    period.from = periodDate(from);
    period.to = periodDate(to);
    for (const QString &date : {from, to})
        if (!periodDate(date).isValid())
            return fail(u"Pogresen datum: %1 (datumot se pisuva DD.MM.GGGG)"_s.arg(date), 2);
    if (period.from > period.to)
        return fail(u"Pocetniot datum %1 e posle krajniot %2"_s.arg(from, to), 2);
    const QString pdf = run.options.value("pdf"), csv = run.options.value("csv");
    if (run.options.isSet("pdf") == run.options.isSet("csv"))
        return fail(u"So --list odi tocno edna od opciite --pdf FILE i --csv FILE"_s, 2);
    period.kind = run.options.value("kind").trimmed();
    if (!period.kind.isEmpty()) {
        auto known = kindDescription(run.store, period.kind);
        if (!known)
            return fail(known.error(), 1);
        if (!known.value())
            return fail(u"Nepoznat vid na uplata: %1"_s.arg(period.kind), 2);
    }
    if (!pdf.isEmpty() && registerApplicationFonts(run.appDir) < fontFileNames().size())
        return fail(u"Fontovite \"%1\" ne mozat da se vcitaat od %2"_s.arg(
                        QString::fromLatin1(formFontFamily), run.appDir),
                    1);
    // Read and written a line at a time.
    auto written = pdf.isEmpty() ? writePeriodCsv(run.store, period, csv, run.appDir)
                                 : writePeriodPdf(run.store, period, pdf, run.appDir);
    if (!written)
        return fail(written.error(), 1);
    return written.value().isEmpty() ? 0 : fail(written.value(), 1);
}

} // namespace trelok
