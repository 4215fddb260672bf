#include "context/daily_backup.h"

#include "context/app_context.h"
#include "data/backup.h"
#include "platform/clock.h"
#include "platform/prompter.h"

using namespace Qt::StringLiterals;

namespace trelok {

void backUpOnFirstStartOfDay(AppContext &context)
{
    const auto done = dailyBackup(context.store, context.appDir, context.clock.today());
    if (!done)
        context.prompter.inform(u"Greska pri dnevnata rezervna kopija na bazata!"_s + QChar(10) +
                                done.error());
}

} // namespace trelok
