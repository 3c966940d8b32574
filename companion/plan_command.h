#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/answers.h"
#include "engine/catalogue.h"

namespace quillora {

// A command line the companion cannot take; the text names the problem in one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class PlanOutput { Everything, CommandsOnly, LogOnly };

struct PlanRequest {
    Profile profile = Profile::Automatic;
    Answers answers{kAnswerYes, kAnswerYes, kAnswerYes};
    PlanOutput output = PlanOutput::Everything;
};

// "y"/"n" letters for the three questions, in the wizard's order.
Answers parseAnswers(const std::string& letters);

Profile parseProfile(const std::string& name);

// The arguments after "plan" (or, without the output options, after "status" and "verify").
// Throws UsageError.
PlanRequest parsePlanArguments(const std::vector<std::string>& args, bool outputOptions = true);

// Runs the profile against recording doubles and renders what it did, in UTF-8.
std::string renderPlan(const PlanRequest& request);

}  // namespace quillora
