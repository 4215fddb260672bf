#pragma once

#include "data/backup.h"
#include "data/result.h"

#include <QObject>
#include <QString>

#include <atomic>

class QThread;

namespace trelok {

struct AppContext;

// The day's copy of the database (data/backup.h), made once the main window
// shows: on a thread of its own with its own connection to the database
// file, so the clerk works on meanwhile. A failure is told to the user once,
// through the prompter on the thread of the windows, and the program goes
// on. Destroying the run (the program closing) stops a copy being written:
// nothing partial is left, and the next start makes the copy.
class DailyBackupRun : public QObject {
    Q_OBJECT
public:
    explicit DailyBackupRun(AppContext &context, QObject *parent = nullptr);
    ~DailyBackupRun() override;

    // Starts the copy unless it was started already.
    void start();
    bool running() const;

signals:
    // The copy is made, found made, left to another start, or failed (and
    // told).
    void finished();

private:
    void report();

    AppContext &m_context;
    QString m_database;
    std::atomic<bool> m_stop{false};
    QThread *m_thread = nullptr;
    DbResult<DailyBackup> m_outcome = DailyBackup::AlreadyDone;
};

} // namespace trelok
