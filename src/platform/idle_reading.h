#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace trelok {

// Reads the rest of a long list a step at a time while its window is open,
// so a search later finds every line already read: each step reads some
// more lines (readMore, false when reading failed), sized so that one step
// takes about 20 ms and the window stays quick to answer; it stops when
// allRead says every line is in, or after a failure (the first search reads
// again and tells it).
class IdleReading : public QObject {
public:
    IdleReading(int firstStep, std::function<bool(int lines)> readMore,
                std::function<bool()> allRead, QObject *parent);

    // Starts the steps, unless every line is read.
    void start();
    void stop();
    bool running() const { return m_timer.isActive(); }
    // Stops the steps and, unless every line is read, runs readAll under
    // the hourglass; its outcome (true when every line is read).
    bool finish(const std::function<bool()> &readAll);

protected:
    // After the steps started, after each step and when they stopped.
    virtual void stepped() {}

private:
    void step();

    QTimer m_timer;
    int m_step;
    std::function<bool(int)> m_readMore;
    std::function<bool()> m_allRead;
};

} // namespace trelok
