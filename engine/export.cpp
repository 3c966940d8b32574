#include "engine/export.h"

#include <algorithm>

#include "engine/printable.h"
#include "engine/skip_choice.h"
#include "engine/utf8.h"
#include "engine/windows_needs.h"

namespace quillora {
namespace {

const char* answerWord(const Answers& answers, AnswerFlag flag)
{
    return answers.yes(flag) ? "yes" : "no";
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

std::string commentLines(const std::vector<std::string>& lines, const char* marker, const char* lineEnd)
{
    std::string text;
    for (const std::string& line : lines)
        text += std::string(marker) + line + lineEnd;
    return text;
}

}  // namespace

ExportPlan profileExport(Profile profile, const std::string& profileName, const Answers& answers, bool withNeeded,
                         const std::vector<std::wstring>& skipped)
{
    ExportPlan plan;
    plan.description.push_back("Quillora profile " + profileName);
    if (profile == Profile::Prompted) {
        plan.description.push_back(std::string("answers: CD burner ") + answerWord(answers, AnswerFlag::CdBurner)
                                   + ", printer " + answerWord(answers, AnswerFlag::Printer) + ", scanner or camera "
                                   + answerWord(answers, AnswerFlag::Imaging));
    }
    const std::vector<ServiceStep> steps = profileSteps(profile);
    // A service skipped by choice is named once, as skipped, whatever --all says.
    const std::vector<ServiceStep> needed =
        neededServicesTouched(leavingChosenAlone(steps, skipped), WindowsGeneration::VistaAndLater);
    if (!needed.empty()) {
        std::string keys;
        for (const ServiceStep& step : needed)
            keys += (keys.empty() ? "" : ", ") + toUtf8(step.serviceKey);
        plan.description.push_back(withNeeded ? "Windows Vista and later (10 and 11 too) need these services as Windows"
                                                " sets them, and this export changes them (--all): " + keys
                                              : "left out: Windows Vista and later (10 and 11 too) need these services"
                                                " as Windows sets them; --all includes them: " + keys);
    }
    if (!skipped.empty()) {
        std::string keys;
        for (const std::wstring& key : skipped)
            keys += (keys.empty() ? "" : ", ") + toUtf8(key);
        plan.description.push_back("left out: skipped by choice (--skip): " + keys);
    }
    for (const ServiceStep& step : steps) {
        if (!withNeeded && touchesNeeded(step, WindowsGeneration::VistaAndLater))
            continue;
        if (std::find(skipped.begin(), skipped.end(), step.serviceKey) != skipped.end())
            continue;
        const ActionEffect& effect = effectOf(performedAction(step, answers));
        plan.targets.push_back({step.serviceKey, effect.mode, false, runFor(effect)});
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
    for (const ExportTarget& target : plan.targets) {
        const std::string key = toUtf8(target.serviceKey);
        if (!fitsTemplateName(target.serviceKey)) {
            notes.push_back("left out: \"" + key + "\": a template's service name cannot hold a blank, and one such"
                            " line makes Windows drop the whole section");
            continue;
        }
        if (target.delayed)
            notes.push_back(key + ": automatic; a template cannot ask for a delayed start");
        settings += "\"" + key + "\"," + templateMode(target.mode) + ",\"\"\r\n";
    }
    notes.push_back("apply on one machine: secedit /configure /db quillora.sdb /cfg THIS-FILE /areas SERVICES");
    notes.push_back("start modes only: services are neither stopped nor started until Windows restarts");
    const std::string text = "[Unicode]\r\nUnicode=yes\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n"
        + commentLines(notes, "; ", "\r\n") + "[Service General Setting]\r\n" + settings;
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
        services += "}\n";
    }
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
          "      register: quillora_set\n"
          "\n"
          "    - name: Report the services that changed\n"
          "      ansible.builtin.debug:\n"
          "        msg: \"changed: {{ quillora_set.results | selectattr('changed', 'defined') | selectattr('changed')"
          " | map(attribute='item.name') | list }}\"\n";
}

}  // namespace quillora
