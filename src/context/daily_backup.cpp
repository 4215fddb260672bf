#include "context/daily_backup.h"

#include "context/app_context.h"
#include "data/store.h"
#include "platform/clock.h"
#include "platform/prompter.h"

#include <QFileInfo>
#include <QThread>

using namespace Qt::StringLiterals;

namespace trelok {

DailyBackupRun::DailyBackupRun(AppContext &context, QObject *parent)
    : QObject(parent), m_context(context), m_database(context.store.path())
{}

DailyBackupRun::~DailyBackupRun()
{
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
    delete m_thread;
}

void DailyBackupRun::start()
{
    if (m_thread)
        return;
    const QString appDir = m_context.appDir;
    const QDate today = m_context.clock.today();
    // The database file: the application's own, or with a server the
    // workstation's file beside the shared data, as --backup copies it.
    m_thread = QThread::create([this, appDir, today] {
        // Most starts find the day's copy made: no connection for that;
        // nor for a program closed before the copy began.
        if (QFileInfo::exists(dailyBackupPath(appDir, today)) || m_stop)
            return;
        Store own;
        if (auto opened = own.open(m_database); !opened) {
            m_outcome = DbResult<DailyBackup>::failure(opened);
            return;
        }
        m_outcome = dailyBackup(own, appDir, today, keptDailyBackups, &m_stop);
    });
    connect(m_thread, &QThread::finished, this, &DailyBackupRun::report, Qt::QueuedConnection);
    m_thread->start(QThread::LowPriority);
}

bool DailyBackupRun::running() const
{
    return m_thread && !m_thread->isFinished();
}

void DailyBackupRun::report()
{
    if (!m_outcome && !m_stop)
        m_context.prompter.inform(u"Greska pri dnevnata rezervna kopija na bazata!"_s +
                                  QChar(10) + m_outcome.error());
    emit finished();
}

} // namespace trelok
