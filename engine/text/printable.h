#pragma once

#include <string>
#include <vector>

namespace quillora {

// Text from outside the program (a file's name or contents, a command-line argument, a message
// of the system) as it may be shown in a terminal or a window: every C0 control character (tab
// and line feed included, so that it cannot fake a line), DEL and every byte that is not UTF-8 is
// written as \xNN, and every C1 control character as \u00NN, so that nothing in it can steer a
// terminal. Everything else, Chinese included, stays as it is.
std::string printable(const std::string& text);
// The same for wide text, such as a message of the system, in UTF-8.
std::string printable(const std::wstring& text);
// Several such texts (service keys, most often), each printable, between ", ".
std::string printableList(const std::vector<std::wstring>& texts);

// Text from outside as a window shows it, in the window's own quotation marks: a tab as "→" and
// every other control character (C0, DEL, C1) as "□", so that nothing in it can break the lines
// of a box or hide, and never as an escape; a byte that is not UTF-8 becomes U+FFFD. Cut after
// `longest` characters, with "…".
std::wstring visibly(const std::wstring& text, std::size_t longest = 60);
std::wstring visibly(const std::string& text, std::size_t longest = 60);

// The same in single quotes, cut after about `longest` bytes with the whole size added, so that a
// long text cannot flood the screen either.
std::string quoted(const std::string& text, std::size_t longest = 60);

}  // namespace quillora
