#include "context/app_context.h"

#include "platform/prompter.h"

namespace trelok {

void AppContext::fail(const QString &error)
{
    prompter.inform(error);
    if (endApplication)
        endApplication(1);
}

} // namespace trelok
