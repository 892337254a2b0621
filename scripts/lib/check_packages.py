#!/usr/bin/python3
"""Checks that the Debian packages in scripts/lib/packages.sh provide every
external command the project's scripts, build and tests call, and every
Python module the tests and the benchmark import.

Usage: check_packages.py [BUILD_DIR]

Where the commands come from:
- shell scripts (shebang or .sh): the word in command position of each
  simple command, found by a small tokenizer (quotes, comments, here-documents,
  $(...) and case patterns understood), behind wrappers such as env, sudo,
  setsid and the scripts' own functions that run "$@"; shell builtins, the
  scripts' functions and the project's own relative paths are not commands;
- Python files: the program of subprocess/os/shutil.which calls, and of the
  files' own functions that pass an argument on to such a call (as a literal
  list, or a variable assigned one); their non-standard imports;
- CMake files: literal COMMAND words that are no target of the project;
- BUILD_DIR's CTest tests: each test's program and the absolute paths of
  executables among its arguments (CTest resolves the CMake variables);
- EXPLICIT below: what none of these sees.

What counts as provided: a file's entry points (scripts/run, scripts/test,
scripts/bench; see FILE_SCOPES) each install some of the package lists, and
a command must come from the dependency closure of those lists plus BASE.
The closure rather than the lists alone: Debian splits a tool's files over
packages that are implementation details (dbus-daemon and dbus-bin for dbus,
python3.11-minimal for python3), and in a stable release a package's
dependencies do not change, so what a listed package pulls in is installed
on every machine that installs the list. A command that nothing listed
brings in (man: man-db is of Priority standard, not in BASE) still fails, and
so does one whose package leaves the lists, unless another listed package
depends on it.
"""
import ast
import fnmatch
import glob
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
# default, and the Debian installer with no task selected), plus git,
# ca-certificates and sudo, which cloning the project and running the
# scripts as a user need. Fixed here rather than read from this machine,
# which has many more packages installed.
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
# has no sudo, which scripts/lib/setup.sh needs only when not root), with
# their package: where the command is missing, the package stands for it.
BASE_COMMANDS = {"sudo": "sudo"}

# Which entry points run a file (first match wins): its commands must come
# from the lists each of them installs. "*" matches across "/".
FILE_SCOPES = [
    ("scripts/lib/check_packages.py", ["scripts/test"]),
    ("tests/*", ["scripts/test"]),
    (".ci/*", ["scripts/test"]),
    ("scripts/test", ["scripts/test"]),
    ("bench/*.py", ["scripts/bench"]),
    ("scripts/bench", ["scripts/bench"]),
    ("*", ["scripts/run", "scripts/test", "scripts/bench"]),  # the set-up and the build
]

# Commands no scan sees, with the file they belong to and why.
EXPLICIT = [
    ("/usr/libexec/at-spi-bus-launcher", "tests/e2e/tavrin_e2e.py",
     "D-Bus starts it for the tests' first AT-SPI call"),
    ("/usr/libexec/at-spi2-registryd", "tests/e2e/tavrin_e2e.py",
     "the accessibility bus starts it"),
    ("make", "CMakeLists.txt", "cmake --build runs it (Unix Makefiles)"),
    ("c++", "CMakeLists.txt", "CMake's C++ compiler"),
    ("/usr/lib/qt6/libexec/moc", "CMakeLists.txt", "CMake's AUTOMOC"),
]

# Words the scans take for commands that are none of a Debian package's.
IGNORED = {
    "/usr/games/tavrin",  # the project's own program, installed by the package test
}

# Where Debian's packages put commands; this machine's PATH may put
# /usr/local or a user's own tools first.
DEBIAN_PATH = "/usr/sbin:/usr/bin:/sbin:/bin:/usr/games"

# Shell: commands that run the command in their arguments, with their
# options that take a value and how many operands come before the command.
SHELL_WRAPPERS = {
    "exec": ({"-a"}, 0), "command": (set(), 0), "time": (set(), 0),
    "env": ({"-u", "-C", "-S", "--unset", "--chdir"}, 0),
    "sudo": ({"-u", "-g", "-C", "-D", "-h", "-p", "-U"}, 0),
    "setsid": (set(), 0), "nohup": (set(), 0), "nice": ({"-n"}, 0),
    "timeout": ({"-s", "-k"}, 1), "flock": ({"-w", "-E"}, 1),
    "xargs": ({"-I", "-n", "-P", "-d", "-L", "-s", "-E", "-a"}, 0),
}
SHELL_EXTERNAL_WRAPPERS = {"env", "sudo", "setsid", "nohup", "nice", "timeout", "flock", "xargs"}
SHELL_LEADERS = {"!", "{", "then", "do", "else", "elif", "if", "while", "until"}
ASSIGNMENT = re.compile(r"[A-Za-z_]\w*(\[[^]]*\])?\+?=")
COMMAND_NAME = re.compile(r"[\w.+/-]*[A-Za-z_][\w.+/-]*\Z")
ALL_ARGS = ('"$@"', "$@")

# Python: the calls that run a program named by their first argument.
PY_SPAWNS = {"subprocess": {"run", "Popen", "call", "check_call", "check_output",
                            "getoutput", "getstatusoutput"},
             "os": {"system", "popen", "execv", "execve", "execvp", "execvpe", "execl",
                    "execle", "execlp", "execlpe", "spawnv", "spawnvp", "spawnl", "spawnlp",
                    "posix_spawn", "posix_spawnp"},
             "shutil": {"which"}}


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, stdin=subprocess.DEVNULL).stdout


class ShellScanner:
    """Splits a shell script into simple commands: (function, [(value, raw)])
    where value is a word's text without quotes, or None when it expands
    anything, and function the one whose body holds the command."""

    def __init__(self, text):
        self.s = text
        self.commands = []
        self.functions = set()
        self.braces = []          # per open { }: the function it starts, or None
        self.next_function = None
        self.heredocs = []
        self.scan(0, None)

    def skip_balanced(self, i, open_, close):
        depth = 0
        while i < len(self.s):
            c = self.s[i]
            if c == "\\":
                i += 1
            elif c == "'":
                i = self.s.find("'", i + 1)
                if i < 0:
                    return len(self.s)
            elif c == open_:
                depth += 1
            elif c == close:
                depth -= 1
                if depth == 0:
                    return i + 1
            i += 1
        return i

    def scan(self, i, closer):
        """Scans code from i up to closer (")" of a $( ), returns the end."""
        s, n = self.s, len(self.s)
        words, word, const = [], None, True
        depth = 0
        redirect = pattern = dbracket = False

        def add(text, constant=True):
            nonlocal word, const
            word = (word or "") + text
            const = const and constant

        def end_word():
            nonlocal word, const, redirect, pattern, dbracket
            if word is None:
                return
            value = word if const else None
            raw, word, const = s[span[0]:span[1]], None, True
            if redirect:
                redirect = False
            elif pattern:
                if value == "esac" and not words:
                    pattern = False
                    words.append((value, raw))
            else:
                words.append((value, raw))
                if value == "[[":
                    dbracket = True
                elif value == "]]":
                    dbracket = False
                elif value == "in" and words[0][0] == "case":
                    end_command()
                    pattern = True

        def end_command():
            nonlocal words
            end_word()
            if not words:
                return
            first = words[0][0]
            if first == "function" and len(words) > 1:
                self.functions.add(words[1][0])
                self.next_function = words[1][0]
            elif first == "{":
                self.braces.append(self.next_function)
                self.next_function = None
            elif first == "}" and self.braces:
                self.braces.pop()
            function = next((f for f in reversed(self.braces) if f), None)
            self.commands.append((function, words))
            words = []

        span = [i, i]  # of the current word in s
        while i < n:
            c = s[i]
            span[:] = [span[0] if word is not None else i, i]
            if c == "\\":
                if s.startswith("\\\n", i):
                    i += 2
                    continue
                add(s[i + 1:i + 2])
                i += 2
            elif c == "#" and word is None:
                i = s.find("\n", i)
                i = n if i < 0 else i
            elif c in " \t":
                end_word()
                i += 1
            elif c == "\n":
                end_command()
                i += 1
                for delimiter, tabs in self.heredocs:
                    while i < n:
                        eol = s.find("\n", i)
                        eol = n if eol < 0 else eol
                        line = s[i:eol].lstrip("\t") if tabs else s[i:eol]
                        i = eol + 1
                        if line == delimiter:
                            break
                self.heredocs = []
            elif c == "'":
                j = s.find("'", i + 1)
                j = n if j < 0 else j
                add(s[i + 1:j])
                i = j + 1
            elif c == '"' or s.startswith('$"', i):
                i = self.double_quoted(i + (2 if c == "$" else 1), add)
            elif c == "`":
                i = self.backquoted(i, add)
            elif c == "$":
                i = self.expansion(i, add)
            elif c in ";&|":
                op = next(o for o in (";;&", ";;", ";&", "&>>", "&>", "&&", "||", "|&", ";", "&", "|")
                          if s.startswith(o, i))
                i += len(op)
                if op.startswith("&>"):
                    end_word()
                    redirect = True
                elif dbracket or (pattern and op == "|"):
                    end_word()
                else:
                    end_command()
                    pattern = op in (";;", ";&", ";;&")
            elif c in "<>":
                if word is not None and word.isdigit() and const:
                    word = None  # a file descriptor
                if s.startswith(("<(", ">("), i):
                    i = self.scan(i + 2, ")")
                    add("", False)
                    continue
                end_word()
                if s.startswith("<<<", i):
                    i += 3
                    redirect = True
                elif s.startswith("<<", i):
                    tabs = s.startswith("<<-", i)
                    m = re.compile(r"[ \t]*([^\s;&|<>()]*)").match(s, i + 2 + tabs)
                    self.heredocs.append((re.sub(r"[\"'\\]", "", m.group(1)), tabs))
                    i = m.end()
                else:
                    i += 2 if s[i:i + 2] in (">>", ">&", "<&", ">|", "<>") else 1
                    redirect = True
            elif c == "(":
                if pattern:
                    i += 1
                elif word is not None and word.endswith("=") and word[:-1].isidentifier():
                    j = self.skip_balanced(i, "(", ")")
                    add(s[i:j], False)  # an array assignment
                    i = j
                elif word is None and not words and s.startswith("((", i):
                    i = self.skip_balanced(i, "(", ")")  # arithmetic
                elif dbracket:
                    end_word()
                    i += 1
                else:
                    end_word()
                    m = re.compile(r"\([ \t]*\)").match(s, i)
                    if len(words) == 1 and m:
                        self.functions.add(words[0][0])
                        self.next_function = words[0][0]
                        words = []
                        i = m.end()
                    else:
                        end_command()
                        depth += 1
                        i += 1
            elif c == ")":
                i += 1
                if pattern:
                    word, words, pattern = None, [], False
                    continue
                if dbracket:
                    end_word()
                    continue
                end_command()
                if depth > 0:
                    depth -= 1
                elif closer == ")":
                    return i
            else:
                add(c)
                i += 1
        span[1] = i
        end_command()
        return i

    def double_quoted(self, i, add):
        s = self.s
        add("")
        while i < len(s) and s[i] != '"':
            if s[i] == "\\":
                add(s[i + 1:i + 2])
                i += 2
            elif s[i] == "`":
                i = self.backquoted(i, add)
            elif s[i] == "$":
                i = self.expansion(i, add)
            else:
                add(s[i])
                i += 1
        return i + 1

    def backquoted(self, i, add):
        j = i + 1
        while j < len(self.s) and self.s[j] != "`":
            j += 2 if self.s[j] == "\\" else 1
        inner = ShellScanner(self.s[i + 1:j])
        self.commands += inner.commands
        self.functions |= inner.functions
        add("", False)
        return j + 1

    def expansion(self, i, add):
        s = self.s
        if s.startswith("$((", i):
            j = self.skip_balanced(i + 1, "(", ")")
        elif s.startswith("$(", i):
            j = self.scan(i + 2, ")")
        elif s.startswith("${", i):
            j = self.skip_balanced(i + 1, "{", "}")
        elif s.startswith("$'", i):
            j = i + 2
            while j < len(s) and s[j] != "'":
                j += 2 if s[j] == "\\" else 1
            add(s[i + 2:j])
            return j + 1
        else:
            m = re.compile(r"\$(\w+|.)?").match(s, i)
            j = m.end()
        add(s[i:j], False)
        return j


def shell_commands(words, wrappers, skip):
    """The external commands of one simple command (None for "$@")."""
    i = 0
    while i < len(words):
        value, raw = words[i]
        if raw in ALL_ARGS:
            yield None
            return
        if value is None and not ASSIGNMENT.match(raw):
            return
        if ASSIGNMENT.match(raw) or value in SHELL_LEADERS:
            i += 1
        elif value in SHELL_WRAPPERS:
            if value in SHELL_EXTERNAL_WRAPPERS:
                yield value
            options, operands = SHELL_WRAPPERS[value]
            i += 1
            while i < len(words) and (words[i][1].startswith("-") or
                                      (value == "env" and ASSIGNMENT.match(words[i][1]))):
                i += 1 + (words[i][1] in options)
                if words[i - 1][1] == "--":
                    break
            i += operands
        elif value in wrappers:
            i += 1 + wrappers[value]
        elif value in skip or not COMMAND_NAME.match(value) or value.startswith("-"):
            return
        elif "/" not in value or value.startswith("/"):
            yield value
            return
        else:
            return  # a path inside the project


def scan_shell(files):
    """{command: [file, ...]} of the shell scripts."""
    scanned = {path: ShellScanner(text) for path, text in files}
    functions = set().union(*(sc.functions for sc in scanned.values()))
    skip = set(run("bash", "-c", "compgen -b; compgen -k").split()) | functions
    # The functions that run their arguments ("$@", through each other too),
    # with how many arguments they shift away first.
    wrappers = {}
    while True:
        found = {}
        for sc in scanned.values():
            shifts = {}
            for function, words in sc.commands:
                if words[0][0] == "shift":
                    count = words[1][0] if len(words) > 1 else "1"
                    shifts[function] = shifts.get(function, 0) + int(count if count.isdigit() else 1)
                elif function and None in shell_commands(words, wrappers, skip):
                    found[function] = shifts.get(function, 0)
        if found.items() <= wrappers.items():
            break
        wrappers.update(found)
    commands = {}
    for path, sc in scanned.items():
        for _, words in sc.commands:
            for command in shell_commands(words, wrappers, skip):
                if command:
                    commands.setdefault(command, []).append(path)
    return commands


def scan_python(files):
    """({command: [file, ...]}, {module: [file, ...]}) of the Python files."""
    trees = {path: ast.parse(text, path) for path, text in files}

    def spawned(call, wrappers):
        f = call.func
        if isinstance(f, ast.Attribute) and isinstance(f.value, ast.Name):
            if f.attr in PY_SPAWNS.get(f.value.id, ()):
                return True
        name = f.attr if isinstance(f, ast.Attribute) else getattr(f, "id", None)
        return name in wrappers

    functions = (ast.FunctionDef, ast.AsyncFunctionDef)

    def scopes(tree):
        """Each function (and the module): its own nodes (those of the
        functions it defines left out), and the values its names get."""
        for scope in [tree] + [n for n in ast.walk(tree) if isinstance(n, functions)]:
            nodes, todo = [], list(ast.iter_child_nodes(scope))
            while todo:
                nodes.append(todo.pop())
                if not isinstance(nodes[-1], functions):
                    todo += ast.iter_child_nodes(nodes[-1])
            names = {}
            for node in nodes:
                if isinstance(node, ast.Assign):
                    for target in node.targets:
                        if isinstance(target, ast.Name):
                            names.setdefault(target.id, []).append(node.value)
            yield scope, nodes, names

    def program(node, names, depth=0):
        if isinstance(node, ast.Constant) and isinstance(node.value, str):
            words = node.value.split()
            return words[0] if words else None
        if isinstance(node, (ast.List, ast.Tuple)) and node.elts:
            return program(node.elts[0], names, depth)
        if isinstance(node, ast.BinOp):
            return program(node.left, names, depth)
        if isinstance(node, ast.Name) and depth < 3:
            for value in names.get(node.id, ()):
                found = program(value, names, depth + 1)
                if found:
                    return found
        return None

    wrappers = set()
    while True:  # the files' functions that pass an argument on to a spawn
        found = set()
        for tree in trees.values():
            for scope, nodes, _ in scopes(tree):
                if isinstance(scope, ast.Module):
                    continue
                params = {a.arg for a in scope.args.args + scope.args.kwonlyargs}
                for call in nodes:
                    if (isinstance(call, ast.Call) and call.args and spawned(call, wrappers)
                            and isinstance(call.args[0], ast.Name) and call.args[0].id in params):
                        found.add(scope.name)
        if found <= wrappers:
            break
        wrappers |= found

    commands, modules = {}, {}
    local = {os.path.splitext(os.path.basename(p))[0] for p in trees}
    for path, tree in trees.items():
        for _, nodes, names in scopes(tree):
            for call in nodes:
                if isinstance(call, ast.Call) and call.args and spawned(call, wrappers):
                    command = program(call.args[0], names)
                    if command and ("/" not in command or command.startswith("/")):
                        commands.setdefault(command, []).append(path)
        for node in ast.walk(tree):
            if isinstance(node, ast.Import):
                names = [a.name for a in node.names]
            elif isinstance(node, ast.ImportFrom) and node.level == 0:
                names = [node.module]
            else:
                continue
            for name in names:
                top = name.split(".")[0]
                if top not in sys.stdlib_module_names and top not in local:
                    modules.setdefault(top, []).append(path)
    return commands, modules


def scan_cmake(files):
    commands = {}
    texts = [(path, re.sub(r"#.*", "", text)) for path, text in files]
    targets = {t for _, text in texts for t in re.findall(r"add_executable\(\s*([\w.+-]+)", text)}
    for path, text in texts:
        for command in re.findall(r"\bCOMMAND\s+([^\s()$\"<>]+)", text):
            if command not in targets and ("/" not in command or command.startswith("/")):
                commands.setdefault(command, []).append(path)
    return commands


def scan_ctest(build):
    """{command: ["ctest:" + test]}: what the registered tests run."""
    listing = json.loads(run("ctest", "--show-only=json-v1", "--test-dir", build) or "{}")
    commands = {}
    inside = (os.path.realpath(ROOT) + "/", os.path.realpath(build) + "/")
    for test in listing.get("tests", []):
        args = test.get("command") or []
        for k, arg in enumerate(args):
            real = os.path.realpath(arg) if os.path.isabs(arg) else ""
            if real.startswith(inside):
                continue
            if (k == 0 and not os.path.isabs(arg)) or (
                    real and os.path.isfile(real) and os.access(real, os.X_OK)):
                commands.setdefault(arg, []).append("ctest:" + test["name"])
    return commands


def project_files():
    listed = run("git", "-C", ROOT, "ls-files", "--cached", "--others", "--exclude-standard", "-z")
    if not listed:
        sys.exit("git ls-files lists no files in " + ROOT)
    shell, python, cmake = [], [], []
    for path in sorted(set(filter(None, listed.split("\0")))):
        full = os.path.join(ROOT, path)
        if not os.path.isfile(full):
            continue
        name = os.path.basename(path)
        with open(full, "rb") as f:
            head = f.read(128).split(b"\n")[0]
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
            command = m.group(2) if m.group(1).endswith("/env") and m.group(2) else m.group(1)
            commands.setdefault(command, []).append(path)
            if command != m.group(1):
                commands.setdefault(m.group(1), []).append(path)
    return commands


def package_lists():
    """{list name: [package, ...]} of scripts/lib/packages.sh."""
    out = run("bash", "-c", '. "$1"; for v in $(compgen -A arrayvar TAVRIN_); do '
              'declare -n l=$v; echo "$v ${l[*]}"; unset -n l; done', "_",
              os.path.join(ROOT, "scripts/lib/packages.sh"))
    return {line.split()[0]: line.split()[1:] for line in out.splitlines() if line.strip()}


def installed_packages():
    """({package: [[alternative, ...], ...]}, {virtual: {provider, ...}})."""
    out = run("dpkg-query", "-W", "-f",
              "${db:Status-Status}\t${Package}\t${Pre-Depends}, ${Depends}\t${Provides}\n")
    depends, providers = {}, {}
    bare = lambda dep: re.sub(r"\(.*?\)|:\w+", "", dep).strip()
    for line in out.splitlines():
        status, package, deps, provides = line.split("\t")
        if status != "installed":
            continue
        groups = depends.setdefault(package, [])
        for group in deps.split(","):
            alternatives = [bare(a) for a in group.split("|") if bare(a)]
            if alternatives:
                groups.append(alternatives)
        for virtual in provides.split(","):
            if bare(virtual):
                providers.setdefault(bare(virtual), set()).add(package)
    return depends, providers


def closure(roots, depends, providers):
    """roots and what they depend on: of each "a | b", the first alternative
    installed here (by its name, else by whatever provides it)."""
    seen, todo = set(), list(roots)
    while todo:
        package = todo.pop()
        if package in seen:
            continue
        seen.add(package)
        for alternatives in depends.get(package, ()):
            for alternative in alternatives:
                found = [alternative] if alternative in depends else providers.get(alternative)
                if found:
                    todo += found
                    break
    return seen


def owners(paths):
    """{path: [package, ...]} for the paths that Debian packages ship."""
    found = {}
    for line in run("dpkg", "-S", *paths).splitlines():
        if line.startswith("diversion by") or ": " not in line:
            continue
        packages, path = line.split(": ", 1)
        found[path] = [p.strip().split(":")[0] for p in packages.split(",")]
    return found


def candidates(path):
    """path and the names dpkg may know it by: usrmerge moved /bin, /sbin and
    /lib into /usr; alternatives and other links are resolved."""
    result = []
    for p in (path, os.path.realpath(path)):
        for q in (p, re.sub(r"^/usr/(bin|sbin|lib)/", r"/\1/", p),
                  re.sub(r"^/(bin|sbin|lib)/", r"/usr/\1/", p)):
            if q not in result:
                result.append(q)
    return result


def scopes_of(where):
    """The entry points that run a file (or a CTest test)."""
    if where.startswith("ctest:"):
        return ["scripts/test"]
    return next(scopes for pattern, scopes in FILE_SCOPES if fnmatch.fnmatch(where, pattern))


def module_path(name):
    """Where a top-level module of the system Python lives, found without
    importing it (some of the tests' modules reach for a bus when imported)."""
    for folder in sys.path:
        for candidate in [os.path.join(folder, name), os.path.join(folder, name + ".py")] + \
                sorted(glob.glob(os.path.join(folder, name + ".*.so"))):
            if os.path.exists(candidate):
                return candidate
    return None


def main():
    started = time.monotonic()
    build = sys.argv[1] if len(sys.argv) > 1 else None
    shell, python, cmake = project_files()
    needs = {}  # (kind, name) -> {file: None}

    def merge(kind, found):
        for name, where in found.items():
            if name not in IGNORED:
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

    # Each one's path on this machine, and the packages that ship it.
    packages = {}
    for kind, name in needs:
        if kind == "command":
            path = name if name.startswith("/") else shutil.which(name, path=DEBIAN_PATH)
        else:
            path = module_path(name)
        if path and os.path.exists(path):
            packages[(kind, name)] = path
    owned = owners(sorted({c for p in packages.values() for c in candidates(p)}))
    for need, path in packages.items():
        packages[need] = next((owned[c] for c in candidates(path) if c in owned), [])
    for name, package in BASE_COMMANDS.items():
        packages.setdefault(("command", name), [package])

    lists = package_lists()
    depends, providers = installed_packages()
    base = closure(BASE, depends, providers)
    failures = []
    for entry in sorted({entry for _, entries in FILE_SCOPES for entry in entries}):
        with open(os.path.join(ROOT, entry), encoding="utf-8") as f:
            names = sorted(set(re.findall(r"\$\{(TAVRIN_\w+_PACKAGES)\[@\]\}", f.read())))
        listed = [p for name in names for p in lists.get(name, [])]
        absent = [p for p in listed if p not in depends]
        provided = closure(listed, depends, providers) | base
        where = "the lists %s installs (%s)" % (entry, ", ".join(names))
        for (kind, name), files in sorted(needs.items()):
            files = [w for w in files if entry in scopes_of(w)]
            what = "%s %s (%s)" % (kind, name, ", ".join(files))
            if not files:
                continue
            if (kind, name) not in packages:
                if absent:
                    print("note: %s not checked: not on this machine, nor are all the packages"
                          " %s installs (%s)" % (what, entry, " ".join(absent)))
                else:
                    failures.append("%s: not on this machine, although %s are installed"
                                    % (what, where))
            elif not packages[(kind, name)]:
                failures.append("%s: belongs to no Debian package" % what)
            elif not set(packages[(kind, name)]) & provided:
                failures.append("%s: comes from %s, which neither %s nor the base system bring in"
                                % (what, ", ".join(packages[(kind, name)]), where))
    for (kind, name), files in sorted(needs.items()):
        print("%-34s %-24s %s" % (name, ", ".join(packages.get((kind, name), ["-"])), " ".join(files)))
    for failure in failures:
        print("FAIL: " + failure)
    print("%d commands and Python modules, checked in %.1f s: %s"
          % (len(needs), time.monotonic() - started,
             "%d not provided" % len(failures) if failures else "all provided"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
