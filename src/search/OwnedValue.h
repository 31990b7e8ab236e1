// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>

namespace trevalo {

// A pointer to a value of its own: copying it copies the value.
template <typename T> class OwnedValue {
public:
    OwnedValue() = default;
    OwnedValue(const OwnedValue& other) : value_(other.value_ ? new T(*other.value_) : nullptr) {}
    OwnedValue& operator=(const OwnedValue& other) {
        if (this != &other)
            value_.reset(other.value_ ? new T(*other.value_) : nullptr);
        return *this;
    }
    OwnedValue(OwnedValue&&) noexcept = default;
    OwnedValue& operator=(OwnedValue&&) noexcept = default;
    ~OwnedValue() = default;

    const T* get() const { return value_.get(); }
    // The value, made when there is none yet.
    T& made() {
        if (!value_)
            value_ = std::make_unique<T>();
        return *value_;
    }

private:
    std::unique_ptr<T> value_;
};

} // namespace trevalo
