#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace trelok {

// The outcome of a data operation: a value, or the data layer's error text.
template <class T> class [[nodiscard]] DbResult {
public:
    DbResult(T value) : m_value(std::move(value)) {}
    static DbResult failure(QString error, bool busy = false)
    {
        DbResult r;
        r.m_error = std::move(error);
        r.m_busy = busy;
        return r;
    }
    // A failure carrying another result's error.
    template <class U> static DbResult failure(const DbResult<U> &other)
    {
        return failure(other.error(), other.busy());
    }
    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    const QString &error() const { return m_error; }
    // The database was held by another program for longer than the wait:
    // nothing was written, and the same action can be tried again.
    bool busy() const { return m_busy; }

private:
    DbResult() = default;
    std::optional<T> m_value;
    QString m_error;
    bool m_busy = false;
};

struct Done {};
using DbStatus = DbResult<Done>;

inline DbStatus succeeded()
{
    return DbStatus(Done{});
}

} // namespace trelok
