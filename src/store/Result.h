#pragma once

#include <QString>
#include <concepts>
#include <utility>
#include <variant>

namespace velmora {

// A failure on its way into a Result: the Japanese message that tells the user what failed.
struct Failure {
    QString message;
};

inline Failure failure(QString message)
{
    return {std::move(message)};
}

// The outcome of a store operation: the value, or the message of its failure. (A small stand-in for
// std::expected, which the clang that builds the fuzzers cannot compile from this standard library.)
template <class T> class [[nodiscard]] Result {
public:
    Result() requires std::default_initializable<T> : outcome(std::in_place_index<0>) {}
    Result(T value) : outcome(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failed) : outcome(std::in_place_index<1>, std::move(failed.message)) {}

    explicit operator bool() const { return outcome.index() == 0; }
    T& operator*() & { return std::get<0>(outcome); }
    const T& operator*() const& { return std::get<0>(outcome); }
    T&& operator*() && { return std::get<0>(std::move(outcome)); }
    T* operator->() { return &std::get<0>(outcome); }
    const T* operator->() const { return &std::get<0>(outcome); }
    const QString& error() const { return std::get<1>(outcome); }

    // A result equals a value when it holds that value.
    template <class U> friend bool operator==(const Result& result, const U& value)
    {
        return result && *result == value;
    }

private:
    std::variant<T, QString> outcome;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : message(std::move(failure.message)), failed(true) {}

    explicit operator bool() const { return !failed; }
    const QString& error() const { return message; }

private:
    QString message;
    bool failed = false;
};

using Status = Result<void>;

} // namespace velmora
