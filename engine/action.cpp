#include "engine/action.h"

namespace quillora {
namespace {

const wchar_t kNetStop[] = L"cmd /c NET stop ";
const wchar_t kNetStart[] = L"cmd /c NET start ";

std::wstring scConfig(const std::wstring& key, const wchar_t* startMode)
{
    return L"cmd /c sc config " + quotedKey(key) + L" start= " + startMode;
}

}  // namespace

std::wstring quotedKey(const std::wstring& serviceKey)
{
    if (serviceKey.find(L' ') == std::wstring::npos)
        return serviceKey;
    return L'"' + serviceKey + L'"';
}

std::vector<std::wstring> commandLines(ActionKind kind, const std::wstring& serviceKey)
{
    switch (kind) {
    case ActionKind::StopAndDisable:
        return {kNetStop + quotedKey(serviceKey), scConfig(serviceKey, L"disabled")};
    case ActionKind::StopAndManual:
        return {kNetStop + quotedKey(serviceKey), scConfig(serviceKey, L"demand")};
    case ActionKind::ManualOnly:
        return {scConfig(serviceKey, L"demand")};
    case ActionKind::StartAndAutomatic:
        return {kNetStart + quotedKey(serviceKey), scConfig(serviceKey, L"auto")};
    }
    return {};
}

const wchar_t* modeWord(ActionKind kind)
{
    switch (kind) {
    case ActionKind::StopAndDisable:
        return L"禁用";
    case ActionKind::StopAndManual:
    case ActionKind::ManualOnly:
        return L"手动";
    case ActionKind::StartAndAutomatic:
        return L"自动";
    }
    return L"";
}

}  // namespace quillora
