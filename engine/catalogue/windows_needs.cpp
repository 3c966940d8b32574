#include "engine/catalogue/windows_needs.h"

#include <algorithm>

#include "engine/catalogue/catalogue.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

struct Purpose {
    const wchar_t* serviceKey;
    const wchar_t* chinese;
    const wchar_t* english;
    const wchar_t* traditional;
};

// What each service that Windows Vista and later need does, in a few words.
constexpr Purpose kPurposes[] = {
    {L"ALG", L"为 Internet 连接共享提供第三方协议支持", L"protocol plug-ins for Internet Connection Sharing",
     L"為網際網路連線共用提供協力廠商通訊協定支援"},
    {L"BITS", L"在后台传输文件，Windows 更新靠它下载", L"background transfers that Windows Update downloads with",
     L"在背景傳輸檔案，Windows Update 靠它下載"},
    {L"COMSysApp", L"管理 COM+ 组件", L"manages COM+ components",
     L"管理 COM+ 元件"},
    {L"CryptSvc", L"验证 Windows 文件的签名，更新根证书", L"checks the signatures of Windows files, updates root certificates",
     L"驗證 Windows 檔案的簽章，更新根憑證"},
    {L"TrkWks", L"维护 NTFS 文件之间的链接", L"keeps links between NTFS files",
     L"維護 NTFS 檔案之間的連結"},
    {L"MSDTC", L"协调跨数据库和消息队列的事务", L"coordinates transactions across databases and queues",
     L"協調跨資料庫和訊息佇列的交易"},
    {L"HidServ", L"键盘和遥控器等设备上的热键", L"hot buttons of keyboards and remote controls",
     L"鍵盤和遙控器等裝置上的快速鍵"},
    {L"PolicyAgent", L"执行 IPsec 策略，远程管理防火墙需要它", L"enforces IPsec policies; remote firewall management needs it",
     L"強制執行 IPsec 原則，遠端管理防火牆需要它"},
    {L"SwPrv", L"管理软件卷影副本，备份需要它", L"software shadow copies that backups use",
     L"管理軟體陰影複製，備份需要它"},
    {L"Netlogon", L"在域中验证用户和服务", L"authenticates users and services in a domain",
     L"在網域中驗證使用者和服務"},
    {L"RasAuto", L"按需建立到远程网络的连接", L"connects to remote networks on demand",
     L"視需要建立到遠端網路的連線"},
    {L"RemoteRegistry", L"允许远程管理注册表", L"remote management of the registry",
     L"允許遠端管理登錄"},
    {L"SENS", L"通知登录和网络变化等系统事件", L"notifies programs of logons, network changes and other events",
     L"通知登入和網路變更等系統事件"},
    {L"Schedule", L"运行计划任务，包括 Windows 自己的维护任务", L"runs scheduled tasks, Windows' own maintenance among them",
     L"執行排定的工作，包括 Windows 自己的維護工作"},
    {L"LmHosts", L"NetBIOS 名称解析，文件和打印共享", L"NetBIOS name resolution for file and printer sharing",
     L"NetBIOS 名稱解析，檔案和印表機共用"},
    {L"TermService", L"远程桌面连接", L"Remote Desktop connections",
     L"遠端桌面連線"},
    {L"VSS", L"卷影副本，备份和还原需要它", L"shadow copies for backups and restores",
     L"磁碟區陰影複製，備份和還原需要它"},
    {L"MSIServer", L"安装、修改和删除 .msi 程序", L"installs, changes and removes .msi programs",
     L"安裝、修改和移除 .msi 程式"},
    {L"W32Time", L"与网络同步日期和时间", L"keeps the date and time in step with the network",
     L"與網路同步日期和時間"},
    {L"wuauserv", L"检测、下载并安装 Windows 更新", L"finds, downloads and installs Windows updates",
     L"偵測、下載並安裝 Windows 更新"},
    {L"Themes", L"主题，包括辅助功能主题", L"themes, the accessibility themes among them",
     L"佈景主題，包括協助工具佈景主題"},
    {L"WmiApSrv", L"向网络提供 WMI 性能数据", L"WMI performance data for the network",
     L"向網路提供 WMI 效能資料"},
};

const Purpose* purposeOf(const std::wstring& serviceKey)
{
    return entryWithKey(kPurposes, serviceKey);
}

// The table's words for each rating, in English and in both Chinese scripts.
struct GuidanceWords {
    Guidance guidance;
    const char* english;
    const char* chinese;
    const char* traditional;
};

constexpr GuidanceWords kGuidanceWords[] = {
    {Guidance::DoNotDisable, "**needed**: \"Do not disable\"", "**需要**：“Do not disable”（不要禁用）",
     "**需要**：「Do not disable」（請勿停用）"},
    {Guidance::KeepDefault, "**needed**: \"No guidance\", keep the default", "**需要**：“No guidance”（无指导意见），保持默认设置",
     "**需要**：「No guidance」（沒有指引），保持預設設定"},
    {Guidance::MayDisable, "may be disabled", "可以禁用", "可以停用"},
    {Guidance::NotListed, "not rated", "未评级", "未評等"},
};

std::string guidanceText(TableLanguage language, Guidance guidance)
{
    for (const GuidanceWords& words : kGuidanceWords) {
        if (words.guidance == guidance)
            return inLanguage(language, words.english, words.chinese, words.traditional);
    }
    return "";
}

}  // namespace

std::string purposeIn(TableLanguage language, const std::wstring& serviceKey)
{
    const Purpose* purpose = purposeOf(serviceKey);
    return purpose ? toUtf8(inLanguage(language, purpose->english, purpose->chinese, purpose->traditional)) : "";
}

namespace {

struct NeedsTableWords {
    const char* header;
    const char* notNeeded;
};

constexpr NeedsTableWords kEnglishNeeds{
    "| service | key | Windows XP, Server 2003 | Windows Vista and later | what it does |\n", "not needed"};
constexpr NeedsTableWords kChineseNeeds{"| 服务 | 服务名 | Windows XP、Server 2003 | Windows Vista 及以后的版本 | 作用 |\n",
                                        "不需要"};
constexpr NeedsTableWords kTraditionalNeeds{
    "| 服務 | 服務名稱 | Windows XP、Server 2003 | Windows Vista 及更新版本 | 用途 |\n", "不需要"};

}  // namespace

std::string windowsNeedsTable(TableLanguage language)
{
    const NeedsTableWords& words = inLanguage(language, kEnglishNeeds, kChineseNeeds, kTraditionalNeeds);
    std::string table = std::string(words.header) + "|---|---|---|---|---|\n";
    for (const std::wstring& key : catalogueKeys(Lists::Designed)) {
        const Guidance later = guidanceFor(key, WindowsGeneration::VistaAndLater);
        const std::string purpose = purposeIn(language, key);
        table += "| " + toUtf8(displayNameOf(key)) + " | `" + toUtf8(key) + "` | " + words.notNeeded + " | "
            + guidanceText(language, later) + " | " + (purpose.empty() ? "-" : purpose) + " |\n";
    }
    return table;
}

}  // namespace quillora
