#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/handles.h"
#include "platform/message_pump.h"

namespace quillora::platform {

inline void closeChangeNotification(HANDLE handle) { FindCloseChangeNotification(handle); }
using ChangeNotificationHandle = Owned<HANDLE, closeChangeNotification>;

// Tells, from the message loop, that a file in a folder (or below it) was made, removed, renamed or
// written, or that the configuration of a service changed (its key under the registry's Services,
// where the Service Control Manager keeps start modes, and much else): what Windows itself
// notices, with no polling. Each change is told once it has happened; a burst of them may be told
// more than once. A notification that cannot be asked again is closed, never served for ever.
class ChangeWatch {
public:
    enum class What { Folder, Services };

    // folder: watched where it exists, and from when it appears where it does not yet; the
    // services are watched always.
    ChangeWatch(Waits& waits, const std::string& folder, std::function<void(What)> changed);
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

private:
    void armFolder();
    void folderChanged();
    void armServices();

    Waits& waits_;
    std::wstring folderPath_;
    bool folderThere_ = false;  // the folder itself is watched, not the one above, where it is made
    std::function<void(What)> changed_;
    ChangeNotificationHandle folder_;
    RegistryKeyHandle services_;
    KernelHandle servicesChanged_;
    std::unique_ptr<Waits::Wait> folderWait_;
    std::unique_ptr<Waits::Wait> servicesWait_;
};

}  // namespace quillora::platform
