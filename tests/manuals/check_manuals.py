#!/usr/bin/env python3
"""The manuals in the release zip: README.txt (the users' part of the README), README-zh.txt and
README-zh-TW.txt.

usage: check_manuals.py QUILLORA-CLI

Checks what the zip will hold, made by the release's own code (scripts/make-zip.py): every section
README.txt names is in it and nothing points into the developers' part; every command that
`quillora-cli --help` lists is documented; no file or folder of the repository that the zip does
not hold is named; both manuals have the same sections in the same order and the same tables,
row for row (the three); the Chinese tables are the program's; each manual's opening names every file the
program's own code writes and neither claims it writes nothing else; README.txt names each item of
the program in English beside its Chinese text; both are texts Notepad on Windows XP reads, with
no two blank lines in a row.
"""
import os
import re
import runpy
import subprocess
import sys
import types

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
ZIP_NAMES = {"Quillora.exe", "quillora-cli.exe", "README.txt", "README-zh.txt", "README-zh-TW.txt", "LICENSE.txt",
             "CHANGELOG.txt"}

# The sections of the three manuals, in order: each English heading and its Simplified and
# Traditional Chinese ones. A section
# added to one manual and not the other fails here.
SECTIONS = [
    ("## What it does and does not do", "## 它做什么，不做什么", "## 它做什麼，不做什麼"),
    ("## Running it on Windows", "## 在 Windows 上运行", "## 在 Windows 上執行"),
    ("## Choosing the language", "## 选择界面语言", "## 選擇介面語言"),
    ("## What each profile does to each service", "## 每种方案对每个服务做什么", "## 每種方案對每個服務做什麼"),
    ("### Why the numbers have gaps", "### 编号为什么不连续", "### 編號為什麼不連續"),
    ("## Reboot and undo", "## 撤销上次优化", "## 復原上次最佳化"),
    ("## The services window: what each service is, and what the last run really did",
     "## 查看服务：每个服务是什么，上次优化实际做了什么", "## 檢視服務：每個服務是什麼，上次最佳化實際做了什麼"),
    ("### My own settings", "### 我的设置", "### 我的設定"),
    ("## The runs so far: back to any point, and what has changed since",
     "## 优化记录：回到任何一次之前，以及此后的改变", "## 最佳化記錄：回到任何一次之前，以及此後的變更"),
    ("## What becomes of each service", "## 每个服务的结果", "## 每個服務的結果"),
    ("## On Windows Vista and later", "## Windows Vista 及以后的版本", "## Windows Vista 及更新版本"),
    ("## On Windows 10 and 11: five more questions", "## Windows 10 和 11：另外五个问题", "## Windows 10 和 11：另外五個問題"),
    ("### Per-user services and signing in", "### 按用户的服务和登录", "### 每一使用者服務與登入"),
    ("### Left out on purpose", "### 有意不列入的服务", "### 刻意不列入的服務"),
    ("## The companion: quillora-cli", "## 命令行工具 quillora-cli", "## 命令列工具 quillora-cli"),
    ("### Errors and exit statuses", "### 错误和退出码", "### 錯誤和結束代碼"),
    ("## Many machines", "## 多台电脑", "## 多部電腦"),
    ("### Group Policy: a security template (`--format inf`)", "### 组策略：安全模板（`--format inf`）",
     "### 群組原則：安全性範本（`--format inf`）"),
    ("### Ansible (`--format ansible`)", "### Ansible（`--format ansible`）", "### Ansible（`--format ansible`）"),
    ("### Undo across machines", "### 在多台电脑上撤销", "### 在多部電腦上復原"),
]

# The two Chinese manuals: the file in the zip, its source, the option that prints its tables, and
# the markers around them.
CHINESE_MANUALS = [
    ("README-zh.txt", "README-zh.md", "--chinese", 1,
     ("<!-- 服务表：由 `quillora-cli services --chinese` 生成，测试会与程序的服务目录核对 -->\n", "<!-- 服务表结束 -->"),
     ("<!-- Windows 表：由 `quillora-cli services --windows --chinese` 生成，测试会与程序的核对 -->\n", "<!-- Windows 表结束 -->"),
     ("<!-- Windows 10 表：`quillora-cli services --windows --chinese` 的第二部分，测试会与程序的核对 -->\n",
      "<!-- Windows 10 表结束 -->")),
    ("README-zh-TW.txt", "README-zh-TW.md", "--traditional-chinese", 2,
     ("<!-- 服務表：由 `quillora-cli services --traditional-chinese` 產生，測試會與程式的服務目錄核對 -->\n", "<!-- 服務表結束 -->"),
     ("<!-- Windows 表：由 `quillora-cli services --windows --traditional-chinese` 產生，測試會與程式的核對 -->\n",
      "<!-- Windows 表結束 -->"),
     ("<!-- Windows 10 表：`quillora-cli services --windows --traditional-chinese` 的第二部分，測試會與程式的核對 -->\n",
      "<!-- Windows 10 表結束 -->")),
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


def check_sections(users, chinese_manuals):
    english = headings(users)
    if english != [section[0] for section in SECTIONS]:
        fail("README.txt sections differ from the list: %s" % english)
    for (name, _, _, column, *_), text in zip(CHINESE_MANUALS, chinese_manuals):
        zh = headings(text)
        if zh != [section[column] for section in SECTIONS]:
            fail("%s sections differ from the list: %s" % (name, zh))


def check_generated_tables(manual, source_text, cli):
    """A Chinese manual's generated tables are the program's, between their markers; the output
    of `services --windows` is its two tables, each in its own section, apart by a blank line."""
    name, path, option, _, services, windows, windows10 = manual
    for arguments, places in ((["services", option], [services]), (["services", "--windows", option], [windows, windows10])):
        table = subprocess.run([cli] + arguments, capture_output=True, text=True, check=True).stdout
        if any(start not in source_text or end not in source_text for start, end in places):
            fail("%s has no markers for `quillora-cli %s`" % (path, " ".join(arguments)))
            continue
        between = "\n".join(source_text[source_text.index(start) + len(start):source_text.index(end)]
                            for start, end in places)
        if between != table:
            fail("%s's table is not what `quillora-cli %s` prints" % (path, " ".join(arguments)))


def sections_of(text):
    """The text of each section (## or ###), by its heading; the opening under ""."""
    parts, heading = {"": []}, ""
    for line in text.split("\n"):
        if re.match(r"#{1,3} ", line) and not line.startswith("# "):
            heading = line
            parts[heading] = []
        else:
            parts[heading].append(line)
    return {heading: "\n".join(lines) for heading, lines in parts.items()}


def tables_of(text):
    """Each table of the text as a list of rows, each a list of its cells."""
    tables, current = [], None
    for line in text.split("\n"):
        if line.startswith("|"):
            if current is None:
                current = []
                tables.append(current)
            cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
            if not all(re.fullmatch(r"-+", cell) for cell in cells):
                current.append(cells)
        else:
            current = None
    return tables


def fixed_cell(cell):
    """A cell that reads the same in both languages: a number, a service label or code."""
    return re.fullmatch(r"[\d.]+|-|`[^`]*`", cell) is not None


def check_tables(users, chinese, name, column):
    """Each section has the same tables in both manuals, row for row, and the cells that are not
    words (numbers, keys, code) are the same."""
    english, zh = sections_of(users), sections_of(chinese)
    for section in SECTIONS:
        english_heading, chinese_heading = section[0], section[column]
        english_tables = tables_of(english.get(english_heading, ""))
        chinese_tables = tables_of(zh.get(chinese_heading, ""))
        if len(english_tables) != len(chinese_tables):
            fail("%r has %d tables in README.txt, %r %d in %s"
                 % (english_heading, len(english_tables), chinese_heading, len(chinese_tables), name))
            continue
        for number, (one, other) in enumerate(zip(english_tables, chinese_tables), 1):
            if len(one) != len(other) or any(len(a) != len(b) for a, b in zip(one, other)):
                fail("table %d of %r has other rows or columns in %s" % (number, english_heading, name))
                continue
            for row, (a, b) in enumerate(zip(one, other)):
                for cell_a, cell_b in zip(a, b):
                    if (fixed_cell(cell_a) or fixed_cell(cell_b)) and cell_a != cell_b:
                        fail("table %d of %r, row %d: %r in README.txt, %r in %s"
                             % (number, english_heading, row, cell_a, cell_b, name))


def source(path):
    return open(os.path.join(ROOT, path), encoding="utf-8").read()


def constant(path, pattern):
    found = re.search(pattern, source(path))
    if not found:
        sys.exit("check_manuals: %s no longer holds %s; update the list of files the program writes" % (path, pattern))
    return found.group(1)


def files_the_program_writes():
    """The names the program's own code gives the files it writes."""
    return [
        constant("engine/records/backups/backup_store.cpp", r'kBackupFolderName\[\] = "([^"]+)"'),
        constant("engine/records/backups/backup_store.cpp", r'kAutomaticPrefix\[\] = "([^"]+)"'),
        constant("engine/records/backups/backup_store.cpp", r'kResultExtension\[\] = "([^"]+)"'),
        constant("engine/records/backups/backup_store.cpp", r'kJournalExtension\[\] = "([^"]+)"'),
        constant("engine/records/history/run_history.cpp", r'kHistoryName\[\] = "([^"]+)"'),
        constant("engine/choice/settings.cpp", r'kFileName\[\] = "([^"]+)"'),
        constant("engine/records/backups/profile_file.cpp", r'kFileName\[\] = "([^"]+)"'),
    ]


# Claims that the program writes or keeps nothing more.
DENIALS = [
    r"no settings? (?:are |is )?kept", r"keeps? no settings?", r"only files? (?:it|the program) writes?",
    r"writes? (?:no|nothing but)", r"不在两次运行之间保存", r"不保存(?:任何)?设置", r"只写.{0,6}备份", r"写的文件只有",
    r"不在兩次執行之間儲存", r"不儲存(?:任何)?設定", r"只寫.{0,6}備份", r"寫的檔案只有",
]


def check_file_claims(name, text):
    """The opening (up to the second section) names every file the program writes, and no
    sentence anywhere says it writes or keeps nothing more."""
    opening = "\n".join(text.split("\n## ")[:2])
    for written in files_the_program_writes():
        if written not in opening:
            fail("%s does not name %s, which the program writes, in its opening" % (name, written))
    for denial in DENIALS:
        for found in re.finditer(denial, text, re.I):
            fail("%s says %r, but the program writes %s" % (name, found.group(0), ", ".join(files_the_program_writes())))


CJK = "\u3000-\u9fff\uff00-\uffef"


def cpp_strings(literals):
    return "".join(re.findall(r'L"((?:[^"\\]|\\.)*)"', literals)).replace('\\"', '"')


def item_names():
    """Each Chinese text of the windows and the log with its English one: the tables of
    ui/words/texts.h, the constants they name, and the log's words."""
    constants = {name: cpp_strings(value) for name, value in
                 re.findall(r"constexpr wchar_t (k\w+)\[\] = (L\"[^;]*);", source("ui/ids/identifiers.h"))}
    log_words = source("engine/catalogue/wording.h")
    fields = re.findall(r"const wchar_t\* (\w+);", log_words)
    def words_of(table):
        body = re.search(table + r"\{(.*?)\};", log_words, re.S).group(1)
        values = re.findall(r'= (?:L"((?:[^"\\]|\\.)*)"|(k\w+))', body)
        return {field: (text or constants.get(ref) or cpp_strings(re.search(
            ref + r'\[\] = (L"[^;]*);', log_words).group(1)))
            for field, (text, ref) in zip(fields, values)}
    chinese_words, english_words = words_of("kChineseWording"), words_of("kEnglishWording")
    def table(name, words):
        body = re.search(name + r"\[\] = \{(.*?)\n\};", source("ui/words/texts.h"), re.S).group(1)
        entries = {}
        for text_id, value in re.findall(r"\{Text::(\w+),\s*(.*?)\},?\n(?=\s*\{Text::|$)", body + "\n", re.S):
            reference = re.fullmatch(r"(k\w+)(?:\.(\w+))?", value.strip())
            if reference and reference.group(2):
                entries[text_id] = words[reference.group(2)]
            elif reference:
                entries[text_id] = constants.get(reference.group(1), "")
            else:
                entries[text_id] = cpp_strings(value)
        return entries
    chinese, english = table("kChineseTexts", chinese_words), table("kEnglishTexts", english_words)
    pairs = [(chinese[key], english[key]) for key in chinese if key in english]
    pairs += [(chinese_words[field], english_words[field]) for field in chinese_words]
    for mode in ("disabled", "manual"):
        pairs.append((chinese_words["stop"] + chinese_words["comma"] + chinese_words[mode],
                      english_words["stop"] + english_words["comma"] + english_words[mode]))
    pairs.append((chinese_words["automatic"] + chinese_words["comma"] + chinese_words["start"],
                  english_words["automatic"] + english_words["comma"] + english_words["start"]))
    names = {}
    for zh, en in pairs:
        zh, en = zh.replace("&", ""), en.replace("&", "").strip()
        if re.search("[\u4e00-\u9fff]", zh) and not re.search(r"[{\\]", zh) and en:
            names.setdefault(zh, set()).add(en)
    return names


def check_item_names(users):
    """The first time README.txt names an item by its Chinese text, one of its English texts
    stands in the same paragraph."""
    paragraphs = re.split(r"\n\s*\n", users)
    for zh, english in sorted(item_names().items()):
        pattern = r"(?<![%s])%s(?![%s])" % (CJK, re.escape(zh), CJK)
        for paragraph in paragraphs:
            if re.search(pattern, paragraph):
                words = " ".join(paragraph.split()).lower()
                if not any(" ".join(en.split()).lower() in words for en in english):
                    fail("README.txt first names %r without its English text (%s): %r"
                         % (zh, " or ".join(sorted(english)), paragraph.strip()[:100]))
                break


# Words once mended in the Chinese manual: a misspelling, a false friend, a reading as "64-bit",
# and translationese.
MENDED_WORDS = ["照像机", "转送", "64 位十六进制", "英文覆盖"]


def check_chinese_words(chinese):
    for word in MENDED_WORDS:
        if word in chinese:
            fail("README-zh.txt says %r again" % word)


def check_notepad(name, data):
    if not data.startswith(b"\xef\xbb\xbf"):
        fail("%s has no byte-order mark" % name)
    if re.search(rb"(?<!\r)\n", data):
        fail("%s has a line end without CR" % name)
    if b"\r\n\r\n\r\n" in data:
        fail("%s has two blank lines in a row" % name)
    data.decode("utf-8")


def list_sizes():
    """The rows of the catalogue's two lists, counted in its source: the designed rows, and those
    of Windows 10 and 11."""
    catalogue = source("engine/catalogue/catalogue.cpp")
    body = catalogue[catalogue.index("kCatalogue{{"):catalogue.index("}};", catalogue.index("kCatalogue{{"))]
    windows10 = len(re.findall(r"^\s*windows10Row\(", body, re.M))
    designed = len(re.findall(r'^\s*\{L"', body, re.M))
    return designed, designed + windows10


def check_counts(users, chinese, traditional, changelog):
    """Where the manuals count the services, they count the catalogue's lists: never "sixty" alone,
    and both sizes where they say what the program changes."""
    designed, both = list_sizes()
    for name, text, words, says in (
            ("README.txt", users, ("sixty", "the 60 services"), "%d on Windows XP to 8.1, %d on Windows 10 and 11"),
            ("README-zh.txt", chinese, ("六十",), "Windows XP 到 8.1 上 %d 个，Windows 10 和 11 上 %d 个"),
            ("README-zh-TW.txt", traditional, ("六十",), "Windows XP 到 8.1 上 %d 個，Windows 10 和 11 上 %d 個"),
            ("CHANGELOG.txt", changelog, ("sixty",), "%d on\n  Windows XP to 8.1, %d on Windows 10 and 11")):
        for word in words:
            if word in text:
                fail("%s says %r: the lists hold %d and %d services" % (name, word, designed, both))
        if says % (designed, both) not in text:
            fail("%s does not say %r" % (name, says % (designed, both)))


def check_question_keys(users, chinese, traditional):
    """The tables of the questions of Windows 10 and 11 name, for each question, the keys of exactly
    the rows the catalogue has it decide, in its order."""
    catalogue = source("engine/catalogue/catalogue.cpp")
    asked = {}
    for key, flag in re.findall(r'windows10Row\(L"[^"]*", L"[^"]*", L"[^"]*",\s*L"[^"]*", L"([^"]*)", AnswerFlag::(\w+)',
                                catalogue):
        asked.setdefault(flag, []).append("`%s`" % key)
    expected = [", ".join(keys) for keys in asked.values()]
    for name, text, heading in (("README.txt", users, "| question |"), ("README-zh.txt", chinese, "| 问题 |"),
                                ("README-zh-TW.txt", traditional, "| 問題 |")):
        at = text.find(heading)
        if at < 0:
            fail("%s has no table of the questions of Windows 10 and 11" % name)
            continue
        rows = text[at:].split("\n\n")[0].splitlines()[2:]
        named = [row.rstrip(" |").rsplit(" | ", 1)[-1].replace("、", ", ") for row in rows]
        if named != expected:
            fail("%s's questions turn off %s; the catalogue's rows: %s" % (name, named, expected))


def main():
    cli = sys.argv[1]
    make_zip = load_make_zip()
    readme = open(os.path.join(ROOT, "README.md"), encoding="utf-8").read()
    users = make_zip.users_readme(readme)
    sources = [open(os.path.join(ROOT, manual[1]), encoding="utf-8").read() for manual in CHINESE_MANUALS]
    chinese_manuals = [make_zip.manual_text(text) for text in sources]
    chinese, traditional = chinese_manuals

    check_references(readme, users)
    check_commands(users, cli)
    check_names("README.txt", users)
    check_names("CHANGELOG.txt", open(os.path.join(ROOT, "CHANGELOG.md"), encoding="utf-8").read())
    check_sections(users, chinese_manuals)
    for manual, source_text, text in zip(CHINESE_MANUALS, sources, chinese_manuals):
        name, path, _, column = manual[:4]
        check_names(name, text)
        check_generated_tables(manual, source_text, cli)
        check_tables(users, text, name, column)
        check_file_claims(name, text)
        check_notepad(name, make_zip.contents("manual:" + os.path.join(ROOT, path)))
    check_file_claims("README.txt", users)
    check_item_names(users)
    check_chinese_words(chinese)
    check_question_keys(users, chinese, traditional)
    check_counts(users, chinese, traditional, open(os.path.join(ROOT, "CHANGELOG.md"), encoding="utf-8").read())
    check_notepad("README.txt", make_zip.contents("readme:" + os.path.join(ROOT, "README.md")))
    if "![" in users or any("![" in text for text in chinese_manuals):
        fail("a picture is left in a manual")

    for message in failures:
        print("check_manuals: " + message, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
