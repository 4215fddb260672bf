#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Visible top-level windows; each GUI test ends with none left open.
inline QList<QWidget *> openWindows()
{
    QList<QWidget *> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            open.append(w);
    return open;
}

// A list window (a chooser or the register) made on context and loaded,
// its list in list; null when it cannot load.
template <class Window, class Context, class View>
std::unique_ptr<Window> loadedListWindow(Context &context, View *&list)
{
    auto window = std::make_unique<Window>(context);
    if (!window->Form_Load())
        return nullptr;
    list = window->list();
    return window;
}

// Runs action once the event loop (or a modal window's loop) is running.
inline void whenIdle(std::function<void()> action, int ms = 0)
{
    QTimer::singleShot(ms, qApp, std::move(action));
}

// Waits for a visible top-level window of the given class and object name.
template <class T> T *waitForWindow(const QString &objectName = {}, int timeoutMs = 5000)
{
    T *found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *t = qobject_cast<T *>(w);
                if (t && t->isVisible() &&
                    (objectName.isEmpty() || t->objectName() == objectName)) {
                    found = t;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// The controls Tab walks through, starting from the one with the focus.
inline QStringList tabWalk(QWidget *window, int steps)
{
    QStringList names;
    QWidget *w = window->focusWidget();
    for (int i = 0; i < steps && w; ++i) {
        names << w->objectName();
        do {
            w = w->nextInFocusChain();
        } while (w && !(w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(window) &&
                        w->isEnabled() && !w->objectName().isEmpty()));
    }
    return names;
}
