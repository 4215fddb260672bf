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

void AppContext::fail(const QString &error, bool busy)
{
    // A lost server connection says so in its own words; the next action
    // connects again.
    if (busy && error.startsWith(QLatin1StringView(connectionLost)))
        prompter.inform(error);
    else if (busy)
        prompter.inform(QString::fromLatin1(msg::databaseBusy));
    else
        fail(error);
}

} // namespace trelok
