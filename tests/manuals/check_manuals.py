#!/usr/bin/env python3
"""The manuals in the release zip: README.txt (the users' part of the README) and README-zh.txt.

usage: check_manuals.py QUILLORA-CLI

Checks what the zip will hold, made by the release's own code (scripts/make-zip.py): every section
README.txt names is in it and nothing points into the developers' part; every command that
`quillora-cli --help` lists is documented; no file or folder of the repository that the zip does
not hold is named; both manuals have the same sections in the same order; the Chinese services
table is the program's; both are texts Notepad on Windows XP reads.
"""
import os
import re
import runpy
import subprocess
import sys
import types

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
ZIP_NAMES = {"Quillora.exe", "quillora-cli.exe", "README.txt", "README-zh.txt", "LICENSE.txt", "CHANGELOG.txt"}

# The sections of both manuals, in order: each English heading and its Chinese one. A section
# added to one manual and not the other fails here.
SECTIONS = [
    ("## What it does and does not do", "## 它做什么，不做什么"),
    ("## Running it on Windows", "## 在 Windows 上运行"),
    ("## Choosing the language", "## 选择界面语言"),
    ("## What each profile does to each service", "## 每种方案对每个服务做什么"),
    ("### Why the numbers have gaps", "### 编号为什么不连续"),
    ("## Reboot and undo", "## 撤销上次优化"),
    ("## The services window: what each service is, and what the last run really did",
     "## 查看服务：每个服务是什么，上次优化实际做了什么"),
    ("## On Windows Vista and later", "## Windows Vista 及以后的版本"),
    ("## The companion: quillora-cli", "## 命令行工具 quillora-cli"),
    ("### Errors and exit statuses", "### 错误和退出码"),
    ("## Many machines", "## 多台电脑"),
    ("### Group Policy: a security template (`--format inf`)", "### 组策略：安全模板（`--format inf`）"),
    ("### Ansible (`--format ansible`)", "### Ansible（`--format ansible`）"),
    ("### Undo across machines", "### 在多台电脑上撤销"),
]

failures = []


def fail(message):
    failures.append(message)


def load_make_zip():
    """The functions of scripts/make-zip.py, the release's own code that writes the manuals."""
    return types.SimpleNamespace(**runpy.run_path(os.path.join(ROOT, "scripts", "make-zip.py")))


def headings(text):
    return [line for line in text.split("\n") if re.match(r"#{2,3} ", line)]


def heading_titles(text):
    return {re.sub(r"^#+ ", "", line) for line in text.split("\n") if line.startswith("#")}


def check_references(readme, users):
    """A section named in quotation marks is one of the users' part."""
    everywhere = heading_titles(readme)
    mine = heading_titles(users)
    for quoted in re.findall(r'"([^"\n]+)"', users):
        if quoted in everywhere and quoted not in mine:
            fail("README.txt names the section %r, which is not in it" % quoted)
    for target in re.findall(r"\]\(#([^)]*)\)", users):
        fail("README.txt links to #%s, a place of a web page" % target)


def check_commands(users, cli):
    usage = subprocess.run([cli, "--help"], capture_output=True, text=True, check=True).stdout
    commands = set(re.findall(r"^\s+quillora-cli (\w+)", usage, re.M)) | set(re.findall(r"^usage: quillora-cli (\w+)", usage, re.M))
    if len(commands) < 9:
        fail("--help lists only %s" % sorted(commands))
    for command in sorted(commands):
        if "quillora-cli " + command not in users:
            fail("README.txt does not document quillora-cli %s" % command)
    for option in sorted(set(re.findall(r"(--[a-z-]+)", usage))):
        if option not in users:
            fail("README.txt does not document %s" % option)


def repository_names():
    tracked = subprocess.run(["git", "-C", ROOT, "ls-files"], capture_output=True, text=True, check=True).stdout
    # and the folders the build writes
    return {path.split("/")[0] for path in tracked.split("\n") if path} | {"build", "dist"}


def check_names(name, text):
    """No file or folder of the repository that the zip does not hold."""
    for entry in sorted(repository_names()):
        if entry in ZIP_NAMES or entry.startswith("."):
            continue
        folder = os.path.isdir(os.path.join(ROOT, entry)) or entry in ("build", "dist")
        pattern = r"(?<![\w./\\-])" + re.escape(entry) + (r"/" if folder else r"(?![\w.-])")
        if re.search(pattern, text):
            fail("%s names %s%s, which the zip does not hold" % (name, entry, "/" if folder else ""))
    for command in re.findall(r"\bmake (?:test|dist|run|bench|screenshots|pictures)\b", text):
        fail("%s names %r, which needs the source" % (name, command))


def check_sections(users, chinese):
    english = headings(users)
    if english != [e for e, _ in SECTIONS]:
        fail("README.txt sections differ from the list: %s" % english)
    zh = headings(chinese)
    if zh != [c for _, c in SECTIONS]:
        fail("README-zh.txt sections differ from the list: %s" % zh)


def check_chinese_table(chinese, cli):
    table = subprocess.run([cli, "services", "--chinese"], capture_output=True, text=True, check=True).stdout
    start = "<!-- 服务表：由 `quillora-cli services --chinese` 生成，测试会与程序的服务目录核对 -->\n"
    end = "<!-- 服务表结束 -->"
    if start not in chinese or end not in chinese:
        fail("README-zh.md has no services table markers")
        return
    between = chinese[chinese.index(start) + len(start):chinese.index(end)]
    if between != table:
        fail("README-zh.md's services table is not the program's")


def check_notepad(name, data):
    if not data.startswith(b"\xef\xbb\xbf"):
        fail("%s has no byte-order mark" % name)
    if re.search(rb"(?<!\r)\n", data):
        fail("%s has a line end without CR" % name)
    data.decode("utf-8")


def main():
    cli = sys.argv[1]
    make_zip = load_make_zip()
    readme = open(os.path.join(ROOT, "README.md"), encoding="utf-8").read()
    chinese_source = open(os.path.join(ROOT, "README-zh.md"), encoding="utf-8").read()
    users = make_zip.users_readme(readme)
    chinese = make_zip.manual_text(chinese_source)

    check_references(readme, users)
    check_commands(users, cli)
    check_names("README.txt", users)
    check_names("README-zh.txt", chinese)
    check_names("CHANGELOG.txt", open(os.path.join(ROOT, "CHANGELOG.md"), encoding="utf-8").read())
    check_sections(users, chinese)
    check_chinese_table(chinese_source, cli)
    check_notepad("README.txt", make_zip.contents("readme:" + os.path.join(ROOT, "README.md")))
    check_notepad("README-zh.txt", make_zip.contents("manual:" + os.path.join(ROOT, "README-zh.md")))
    if "![" in users or "![" in chinese:
        fail("a picture is left in a manual")

    for message in failures:
        print("check_manuals: " + message, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
