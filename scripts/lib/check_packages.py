#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the Debian packages in scripts/lib/packages.sh provide every
external command the project's scripts, build and tests call, and every
Python module the tests and the benchmark import.

Usage: check_packages.py [BUILD_DIR]

What is needed:
- shell scripts: the words in command position of shfmt's syntax tree,
  also behind wrappers such as env and sudo and behind the scripts' own
  functions that run "$@"; builtins, the scripts' functions and the
  project's own paths are no commands;
- Python files: their imports outside the standard library and the project;
  the first word of list literals given first to a call or assigned
  (argument vectors, for subprocess or a helper), and of the strings given
  to subprocess and shutil.which, where it names a program of this machine
  (one missing here goes unseen, and the test that runs it fails instead);
- CMake files: literal COMMAND words that are no target of the project;
- BUILD_DIR's CTest tests: each test's program and the executables among
  its arguments;
- EXPLICIT below: what none of these sees.

What is provided: each entry point (scripts/run, scripts/test,
scripts/bench, scripts/package) installs some of the lists, and what the
files it runs need must come from those lists or BASE, with everything
they depend on (through python3-apt; of alternatives, those installed
here): a package that a listed one pulls in is on every machine that
installs the list.
"""
import apt_pkg
import ast
import fnmatch
import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The minimal Debian 12 system every machine starts from: the packages of
# Priority required and important in bookworm (what debootstrap installs by
# default), plus git, ca-certificates and sudo, which cloning the project
# and running the scripts as a user need. Fixed here rather than read from
# this machine, which has many more packages installed.
BASE = """
    apt base-files base-passwd bash bsdutils coreutils dash debconf
    debianutils diffutils dpkg e2fsprogs findutils grep gzip hostname
    init-system-helpers libc-bin libpam-modules libpam-modules-bin
    libpam-runtime login mawk mount ncurses-base ncurses-bin passwd perl-base
    sed sysvinit-utils tar tzdata util-linux
    adduser apt-utils cpio cron cron-daemon-common debconf-i18n
    debian-archive-keyring dmidecode fdisk gpgv ifupdown init iproute2
    iputils-ping isc-dhcp-client isc-dhcp-common kmod less logrotate nano
    netbase nftables procps readline-common sensible-utils systemd
    systemd-sysv tasksel-data udev vim-common vim-tiny whiptail
    git ca-certificates sudo
""".split()

# Commands of BASE that a machine may lack (a container run as root often
# has no sudo, which scripts/lib/setup.sh needs only when not root).
BASE_COMMANDS = {"sudo": "sudo"}

# Which entry points run a file (first match wins). "*" matches across "/".
FILE_SCOPES = [
    ("scripts/lib/check_packages.py", ["scripts/test"]),
    # The modules of the desktop tests that the benchmark imports.
    ("tests/desktop/[apx]*.py", ["scripts/test", "scripts/bench"]),
    ("tests/desktop/sessionbus.py", ["scripts/test", "scripts/bench"]),
    ("tests/*", ["scripts/test"]),
    (".ci/*", ["scripts/test"]),
    ("scripts/test", ["scripts/test"]),
    ("scripts/package", ["scripts/package"]),
    ("bench/*", ["scripts/bench"]),
    ("scripts/bench", ["scripts/bench"]),
    ("*", ["scripts/run", "scripts/test", "scripts/bench", "scripts/package"]),  # the set-up and the build
]

# Commands no scan sees, with the file they belong to and why.
EXPLICIT = [
    ("/usr/libexec/at-spi-bus-launcher", "tests/desktop/sessionbus.py",
     "D-Bus starts it for the first AT-SPI call"),
    ("/usr/libexec/at-spi2-registryd", "tests/desktop/sessionbus.py", "the accessibility bus starts it"),
    ("make", "CMakeLists.txt", "cmake --build runs it (Unix Makefiles)"),
    ("c++", "CMakeLists.txt", "CMake's C++ compiler"),
    ("clang++", "scripts/test", "the second build's compiler (scripts/lib/setup.sh)"),
    ("objcopy", "packaging/CMakeLists.txt", "CMake's CMAKE_OBJCOPY drops the packaged program's notes"),
    ("/usr/lib/qt6/libexec/moc", "CMakeLists.txt", "CMake's AUTOMOC"),
]

# Where Debian's packages put commands; this machine's PATH may put
# /usr/local or a user's own tools first.
DEBIAN_PATH = "/usr/sbin:/usr/bin:/sbin:/bin:/usr/games"

# Shell commands that run the command in their arguments: their options
# that take a value, and how many operands come before the command.
SHELL_WRAPPERS = {
    "exec": ({"-a"}, 0), "command": (set(), 0), "nohup": (set(), 0), "setsid": (set(), 0),
    "env": ({"-u", "-C", "-S", "--unset", "--chdir"}, 0), "nice": ({"-n"}, 0),
    "sudo": ({"-u", "-g", "-C", "-D", "-h", "-p", "-U"}, 0),
    "timeout": ({"-s", "-k"}, 1), "flock": ({"-w", "-E"}, 1),
    "xargs": ({"-I", "-n", "-P", "-d", "-L", "-s", "-E", "-a"}, 0),
}
ALL_ARGS = object()  # the word "$@"
PY_SPAWNS = {"run", "Popen", "call", "check_call", "check_output", "getoutput", "system", "which"}


def run(*args, stdin=None):
    done = subprocess.run(args, input=stdin, capture_output=True, text=True)
    if done.returncode != 0 and not done.stdout:
        sys.exit("%s failed: %s" % (args[0], done.stderr.strip()))
    return done.stdout


def shell_text(parts):
    """The text of a word's parts when they expand nothing."""
    text = ""
    for part in parts:
        inner = shell_text(part.get("Parts", [])) if part["Type"] == "DblQuoted" else part.get("Value")
        if inner is None or part["Type"] not in ("Lit", "SglQuoted", "DblQuoted"):
            return None
        text += inner
    return text


def shell_word(word):
    """A word's text when it expands nothing; ALL_ARGS for "$@"."""
    parts = word["Parts"]
    if len(parts) == 1 and parts[0]["Type"] == "DblQuoted":
        parts = parts[0].get("Parts", [])
    if len(parts) == 1 and parts[0]["Type"] == "ParamExp" and parts[0]["Param"]["Value"] == "@":
        return ALL_ARGS
    return shell_text(word["Parts"])


def shell_calls(node, function=None):
    """(function, words) of every simple command in a syntax tree, and
    (function, []) where a function is defined."""
    if isinstance(node, list):
        for item in node:
            yield from shell_calls(item, function)
    elif isinstance(node, dict):
        if node.get("Type") == "FuncDecl":
            function = node["Name"]["Value"]
            yield function, []
        if node.get("Type") == "CallExpr" and node.get("Args"):
            yield function, [shell_word(w) for w in node["Args"]]
        for value in node.values():
            yield from shell_calls(value, function)


def shell_commands(words, wrappers, skip):
    """The commands of one simple command (ALL_ARGS where it runs "$@")."""
    i = 0
    while i < len(words):
        word = words[i]
        if word is ALL_ARGS:
            yield ALL_ARGS
            return
        if word is None or word.startswith("-") or (word in skip and word not in SHELL_WRAPPERS | wrappers):
            return
        if "/" in word and not word.startswith("/"):
            return  # a path inside the project
        if word not in skip:
            yield word
        if word in SHELL_WRAPPERS:
            options, operands = SHELL_WRAPPERS[word]
            i += 1
            while i < len(words) and isinstance(words[i], str) and (
                    words[i].startswith("-") or (word == "env" and "=" in words[i])):
                i += 1 + (words[i] in options)
                if words[i - 1] == "--":
                    break
            i += operands
        elif word in wrappers:
            i += 1 + wrappers[word]
        else:
            return


def scan_shell(files):
    """{command: [file, ...]} of the shell scripts."""
    calls = {path: list(shell_calls(json.loads(run("shfmt", "--tojson", "-ln", "bash", stdin=text))))
             for path, text in files}
    every = [call for found in calls.values() for call in found]
    skip = set(run("bash", "-c", "compgen -b; compgen -k").split()) | {f for f, _ in every if f}
    shifts = {}
    for function, words in every:
        if function and words[:1] == ["shift"]:
            count = words[1] if len(words) > 1 and isinstance(words[1], str) and words[1].isdigit() else "1"
            shifts[function] = shifts.get(function, 0) + int(count)
    # The functions that run their arguments, after shifting some away.
    wrappers = {}
    while True:
        found = {f: shifts.get(f, 0) for f, words in every
                 if f and ALL_ARGS in shell_commands(words, wrappers, skip)}
        if found.items() <= wrappers.items():
            break
        wrappers.update(found)
    commands = {}
    for path, found in calls.items():
        for _, words in found:
            for command in shell_commands(words, wrappers, skip):
                if command is not ALL_ARGS:
                    commands.setdefault(command, []).append(path)
    return commands


def executable(path):
    return path is not None and os.path.isfile(path) and os.access(path, os.X_OK)


def scan_python(files):
    """({command: [file, ...]}, {module: [file, ...]}) of the Python files."""
    local = {os.path.splitext(os.path.basename(p))[0] for p, _ in files} | \
            {os.path.basename(os.path.dirname(p)) for p, _ in files}
    commands, modules = {}, {}
    for path, text in files:
        for node in ast.walk(ast.parse(text, path)):
            first, spawn = None, False
            if isinstance(node, ast.Import):
                names = [a.name for a in node.names]
            elif isinstance(node, ast.ImportFrom) and node.level == 0:
                names = [node.module]
            else:
                names = []
                if isinstance(node, ast.Call) and node.args:
                    first = node.args[0]
                    spawn = getattr(node.func, "attr", getattr(node.func, "id", None)) in PY_SPAWNS
                elif isinstance(node, ast.Assign):
                    first = node.value
            for name in names:
                top = name.split(".")[0]
                if top not in sys.stdlib_module_names and top not in local:
                    modules.setdefault(top, []).append(path)
            while isinstance(first, ast.BinOp) and isinstance(first.op, ast.Add):
                first = first.left
            if isinstance(first, (ast.List, ast.Tuple)) and first.elts:
                first, spawn = first.elts[0], True
            if spawn and isinstance(first, ast.Constant) and isinstance(first.value, str) and first.value.split():
                command = first.value.split()[0]
                if executable(command if command.startswith("/") else shutil.which(command, path=DEBIAN_PATH)):
                    commands.setdefault(command, []).append(path)
    return commands, modules


def scan_cmake(files):
    commands = {}
    texts = [(path, re.sub(r"#.*", "", text)) for path, text in files]
    targets = {t for _, text in texts for t in re.findall(r"add_executable\(\s*([\w.+-]+)", text)}
    for path, text in texts:
        for command in re.findall(r"\bCOMMAND\s+([^\s()$\"<>\\]+)", text):
            if command not in targets and ("/" not in command or command.startswith("/")):
                commands.setdefault(command, []).append(path)
    return commands


def scan_ctest(build):
    """{command: ["ctest:" + test]}: what the registered tests run."""
    listing = json.loads(run("ctest", "--show-only=json-v1", "--test-dir", build) or "{}")
    inside = (os.path.realpath(ROOT) + "/", os.path.realpath(build) + "/")
    commands = {}
    for test in listing.get("tests", []):
        for k, arg in enumerate(test.get("command") or []):
            real = os.path.realpath(arg) if os.path.isabs(arg) else ""
            if real.startswith(inside):
                continue
            if (k == 0 and not real) or (real and os.path.isfile(real) and os.access(real, os.X_OK)):
                commands.setdefault(arg, []).append("ctest:" + test["name"])
    return commands


def project_files():
    listed = run("git", "-C", ROOT, "ls-files", "--cached", "--others", "--exclude-standard", "-z")
    shell, python, cmake = [], [], []
    for path in sorted(set(filter(None, listed.split("\0")))):
        full = os.path.join(ROOT, path)
        if not os.path.isfile(full):
            continue
        with open(full, "rb") as f:
            head = f.read(128).split(b"\n")[0]
        name = os.path.basename(path)
        if path.endswith(".sh") or re.match(rb"#!.*\b(ba)?sh\b", head):
            kind = shell
        elif path.endswith(".py") or re.match(rb"#!.*python", head):
            kind = python
        elif name == "CMakeLists.txt" or name.endswith(".cmake"):
            kind = cmake
        else:
            continue
        with open(full, encoding="utf-8") as f:
            kind.append((path, f.read()))
    return shell, python, cmake


def shebangs(files):
    commands = {}
    for path, text in files:
        m = re.match(r"#!\s*(\S+)(?:[ \t]+(\S+))?", text)
        if m:
            for command in {m.group(1), m.group(2) if m.group(1).endswith("/env") else None} - {None}:
                commands.setdefault(command, []).append(path)
    return commands


def package_lists():
    """{list name: [package, ...]} of scripts/lib/packages.sh."""
    out = run("bash", "-c", '. "$1"; for v in $(compgen -A arrayvar TAVRIN_); do '
              'declare -n l=$v; echo "$v ${l[*]}"; unset -n l; done', "_",
              os.path.join(ROOT, "scripts/lib/packages.sh"))
    return {line.split()[0]: line.split()[1:] for line in out.splitlines() if line.strip()}


def closure(roots, cache):
    """roots and everything they depend on; of each "a | b", the
    alternatives installed here (by name or as providers)."""
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        if name in seen:
            continue
        seen.add(name)
        version = cache[name].current_ver if name in cache else None
        depends = version.depends_list if version else {}
        for group in depends.get("PreDepends", []) + depends.get("Depends", []):
            todo += [v.parent_pkg.name for dep in group for v in dep.all_targets() if v.parent_pkg.current_ver == v]
    return seen


def owners(paths):
    """{path: {package, ...}} for the paths Debian's packages ship. usrmerge
    moved /bin, /sbin and /lib into /usr, so dpkg may know a path by either
    name; links are resolved."""
    names = {path: {p for q in (path, os.path.realpath(path)) for p in (
        q, re.sub(r"^/usr/(bin|sbin|lib)/", r"/\1/", q), re.sub(r"^/(bin|sbin|lib)/", r"/usr/\1/", q))}
        for path in paths}
    shipped = {}
    for line in run("dpkg", "-S", *sorted(set().union(*names.values()))).splitlines():
        if ": " in line and not line.startswith("diversion by"):
            packages, path = line.split(": ", 1)
            shipped[path] = {p.strip().split(":")[0] for p in packages.split(",")}
    return {path: set().union(*(shipped.get(n, set()) for n in names[path])) for path in paths}


def module_path(name):
    """Where a top-level module lives, found without running it (some of the
    tests' modules reach for a bus when imported)."""
    found = importlib.util.find_spec(name)
    if found is None:
        return None
    return found.origin if found.has_location else next(iter(found.submodule_search_locations or []), None)


def main():
    started = time.monotonic()
    build = sys.argv[1] if len(sys.argv) > 1 else None
    shell, python, cmake = project_files()
    needs = {}  # (kind, name) -> {file: None}

    def merge(kind, found):
        for name, where in found.items():
            needs.setdefault((kind, name), {}).update(dict.fromkeys(where))

    py_commands, py_modules = scan_python(python)
    for found in (scan_shell(shell), py_commands, scan_cmake(cmake), shebangs(shell + python),
                  {name: [where] for name, where, _ in EXPLICIT}):
        merge("command", found)
    merge("Python module", py_modules)
    if build:
        merge("command", scan_ctest(build))
    else:
        print("note: no build directory given, the CTest tests' commands are not checked")

    paths = {}  # (kind, name) -> where it is on this machine
    for kind, name in needs:
        if kind == "Python module":
            paths[(kind, name)] = module_path(name)
        else:
            paths[(kind, name)] = name if name.startswith("/") else shutil.which(name, path=DEBIAN_PATH)
    paths = {need: path for need, path in paths.items() if path and os.path.exists(path)}
    shipped = owners(sorted(set(paths.values())))
    packages = {need: shipped[path] for need, path in paths.items()}  # of what is on this machine
    for name, package in BASE_COMMANDS.items():
        packages.setdefault(("command", name), {package})

    lists = package_lists()
    apt_pkg.init()
    cache = apt_pkg.Cache(None)
    base = closure(BASE, cache)
    failures = []
    for entry in sorted({entry for _, entries in FILE_SCOPES for entry in entries}):
        with open(os.path.join(ROOT, entry), encoding="utf-8") as f:
            names = sorted(set(re.findall(r"\$\{(TAVRIN_\w+_PACKAGES)\[@\]\}", f.read())))
        listed = [p for name in names for p in lists.get(name, [])]
        provided = closure(listed, cache) | base
        absent = [p for p in listed if p not in cache or not cache[p].current_ver]
        where = "the lists %s installs (%s)" % (entry, ", ".join(names))
        for (kind, name), files in sorted(needs.items()):
            files = [w for w in files if entry in (
                ["scripts/test"] if w.startswith("ctest:") else
                next(s for pattern, s in FILE_SCOPES if fnmatch.fnmatch(w, pattern)))]
            what = "%s %s (%s)" % (kind, name, ", ".join(files))
            if not files:
                continue
            if (kind, name) not in packages:
                if absent:
                    print("note: %s not checked: not on this machine, nor are all the packages"
                          " %s installs (%s)" % (what, entry, " ".join(absent)))
                else:
                    failures.append("%s: not on this machine, although %s are installed" % (what, where))
            elif not packages[(kind, name)]:
                failures.append("%s: belongs to no Debian package" % what)
            elif not packages[(kind, name)] & provided:
                failures.append("%s: comes from %s, which neither %s nor the base system bring in"
                                % (what, ", ".join(sorted(packages[(kind, name)])), where))
    for (kind, name), files in sorted(needs.items()):
        print("%-34s %-24s %s" % (name, ", ".join(sorted(packages.get((kind, name), ["-"]))), " ".join(files)))
    for failure in failures:
        print("FAIL: " + failure)
    print("%d commands and Python modules, checked in %.1f s: %s"
          % (len(needs), time.monotonic() - started,
             "%d not provided" % len(failures) if failures else "all provided"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
