#pragma once

// Decoding a JPEG or GIF as Windows does, through OLE, and reading and writing a bitmap's pixels:
// for the tool that writes the program's BMPs, the tests that hold the pictures against their
// sources, and the screenshots.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
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

// A bitmap's pixels as bottom-up 24-bit rows, each padded to four bytes, with the header that
// describes them; no pixels on failure.
struct Pixels24 {
    BITMAPINFOHEADER header{};
    std::vector<char> bytes;
};

// The header of bottom-up 24-bit pixels of this size.
inline BITMAPINFO info24(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    return info;
}

inline Pixels24 pixels24(HBITMAP bitmap)
{
    BITMAP size{};
    Pixels24 pixels;
    if (!GetObjectW(bitmap, sizeof size, &size))
        return pixels;
    BITMAPINFO info = info24(size.bmWidth, size.bmHeight);
    pixels.bytes.resize(((size.bmWidth * 3 + 3) / 4) * 4 * size.bmHeight);
    const HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, size.bmHeight, pixels.bytes.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != size.bmHeight)
        pixels.bytes.clear();
    pixels.header = info.bmiHeader;
    return pixels;
}

// What a device context shows in a rectangle (of the screen, of a window), as pixels.
inline Pixels24 pixelsOf(HDC dc, const RECT& area)
{
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right - area.left, area.bottom - area.top);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, dc, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    const Pixels24 pixels = pixels24(bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Writes the pixels as a BMP file; false when they are missing or the file cannot be written.
inline bool writeBmp(const Pixels24& pixels, const wchar_t* path)
{
    if (pixels.bytes.empty())
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof pixels.header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.bytes.size());
    FILE* out = _wfopen(path, L"wb");
    if (!out)
        return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1
        && std::fwrite(&pixels.header, sizeof pixels.header, 1, out) == 1
        && std::fwrite(pixels.bytes.data(), 1, pixels.bytes.size(), out) == pixels.bytes.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace quillora::pictures
