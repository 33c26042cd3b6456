#pragma once

#include "core/Failure.h"

#include <optional>
#include <utility>
#include <variant>

namespace quorel::core
{
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

    const Failure &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Failure> m_state;
};

template<> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failure(std::move(failure))
    { }

    bool ok() const { return !m_failure.has_value(); }
    explicit operator bool() const { return ok(); }
    const Failure &error() const { return *m_failure; }

private:
    std::optional<Failure> m_failure;
};
}
