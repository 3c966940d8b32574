#pragma once

#include <string>

#include "engine/machine/restore_point.h"

namespace quillora::platform {

// System Restore asked in this process, as its documentation asks: srclient.dll loaded when first
// asked (never linked), COM's security set first. A Windows without it answers Off.
class InProcessRestorePoints final : public RestorePoints {
public:
    RestorePointAnswer begin(const std::wstring& description, const std::function<void()>& waiting = nullptr) override;
    void end(std::int64_t sequence) override;
};

// System Restore asked by a hidden process of the program's own (this program started with
// "/restore-point:"), waited for with the message loop, so that the windows answer while Windows
// takes its snapshot; no thread is needed. Each request has an answer file of its own.
class HelperRestorePoints final : public RestorePoints {
public:
    RestorePointAnswer begin(const std::wstring& description, const std::function<void()>& waiting = nullptr) override;
    void end(std::int64_t sequence) override;

private:
    unsigned requests_ = 0;
};

// Whether the command line asks this start of the program to be that hidden process.
bool isRestorePointRequest(const wchar_t* commandLine);
// Carries out the request and writes the answer where the request says; the exit status.
int carryOutRestorePointRequest(const wchar_t* commandLine);

}  // namespace quillora::platform
