#pragma once

#include <windows.h>

#include <string>

namespace quillora::platform {

// Writes UTF-8 text to a standard stream as Windows shows it best. A console gets it as UTF-16
// through WriteConsoleW, so that Chinese is readable whatever the console's code page, XP's
// included; a file or a pipe gets UTF-8 with CR LF line ends, as Notepad reads it, a line end
// that is CR LF already left as it is. Throws PlatformFailure when the stream refuses.
void writeStandard(HANDLE stream, const std::string& utf8);

// Writes a file's exact bytes (UTF-16LE with its byte-order mark, or UTF-8) to a standard stream:
// a file or a pipe gets them unchanged, byte for byte the file itself; a console shows the text.
void writeFileToStandard(HANDLE stream, const std::string& bytes);

// The text with every LF that no CR precedes made CR LF.
std::string withCrLf(const std::string& text);

// Ctrl+C, Ctrl+Break and a closed console, asked of a console program while this lives: instead
// of killing it midway, each asks it to stop, and it ends what it began (a run reaches no further
// service, judges and saves what it did, ends its restore point). A closed console ends the
// process once its handler returns, so the handler waits until this is destroyed, for at most the
// few seconds Windows gives it.
class ConsoleStop {
public:
    ConsoleStop();
    ~ConsoleStop();
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    bool requested() const;
};

}  // namespace quillora::platform
