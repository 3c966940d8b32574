#pragma once

#include <optional>
#include <string>

#include "engine/catalogue/action.h"
#include "engine/catalogue/answers.h"
#include "engine/catalogue/wording.h"

namespace quillora {

// A question of the wizard that decides what a row does: the answer's flag, and what a "yes"
// performs instead of the row's own action.
struct RowQuestion {
    AnswerFlag flag;
    ActionKind ifYes;
};

// One row of a profile.
struct ServiceStep {
    std::wstring label;        // fixed text at the start of the log line, such as "3.1"
    std::wstring displayName;  // the name the log line shows
    std::wstring serviceKey;   // the name the command lines use, unquoted
    ActionKind action;         // what the row performs; for a question row, what a "no" performs
    std::optional<RowQuestion> question;
};

// The kind the step performs now, the one place that says it: a question row reads its flag at
// this moment, so an answer given while a run is under way still counts if the run has not
// reached the step yet. Any answer but a yes counts as no.
ActionKind performedAction(const ServiceStep& step, const Answers& answers);

}  // namespace quillora
