#pragma once

#include <iterator>
#include <string>

namespace quillora {

// The entry of a table of services whose serviceKey is the key; nullptr where none is.
template <typename Table>
auto entryWithKey(const Table& table, const std::wstring& serviceKey) -> decltype(&*std::begin(table))
{
    for (const auto& entry : table) {
        if (serviceKey == entry.serviceKey)
            return &entry;
    }
    return nullptr;
}

}  // namespace quillora
