#pragma once

#include <objbase.h>
#include <windows.h>

#include <utility>

namespace lupenta::win32 {

// Owns a device context obtained with GetDC.
class UniqueWindowDc {
public:
    explicit UniqueWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~UniqueWindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    UniqueWindowDc(const UniqueWindowDc&) = delete;
    UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Owns a GDI object and deletes it.
template <class T> class UniqueGdiObject {
public:
    explicit UniqueGdiObject(T object = nullptr) : object_(object) {}
    ~UniqueGdiObject() {
        if (object_)
            DeleteObject(object_);
    }
    UniqueGdiObject(UniqueGdiObject&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)) {}
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T object_;
};

using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;

// Owns a memory device context.
class UniqueMemoryDc {
public:
    UniqueMemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
    ~UniqueMemoryDc() {
        if (dc_)
            DeleteDC(dc_);
    }
    UniqueMemoryDc(const UniqueMemoryDc&) = delete;
    UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Owns a menu and destroys it with its submenus.
class UniqueMenu {
public:
    explicit UniqueMenu(HMENU menu = nullptr) : menu_(menu) {}
    ~UniqueMenu() {
        if (menu_)
            DestroyMenu(menu_);
    }
    UniqueMenu(UniqueMenu&& other) noexcept : menu_(std::exchange(other.menu_, nullptr)) {}
    UniqueMenu& operator=(UniqueMenu&& other) noexcept {
        std::swap(menu_, other.menu_);
        return *this;
    }
    UniqueMenu(const UniqueMenu&) = delete;
    UniqueMenu& operator=(const UniqueMenu&) = delete;
    HMENU get() const { return menu_; }
    HMENU release() { return std::exchange(menu_, nullptr); }
    explicit operator bool() const { return menu_ != nullptr; }

private:
    HMENU menu_;
};

// One BeginPaint and EndPaint bracket, so a paint that fails part-way still ends.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context for the lifetime of the guard.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (old_)
            SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The calling thread's single-threaded COM apartment, for as long as the object lives: screen
// readers reach the windows' accessible objects through it.
class ComApartment {
public:
    ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (joined_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool joined_;
};

} // namespace lupenta::win32
