#include "engine/catalogue/windows_needs.h"

#include <algorithm>

#include "engine/catalogue/catalogue.h"
#include "engine/catalogue/keyed_table.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

struct NeedsEntry {
    const wchar_t* serviceKey;
    Guidance vistaAndLater;
    const wchar_t* purposeChinese;
    const char* purposeEnglish;
};

// Windows Vista and later, from Microsoft's "Guidance on disabling system services on Windows
// Server 2016 with Desktop Experience" (Windows Server documentation, security guidelines for
// system services), the one published rating of every service of Windows 10 and Server 2016; from
// Windows Server 2019 on these ratings are the defaults. It rates a service "Do not disable",
// "OK to disable", "Already disabled", "Should be disabled" or "No guidance", which it explains as
// "the default configuration of these services should not be changed". Each entry names its
// rating. No other published guidance shows a difference between Vista, 7, 8, 10 and 11, so they
// are one generation. A service of the catalogue that the guidance does not name is not listed
// here; nothing is claimed for it.
constexpr NeedsEntry kNeeds[] = {
    {L"ALG", Guidance::KeepDefault, L"为 Internet 连接共享提供第三方协议支持", "protocol plug-ins for Internet Connection Sharing"},  // No guidance
    {L"BITS", Guidance::KeepDefault, L"在后台传输文件，Windows 更新靠它下载", "background transfers that Windows Update downloads with"},  // No guidance
    {L"COMSysApp", Guidance::KeepDefault, L"管理 COM+ 组件", "manages COM+ components"},  // No guidance
    {L"CryptSvc", Guidance::KeepDefault, L"验证 Windows 文件的签名，更新根证书", "checks the signatures of Windows files, updates root certificates"},  // No guidance
    {L"TrkWks", Guidance::KeepDefault, L"维护 NTFS 文件之间的链接", "keeps links between NTFS files"},  // No guidance
    {L"MSDTC", Guidance::KeepDefault, L"协调跨数据库和消息队列的事务", "coordinates transactions across databases and queues"},  // No guidance
    {L"HidServ", Guidance::KeepDefault, L"键盘和遥控器等设备上的热键", "hot buttons of keyboards and remote controls"},  // No guidance
    {L"PolicyAgent", Guidance::KeepDefault, L"执行 IPsec 策略，远程管理防火墙需要它", "enforces IPsec policies; remote firewall management needs it"},  // No guidance
    {L"SwPrv", Guidance::KeepDefault, L"管理软件卷影副本，备份需要它", "software shadow copies that backups use"},  // No guidance
    {L"Netlogon", Guidance::KeepDefault, L"在域中验证用户和服务", "authenticates users and services in a domain"},  // No guidance
    {L"Spooler", Guidance::MayDisable, L"", ""},  // OK to disable if not a print server or a DC
    {L"RasAuto", Guidance::KeepDefault, L"按需建立到远程网络的连接", "connects to remote networks on demand"},  // No guidance
    {L"RemoteRegistry", Guidance::DoNotDisable, L"允许远程管理注册表", "remote management of the registry"},  // Do not disable
    {L"RemoteAccess", Guidance::MayDisable, L"", ""},  // Already disabled
    {L"SCardSvr", Guidance::MayDisable, L"", ""},  // Already disabled
    {L"SSDPSRV", Guidance::MayDisable, L"", ""},  // OK to disable
    {L"SENS", Guidance::KeepDefault, L"通知登录和网络变化等系统事件", "notifies programs of logons, network changes and other events"},  // No guidance
    {L"Schedule", Guidance::KeepDefault, L"运行计划任务，包括 Windows 自己的维护任务", "runs scheduled tasks, Windows' own maintenance among them"},  // No guidance
    {L"LmHosts", Guidance::KeepDefault, L"NetBIOS 名称解析，文件和打印共享", "NetBIOS name resolution for file and printer sharing"},  // No guidance
    {L"TermService", Guidance::DoNotDisable, L"远程桌面连接", "Remote Desktop connections"},  // Do not disable
    {L"VSS", Guidance::KeepDefault, L"卷影副本，备份和还原需要它", "shadow copies for backups and restores"},  // No guidance
    {L"stisvc", Guidance::MayDisable, L"", ""},  // OK to disable
    {L"MSIServer", Guidance::KeepDefault, L"安装、修改和删除 .msi 程序", "installs, changes and removes .msi programs"},  // No guidance
    {L"W32Time", Guidance::KeepDefault, L"与网络同步日期和时间", "keeps the date and time in step with the network"},  // No guidance
    {L"wuauserv", Guidance::KeepDefault, L"检测、下载并安装 Windows 更新", "finds, downloads and installs Windows updates"},  // No guidance
    {L"Themes", Guidance::DoNotDisable, L"主题，包括辅助功能主题", "themes, the accessibility themes among them"},  // Do not disable
    {L"WmiApSrv", Guidance::KeepDefault, L"向网络提供 WMI 性能数据", "WMI performance data for the network"},  // No guidance
};

const NeedsEntry* entryOf(const std::wstring& serviceKey)
{
    return entryWithKey(kNeeds, serviceKey);
}

// The table's words for each rating, in English and in Chinese.
struct GuidanceWords {
    Guidance guidance;
    const char* english;
    const char* chinese;
};

constexpr GuidanceWords kGuidanceWords[] = {
    {Guidance::DoNotDisable, "**needed**: \"Do not disable\"", "**需要**：“Do not disable”（不要禁用）"},
    {Guidance::KeepDefault, "**needed**: \"No guidance\", keep the default", "**需要**：“No guidance”（无指导意见），保持默认设置"},
    {Guidance::MayDisable, "may be disabled", "可以禁用"},
    {Guidance::NotListed, "not rated", "未评级"},
};

std::string guidanceText(TableLanguage language, Guidance guidance)
{
    for (const GuidanceWords& words : kGuidanceWords) {
        if (words.guidance == guidance)
            return language == TableLanguage::Chinese ? words.chinese : words.english;
    }
    return "";
}

}  // namespace

std::vector<std::wstring> ratedServices()
{
    std::vector<std::wstring> keys;
    for (const NeedsEntry& entry : kNeeds)
        keys.push_back(entry.serviceKey);
    return keys;
}

Guidance guidanceFor(const std::wstring& serviceKey, WindowsGeneration generation)
{
    const NeedsEntry* entry = entryOf(serviceKey);
    if (generation == WindowsGeneration::XpAndServer2003 || !entry)
        return Guidance::NotListed;
    return entry->vistaAndLater;
}

bool isNeeded(const std::wstring& serviceKey, WindowsGeneration generation)
{
    const Guidance guidance = guidanceFor(serviceKey, generation);
    return guidance == Guidance::DoNotDisable || guidance == Guidance::KeepDefault;
}

std::wstring purposeInChinese(const std::wstring& serviceKey)
{
    const NeedsEntry* entry = entryOf(serviceKey);
    return entry ? entry->purposeChinese : L"";
}

std::string purposeInEnglish(const std::wstring& serviceKey)
{
    const NeedsEntry* entry = entryOf(serviceKey);
    return entry ? entry->purposeEnglish : "";
}

std::string windowsNeedsTable(TableLanguage language)
{
    const bool chinese = language == TableLanguage::Chinese;
    std::string table = chinese ? "| 服务 | 服务名 | Windows XP、Server 2003 | Windows Vista 及以后的版本 | 作用 |\n"
                                : "| service | key | Windows XP, Server 2003 | Windows Vista and later | what it does |\n";
    table += "|---|---|---|---|---|\n";
    const std::string notNeeded = chinese ? "不需要" : "not needed";
    for (const std::wstring& key : catalogueKeys(Lists::Designed)) {
        const Guidance later = guidanceFor(key, WindowsGeneration::VistaAndLater);
        const std::string purpose = chinese ? toUtf8(purposeInChinese(key)) : purposeInEnglish(key);
        table += "| " + toUtf8(displayNameOf(key)) + " | `" + toUtf8(key) + "` | " + notNeeded + " | "
            + guidanceText(language, later) + " | " + (purpose.empty() ? "-" : purpose) + " |\n";
    }
    return table;
}

}  // namespace quillora
