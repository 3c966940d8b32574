#!/usr/bin/python3
"""Checks the playbooks that `quillora-cli export --format ansible` writes with the real Ansible.

For every profile (and answer sets of the prompted one) and for a backup, the playbook must pass
`ansible-playbook --syntax-check`, and, since that check does not catch a misspelt option or an
unknown value, every option of every task must be one that `ansible-doc -j` documents for its
module, with every value among the documented choices: templated values are resolved against each
item of the loop they come from.

All playbooks go through one syntax check, and the modules' documentation is asked for once and
kept in DOCS-CACHE (a JSON file) for as long as the installed Ansible is the same version.

usage: check_playbooks.py QUILLORA-CLI [DOCS-CACHE]
"""
import json
import os
import re
import subprocess
import sys
import tempfile

import yaml

RUNS = [
    ["automatic"],
    ["restore"],
    ["prompted", "--answers", "yny"],
    ["prompted", "--answers", "ynn"],
    ["prompted", "--answers", "nny"],
    ["prompted", "--answers", "nnnnnnnn"],
    ["restore", "--windows10"],
]
BACKUP = ("quillora-backup 1\r\nAlerter\tdisabled\r\nALG\tabsent\r\nwuauserv\tauto\tdelayed\r\n"
          "BITS\tdemand\r\nend\r\n")
ITEM_FIELD = re.compile(r"^\{\{ item\.(\w+)(?: \| default\(omit\))? \}\}$")


MODULES = ["ansible.windows.win_service", "ansible.windows.win_service_info", "ansible.builtin.debug"]


def ansible_version():
    return subprocess.run(["ansible-doc", "--version"], check=True, capture_output=True, text=True).stdout


def module_docs(cache_path):
    """The documented options of every module the playbooks use, by module name."""
    version = ansible_version()
    if cache_path and os.path.exists(cache_path):
        with open(cache_path, encoding="utf-8") as file:
            cached = json.load(file)
        if cached.get("version") == version:
            return cached["docs"]
    out = subprocess.run(["ansible-doc", "-j", *MODULES], check=True, capture_output=True, text=True).stdout
    docs = {module: entry["doc"]["options"] or {} for module, entry in json.loads(out).items()}
    if cache_path:
        with open(cache_path, "w", encoding="utf-8") as file:
            json.dump({"version": version, "docs": docs}, file)
    return docs


def values_of(value, items):
    """The values an option takes: itself, or each loop item's field it names (omit drops out)."""
    match = ITEM_FIELD.match(value) if isinstance(value, str) else None
    if not match:
        return [value]
    return [item[match.group(1)] for item in items if match.group(1) in item]


def check_task(task, items, docs, problems):
    modules = [key for key in task if "." in key]
    if len(modules) != 1:
        problems.append(f"task {task.get('name')!r}: expected one module, found {modules}")
        return
    module = modules[0]
    if module not in docs:
        problems.append(f"task {task.get('name')!r}: module {module} is not one the check knows")
        return
    options = docs[module]
    for option, value in (task[module] or {}).items():
        if option not in options:
            problems.append(f"{module}: unknown option {option!r}")
            continue
        choices = options[option].get("choices")
        for actual in values_of(value, items):
            if choices and actual not in choices:
                problems.append(f"{module}: {option}={actual!r} is not one of {choices}")


def check_syntax(paths, problems):
    syntax = subprocess.run(["ansible-playbook", "--syntax-check", "-i", "localhost,", *paths],
                            capture_output=True, text=True)
    if syntax.returncode != 0:
        problems.append(f"syntax check failed:\n{syntax.stdout}{syntax.stderr}")


def check_playbook(path, docs, problems):
    for play in yaml.safe_load(open(path, encoding="utf-8")):
        items = play.get("vars", {}).get("quillora_services", [])
        if not items:
            problems.append(f"{path}: no services")
        for task in play["tasks"]:
            check_task(task, items, docs, problems)


def main():
    cli = sys.argv[1]
    docs = module_docs(sys.argv[2] if len(sys.argv) > 2 else None)
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        backup = os.path.join(folder, "before.txt")
        with open(backup, "w", newline="", encoding="utf-8") as file:
            file.write(BACKUP)
        exports = [run for run in RUNS] + [["--from-backup", backup]]
        paths = []
        for number, arguments in enumerate(exports):
            path = os.path.join(folder, f"playbook-{number}.yml")
            subprocess.run([cli, "export", *arguments, "--format", "ansible", "--output", path], check=True)
            check_playbook(path, docs, problems)
            paths.append(path)
            print("checked", " ".join(arguments))
        check_syntax(paths, problems)
    for problem in problems:
        print("PROBLEM:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
