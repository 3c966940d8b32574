#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/choice/own_profile.h"
#include "engine/machine/machine.h"
#include "engine/plan/plan.h"
#include "engine/records/backups/backup_file.h"
#include "engine/text/printable.h"

namespace quillora {

// File names are quoted back whole up to the longest path Windows takes.
inline constexpr std::size_t kLongestPath = 260;

// A command line the companion cannot take; the text names the problem in one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments of one command: options with a value, flags, and the rest in order.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    const std::string* value(const std::string& option) const;
};

// Reads the arguments after the command (args[0]). An option not named here, an option given
// twice or a missing value is a UsageError.
Arguments parseArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                         const std::set<std::string>& flags);

// A profile chosen on the command line, with the answers its runs read.
struct ProfileRequest {
    Profile profile = Profile::Automatic;
    std::string name;
    Answers answers{kAnswerYes, kAnswerYes, kAnswerYes};
    bool windows10Answered = false;  // --answers gave the five answers of Windows 10 and 11
    OwnProfile own;                  // --profile FILE: the own profile it holds, as read
};

// "y"/"n" letters, in either case: three for the wizard's questions, in its order, which leaves
// the Windows 10 questions at yes; or eight, the three and then the five of Windows 10 and 11.
Answers parseAnswers(const std::string& letters);

// The one positional argument as a profile, in any case, and --answers, which only the prompted
// profile takes; or --profile FILE, an own profile's file (or a backup's) in place of a name. A
// file that cannot be used is a FileFailure naming it, its line and what is wrong.
ProfileRequest profileRequest(const Arguments& arguments, const std::string& command, Files& files);

// A file the command line names that cannot be used as what it should be: a FileFailure naming
// it, what is wrong, and that nothing was changed.
FileFailure unusableFile(const std::string& path, const BackupError& error);

// --profile FILE, with the options that take a profile; callers add their own.
inline const char kOwnProfileOption[] = "--profile";

// The lists that plan and export cover, which read no machine: the Windows 10 list too where
// --windows10 asks for it or --answers answers its questions; the designed list alone otherwise.
Lists listsAskedFor(const Arguments& arguments, const ProfileRequest& request);

// Gives the plan the own profile of a --profile request, fitted to the machine the inputs plan for
// (its lists, whether its Windows delays starts, its services where known); returns what that left
// out or changed, as lines for standard error. Nothing for a profile's name.
std::string useOwnProfile(PlanInputs& inputs, const ProfileRequest& request);

// The keys of the file --skip names, none without it. A file that cannot be taken is a UsageError
// naming the file, the line and the problem; one the system will not read, a FileFailure.
std::vector<std::wstring> skippedKeys(const Arguments& arguments, Files& files);

}  // namespace quillora
