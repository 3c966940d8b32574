#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "design.h"
#include "handles.h"

namespace quillora::ui {

// A picture decoded by OLE from a JPEG or GIF resource. The bitmap belongs to the picture.
class Picture {
public:
    Picture(HINSTANCE instance, int resourceId);
    HBITMAP bitmap() const;
    SIZE pixelSize() const;

private:
    platform::ComPtr<IPicture> picture_;
};

// Fonts, brushes, pictures and the cursor that the windows draw with. The program keeps one set for
// its whole life, longer than any window that uses them.
class Assets {
public:
    explicit Assets(HINSTANCE instance);

    HFONT font(FontRole role) const;
    HCURSOR handCursor() const { return handCursor_.get(); }
    HBITMAP banner() const { return banner_.bitmap(); }
    // Paints the main window's background picture, unscaled, from the origin of the brush.
    HBRUSH backgroundBrush() const { return backgroundBrush_.get(); }
    HBRUSH yellowBrush() const { return yellowBrush_.get(); }
    HBRUSH lightGreyBrush() const { return lightGreyBrush_.get(); }

private:
    platform::FontHandle defaultFont_;
    platform::FontHandle simSun_;
    platform::FontHandle simSunBold12_;
    Picture background_;
    Picture banner_;
    platform::BrushHandle backgroundBrush_;
    platform::BrushHandle yellowBrush_;
    platform::BrushHandle lightGreyBrush_;
    platform::CursorHandle handCursor_;
};

}  // namespace quillora::ui
