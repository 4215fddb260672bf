#include "context/app_context.h"

#include "context/messages.h"
#include "data/store.h"
#include "platform/prompter.h"

namespace trelok {

void AppContext::fail(const QString &error)
{
    prompter.inform(error);
    if (endApplication)
        endApplication(1);
}

QString heldMessage(const QString &error)
{
    // A lost server connection says so in its own words; the next action
    // connects again.
    return error.startsWith(QLatin1StringView(connectionLost))
               ? error
               : QString::fromLatin1(msg::databaseBusy);
}

void AppContext::fail(const QString &error, bool busy)
{
    if (busy)
        prompter.inform(heldMessage(error));
    else
        fail(error);
}

} // namespace trelok
