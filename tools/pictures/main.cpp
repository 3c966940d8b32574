// Writes the program's pictures as Windows decodes them: each JPEG or GIF is loaded through OLE,
// as the program once did at every start, and saved as a 24-bit BMP with the same pixels. The
// program carries the BMPs, which need no decoder. Runs under Wine (make pictures).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/pictures/ole_picture.h"

namespace {

bool saveBmp(HBITMAP bitmap, const wchar_t* path)
{
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = size.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const DWORD stride = ((size.bmWidth * 3 + 3) / 4) * 4;
    const std::vector<char> pixels = quillora::pictures::pixels24(bitmap);
    if (pixels.size() != stride * size.bmHeight)
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = _wfopen(path, L"wb");
    if (!out)
        return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1
        && std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: quillora-pictures PICTURE.jpg|gif OUTPUT.bmp\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const quillora::pictures::OlePicture picture(bytes);
    const bool saved = picture.bitmap() && saveBmp(picture.bitmap(), argv[2]);
    if (!saved) {
        std::fwprintf(stderr, L"quillora-pictures: cannot convert %ls\n", argv[1]);
        return 1;
    }
    return 0;
}
