#pragma once

#include <optional>
#include <string>

#include "engine/action.h"
#include "engine/answers.h"

namespace quillora {

// One row of a profile.
struct ServiceStep {
    std::wstring label;        // fixed text at the start of the log line, such as "3.1"
    std::wstring displayName;  // the name the log line shows
    std::wstring serviceKey;   // the name the command lines use, unquoted
    ActionKind action;         // for a question-dependent step: what a "no" performs
    std::optional<AnswerFlag> question;
};

// The kind the step performs now: a question-dependent step reads its flag at this moment, so an
// answer given while a run is under way still counts if the run has not reached the step yet.
ActionKind performedAction(const ServiceStep& step, const Answers& answers);

// "label:displayName:mode", with no line end.
std::wstring logLine(const ServiceStep& step, ActionKind performed);

}  // namespace quillora
