#include "engine/catalogue/profile_table.h"

#include <optional>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/catalogue/wording.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

// The words of a table.
struct TableWords {
    const char* header;
    const char* asks;          // "asks: "
    const char* yes;           // "? yes: "
    const char* no;            // "; no: "
};

constexpr TableWords kEnglish{"| log | service | key | 按提问优化(建议) | 自动优化 | 恢复系统默认 |\n",
                              "asks: ",
                              "? yes: ",
                              "; no: "};
constexpr TableWords kChinese{"| 编号 | 服务 | 服务名 | 按提问优化(建议) | 自动优化 | 恢复系统默认 |\n",
                              "询问",
                              "？是：",
                              "；否："};
constexpr TableWords kTraditional{"| 編號 | 服務 | 服務名稱 | 依提問最佳化(建議) | 自動最佳化 | 還原系統預設值 |\n",
                                  "詢問",
                                  "？是：",
                                  "；否："};

const TableWords& tableWords(TableLanguage language)
{
    return inLanguage(language, kEnglish, kChinese, kTraditional);
}

// What one profile does to the service with this key, or a dash where it leaves it alone.
std::string cellText(TableLanguage language, const std::vector<ServiceStep>& steps, const std::wstring& key)
{
    const TableWords& words = tableWords(language);
    for (const ServiceStep& step : steps) {
        if (step.serviceKey != key)
            continue;
        if (!step.question)
            return actionInTable(language, step.action);
        Answers yes, no;
        yes[step.question->flag] = kAnswerYes;
        no[step.question->flag] = kAnswerNo;
        return std::string(words.asks) + questionTopicIn(language, step.question->flag) + words.yes
            + actionInTable(language, performedAction(step, yes)) + words.no
            + actionInTable(language, performedAction(step, no));
    }
    return "-";
}

}  // namespace

std::string actionInTable(TableLanguage language, ActionKind kind)
{
    return language == TableLanguage::English ? actionDescription(kind) : toUtf8(actionWords(wordingIn(language), kind));
}

std::string profileTable(TableLanguage language)
{
    const std::vector<ServiceStep> prompted = profileSteps(Profile::Prompted, Lists::WithWindows10);
    const std::vector<ServiceStep> automatic = profileSteps(Profile::Automatic, Lists::WithWindows10);
    const std::vector<ServiceStep> restore = profileSteps(Profile::Restore, Lists::WithWindows10);
    std::string table = std::string(tableWords(language).header)
        + "|---|---|---|---|---|---|\n";
    // The restore profile runs every row of the catalogue.
    for (const ServiceStep& row : restore) {
        table += "| " + toUtf8(row.label) + " | " + toUtf8(row.displayName) + " | `" + toUtf8(row.serviceKey) + "` | "
            + cellText(language, prompted, row.serviceKey) + " | " + cellText(language, automatic, row.serviceKey)
            + " | " + cellText(language, restore, row.serviceKey) + " |\n";
    }
    return table;
}

}  // namespace quillora
