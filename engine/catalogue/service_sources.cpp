#include "engine/catalogue/service_sources.h"

#include <array>

#include "engine/catalogue/catalogue.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

// The Chinese editions were read in Microsoft's translations of its documentation, as the
// repositories MicrosoftDocs/windowsserverdocs.zh-cn and windowsserverdocs.zh-tw publish them (S1:
// security/windows-services/security-guidelines-for-disabling-system-services-in-windows-server.md;
// S2: remote/remote-desktop-services/rds_vdi-recommendations-1909.md, its table of system services);
// the addresses are the pages Learn makes of those files.
constexpr std::array<Publication, 5> kPublications{{
    {"S1",
     {"Guidance on disabling system services on Windows Server 2016 with Desktop Experience",
      "https://learn.microsoft.com/windows-server/security/windows-services/"
      "security-guidelines-for-disabling-system-services-in-windows-server"},
     {"有关在带有桌面体验的 Windows Server 2016 中禁用系统服务的指南",
      "https://learn.microsoft.com/zh-cn/windows-server/security/windows-services/"
      "security-guidelines-for-disabling-system-services-in-windows-server"},
     {"在包含桌面體驗的 Windows Server 2016 上停用系統服務的指引",
      "https://learn.microsoft.com/zh-tw/windows-server/security/windows-services/"
      "security-guidelines-for-disabling-system-services-in-windows-server"}},
    // Microsoft's Chinese editions of this guidance are of its Windows 10 version 1909 edition,
    // whose table of services the current one grew from.
    {"S2",
     {"Optimizing Windows configuration for VDI desktops",
      "https://learn.microsoft.com/windows-server/remote/remote-desktop-services/"
      "remote-desktop-services-vdi-optimize-configuration"},
     {"针对虚拟桌面基础结构 (VDI) 角色优化 Windows 10 版本 1909",
      "https://learn.microsoft.com/zh-cn/windows-server/remote/remote-desktop-services/rds_vdi-recommendations-1909"},
     {"針對虛擬桌面基礎結構 (VDI) 角色將 Windows 10 版本 1909 最佳化",
      "https://learn.microsoft.com/zh-tw/windows-server/remote/remote-desktop-services/rds_vdi-recommendations-1909"}},
    {"S3",
     {"Per-user services in Windows",
      "https://learn.microsoft.com/windows/application-management/per-user-services-in-windows"},
     {},
     {}},
    {"S4",
     {"Virtual Desktop Optimization Tool, 2009/ConfigurationFiles/Services.json",
      "https://github.com/The-Virtual-Desktop-Team/Virtual-Desktop-Optimization-Tool"},
     {},
     {}},
    {"S5",
     {"Policy CSP - SystemServices",
      "https://learn.microsoft.com/windows/client-management/mdm/policy-csp-systemservices"},
     {},
     {}},
}};
constexpr const Publication* S1 = &kPublications[0];
constexpr const Publication* S2 = &kPublications[1];
constexpr const Publication* S3 = &kPublications[2];
constexpr const Publication* S4 = &kPublications[3];
constexpr const Publication* S5 = &kPublications[4];

constexpr CitedWords quote(const char* text)
{
    return {text, Said::Quoted};
}

constexpr CitedWords rendered(const char* text)
{
    return {text, Said::Translated};
}

constexpr CitedWords gives(const char* text)
{
    return {text, Said::Described};
}

// The same words from S4 and S5 for many services.
constexpr Citation kVdotDisabled{S4, quote("Disabled"), gives("设为 Disabled（禁用）"), gives("設為 Disabled（停用）")};
constexpr Citation kDefaultManual{S5, quote("Default: Manual."), rendered("默认值：手动。"), rendered("預設值：手動。")};
constexpr Citation kShouldBeDisabled{S1, quote("Should be disabled"), quote("应该禁用"), quote("應該停用")};
constexpr Citation kBreaksAppsRelyingOnIt{
    S1, quote("OK to disable: Disabling breaks apps that rely on the service; OK to disable if apps not relying on it"),
    quote("可以禁用：禁用该服务会中断依赖于它的应用；如果应用不依赖于它，则可将其禁用"),
    quote("確定停用：停用中斷依賴服務的應用程式；如果應用程式未依賴它，則確定停用")};

// What the publications say of one service. A service is on the list only where at least two of
// them rate it safe to turn off for a desktop that does not use its feature.
struct Entry {
    const wchar_t* serviceKey;
    std::array<Citation, 4> citations;  // unused places come from no publication
};

// S4 rates by its own setting ("Disabled"); S5 and S3 give the defaults of Windows 10 and 11. The
// Chinese words are Microsoft's where its Chinese edition of the publication holds the same
// sentence (S1's, and S2's edition for Windows 10 version 1909); elsewhere they are the
// program's, and say so.
constexpr std::array<Entry, 14> kEntries{{
    {L"XblAuthManager",
     {{kShouldBeDisabled,
       {S2, quote("If this service is stopped, some applications may not operate correctly."),
        rendered("如果此服务已停止，某些应用程序可能无法正常运行。"), rendered("如果停止此服務，某些應用程式可能無法正確運作。")},
       kVdotDisabled,
       kDefaultManual}}},
    {L"XblGameSave",
     {{kShouldBeDisabled,
       {S2, quote("If this service is stopped, game save data doesn't upload to or download from Xbox Live."),
        rendered("如果此服务已停止，游戏存档数据不会上传到 Xbox Live，也不会从 Xbox Live 下载。"),
        rendered("如果停止此服務，遊戲儲存資料將不會上傳至 Xbox Live，也不會從 Xbox Live 下載。")},
       kVdotDisabled,
       kDefaultManual}}},
    {L"XboxNetApiSvc",
     {{{S2, quote("This service supports the Windows.Networking.XboxLive application programming interface."),
        rendered("此服务支持 Windows.Networking.XboxLive 应用程序编程接口。"),
        rendered("此服務支援 Windows.Networking.XboxLive 應用程式開發介面。")},
       kVdotDisabled,
       kDefaultManual}}},
    {L"XboxGipSvc",
     {{{S2, quote("This service manages connected Xbox Accessories."), rendered("此服务管理已连接的 Xbox 配件。"),
        rendered("此服務管理已連線的 Xbox 配件。")},
       kVdotDisabled,
       kDefaultManual}}},
    {L"BcastDVRUserService",
     {{{S2, quote("NOTE: This is a 'per-user service', and as such, the template service must be disabled."),
        quote("这是一个基于用户的服务，因此，必须禁用模板服务。"), quote("這是每一使用者服務，因此 範本服務 必須停用。")},
       {S3, quote("Windows uses this user service for game recordings and live broadcasts."),
        rendered("Windows 使用此用户服务进行游戏录制和实时广播。"), rendered("Windows 使用這項使用者服務進行遊戲錄影和即時廣播。")},
       {S3, gives("default Manual"), gives("默认为手动"), gives("預設為手動")},
       kVdotDisabled}}},
    {L"lfsvc",
     {{kBreaksAppsRelyingOnIt,
       {S2,
        quote("If you turn off this service, applications are unable to use or receive notifications for geolocation"
              " or geofences."),
        rendered("如果关闭此服务，应用程序将无法使用地理位置或地理围栏，也无法接收它们的通知。"),
        rendered("如果關閉此服務，應用程式將無法使用地理位置或地理柵欄，也無法接收其通知。")},
       kVdotDisabled}}},
    {L"MapsBroker",
     {{kBreaksAppsRelyingOnIt,
       {S2, quote("Disabling this service prevents apps from accessing maps."), quote("禁用此服务可防止应用访问地图。"),
        quote("停用此服務將讓應用程式無法存取地圖。")},
       kVdotDisabled}}},
    {L"icssvc",
     {{{S1, quote("OK to disable"), quote("可以禁用"), quote("確定停用")},
       {S2, quote("Provides the ability to share a cellular data connection with another device."),
        quote("提供与另一台设备共享手机网络数据连接的功能。"), quote("提供與其他裝置共用行動數據連線的能力。")},
       kVdotDisabled}}},
    {L"autotimesvc",
     {{{S2, quote("This service sets time based on NITZ messages from a Mobile Network"),
        rendered("此服务根据移动网络的 NITZ 消息设置时间"), rendered("此服務根據行動網路的 NITZ 訊息設定時間")},
       kVdotDisabled}}},
    {L"MessagingService",
     {{{S2, quote("Service supporting text messaging and related functionality."), quote("支持短信和相关功能的服务。"),
        quote("支援文字訊息和相關功能的服務。")},
       {S3, gives("default Manual"), gives("默认为手动"), gives("預設為手動")},
       kVdotDisabled}}},
    {L"SmsRouter",
     {{{S2, quote("May not need this service, if other tools are used for messaging, such as Teams."),
        rendered("如果使用 Teams 等其他工具收发消息，可能不需要此服务。"),
        rendered("如果使用 Teams 等其他工具傳送訊息，可能不需要此服務。")},
       kVdotDisabled}}},
    {L"SEMgrSvc",
     {{{S2, quote("May not need this service for payments, in the enterprise environment."),
        rendered("在企业环境中，可能不需要用此服务付款。"), rendered("在企業環境中，可能不需要以此服務付款。")},
       kVdotDisabled}}},
    {L"OneSyncSvc",
     {{{S1, quote("OK to disable: User service template"), quote("可以禁用：用户服务模板"),
        quote("確定停用：使用者服務範本")},
       {S2,
        quote("(UWP) Mail and other applications dependent on this functionality don't work properly when this"
              " service isn't running."),
        rendered("（UWP）此服务未运行时，邮件和依赖此功能的其他应用程序无法正常工作。"),
        rendered("（UWP）此服務未執行時，郵件與相依於此功能的其他應用程式將無法正常運作。")},
       {S3, gives("default Automatic (Delayed Start)"), gives("默认为自动（延迟启动）"), gives("預設為自動 (延遲開始)")}}}},
    {L"PimIndexMaintenanceSvc",
     {{{S1, quote("OK to disable: contacts might be missing from your search results"),
        quote("可以禁用：如果停止或禁用此服务，搜索结果中可能会缺少联系人。"),
        quote("確定停用：如果您停止或停用此服務，則搜尋結果中可能會遺漏連絡人資訊。")},
       {S2, gives("listed among the services to turn off"), gives("列在要关闭的服务中"), gives("列在要關閉的服務中")},
       {S3, gives("default Manual; one of the four user services that you can't manage with a security template"),
        gives("默认为手动；无法用安全模板管理的四个用户服务之一"),
        gives("預設為手動；無法以安全性範本管理的四個使用者服務之一")}}}},
}};

// How a language marks quoted words, and the program's renderings of them.
struct QuotingWords {
    const char* open;
    const char* close;
    const char* renderedMark;
};

constexpr QuotingWords kEnglishQuoting{"\"", "\"", ""};
constexpr QuotingWords kChineseQuoting{"“", "”", "（本程序译文）"};
constexpr QuotingWords kTraditionalQuoting{"「", "」", "（本程式譯文）"};

const CitedWords& wordsIn(const Citation& citation, TableLanguage language)
{
    return inLanguage(language, citation.english, citation.chinese, citation.traditional);
}

const Edition& chineseEdition(const Publication& publication, TableLanguage language)
{
    return language == TableLanguage::TraditionalChinese ? publication.traditional : publication.chinese;
}

struct SourcesTableWords {
    const char* header;
    const char* publicationsHeader;
    const char* templateNote;
    const char* between;       // between two citations
    const char* afterId;       // between a publication's id and its words
    const char* originalNote;  // before the English original of a Chinese edition
    const char* afterOriginal;
};

constexpr SourcesTableWords kEnglishSources{"| log | service | key | question | restore sets | what Microsoft says |\n",
                                            "| source | publication |\n",
                                            " (per-user template: from each user's next sign-in)",
                                            "; ",
                                            ": ",
                                            "",
                                            ""};
constexpr SourcesTableWords kChineseSources{"| 编号 | 服务 | 服务名 | 问题 | 恢复系统默认 | 微软的说法 |\n",
                                            "| 来源 | 文档 |\n",
                                            "（按用户的服务模板：每个用户下次登录时生效）",
                                            "；",
                                            "：",
                                            "（英文：",
                                            "）"};
constexpr SourcesTableWords kTraditionalSources{"| 編號 | 服務 | 服務名稱 | 問題 | 還原系統預設值 | 微軟的說法 |\n",
                                                "| 來源 | 文件 |\n",
                                                "（每一使用者服務範本：每位使用者下次登入時生效）",
                                                "；",
                                                "：",
                                                "（英文：",
                                                "）"};

std::string citationsText(const std::wstring& serviceKey, TableLanguage language, const SourcesTableWords& words)
{
    std::string text;
    for (const Citation& citation : citationsFor(serviceKey)) {
        text.append(text.empty() ? "" : words.between).append(citation.from->id).append(words.afterId);
        text += citedWords(citation, language);
    }
    return text;
}

std::string markdownLink(const Edition& edition)
{
    return std::string("[") + edition.title + "](" + edition.link + ")";
}

// A publication in a table: its edition in the language, and the English original beside a
// Chinese edition.
std::string publicationText(const Publication& publication, TableLanguage language, const SourcesTableWords& words)
{
    if (language == TableLanguage::English || !chineseEdition(publication, language).title)
        return markdownLink(publication.english);
    return markdownLink(chineseEdition(publication, language)) + words.originalNote + markdownLink(publication.english)
        + words.afterOriginal;
}

}  // namespace

std::span<const Publication> publications()
{
    return kPublications;
}

std::vector<Citation> citationsFor(const std::wstring& serviceKey)
{
    std::vector<Citation> citations;
    if (const Entry* entry = entryWithKey(kEntries, serviceKey)) {
        for (const Citation& citation : entry->citations) {
            if (citation.from)
                citations.push_back(citation);
        }
    }
    return citations;
}

std::vector<std::wstring> citedServices()
{
    std::vector<std::wstring> keys;
    for (const Entry& entry : kEntries)
        keys.push_back(entry.serviceKey);
    return keys;
}

std::string citedWords(const Citation& citation, TableLanguage language)
{
    const CitedWords& words = wordsIn(citation, language);
    const QuotingWords& quoting = inLanguage(language, kEnglishQuoting, kChineseQuoting, kTraditionalQuoting);
    if (words.said == Said::Described)
        return words.text;
    const std::string quoted = std::string(quoting.open) + words.text + quoting.close;
    return words.said == Said::Translated ? quoted + quoting.renderedMark : quoted;
}

const Edition& citedEdition(const Citation& citation, TableLanguage language)
{
    const bool quotesChinese = language != TableLanguage::English && wordsIn(citation, language).said == Said::Quoted;
    return quotesChinese ? chineseEdition(*citation.from, language) : citation.from->english;
}

std::string windows10SourcesTable(TableLanguage language)
{
    const SourcesTableWords& words = inLanguage(language, kEnglishSources, kChineseSources, kTraditionalSources);
    std::string table = std::string(words.header) + "|---|---|---|---|---|---|\n";
    for (const std::wstring& key : windows10ListKeys()) {
        const std::optional<AnswerFlag> question = questionOf(key);
        const ActionKind restore = catalogueStep(Profile::Restore, Lists::WithWindows10,
                                                 catalogueIndex(Lists::WithWindows10, key)).action;
        table += "| " + toUtf8(labelOf(key)) + " | " + toUtf8(displayNameOf(key))
            + (isUserTemplate(key) ? words.templateNote : "") + " | `" + toUtf8(key) + "` | "
            + (question ? questionTopicIn(language, *question) : "-") + " | " + actionInTable(language, restore) + " | "
            + citationsText(key, language, words) + " |\n";
    }
    table += std::string("\n") + words.publicationsHeader + "|---|---|\n";
    for (const Publication& publication : publications())
        table += std::string("| ") + publication.id + " | " + publicationText(publication, language, words) + " |\n";
    return table;
}

}  // namespace quillora
