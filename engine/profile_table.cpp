#include "engine/profile_table.h"

#include <optional>
#include <vector>

#include "engine/catalogue.h"
#include "engine/utf8.h"

namespace quillora {
namespace {

const char* questionText(AnswerFlag flag)
{
    switch (flag) {
    case AnswerFlag::CdBurner:
        return "CD burner";
    case AnswerFlag::Printer:
        return "printer";
    case AnswerFlag::Imaging:
        break;
    }
    return "scanner or camera";
}

// What one profile does to the service with this key, or a dash where it leaves it alone.
std::string cellText(const std::vector<ServiceStep>& steps, const std::wstring& key)
{
    for (const ServiceStep& step : steps) {
        if (step.serviceKey != key)
            continue;
        if (!step.question)
            return actionDescription(step.action);
        Answers yes;
        yes[step.question->flag] = kAnswerYes;
        return std::string("asks: ") + questionText(step.question->flag) + "? yes: "
            + actionDescription(performedAction(step, yes)) + "; no: " + actionDescription(performedAction(step, Answers{}));
    }
    return "-";
}

}  // namespace

std::string profileTable()
{
    const std::vector<ServiceStep> prompted = profileSteps(Profile::Prompted);
    const std::vector<ServiceStep> automatic = profileSteps(Profile::Automatic);
    const std::vector<ServiceStep> restore = profileSteps(Profile::Restore);
    std::string table = "| log | service | key | 按提问优化(建议) | 自动优化 | 恢复系统默认 |\n"
                        "|---|---|---|---|---|---|\n";
    // The restore profile runs every row of the catalogue.
    for (const ServiceStep& row : restore) {
        table += "| " + toUtf8(row.label) + " | " + toUtf8(row.displayName) + " | `" + toUtf8(row.serviceKey) + "` | "
            + cellText(prompted, row.serviceKey) + " | " + cellText(automatic, row.serviceKey) + " | "
            + cellText(restore, row.serviceKey) + " |\n";
    }
    return table;
}

}  // namespace quillora
