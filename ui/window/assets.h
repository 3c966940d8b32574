#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "platform/handles.h"
#include "ui/window/design.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// A 24-bit picture as runs of equal pixels (tools/pictures/encode_runs.py): its header, then its
// rows bottom-up, each as runs of a count (1 to 255) and the pixel's blue, green and red.
struct PictureRuns {
    BITMAPINFOHEADER header;
    const BYTE* runs;
    const BYTE* end;
};

// Fonts, brushes, pictures and the cursor that the windows draw with. The program keeps one set for
// its whole life, longer than any window that uses them.
class Assets {
public:
    explicit Assets(HINSTANCE instance);

    HFONT font(FontRole role, Language language) const;
    HCURSOR handCursor() const { return handCursor_.get(); }
    // The banner at the screen's DPI: as carried at 96 DPI, scaled by DPI/96 at any other.
    HBITMAP banner() const { return banner_.get(); }
    // Paints the main window's background picture, at the screen's DPI, with its top-left corner
    // at the origin.
    void paintBackground(HDC dc, POINT origin) const;
    HBRUSH webLinkBrush() const { return webLinkBrush_.get(); }
    HBRUSH helpTextBrush() const { return helpTextBrush_.get(); }

    // One language's fonts for every role.
    struct Fonts {
        platform::FontHandle windowDefault;
        platform::FontHandle body;
        platform::FontHandle status;
    };

private:
    std::array<Fonts, 3> fonts_;  // by Language
    platform::BitmapHandle banner_;
    PictureRuns background_;              // in the program's image
    std::vector<BYTE> scaledBackground_;  // packed, at any DPI but 96
    platform::BrushHandle webLinkBrush_;
    platform::BrushHandle helpTextBrush_;
    platform::CursorHandle handCursor_;
};

}  // namespace quillora::ui
