#!/usr/bin/python3
"""Checks the playbooks that `quillora-cli export --format ansible` writes with the real Ansible.

For every profile (and answer sets of the prompted one) and for a backup, the playbook must pass
`ansible-playbook --syntax-check`, and, since that check does not catch a misspelt option or an
unknown value, every option of every task must be one that `ansible-doc -j` documents for its
module, with every value among the documented choices: templated values are resolved against each
item of the loop they come from.

usage: check_playbooks.py QUILLORA-CLI
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
]
BACKUP = ("quillora-backup 1\r\nAlerter\tdisabled\r\nALG\tabsent\r\nwuauserv\tauto\tdelayed\r\n"
          "BITS\tdemand\r\nend\r\n")
ITEM_FIELD = re.compile(r"^\{\{ item\.(\w+)(?: \| default\(omit\))? \}\}$")


def module_docs(module):
    out = subprocess.run(["ansible-doc", "-j", module], check=True, capture_output=True, text=True).stdout
    return json.loads(out)[module]["doc"]["options"] or {}


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
        docs[module] = module_docs(module)
    options = docs[module]
    for option, value in (task[module] or {}).items():
        if option not in options:
            problems.append(f"{module}: unknown option {option!r}")
            continue
        choices = options[option].get("choices")
        for actual in values_of(value, items):
            if choices and actual not in choices:
                problems.append(f"{module}: {option}={actual!r} is not one of {choices}")


def check_playbook(path, problems):
    syntax = subprocess.run(["ansible-playbook", "--syntax-check", "-i", "localhost,", path],
                            capture_output=True, text=True)
    if syntax.returncode != 0:
        problems.append(f"{path}: syntax check failed:\n{syntax.stdout}{syntax.stderr}")
    docs = {}
    for play in yaml.safe_load(open(path, encoding="utf-8")):
        items = play.get("vars", {}).get("quillora_services", [])
        if not items:
            problems.append(f"{path}: no services")
        for task in play["tasks"]:
            check_task(task, items, docs, problems)


def main():
    cli = sys.argv[1]
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        backup = os.path.join(folder, "before.txt")
        with open(backup, "w", newline="", encoding="utf-8") as file:
            file.write(BACKUP)
        exports = [run for run in RUNS] + [["--from-backup", backup]]
        for number, arguments in enumerate(exports):
            path = os.path.join(folder, f"playbook-{number}.yml")
            subprocess.run([cli, "export", *arguments, "--format", "ansible", "--output", path], check=True)
            check_playbook(path, problems)
            print("checked", " ".join(arguments))
    for problem in problems:
        print("PROBLEM:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
