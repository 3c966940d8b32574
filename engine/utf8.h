#pragma once

#include <string>

namespace quillora {

// UTF-8 from a wide string, whether wchar_t holds UTF-16 (Windows) or UTF-32 (Linux). An unpaired
// surrogate becomes U+FFFD rather than malformed output.
std::string toUtf8(const std::wstring& text);

}  // namespace quillora
