#pragma once

// Owners of the GDI and kernel handles the Win32 front end makes, so that nothing leaks on an
// early return and nothing is freed twice.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ostavel::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DeviceContextDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

template <typename Handle, typename Deleter>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

using FontHandle = Owned<HFONT, GdiObjectDeleter>;
using BitmapHandle = Owned<HBITMAP, GdiObjectDeleter>;
using BrushHandle = Owned<HBRUSH, GdiObjectDeleter>;
using IconHandle = Owned<HICON, IconDeleter>;
using MemoryDcHandle = Owned<HDC, DeviceContextDeleter>;
using KernelHandle = Owned<HANDLE, KernelHandleCloser>;

}  // namespace ostavel::win32
