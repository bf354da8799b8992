#pragma once

#include <functional>
#include <utility>

namespace lupenta::ui {

// A component's value that tells its owner when an assignment changes it, so the owner can
// bring its peer up to date. Reading and assigning look like plain field access:
//     InvertImage1.Checked = !InvertImage1.Checked;
template <class T> class Property {
public:
    Property() = default;
    Property(T initial) : value_(std::move(initial)) {}
    Property(const Property&) = delete;
    // Assigning one property to another copies the value, not the owner's notification.
    Property& operator=(const Property& other) { return *this = other.value_; }

    operator const T&() const { return value_; }
    const T& Get() const { return value_; }

    Property& operator=(T value) {
        if (value == value_)
            return *this;
        value_ = std::move(value);
        if (changed_)
            changed_();
        return *this;
    }

    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    T value_{};
    std::function<void()> changed_;
};

} // namespace lupenta::ui
