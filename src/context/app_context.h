#pragma once

#include "context/shared_state.h"
#include "data/result.h"

#include <QString>

#include <functional>

namespace trelok {

class Clock;
class PrinterSystem;
class Prompter;
class Store;

// What every window of a run is given: the database, the way to ask the
// user, the printers, the clock, the shared state, and the one way to end
// the application.
// What the user is told of a data operation that failed because the
// database is held by another program or the server's connection is lost.
QString heldMessage(const QString &error);

struct AppContext {
    Store &store;
    Prompter &prompter;
    PrinterSystem &printers;
    Clock &clock;
    QString appDir;
    SharedState state;
    // Ends the whole application with the given exit status.
    std::function<void(int)> endApplication;

    // The common path for unexpected errors and damaged installation data:
    // the text in a message box, then the end with a non-zero status.
    void fail(const QString &error);
    // The same for a failed data operation, except that a database held by
    // another program or a lost server connection only tells the user: the
    // window stays as it is, and the next action tries again.
    void fail(const QString &error, bool busy);
    template <class T> void fail(const DbResult<T> &failed) { fail(failed.error(), failed.busy()); }
};

} // namespace trelok
