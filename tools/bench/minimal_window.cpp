// The start-up baseline: the least a Win32 program does to show one window, drawing the main
// window's Chinese in its designed font, and wait. Drawing the same text loads the same fonts, so
// that what the program weighs beyond it is its own.
#include <windows.h>

#include "ui/words/texts.h"

namespace {

// 宋体 at 10.5 points with the GB2312 character set, as the main window's buttons draw it.
HFONT designedFont(HWND window)
{
    const HDC screen = GetDC(window);
    const int height = -MulDiv(21, GetDeviceCaps(screen, LOGPIXELSY), 144);
    ReleaseDC(window, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
}

void paint(HWND window)
{
    using quillora::ui::Text;
    PAINTSTRUCT painting;
    const HDC dc = BeginPaint(window, &painting);
    const HFONT font = designedFont(window);
    const HGDIOBJ before = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    int top = 8;
    for (const Text text : {Text::QuestionsButton, Text::QuestionsLabel, Text::AutomaticButton, Text::AutomaticLabel,
                            Text::RestoreButton, Text::RestoreLabel, Text::HelpButton, Text::ExitButton, Text::WebLink}) {
        const wchar_t* words = quillora::ui::textIn(quillora::ui::Language::Chinese, text);
        TextOutW(dc, 8, top, words, lstrlenW(words));
        top += 28;
    }
    SelectObject(dc, before);
    DeleteObject(font);
    EndPaint(window, &painting);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuilloraBenchBaseline";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"QuilloraBenchBaseline", L"baseline", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 356, 310, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
