#include "platform/change_watch.h"

#include <utility>

#include "engine/text/utf8.h"

namespace quillora::platform {

ChangeWatch::ChangeWatch(Waits& waits, const std::string& folder, std::function<void(What)> changed)
    : waits_(waits), folderPath_(fromUtf8(folder)), changed_(std::move(changed))
{
    armFolder();
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
        changed_(What::Services);
    });
}

// The folder and what is below it; where it does not exist yet (no run made yet), the folder above
// it, for the folder's making, after which the folder itself is watched.
void ChangeWatch::armFolder()
{
    folderWait_.reset();
    folder_.reset();
    if (folderPath_.empty())
        return;
    const DWORD what = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;
    HANDLE notification = FindFirstChangeNotificationW(folderPath_.c_str(), TRUE, what);
    folderThere_ = notification != INVALID_HANDLE_VALUE;
    if (!folderThere_) {
        const std::size_t last = folderPath_.find_last_of(L"\\/");
        if (last == std::wstring::npos)
            return;
        notification = FindFirstChangeNotificationW(folderPath_.substr(0, last).c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
        if (notification == INVALID_HANDLE_VALUE)
            return;
    }
    folder_.reset(notification);
    folderWait_ = waits_.add(notification, [this] { folderChanged(); });
}

void ChangeWatch::folderChanged()
{
    // Asked again for the next change; a notification that cannot be asked again is closed and
    // made anew, or it would stay signalled and be served for ever.
    if (!folderThere_ || !FindNextChangeNotification(folder_.get()))
        armFolder();
    changed_(What::Folder);
}

// A registry notification tells one change: it is asked again for the next. Where it cannot be,
// the services are no longer watched, rather than served for ever.
void ChangeWatch::armServices()
{
    if (RegNotifyChangeKeyValue(services_.get(), TRUE, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                                servicesChanged_.get(), TRUE)
        != ERROR_SUCCESS)
        servicesWait_.reset();
}

}  // namespace quillora::platform
