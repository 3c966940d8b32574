#pragma once

#include <windows.h>

#include <utility>

namespace quillora::platform {

// Owns one Windows handle and releases it with the matching function when it goes.
template <typename Handle, auto Release>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(Handle handle = nullptr)
    {
        if (handle_)
            Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

inline void closeKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void deleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void destroyCursor(HCURSOR cursor) { DestroyCursor(cursor); }
inline void destroyWindow(HWND window) { DestroyWindow(window); }

using KernelHandle = Owned<HANDLE, closeKernelHandle>;
using FontHandle = Owned<HFONT, deleteGdiObject>;
using BrushHandle = Owned<HBRUSH, deleteGdiObject>;
using CursorHandle = Owned<HCURSOR, destroyCursor>;
using WindowHandle = Owned<HWND, destroyWindow>;

// Holds a COM interface pointer and releases it.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For functions that hand out a new reference through an out parameter.
    Interface** put()
    {
        reset();
        return &pointer_;
    }
    void reset()
    {
        if (pointer_)
            pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace quillora::platform
