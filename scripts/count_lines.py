#!/usr/bin/python3
"""How large the tests are beside the code they test.

    scripts/count_lines.py

Counts the lines that are neither blank nor only a comment in the files
git knows: C++, JavaScript, HTML, Python, shell and CMake. The code is src/,
tools/ and web/; the tests are tests/ (golden runs' scripts and expected
values are data, not counted); fuzz/ and bench/ are counted on their own
and in neither share. Python's docstrings count as comments.
"""
import os
import subprocess

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
C_LIKE = {".cpp", ".h", ".js", ".html"}
HASH = {".py", ".sh", ".cmake"}


def counted(path):
    name = os.path.basename(path)
    ext = ".cmake" if name == "CMakeLists.txt" else os.path.splitext(name)[1]
    if ext not in C_LIKE | HASH:
        return 0
    total, block, text = 0, False, False
    with open(os.path.join(ROOT, path), errors="replace") as f:
        for line in f:
            s = line.strip()
            if not s:
                continue
            if ext in C_LIKE:
                if block:
                    block = "*/" not in s
                    continue
                if s.startswith("//"):
                    continue
                if s.startswith("/*"):
                    block = "*/" not in s
                    continue
            elif s.startswith("#") and not s.startswith("#!"):
                continue
            elif ext == ".py":
                # A string standing as a statement is a docstring: Python's
                # comment on a module or function. Other strings are code.
                opens = s.count('"""') % 2 == 1
                if block:
                    block = not opens
                    continue
                if s.startswith('"""') and not text:
                    block = opens
                    continue
                text = text != opens
            total += 1
    return total


def main():
    files = subprocess.run(["git", "-C", ROOT, "ls-files"], capture_output=True, text=True,
                           check=True).stdout.split()
    folders = {}
    for path in files:
        top = path.split("/")[0]
        folders[top] = folders.get(top, 0) + counted(path)
    code = sum(folders.get(f, 0) for f in ("src", "tools", "web"))
    for folder in ("src", "tools", "web", "tests", "fuzz", "bench"):
        print("%-6s %6d" % (folder, folders.get(folder, 0)))
    print("tests are %.1f%% of the code (src, tools, web)" % (100.0 * folders.get("tests", 0) / code))


if __name__ == "__main__":
    main()
