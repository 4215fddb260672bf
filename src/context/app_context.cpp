#include "context/app_context.h"

#include "context/messages.h"
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
    if (busy)
        prompter.inform(QString::fromLatin1(msg::databaseBusy));
    else
        fail(error);
}

} // namespace trelok
