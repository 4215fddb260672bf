#include "platform/idle_reading.h"

#include "platform/pointer.h"

#include <QElapsedTimer>

#include <algorithm>

namespace trelok {

namespace {
constexpr qint64 stepMs = 20;
constexpr int fewestLines = 1024, mostLines = 65536;
} // namespace

IdleReading::IdleReading(int firstStep, std::function<bool(int)> readMore,
                         std::function<bool()> allRead, QObject *parent)
    : QObject(parent), m_step(firstStep), m_readMore(std::move(readMore)),
      m_allRead(std::move(allRead))
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &IdleReading::step);
}

void IdleReading::start()
{
    if (!m_allRead())
        m_timer.start();
    stepped();
}

void IdleReading::stop()
{
    m_timer.stop();
    stepped();
}

bool IdleReading::finish(const std::function<bool()> &readAll)
{
    stop();
    if (m_allRead())
        return true;
    Hourglass wait;
    return readAll();
}

void IdleReading::step()
{
    QElapsedTimer took;
    took.start();
    if (!m_readMore(m_step) || m_allRead()) {
        stop();
        return;
    }
    const qint64 ms = std::max<qint64>(1, took.elapsed());
    m_step = int(std::clamp<qint64>(m_step * stepMs / ms, fewestLines, mostLines));
    stepped();
}

} // namespace trelok
