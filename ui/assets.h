#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "platform/handles.h"
#include "ui/design.h"

namespace quillora::ui {

// A picture decoded by OLE from a JPEG or GIF resource. The bitmap belongs to the picture.
class Picture {
public:
    Picture(HINSTANCE instance, int resourceId);
    HBITMAP bitmap() const;

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
    HBRUSH webLinkBrush() const { return webLinkBrush_.get(); }
    HBRUSH helpTextBrush() const { return helpTextBrush_.get(); }

private:
    platform::FontHandle defaultFont_;
    platform::FontHandle body_;
    platform::FontHandle status_;
    Picture background_;
    Picture banner_;
    platform::BrushHandle backgroundBrush_;
    platform::BrushHandle webLinkBrush_;
    platform::BrushHandle helpTextBrush_;
    platform::CursorHandle handCursor_;
};

}  // namespace quillora::ui
