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
inline void freeLibrary(HMODULE library) { FreeLibrary(library); }
inline void deleteDc(HDC dc) { DeleteDC(dc); }
inline void closeRegistryKey(HKEY key) { RegCloseKey(key); }
inline void destroyMenu(HMENU menu) { DestroyMenu(menu); }

using KernelHandle = Owned<HANDLE, closeKernelHandle>;
using FontHandle = Owned<HFONT, deleteGdiObject>;
using BrushHandle = Owned<HBRUSH, deleteGdiObject>;
using BitmapHandle = Owned<HBITMAP, deleteGdiObject>;
using CursorHandle = Owned<HCURSOR, destroyCursor>;
using WindowHandle = Owned<HWND, destroyWindow>;
using LibraryHandle = Owned<HMODULE, freeLibrary>;
using MemoryDcHandle = Owned<HDC, deleteDc>;
using RegistryKeyHandle = Owned<HKEY, closeRegistryKey>;
using MenuHandle = Owned<HMENU, destroyMenu>;

}  // namespace quillora::platform
