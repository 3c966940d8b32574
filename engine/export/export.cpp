#include "engine/export/export.h"

#include <algorithm>
#include <array>

#include "engine/text/printable.h"
#include "engine/plan/plan.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char* answerWord(const Answers& answers, AnswerFlag flag)
{
    return answers.yes(flag) ? "yes" : "no";
}

// A comment line of answers: "answers: CD burner yes, printer no, scanner or camera yes". Some
// topics hold commas: those answers are apart by semicolons.
template <std::size_t Count>
std::string answersLine(const char* start, const std::array<AnswerFlag, Count>& flags, const Answers& answers,
                        const char* between)
{
    std::string line = start;
    for (std::size_t i = 0; i < Count; ++i)
        line += std::string(i ? between : " ") + questionTopic(flags[i]) + " " + answerWord(answers, flags[i]);
    return line;
}

ExportTarget::Run runFor(const ActionEffect& effect)
{
    if (effect.stopsFirst)
        return ExportTarget::Run::Stop;
    return effect.startsAfter ? ExportTarget::Run::Start : ExportTarget::Run::Leave;
}

// A template's service name may hold only these characters; one line with any other makes a
// client drop the whole [Service General Setting] section.
bool fitsTemplateName(const std::wstring& key)
{
    for (wchar_t c : key) {
        const bool alphanumeric = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
        const bool allowed = c == 33 || (c >= 35 && c <= 43) || c == 45 || c == 46 || (c >= 58 && c <= 64) || c == 91
            || (c >= 93 && c <= 96) || (c >= 123 && c <= 126);
        if (!alphanumeric && !allowed)
            return false;
    }
    return !key.empty() && key.size() <= 256;
}

// StartupMode of a template: 2 automatic, 3 manual, 4 disabled.
char templateMode(StartMode mode)
{
    return mode == StartMode::Automatic ? '2' : mode == StartMode::Manual ? '3' : '4';
}

// The registry value of a service's start mode, for [Registry Values]: type 4 is a DWORD.
std::string startRegistryValue(const std::string& key, StartMode mode)
{
    return "MACHINE\\System\\CurrentControlSet\\Services\\" + key + "\\Start=4," + templateMode(mode);
}

const char* ansibleMode(const ExportTarget& target)
{
    switch (target.mode) {
    case StartMode::Automatic:
        return target.delayed ? "delayed" : "auto";
    case StartMode::Disabled:
        return "disabled";
    default:
        return "manual";
    }
}

// A double-quoted YAML scalar holding printable text.
std::string yamlQuoted(const std::string& text)
{
    std::string scalar = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            scalar += '\\';
        scalar += c;
    }
    return scalar + "\"";
}

// A service marked only_if_disabled is set only where the host has it disabled.
const char kOnlyIfDisabledCondition[] =
    "        and (not (item.only_if_disabled | default(false))\n"
    "             or (item.name | lower) in (quillora_installed.services | selectattr('start_mode', 'equalto',"
    " 'disabled')\n"
    "                                        | map(attribute='name') | map('lower') | list))\n";

std::string commentLines(const std::vector<std::string>& lines, const char* marker, const char* lineEnd)
{
    std::string text;
    for (const std::string& line : lines)
        text += std::string(marker) + line + lineEnd;
    return text;
}

}  // namespace

PlanInputs exportInputs(Profile profile, const Answers& answers, Lists lists, bool withNeeded,
                        std::vector<std::wstring> skipped)
{
    return inputsForOtherMachines(profile, answers, lists, std::move(skipped), WindowsGeneration::VistaAndLater,
                                  withNeeded ? NeededServices::Changed : NeededServices::LeftAlone);
}

ExportPlan profileExport(const PlanInputs& inputs, const std::string& profileName)
{
    const Answers& answers = *inputs.answers;
    const bool withNeeded = inputs.needed == NeededServices::Changed;
    const std::vector<std::wstring>& skipped = inputs.chosen;
    ExportPlan plan;
    plan.description.push_back("Quillora profile " + profileName);
    if (inputs.profile == Profile::Prompted) {
        plan.description.push_back(answersLine("answers:", kWizardQuestions, answers, ", "));
        if (inputs.lists == Lists::WithWindows10)
            plan.description.push_back(answersLine("answers on Windows 10 and 11:", kWindows10Questions, answers, "; "));
    }
    const std::vector<PlannedRow> rows = profilePlan(inputs);
    // A service skipped by choice is named once, as skipped, whatever --all says.
    const std::vector<PlannedRow> needed = changingNeeded(rows);
    if (!needed.empty()) {
        std::vector<std::wstring> neededKeys;
        for (const PlannedRow& row : needed)
            neededKeys.push_back(row.step.serviceKey);
        const std::string keys = printableList(neededKeys);
        plan.description.push_back(withNeeded ? "Windows Vista and later (10 and 11 too) need these services as Windows"
                                                " sets them, and this export changes them (--all): " + keys
                                              : "left out: Windows Vista and later (10 and 11 too) need these services"
                                                " as Windows sets them; --all includes them: " + keys);
    }
    if (!skipped.empty())
        plan.description.push_back("left out: skipped by choice (--skip): " + printableList(skipped));
    for (const PlannedRow& row : rows) {
        if (row.leftAlone)
            continue;
        const ActionEffect& effect = effectOf(row.action);
        plan.targets.push_back({row.step.serviceKey, effect.mode, effect.delayed, runFor(effect), effect.onlyFromDisabled});
    }
    return plan;
}

ExportPlan backupExport(const std::vector<BackupEntry>& backup, const std::string& backupName)
{
    ExportPlan plan;
    plan.description.push_back("Quillora backup " + printable(backupName)
                               + ": the saved start modes; nothing is stopped or started");
    for (const BackupEntry& entry : backup) {
        if (!entry.mode)
            continue;
        if (*entry.mode == StartMode::Boot || *entry.mode == StartMode::System) {
            plan.description.push_back("left out: " + toUtf8(entry.serviceKey) + " (" + startModeName(*entry.mode)
                                       + " start, which neither Group Policy nor Ansible sets)");
            continue;
        }
        plan.targets.push_back({entry.serviceKey, *entry.mode, entry.delayed, ExportTarget::Run::Leave});
    }
    return plan;
}

std::string securityTemplate(const ExportPlan& plan)
{
    std::vector<std::string> notes = plan.description;
    std::string settings;
    std::string registryValues;
    for (const ExportTarget& target : plan.targets) {
        const std::string key = toUtf8(target.serviceKey);
        if (!fitsTemplateName(target.serviceKey)) {
            notes.push_back("left out: \"" + key + "\": a template's service name cannot hold a blank, and one such"
                            " line makes Windows drop the whole section");
            continue;
        }
        if (target.onlyFromDisabled) {
            notes.push_back("left out: " + key + ": set to manual only where it is disabled, which a template cannot"
                            " ask; the Ansible export can");
            continue;
        }
        if (kindOf(target.serviceKey) == ServiceKind::UserTemplateOutsideSecurityTemplates) {
            notes.push_back(key + ": a per-user template that System Services cannot set: its Start value in"
                            " [Registry Values], from each user's next sign-in");
            registryValues += startRegistryValue(key, target.mode) + "\r\n";
            continue;
        }
        if (target.delayed)
            notes.push_back(key + ": automatic; a template cannot ask for a delayed start");
        settings += "\"" + key + "\"," + templateMode(target.mode) + ",\"\"\r\n";
    }
    // secedit applies [Registry Values] with the security options, not with the services.
    notes.push_back(std::string("apply on one machine: secedit /configure /db quillora.sdb /cfg THIS-FILE /areas SERVICES")
                    + (registryValues.empty() ? "" : " SECURITYPOLICY"));
    notes.push_back("start modes only: services are neither stopped nor started until Windows restarts");
    const std::string text = "[Unicode]\r\nUnicode=yes\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n"
        + commentLines(notes, "; ", "\r\n") + "[Service General Setting]\r\n" + settings
        + (registryValues.empty() ? "" : "[Registry Values]\r\n" + registryValues);
    return "\xFF\xFE" + toUtf16Le(fromUtf8(text));
}

std::string ansiblePlaybook(const ExportPlan& plan)
{
    std::string services;
    for (const ExportTarget& target : plan.targets) {
        services += "      - {name: \"" + toUtf8(target.serviceKey) + "\", start_mode: " + ansibleMode(target);
        if (target.run == ExportTarget::Run::Stop)
            services += ", state: stopped";
        else if (target.run == ExportTarget::Run::Start)
            services += ", state: started";
        if (target.onlyFromDisabled)
            services += ", only_if_disabled: true";
        services += "}\n";
    }
    const bool anyOnlyFromDisabled = std::any_of(plan.targets.begin(), plan.targets.end(),
                                                 [](const ExportTarget& target) { return target.onlyFromDisabled; });
    return "---\n" + commentLines(plan.description, "# ", "\n")
        + "# run: ansible-playbook -i INVENTORY THIS-FILE [-e quillora_hosts=PATTERN]\n"
          "- name: " + yamlQuoted(plan.description.front()) + "\n"
          "  hosts: \"{{ quillora_hosts | default('windows') }}\"\n"
          "  gather_facts: false\n"
          "  vars:\n"
          "    quillora_services:\n"
        + services
        + "  tasks:\n"
          "    - name: List the services installed on the host\n"
          "      ansible.windows.win_service_info: {}\n"
          "      register: quillora_installed\n"
          "\n"
          "    - name: Set each service the host has\n"
          "      ansible.windows.win_service:\n"
          "        name: \"{{ item.name }}\"\n"
          "        start_mode: \"{{ item.start_mode }}\"\n"
          "        state: \"{{ item.state | default(omit) }}\"\n"
          "      loop: \"{{ quillora_services }}\"\n"
          "      loop_control:\n"
          "        label: \"{{ item.name }}\"\n"
          "      when: (item.name | lower) in (quillora_installed.services | map(attribute='name') | map('lower') | list)\n"
        + (anyOnlyFromDisabled ? kOnlyIfDisabledCondition : "")
        + "      register: quillora_set\n"
          "\n"
          "    - name: Report the services that changed\n"
          "      ansible.builtin.debug:\n"
          "        msg: \"changed: {{ quillora_set.results | selectattr('changed', 'defined') | selectattr('changed')"
          " | map(attribute='item.name') | list }}\"\n";
}

}  // namespace quillora
