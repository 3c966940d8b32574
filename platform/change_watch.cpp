#include "platform/change_watch.h"

#include <utility>

#include "engine/text/utf8.h"

namespace quillora::platform {

ChangeWatch::ChangeWatch(Waits& waits, const std::string& folder, std::function<void()> changed)
    : changed_(std::move(changed))
{
    const HANDLE notification = FindFirstChangeNotificationW(
        fromUtf8(folder).c_str(), TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (notification != INVALID_HANDLE_VALUE) {
        folder_.reset(notification);
        folderWait_ = waits.add(notification, [this] {
            FindNextChangeNotification(folder_.get());
            changed_();
        });
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services", 0, KEY_NOTIFY, &key) != ERROR_SUCCESS)
        return;
    services_.reset(key);
    servicesChanged_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!servicesChanged_)
        return;
    armServices();
    servicesWait_ = waits.add(servicesChanged_.get(), [this] {
        armServices();
        changed_();
    });
}

// A registry notification tells one change: it is asked again for the next.
void ChangeWatch::armServices()
{
    RegNotifyChangeKeyValue(services_.get(), TRUE, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                            servicesChanged_.get(), TRUE);
}

}  // namespace quillora::platform
