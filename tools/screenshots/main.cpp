// Renders every window of the program into BMP files, for the README. Runs under Wine on a
// virtual display (make screenshots); nothing is launched: the runs are recorded only.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "desktop.h"
#include "message_pump.h"
#include "program.h"
#include "recording.h"

namespace {

using namespace quillora;

class RecordingDesktop : public platform::Desktop {
public:
    void launch(const std::wstring& commandLine, int showState) override { recorder_.launch(commandLine, showState); }
    void processPendingMessages() override { platform::processPendingMessages(); }
    void endProgram() override {}
    void showError(HWND, const std::wstring& text, const std::wstring&) override
    {
        std::fwprintf(stderr, L"%ls\n", text.c_str());
    }

private:
    RecordingPlatform recorder_;
};

// Lets the windows paint, then waits a moment for Wine to put it on the screen.
void settle()
{
    for (int i = 0; i < 5; ++i) {
        platform::processPendingMessages();
        Sleep(100);
    }
}

// Copies the window as the screen shows it, frame included, into a 24-bit BMP file.
bool saveWindow(HWND window, const std::wstring& path)
{
    RECT place;
    GetWindowRect(window, &place);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    SelectObject(memory, previous);

    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    bool written = false;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        written = std::fwrite(&file, sizeof file, 1, out) == 1
            && std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1
            && std::fwrite(bits, 1, imageSize, out) == imageSize;
        written = std::fclose(out) == 0 && written;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: quillora-screenshots FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    RecordingDesktop desktop;
    ui::Program program(GetModuleHandleW(nullptr), desktop);
    bool ok = true;

    program.Form1.show();
    settle();
    ok &= saveWindow(program.Form1.handle(), folder + L"\\main-window.bmp");

    program.list.show();
    settle();
    ok &= saveWindow(program.list.handle(), folder + L"\\progress-window-start.bmp");

    program.Form1.youhua2();
    settle();
    ok &= saveWindow(program.list.handle(), folder + L"\\progress-window-done.bmp");

    const std::pair<ui::Window*, const wchar_t*> others[] = {
        {&program.Dialog, L"question-1"},
        {&program.Dialog1, L"question-2"},
        {&program.Dialog2, L"question-3"},
        {&program.help, L"help-window"},
    };
    for (const auto& [window, name] : others) {
        window->show();
        settle();
        ok &= saveWindow(window->handle(), folder + L"\\" + name + L".bmp");
        window->hide();
    }
    return ok ? 0 : 1;
}
