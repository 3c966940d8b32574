#include "ui/assets.h"

#include <cstring>

#include "platform/system_error.h"
#include "resources/resource_ids.h"
#include "ui/identifiers.h"

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
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
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
    const HGLOBAL bytes = resourceCopy(instance, resourceId);
    // Once made, the stream frees the memory when it goes; until then it is ours to free.
    HRESULT result = CreateStreamOnHGlobal(bytes, TRUE, stream.put());
    if (FAILED(result))
        GlobalFree(bytes);
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

Assets::Assets(HINSTANCE instance)
    : defaultFont_(simSunFont(90, FW_NORMAL)),
      body_(simSunFont(105, FW_NORMAL)),
      status_(simSunFont(120, FW_BOLD)),
      background_(instance, IDR_BACKGROUND_JPEG),
      banner_(instance, IDR_BANNER_GIF),
      backgroundBrush_(CreatePatternBrush(background_.bitmap())),
      webLinkBrush_(solidBrush(kWebLinkBackground)),
      helpTextBrush_(solidBrush(kHelpTextBackground)),
      handCursor_(static_cast<HCURSOR>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)))
{
    if (!backgroundBrush_ || !handCursor_)
        throw platform::systemFailure(GetLastError());
}

HFONT Assets::font(FontRole role) const
{
    switch (role) {
    case FontRole::Body:
        return body_.get();
    case FontRole::Status:
        return status_.get();
    case FontRole::WindowDefault:
        break;
    }
    return defaultFont_.get();
}

}  // namespace quillora::ui
