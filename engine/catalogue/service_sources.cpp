#include "engine/catalogue/service_sources.h"

#include <array>

#include "engine/catalogue/catalogue.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

constexpr std::array<Publication, 5> kPublications{{
    {"S1", "Guidance on disabling system services on Windows Server 2016 with Desktop Experience",
     "https://learn.microsoft.com/windows-server/security/windows-services/"
     "security-guidelines-for-disabling-system-services-in-windows-server"},
    {"S2", "Optimizing Windows configuration for VDI desktops",
     "https://learn.microsoft.com/windows-server/remote/remote-desktop-services/"
     "remote-desktop-services-vdi-optimize-configuration"},
    {"S3", "Per-user services in Windows",
     "https://learn.microsoft.com/windows/application-management/per-user-services-in-windows"},
    {"S4", "Virtual Desktop Optimization Tool, 2009/ConfigurationFiles/Services.json",
     "https://github.com/The-Virtual-Desktop-Team/Virtual-Desktop-Optimization-Tool"},
    {"S10", "Policy CSP - SystemServices",
     "https://learn.microsoft.com/windows/client-management/mdm/policy-csp-systemservices"},
}};
constexpr const Publication* S1 = &kPublications[0];
constexpr const Publication* S2 = &kPublications[1];
constexpr const Publication* S3 = &kPublications[2];
constexpr const Publication* S4 = &kPublications[3];
constexpr const Publication* S10 = &kPublications[4];

// What the publications say of one service. A service is on the list only where at least two of
// them rate it safe to turn off for a desktop that does not use its feature.
struct Entry {
    const wchar_t* serviceKey;
    std::array<Citation, 5> citations;  // unused places come from no publication
};

// S4 rates by its own setting ("Disabled"); S10 and S3 give the defaults of Windows 10 and 11.
constexpr std::array<Entry, 14> kEntries{{
    {L"XblAuthManager",
     {{{S1, "Should be disabled"},
       {S2, "If this service is stopped, some applications may not operate correctly."},
       {S4, "Disabled"},
       {S10, "Default: Manual."}}}},
    {L"XblGameSave",
     {{{S1, "Should be disabled"},
       {S2, "If this service is stopped, game save data doesn't upload to or download from Xbox Live."},
       {S4, "Disabled"},
       {S10, "Default: Manual."}}}},
    {L"XboxNetApiSvc",
     {{{S2, "This service supports the Windows.Networking.XboxLive application programming interface."},
       {S4, "Disabled"},
       {S10, "Default: Manual."}}}},
    {L"XboxGipSvc",
     {{{S2, "This service manages connected Xbox Accessories."}, {S4, "Disabled"}, {S10, "Default: Manual."}}}},
    {L"BcastDVRUserService",
     {{{S2, "NOTE: This is a 'per-user service', and as such, the template service must be disabled."},
       {S3, "Windows uses this user service for game recordings and live broadcasts."},
       {S3, "default Manual", false},
       {S4, "Disabled"}}}},
    {L"lfsvc",
     {{{S1, "OK to disable: Disabling breaks apps that rely on the service; OK to disable if apps not relying on it"},
       {S2, "If you turn off this service, applications are unable to use or receive notifications for geolocation"
              " or geofences."},
       {S4, "Disabled"}}}},
    {L"MapsBroker",
     {{{S1, "OK to disable: Disabling breaks apps that rely on the service; OK to disable if apps not relying on it"},
       {S2, "Disabling this service prevents apps from accessing maps."},
       {S4, "Disabled"}}}},
    {L"icssvc",
     {{{S1, "OK to disable"},
       {S2, "Provides the ability to share a cellular data connection with another device."},
       {S4, "Disabled"}}}},
    {L"autotimesvc",
     {{{S2, "This service sets time based on NITZ messages from a Mobile Network"}, {S4, "Disabled"}}}},
    {L"MessagingService",
     {{{S2, "Service supporting text messaging and related functionality."},
       {S3, "default Manual", false},
       {S4, "Disabled"}}}},
    {L"SmsRouter",
     {{{S2, "May not need this service, if other tools are used for messaging, such as Teams."},
       {S4, "Disabled"}}}},
    {L"SEMgrSvc",
     {{{S2, "May not need this service for payments, in the enterprise environment."}, {S4, "Disabled"}}}},
    {L"OneSyncSvc",
     {{{S1, "OK to disable: User service template"},
       {S2, "(UWP) Mail and other applications dependent on this functionality don't work properly when this"
              " service isn't running."},
       {S3, "default Automatic (Delayed Start)", false}}}},
    {L"PimIndexMaintenanceSvc",
     {{{S1, "OK to disable: contacts might be missing from your search results"},
       {S2, "listed among the services to turn off", false},
       {S3, "default Manual; one of the four user services that you can't manage with a security template",
        false}}}},
}};

struct SourcesTableWords {
    const char* header;
    const char* publicationsHeader;
    const char* templateNote;
};

constexpr SourcesTableWords kEnglishSources{"| log | service | key | question | restore sets | what Microsoft says |\n",
                              "| source | publication |\n", " (per-user template: from each user's next sign-in)"};
constexpr SourcesTableWords kChineseSources{"| 编号 | 服务 | 服务名 | 问题 | 恢复系统默认 | 微软的说法 |\n", "| 来源 | 文档 |\n",
                              "（按用户的服务模板：每个用户下次登录时生效）"};

std::string citationsText(const std::wstring& serviceKey)
{
    std::string text;
    for (const Citation& citation : citationsFor(serviceKey)) {
        const char* quote = citation.quoted ? "\"" : "";
        text.append(text.empty() ? "" : "; ").append(citation.from->id).append(": ");
        text.append(quote).append(citation.says).append(quote);
    }
    return text;
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

std::string windows10SourcesTable(TableLanguage language)
{
    const SourcesTableWords& words = language == TableLanguage::Chinese ? kChineseSources : kEnglishSources;
    std::string table = std::string(words.header) + "|---|---|---|---|---|---|\n";
    for (const std::wstring& key : windows10ListKeys()) {
        const std::optional<AnswerFlag> question = questionOf(key);
        const ActionKind restore = catalogueStep(Profile::Restore, Lists::WithWindows10,
                                                 catalogueIndex(Lists::WithWindows10, key)).action;
        table += "| " + toUtf8(labelOf(key)) + " | " + toUtf8(displayNameOf(key))
            + (isUserTemplate(key) ? words.templateNote : "") + " | `" + toUtf8(key) + "` | "
            + (question ? topicInTable(language, *question) : "-") + " | " + actionInTable(language, restore) + " | "
            + citationsText(key) + " |\n";
    }
    table += std::string("\n") + words.publicationsHeader + "|---|---|\n";
    for (const Publication& publication : publications())
        table += std::string("| ") + publication.id + " | [" + publication.title + "](" + publication.link + ") |\n";
    return table;
}

}  // namespace quillora
