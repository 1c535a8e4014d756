// SPDX-License-Identifier: GPL-3.0-or-later
// A value or the text of the failure that the user will read.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace teravine {

struct Failure {
    std::string message;
};

template <class T> class Outcome {
public:
    Outcome(T value) : state_(std::move(value)) {}
    Outcome(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(state_); }
    T& value() { return std::get<0>(state_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const std::string& error() const { return std::get<1>(state_).message; }

private:
    std::variant<T, Failure> state_;
};

} // namespace teravine
