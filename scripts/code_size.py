#!/usr/bin/env python3
"""Lists the source files over a number of lines and the functions over a number of lines.

A function is a brace block opened after a parameter list that is not a control statement's, so member
functions, free functions and named lambdas all count; a function is measured from its opening line to its
closing brace. Usage: code_size.py [--file-lines N] [--function-lines N] [FOLDER...] (default 400, 60, and the
folders src apps tools bench fuzz tests). The exit status is 1 when anything is over.
"""
import argparse
import pathlib
import re
import sys

CONTROL = re.compile(r"\b(if|for|while|switch|catch|do|else|return)\b")


def strip(text):
    """The text with comments, strings and character literals blanked, line breaks kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c == "#" and text[text.rfind("\n", 0, i) + 1:i].strip() == "":
            # A preprocessor line, with its continuations: `#pragma GCC target("avx2")` is no parameter list.
            j = i
            while True:
                j = text.find("\n", j)
                if j < 0 or text[j - 1] != "\\":
                    break
                j += 1
            j = n if j < 0 else j
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (min(j, n) + 1 - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(text):
    """(name, first line, line count) of each function body in a C++ text."""
    code = strip(text)
    found = []
    stack = []  # per open brace: (is_function, name, line)
    last = 0  # where the text before the current brace starts
    line = 1
    for i, c in enumerate(code):
        if c == "\n":
            line += 1
        elif c == "{":
            head = code[last:i]
            head_flat = " ".join(head.split())
            is_function = False
            name = ""
            m = re.search(r"([~\w:<>]+|operator\s*\S+|\])\s*\(([^()]|\([^()]*\))*\)[^(){};]*$", head_flat)
            words = head_flat.split("(")[0].split()
            if m and not (words and CONTROL.fullmatch(words[-1])):
                is_function = True
                name = m.group(1)
            stack.append((is_function, name, line))
            last = i + 1
        elif c == "}":
            if stack:
                is_function, name, start = stack.pop()
                if is_function:
                    found.append((name, start, line - start + 1))
            last = i + 1
        elif c == ";":
            last = i + 1
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file-lines", type=int, default=400)
    parser.add_argument("--function-lines", type=int, default=60)
    parser.add_argument("folders", nargs="*", default=["src", "apps", "tools", "bench", "fuzz", "tests"])
    args = parser.parse_args()
    root = pathlib.Path(__file__).resolve().parent.parent
    over = 0
    for folder in args.folders:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            relative = path.relative_to(root)
            lines = text.count("\n")
            if lines > args.file_lines:
                print(f"file {relative}: {lines} lines")
                over += 1
            for name, start, count in functions(text):
                if count > args.function_lines:
                    print(f"function {relative}:{start} {name}: {count} lines")
                    over += 1
    print(f"{over} over (files > {args.file_lines} lines, functions > {args.function_lines} lines)")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
