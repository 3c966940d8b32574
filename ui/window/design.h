#pragma once

#include <windows.h>

#include <span>

#include "ui/words/texts.h"

namespace quillora::ui {

// Lengths in twips, the designer's unit: 1440 to the inch, 15 to the pixel at 96 DPI.
struct TwipsRect {
    int left, top, width, height;
};

enum class ControlKind { PushButton, Label, TextBox, Picture, DropDownList, ListView };

// Which of the program's fonts a control uses.
enum class FontRole {
    WindowDefault,  // the window's own default font
    Body,           // the designed text: 宋体 10.5 pt, GB2312
    Status,         // the progress window's status line: 宋体 12 pt bold, GB2312
};

inline constexpr int kNoTabStop = -1;

struct ControlDesign {
    ControlKind kind;
    int id;
    const wchar_t* name;  // the designer's name, for tests and messages
    Text caption;
    TwipsRect rect;
    int tabIndex;  // order of the tab chain; kNoTabStop for controls without one
    FontRole font;
    DWORD extraStyle = 0;
};

enum class Placement {
    CentredOnScreen,
    FixedClientOrigin,  // the client area's top-left corner at a fixed place on the screen
};

struct WindowDesign {
    Text caption;
    int clientWidth, clientHeight;  // twips
    DWORD style, exStyle;
    bool ownTaskbarButton;
    Placement placement;
    POINT clientOrigin;  // twips, for FixedClientOrigin
    std::span<const ControlDesign> controls;
};

// The DPI the windows were designed at: 100 % display scaling, 15 twips to the pixel.
inline constexpr int kDesignDpi = 96;

// Pixels per logical inch of the screen, horizontally and vertically.
SIZE screenDpi();

int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
RECT twipsToPixels(const TwipsRect& rect);

// The outer rectangle of a window with this design, placed as the design says.
RECT windowRectFor(const WindowDesign& design);

}  // namespace quillora::ui
