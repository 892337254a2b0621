# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the log that `strace -f -o LOG` writes: one record per finished
system call, with calls that other threads interrupted put back together."""

import re

_LINE = re.compile(r"^(\d+)\s+(.*)$")
_CALL = re.compile(r"^(\w+)\((.*)\)\s+=\s+(\S+)(?:\s+(E\w+)\b.*)?$")
_RESUMED = re.compile(r"^<\.\.\. (\w+) resumed>\s?(.*)$")
_STRING = re.compile(r'@?"((?:[^"\\]|\\.)*)"')
_ESCAPE = re.compile(r"\\(x[0-9a-fA-F]{2}|[0-7]{1,3}|.)")

WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")
# Calls that change the file system when they succeed.
MODIFYING = {"mkdir", "mkdirat", "rmdir", "unlink", "unlinkat", "rename", "renameat",
             "renameat2", "link", "linkat", "symlink", "symlinkat", "truncate", "chmod",
             "fchmodat", "chown", "lchown", "fchownat", "utime", "utimes", "utimensat",
             "futimesat", "mknod", "mknodat", "setxattr", "lsetxattr", "removexattr",
             "lremovexattr"}
# Calls whose quoted arguments after the first are not paths that were used.
FIRST_STRING_ONLY = {"readlink", "readlinkat", "execve", "execveat", "getxattr",
                     "lgetxattr", "listxattr", "llistxattr"}


def _unescape(text):
    def one(m):
        code = m.group(1)
        if code[0] == "x":
            return chr(int(code[1:], 16))
        if code[0] in "01234567":
            return chr(int(code, 8))
        return {"n": "\n", "t": "\t", "r": "\r", "v": "\v", "f": "\f"}.get(code, code)
    return _ESCAPE.sub(one, text)


class Call:
    """One system call: pid, name, raw arguments, result and error name."""

    def __init__(self, pid, name, args, result, error):
        self.pid, self.name, self.args, self.result, self.error = pid, name, args, result, error

    @property
    def failed(self):
        return self.result.startswith("-")

    def strings(self):
        """The quoted arguments (paths, socket names), unescaped."""
        found = [_unescape(m.group(1)) for m in _STRING.finditer(self.args)]
        return found[:1] if self.name in FIRST_STRING_ONLY else found

    def paths(self):
        if self.name in ("connect", "bind", "sendto", "sendmsg", "socket"):
            return []
        return [s for s in self.strings() if s]

    def opens_for_writing(self):
        if self.name == "creat":
            return True
        if self.name not in ("open", "openat", "openat2"):
            return False
        return any(flag in self.args for flag in WRITE_FLAGS)

    def modifies(self):
        return self.name in MODIFYING

    def address_family(self):
        m = re.search(r"sa_family=(AF_\w+)", self.args)
        return m.group(1) if m else None

    def unix_path(self):
        """The socket name a connect/bind/sendto gives ("@" marks the abstract space)."""
        m = re.search(r'sun_path=(@?)"((?:[^"\\]|\\.)*)"', self.args)
        return m.group(1) + _unescape(m.group(2)) if m else None

    def socket_domain(self):
        return self.args.split(",", 1)[0].strip() if self.name == "socket" else None

    def __str__(self):
        tail = " " + self.error if self.error else ""
        return "[%s] %s(%s) = %s%s" % (self.pid, self.name, self.args, self.result, tail)


def parse(lines):
    """Returns (calls, exits): the finished calls in order, {pid: exit status}."""
    calls, exits, pending = [], {}, {}
    for raw in lines:
        m = _LINE.match(raw.rstrip("\n"))
        if not m:
            continue
        pid, text = int(m.group(1)), m.group(2)
        if text.startswith("+++ exited with "):
            exits[pid] = int(text.split()[3])
            continue
        if text.startswith("+++ killed by "):
            exits[pid] = text.split()[3]
            continue
        if text.startswith("---"):
            continue
        if text.endswith("<unfinished ...>"):
            pending[pid] = text[:-len("<unfinished ...>")].rstrip()
            continue
        resumed = _RESUMED.match(text)
        if resumed:
            text = pending.pop(pid, resumed.group(1) + "(") + resumed.group(2)
        call = _CALL.match(text)
        if call:
            calls.append(Call(pid, call.group(1), call.group(2), call.group(3), call.group(4)))
    return calls, exits
