#include "engine/catalogue/catalogue.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>


namespace quillora {
namespace {

// What one profile does with one catalogue row.
struct Cell {
    bool runs;
    ActionKind action;
    std::optional<RowQuestion> question;
};

constexpr Cell StopDisable{true, ActionKind::StopAndDisable, std::nullopt};
constexpr Cell StopManual{true, ActionKind::StopAndManual, std::nullopt};
constexpr Cell ManualOnly{true, ActionKind::ManualOnly, std::nullopt};
constexpr Cell StartAuto{true, ActionKind::StartAndAutomatic, std::nullopt};
constexpr Cell DisableOnly{true, ActionKind::DisableOnly, std::nullopt};
constexpr Cell DelayedAutoOnly{true, ActionKind::DelayedAutomaticOnly, std::nullopt};
constexpr Cell ManualIfDisabled{true, ActionKind::ManualIfDisabled, std::nullopt};
constexpr Cell Keep{true, ActionKind::Keep, std::nullopt};
constexpr Cell NotRun{false, ActionKind::ManualOnly, std::nullopt};

// A row that the answer to one of the wizard's questions decides.
constexpr Cell ask(AnswerFlag flag, const Cell& ifYes, const Cell& ifNo)
{
    return {true, ifNo.action, RowQuestion{flag, ifYes.action}};
}

struct Row {
    const wchar_t* label;
    const wchar_t* displayName;
    const wchar_t* serviceKey;
    Cell prompted;
    Cell automatic;
    Cell restore;
    // What Microsoft's guidance for Windows Vista and later says of it; see Guidance.
    Guidance laterWindows = Guidance::NotListed;
    Lists list = Lists::Designed;  // the lists that first reach the row
    ServiceKind kind = ServiceKind::Classic;
    const wchar_t* chineseName = nullptr;  // where the question windows name the service in Chinese
    const wchar_t* traditionalName = nullptr;  // and in Traditional Chinese
};

// A service of Windows 10 and 11 that a question decides: "yes" keeps it as Windows has it, "no"
// turns it off. A per-user template never runs, so its "no" sets the mode alone.
constexpr Row windows10Row(const wchar_t* label, const wchar_t* displayName, const wchar_t* chineseName,
                           const wchar_t* traditionalName, const wchar_t* serviceKey, AnswerFlag flag, const Cell& restore,
                           ServiceKind kind = ServiceKind::Classic)
{
    const Cell& no = kind == ServiceKind::Classic ? StopDisable : DisableOnly;
    return {label,   displayName, serviceKey, ask(flag, Keep, no), Keep, restore, Guidance::NotListed,
            Lists::WithWindows10, kind, chineseName, traditionalName};
}

// The order of the rows is the order in which every profile touches the services.
constexpr std::array<Row, 74> kCatalogue{{
    {L"1", L"Alerter", L"Alerter", StopDisable, StopDisable, StopDisable},
    {L"2", L"Application Layer Gateway Service", L"ALG", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"3.1", L"ASP.NET State Service", L"aspnet_state", StopManual, StopManual, ManualOnly},
    {L"3.2", L"Ati HotKey Poller", L"Ati HotKey Poller", StopDisable, StopDisable, ManualOnly},
    {L"3.3", L"ATI Smart", L"ATI Smart", StopDisable, StopDisable, ManualOnly},
    {L"4", L"automatic updates", L"wuauserv", StopDisable, StopDisable, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"5", L"Background Intelligent Transfer Service", L"BITS", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"6", L"ClipBook", L"ClipSrv", StopDisable, StopDisable, StopDisable},
    {L"8", L"COM+ System Application", L"COMSysApp", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"10", L"Cryptographic Services", L"CryptSvc", StopManual, StopManual, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"14", L"Distributed Link Tracking Client", L"TrkWks", StopDisable, StopDisable, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"15", L"Distributed Transaction Coordinator", L"MSDTC", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"17", L"Error Reporting Service", L"ERSvc", StopDisable, StopDisable, StartAuto},
    {L"19", L"Fast User Switching Compatibility", L"FastUserSwitchingCompatibility", StopDisable, StopDisable, ManualOnly},
    {L"20", L"Help and Support", L"helpsvc", StopDisable, StopDisable, StartAuto},
    {L"21", L"HTTP SSL", L"HTTPFilter", StopManual, StopManual, ManualOnly},
    {L"22", L"Human Interface Device Access", L"HidServ", StopDisable, StopDisable, StopDisable, Guidance::KeepDefault},  // No guidance
    {L"23", L"IMAPI CD-Burning COM Service", L"ImapiService", ask(AnswerFlag::CdBurner, ManualOnly, StopDisable), ManualOnly, ManualOnly},
    {L"24", L"Indexing Service", L"CiSvc", StopDisable, StopDisable, ManualOnly},
    {L"25", L"IPSEC Services", L"PolicyAgent", StopDisable, StopDisable, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"27", L"Logical Disk Manager Administrative Service", L"dmadmin", StopDisable, StopDisable, ManualOnly},
    {L"28", L"Messenger", L"Messenger", StopDisable, StopDisable, StopDisable},
    {L"29", L"MS Software Shadow Copy Provider", L"SwPrv", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"30", L"Net Logon", L"Netlogon", StopManual, StopManual, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"31", L"NetMeeting Remote Desktop Sharing", L"mnmsrvc", StopManual, StopManual, ManualOnly},
    {L"33", L"Network DDE", L"NetDDE", StopDisable, StopDisable, StopDisable},
    {L"34", L"Network DDE DSDM", L"NetDDEdsdm", StopManual, StopManual, StopManual},
    {L"35", L"Network Location Awareness (NLA)", L"Nla", StopManual, StopManual, ManualOnly},
    {L"36", L"Network Provisioning Service", L"xmlprov", StopDisable, StopDisable, ManualOnly},
    {L"37", L"NT LM Security Support Provider", L"NtLmSsp", StopManual, StopManual, ManualOnly},
    {L"38", L"NVIDIA Driver Helper Service", L"NVSvc", StopDisable, StopDisable, ManualOnly},
    {L"38.1", L"Office Source Engine", L"ose", StopManual, StopManual, ManualOnly},
    {L"39", L"Performance Logs and Alerts", L"Sysmonlog", StopDisable, StopDisable, ManualOnly},
    {L"41", L"Portable Media Serial Number Service", L"WmDmPmSN", StopDisable, StopDisable, ManualOnly},
    {L"42", L"Print Spooler", L"Spooler", ask(AnswerFlag::Printer, ManualOnly, StopDisable), ManualOnly, ManualOnly, Guidance::MayDisable},  // OK to disable if not a print server or a DC
    {L"44", L"QoS RSVP", L"RSVP", StopManual, StopManual, ManualOnly},
    {L"45", L"Remote Access Auto Connection Manager", L"RasAuto", StopManual, StopManual, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"47", L"Remote Desktop Help Session Manager", L"RDSessMgr", StopManual, StopManual, ManualOnly},
    {L"50", L"Remote Registry", L"RemoteRegistry", StopDisable, StopDisable, StartAuto, Guidance::DoNotDisable},  // Do not disable
    {L"51", L"Removable Storage", L"NtmsSvc", StopManual, StopManual, ManualOnly},
    {L"52", L"Routing and Remote Access", L"RemoteAccess", StopDisable, StopDisable, StopDisable, Guidance::MayDisable},  // Already disabled
    {L"58", L"Smart Card", L"SCardSvr", StopDisable, StopDisable, ManualOnly, Guidance::MayDisable},  // Already disabled
    {L"59", L"SSDP Discovery Service", L"SSDPSRV", StopDisable, StopDisable, ManualOnly, Guidance::MayDisable},  // OK to disable
    {L"60", L"System Event Notification", L"SENS", StopDisable, StopDisable, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"61", L"System Restore Service", L"srservice", StopDisable, StopDisable, StopDisable},
    {L"62", L"Task Scheduler", L"Schedule", StopDisable, StopDisable, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"63", L"TCP/IP NetBIOS Helper", L"LmHosts", StopManual, StopManual, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"65", L"Telnet", L"TlntSvr", StopDisable, StopDisable, StopDisable},
    {L"66", L"Terminal Services", L"TermService", StopDisable, StopDisable, ManualOnly, Guidance::DoNotDisable},  // Do not disable
    {L"68", L"Uninterruptible Power Supply", L"UPS", StopDisable, StopDisable, ManualOnly},
    {L"70", L"Volume Shadow Copy", L"VSS", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"71", L"WebClient", L"WebClient", StopDisable, StopDisable, StartAuto},
    {L"74", L"Windows Image Acquisition (WIA)", L"stisvc", ask(AnswerFlag::Imaging, ManualOnly, StopDisable), ManualOnly, ManualOnly, Guidance::MayDisable},  // OK to disable
    {L"75", L"Windows Installer", L"MSIServer", StopManual, StopManual, ManualOnly, Guidance::KeepDefault},  // No guidance
    {L"77", L"Windows Management Instrumentation Driver Extensions", L"WMI", StopManual, StopManual, ManualOnly},
    {L"78", L"Windows Time", L"W32Time", StopDisable, StopDisable, StartAuto, Guidance::KeepDefault},  // No guidance
    {L"78.1", L"Windows User Mode Driver Framework", L"UMWdf", StopDisable, StopDisable, ManualOnly},
    {L"79", L"Wireless Zero Configuration", L"WZCSVC", StopManual, StopManual, StartAuto},
    {L"79.1", L"Themes", L"Themes", NotRun, NotRun, StartAuto, Guidance::DoNotDisable},  // Do not disable
    {L"80", L"WMI Performance Adapter", L"WmiApSrv", StopDisable, StopDisable, ManualOnly, Guidance::KeepDefault},  // No guidance
    // Windows 10 and 11 only, each rated safe to turn off by two of Microsoft's own publications.
    // The Traditional Chinese names are those Microsoft's zh-TW documentation gives; where it gives
    // none, the English name stands, as those pages leave Xbox services' names in English.
    // (engine/catalogue/service_sources.cpp). Restore sets the client default that Microsoft publishes where
    // it publishes one; elsewhere it only gives a disabled service back its start on demand.
    windows10Row(L"81", L"Xbox Live Auth Manager", L"Xbox Live 身份验证管理器",
                 L"Xbox Live Auth Manager", L"XblAuthManager", AnswerFlag::Xbox, ManualOnly),
    windows10Row(L"82", L"Xbox Live Game Save", L"Xbox Live 游戏保存",
                 L"Xbox Live Game Save", L"XblGameSave", AnswerFlag::Xbox, ManualOnly),
    windows10Row(L"83", L"Xbox Live Networking Service", L"Xbox Live 网络服务",
                 L"Xbox Live Networking Service", L"XboxNetApiSvc", AnswerFlag::Xbox, ManualOnly),
    windows10Row(L"84", L"Xbox Accessory Management Service", L"Xbox 配件管理服务",
                 L"Xbox 配件管理服務", L"XboxGipSvc", AnswerFlag::Xbox, ManualOnly),
    windows10Row(L"85", L"GameDVR and Broadcast User Service", L"GameDVR 和广播用户服务",
                 L"GameDVR 和廣播使用者服務", L"BcastDVRUserService", AnswerFlag::Xbox, ManualOnly,
                 ServiceKind::UserTemplate),
    windows10Row(L"86", L"Geolocation Service", L"地理定位服务",
                 L"地理位置服務", L"lfsvc", AnswerFlag::Location, ManualIfDisabled),
    windows10Row(L"87", L"Downloaded Maps Manager", L"已下载的地图管理器",
                 L"已下載的地圖管理員", L"MapsBroker", AnswerFlag::Location, ManualIfDisabled),
    windows10Row(L"88", L"Windows Mobile Hotspot Service", L"Windows 移动热点服务",
                 L"Windows 行動熱點服務", L"icssvc", AnswerFlag::Cellular, ManualIfDisabled),
    windows10Row(L"89", L"Cellular Time", L"蜂窝时间",
                 L"Cellular Time", L"autotimesvc", AnswerFlag::Cellular, ManualIfDisabled),
    windows10Row(L"90", L"MessagingService", L"MessagingService",
                 L"MessagingService", L"MessagingService", AnswerFlag::Cellular, ManualOnly,
                 ServiceKind::UserTemplate),
    windows10Row(L"91", L"Microsoft Windows SMS Router Service", L"短信路由服务",
                 L"Microsoft Windows SMS Router Service", L"SmsRouter", AnswerFlag::Cellular, ManualIfDisabled),
    windows10Row(L"92", L"Payments and NFC/SE Manager", L"付款和 NFC/SE 管理器",
                 L"Payments and NFC/SE Manager", L"SEMgrSvc", AnswerFlag::Nfc, ManualIfDisabled),
    windows10Row(L"93", L"Sync Host", L"同步主机",
                 L"同步主機", L"OneSyncSvc", AnswerFlag::Mail, DelayedAutoOnly, ServiceKind::UserTemplate),
    windows10Row(L"94", L"Contact Data", L"联系人数据",
                 L"連絡人資料", L"PimIndexMaintenanceSvc", AnswerFlag::Mail, ManualOnly,
                 ServiceKind::UserTemplateOutsideSecurityTemplates),
}};

const Cell& cellOf(const Row& row, Profile profile)
{
    switch (profile) {
    case Profile::Prompted:
        return row.prompted;
    case Profile::Automatic:
        return row.automatic;
    case Profile::Own:
        return NotRun;  // the user's own choice, not the catalogue's, decides its rows
    case Profile::Restore:
        break;
    }
    return row.restore;
}

const Row* rowOf(const std::wstring& serviceKey)
{
    const auto row = std::find_if(kCatalogue.begin(), kCatalogue.end(),
                                  [&](const Row& each) { return serviceKey == each.serviceKey; });
    return row == kCatalogue.end() ? nullptr : &*row;
}

bool reaches(Lists lists, const Row& row)
{
    return row.list == Lists::Designed || lists == Lists::WithWindows10;
}

}  // namespace

Lists listsFor(const std::optional<WindowsVersion>& windows)
{
    return windows && hasWindows10Services(*windows) ? Lists::WithWindows10 : Lists::Designed;
}

std::vector<ServiceStep> profileSteps(Profile profile, Lists lists)
{
    std::vector<ServiceStep> steps;
    for (const Row& row : kCatalogue) {
        const Cell& cell = cellOf(row, profile);
        if (cell.runs && reaches(lists, row))
            steps.push_back({row.label, row.displayName, row.serviceKey, cell.action, cell.question});
    }
    return steps;
}

ServiceStep catalogueStep(Profile profile, Lists lists, std::size_t index)
{
    std::size_t seen = 0;
    for (const Row& row : kCatalogue) {
        if (!reaches(lists, row))
            continue;
        if (seen++ == index) {
            const Cell& cell = cellOf(row, profile);
            return {row.label, row.displayName, row.serviceKey, cell.action, cell.question};
        }
    }
    throw std::out_of_range("no such row in the lists");
}

bool inProfile(Profile profile, const std::wstring& serviceKey)
{
    const Row* row = rowOf(serviceKey);
    return row && cellOf(*row, profile).runs;
}

std::vector<std::wstring> catalogueKeys()
{
    std::vector<std::wstring> keys;
    for (const Row& row : kCatalogue)
        keys.push_back(row.serviceKey);
    return keys;
}

std::optional<std::wstring> catalogueSpelling(const std::wstring& given)
{
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (const Row& row : kCatalogue) {
        const std::wstring key = row.serviceKey;
        if (key.size() == given.size()
            && std::equal(key.begin(), key.end(), given.begin(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); }))
            return key;
    }
    return std::nullopt;
}

ServiceKind kindOf(const std::wstring& serviceKey)
{
    const Row* row = rowOf(serviceKey);
    return row ? row->kind : ServiceKind::Classic;
}

std::vector<std::wstring> catalogueKeys(Lists lists)
{
    std::vector<std::wstring> keys;
    for (const Row& row : kCatalogue) {
        if (reaches(lists, row))
            keys.push_back(row.serviceKey);
    }
    return keys;
}

Guidance guidanceFor(const std::wstring& serviceKey, WindowsGeneration generation)
{
    const Row* row = rowOf(serviceKey);
    if (generation == WindowsGeneration::XpAndServer2003 || !row)
        return Guidance::NotListed;
    return row->laterWindows;
}

bool isNeeded(const std::wstring& serviceKey, WindowsGeneration generation)
{
    const Guidance guidance = guidanceFor(serviceKey, generation);
    return guidance == Guidance::DoNotDisable || guidance == Guidance::KeepDefault;
}

std::vector<std::wstring> windows10ListKeys()
{
    std::vector<std::wstring> keys;
    for (const Row& row : kCatalogue) {
        if (row.list == Lists::WithWindows10)
            keys.push_back(row.serviceKey);
    }
    return keys;
}

std::size_t catalogueIndex(Lists lists, const std::wstring& serviceKey)
{
    const std::vector<std::wstring> keys = catalogueKeys(lists);
    return static_cast<std::size_t>(std::find(keys.begin(), keys.end(), serviceKey) - keys.begin());
}

bool isUserTemplate(const std::wstring& serviceKey)
{
    return kindOf(serviceKey) != ServiceKind::Classic;
}

std::optional<AnswerFlag> questionOf(const std::wstring& serviceKey)
{
    const Row* row = rowOf(serviceKey);
    if (!row || !row->prompted.question)
        return std::nullopt;
    return row->prompted.question->flag;
}

std::wstring displayNameOf(const std::wstring& serviceKey)
{
    const Row* row = rowOf(serviceKey);
    return row ? row->displayName : serviceKey;
}

std::vector<std::wstring> keysAskedBy(AnswerFlag flag)
{
    std::vector<std::wstring> keys;
    for (const Row& row : kCatalogue) {
        if (row.prompted.question && row.prompted.question->flag == flag)
            keys.push_back(row.serviceKey);
    }
    return keys;
}

std::wstring serviceNameIn(TableLanguage language, const std::wstring& serviceKey)
{
    const Row* row = rowOf(serviceKey);
    const wchar_t* name = !row ? nullptr : inLanguage<const wchar_t*>(language, nullptr, row->chineseName, row->traditionalName);
    return name ? name : displayNameOf(serviceKey);
}

std::wstring labelOf(const std::wstring& serviceKey)
{
    const Row* row = rowOf(serviceKey);
    return row ? row->label : L"";
}

ActionKind performedAction(const ServiceStep& step, const Answers& answers)
{
    return step.question && answers.yes(step.question->flag) ? step.question->ifYes : step.action;
}

const char* profileName(Profile profile)
{
    switch (profile) {
    case Profile::Prompted:
        return "prompted";
    case Profile::Automatic:
        return "automatic";
    case Profile::Own:
        return "own";
    case Profile::Restore:
        break;
    }
    return "restore";
}

}  // namespace quillora
