#pragma once

// Decoding a JPEG or GIF as Windows does, through OLE, and reading a bitmap's pixels: for the
// tool that writes the program's BMPs and for the test that holds them against their sources.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace quillora::pictures {

// A picture decoded by OLE from the bytes of a JPEG or GIF file; the bitmap belongs to it.
class OlePicture {
public:
    explicit OlePicture(const std::string& bytes)
    {
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (!memory || bytes.empty())
            return;
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
            GlobalFree(memory);
            return;
        }
        if (FAILED(OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture_))))
            picture_ = nullptr;
        stream->Release();
    }
    ~OlePicture()
    {
        if (picture_)
            picture_->Release();
    }
    OlePicture(const OlePicture&) = delete;
    OlePicture& operator=(const OlePicture&) = delete;

    // nullptr when the bytes could not be decoded.
    HBITMAP bitmap() const
    {
        OLE_HANDLE handle = 0;
        if (!picture_ || FAILED(picture_->get_Handle(&handle)))
            return nullptr;
        return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    }

private:
    IPicture* picture_ = nullptr;
};

// The bitmap's pixels as bottom-up 24-bit rows, each padded to four bytes; empty on failure.
inline std::vector<char> pixels24(HBITMAP bitmap)
{
    BITMAP size{};
    if (!GetObjectW(bitmap, sizeof size, &size))
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = size.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<char> pixels(((size.bmWidth * 3 + 3) / 4) * 4 * size.bmHeight);
    const HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return lines == size.bmHeight ? pixels : std::vector<char>{};
}

}  // namespace quillora::pictures
