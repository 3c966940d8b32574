#include "engine/catalogue/windows_needs.h"

#include <algorithm>

#include "engine/catalogue/catalogue.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

struct Purpose {
    const wchar_t* serviceKey;
    const wchar_t* chinese;
    const char* english;
};

// What each service that Windows Vista and later need does, in a few words.
constexpr Purpose kPurposes[] = {
    {L"ALG", L"为 Internet 连接共享提供第三方协议支持", "protocol plug-ins for Internet Connection Sharing"},
    {L"BITS", L"在后台传输文件，Windows 更新靠它下载", "background transfers that Windows Update downloads with"},
    {L"COMSysApp", L"管理 COM+ 组件", "manages COM+ components"},
    {L"CryptSvc", L"验证 Windows 文件的签名，更新根证书", "checks the signatures of Windows files, updates root certificates"},
    {L"TrkWks", L"维护 NTFS 文件之间的链接", "keeps links between NTFS files"},
    {L"MSDTC", L"协调跨数据库和消息队列的事务", "coordinates transactions across databases and queues"},
    {L"HidServ", L"键盘和遥控器等设备上的热键", "hot buttons of keyboards and remote controls"},
    {L"PolicyAgent", L"执行 IPsec 策略，远程管理防火墙需要它", "enforces IPsec policies; remote firewall management needs it"},
    {L"SwPrv", L"管理软件卷影副本，备份需要它", "software shadow copies that backups use"},
    {L"Netlogon", L"在域中验证用户和服务", "authenticates users and services in a domain"},
    {L"RasAuto", L"按需建立到远程网络的连接", "connects to remote networks on demand"},
    {L"RemoteRegistry", L"允许远程管理注册表", "remote management of the registry"},
    {L"SENS", L"通知登录和网络变化等系统事件", "notifies programs of logons, network changes and other events"},
    {L"Schedule", L"运行计划任务，包括 Windows 自己的维护任务", "runs scheduled tasks, Windows' own maintenance among them"},
    {L"LmHosts", L"NetBIOS 名称解析，文件和打印共享", "NetBIOS name resolution for file and printer sharing"},
    {L"TermService", L"远程桌面连接", "Remote Desktop connections"},
    {L"VSS", L"卷影副本，备份和还原需要它", "shadow copies for backups and restores"},
    {L"MSIServer", L"安装、修改和删除 .msi 程序", "installs, changes and removes .msi programs"},
    {L"W32Time", L"与网络同步日期和时间", "keeps the date and time in step with the network"},
    {L"wuauserv", L"检测、下载并安装 Windows 更新", "finds, downloads and installs Windows updates"},
    {L"Themes", L"主题，包括辅助功能主题", "themes, the accessibility themes among them"},
    {L"WmiApSrv", L"向网络提供 WMI 性能数据", "WMI performance data for the network"},
};

const Purpose* purposeOf(const std::wstring& serviceKey)
{
    return entryWithKey(kPurposes, serviceKey);
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

std::wstring purposeInChinese(const std::wstring& serviceKey)
{
    const Purpose* purpose = purposeOf(serviceKey);
    return purpose ? purpose->chinese : L"";
}

std::string purposeInEnglish(const std::wstring& serviceKey)
{
    const Purpose* purpose = purposeOf(serviceKey);
    return purpose ? purpose->english : "";
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
