#include "assets.h"

#include <cstring>

#include "resource_ids.h"
#include "system_error.h"

namespace quillora::ui {
namespace {

// 宋体 (SimSun) with the GB2312 character set; the size in tenths of a point.
platform::FontHandle simSunFont(int tenthsOfPoint, int weight)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(tenthsOfPoint, screenDpi().cy, 720);
    font.lfWeight = weight;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    wcscpy(font.lfFaceName, L"宋体");
    platform::FontHandle handle(CreateFontIndirectW(&font));
    if (!handle)
        throw platform::systemFailure(GetLastError());
    return handle;
}

platform::BrushHandle solidBrush(COLORREF colour)
{
    platform::BrushHandle brush(CreateSolidBrush(colour));
    if (!brush)
        throw platform::systemFailure(GetLastError());
    return brush;
}

// A copy of a resource's bytes in movable memory, as OLE's stream wants it.
HGLOBAL resourceCopy(HINSTANCE instance, int resourceId)
{
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        throw platform::systemFailure(ERROR_RESOURCE_DATA_NOT_FOUND);
    const DWORD size = SizeofResource(instance, found);
    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        throw platform::systemFailure(GetLastError());
    std::memcpy(GlobalLock(copy), bytes, size);
    GlobalUnlock(copy);
    return copy;
}

}  // namespace

Picture::Picture(HINSTANCE instance, int resourceId)
{
    platform::ComPtr<IStream> stream;
    // The stream frees the memory when it goes.
    HRESULT result = CreateStreamOnHGlobal(resourceCopy(instance, resourceId), TRUE, stream.put());
    if (SUCCEEDED(result))
        result = OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture, reinterpret_cast<void**>(picture_.put()));
    if (FAILED(result))
        throw PlatformFailure(static_cast<unsigned long>(result), platform::systemErrorText(result));
}

HBITMAP Picture::bitmap() const
{
    OLE_HANDLE handle = 0;
    picture_->get_Handle(&handle);
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}

SIZE Picture::pixelSize() const
{
    BITMAP info{};
    GetObjectW(bitmap(), sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

Assets::Assets(HINSTANCE instance)
    : defaultFont_(simSunFont(90, FW_NORMAL)),
      simSun_(simSunFont(105, FW_NORMAL)),
      simSunBold12_(simSunFont(120, FW_BOLD)),
      background_(instance, IDR_BACKGROUND_JPEG),
      banner_(instance, IDR_BANNER_GIF),
      backgroundBrush_(CreatePatternBrush(background_.bitmap())),
      yellowBrush_(solidBrush(RGB(255, 255, 0))),
      lightGreyBrush_(solidBrush(RGB(242, 242, 242))),
      handCursor_(static_cast<HCURSOR>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)))
{
    if (!backgroundBrush_ || !handCursor_)
        throw platform::systemFailure(GetLastError());
}

HFONT Assets::font(FontRole role) const
{
    switch (role) {
    case FontRole::SimSun:
        return simSun_.get();
    case FontRole::SimSunBold12:
        return simSunBold12_.get();
    case FontRole::WindowDefault:
        break;
    }
    return defaultFont_.get();
}

}  // namespace quillora::ui
