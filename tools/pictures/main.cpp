// Writes the program's pictures as Windows decodes them: each JPEG or GIF is loaded through OLE,
// as the program once did at every start, and saved as a 24-bit BMP with the same pixels. The
// program carries the BMPs, which need no decoder. Runs under Wine (make pictures).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/pictures/bitmaps.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: quillora-pictures PICTURE.jpg|gif OUTPUT.bmp\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const quillora::pictures::OlePicture picture(bytes);
    const bool saved = picture.bitmap() && quillora::pictures::writeBmp(quillora::pictures::pixels24(picture.bitmap()), argv[2]);
    if (!saved) {
        std::fwprintf(stderr, L"quillora-pictures: cannot convert %ls\n", argv[1]);
        return 1;
    }
    return 0;
}
