#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace quorel::core
{
// Why something failed: one short sentence for the user.
struct Failure
{
    QString reason;
};

inline Failure fail(QString reason)
{
    return Failure{std::move(reason)};
}

// A value, or the Failure that stands in its place. Marked [[nodiscard]] so that an ignored failure
// is a compile-time warning rather than a silent loss.
template<typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    { }
    Result(Failure failure)
        : m_state(std::in_place_index<1>, std::move(failure))
    { }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<0>(m_state); }
    T &value() & { return std::get<0>(m_state); }
    T &&value() && { return std::get<0>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    const QString &error() const { return std::get<1>(m_state).reason; }

private:
    std::variant<T, Failure> m_state;
};

template<> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failed(true)
        , m_reason(std::move(failure.reason))
    { }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_reason; }

private:
    bool m_failed = false;
    QString m_reason;
};
}
