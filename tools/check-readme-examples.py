#!/usr/bin/env python3
"""Runs the README's tested examples against a build and compares what they print.

   tools/check-readme-examples.py README.md BIN_DIR

A tested example is a console block right after a line "<!-- tested example -->": lines
starting with "$ " are commands (a line ending in a backslash continues on the next),
the lines after a command are what it prints, standard error included. "<n>" in the
printed lines stands for a number that depends on the machine. Each block runs in one
shell, in a scratch folder where build/release/bin holds the build's programs.
"""
import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

MARKER = "<!-- tested example -->"
NUMBER = r"-?[0-9]+(?:\.[0-9]+)?"


def tested_blocks(readme):
    lines = open(readme, encoding="utf-8").read().split("\n")
    blocks = []
    for i, line in enumerate(lines):
        if line.strip() != MARKER:
            continue
        if i + 1 >= len(lines) or not lines[i + 1].startswith("```"):
            sys.exit(f"{readme}:{i + 1}: a tested example must be followed by a code block")
        end = lines.index("```", i + 2)
        blocks.append((i + 3, lines[i + 2:end]))
    return blocks


def commands_of(block):
    """Each command as shown (its lines) and the lines shown after it."""
    commands = []
    continuing = False
    for line in block:
        if continuing:
            commands[-1][0].append(line)
        elif line.startswith("$ "):
            commands.append(([line], []))
        elif commands:
            commands[-1][1].append(line)
        continuing = bool(commands) and not commands[-1][1] and line.endswith("\\")
    return commands


def run(block, bin_dir):
    script = ["exec 2>&1"]
    for shown, _ in commands_of(block):
        script.append("printf '%s\\n' " + shlex.quote("\n".join(shown)))
        script.append("\n".join(shown)[2:])
    with tempfile.TemporaryDirectory() as scratch:
        # The plug-in is a copy, so that the Quorvane.ini it writes beside itself is a fresh one.
        local_bin = os.path.join(scratch, "build", "release", "bin")
        os.makedirs(local_bin)
        for name in os.listdir(bin_dir):
            source = os.path.join(bin_dir, name)
            if name == "Quorvane.so":
                shutil.copy(source, local_bin)
            elif not name.endswith(".ini"):
                os.symlink(source, os.path.join(local_bin, name))
        environment = dict(os.environ, HOME=scratch, LC_ALL="C")
        result = subprocess.run(["bash", "-c", "\n".join(script)], cwd=scratch, env=environment,
                                stdout=subprocess.PIPE, text=True)
    return result.stdout.rstrip("\n").split("\n")


def matches(expected, actual):
    pattern = NUMBER.join(re.escape(piece) for piece in expected.split("<n>"))
    return re.fullmatch(pattern, actual) is not None


def main():
    readme, bin_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    blocks = tested_blocks(readme)
    if not blocks:
        sys.exit(f"no tested examples in {readme}")
    failed = 0
    for first_line, block in blocks:
        actual = run(block, bin_dir)
        if len(actual) == len(block) and all(map(matches, block, actual)):
            continue
        failed += 1
        print(f"{readme}:{first_line}: the example's output differs from what the build prints:")
        sys.stdout.writelines(difflib.unified_diff([l + "\n" for l in block], [l + "\n" for l in actual],
                                                   "README", "build"))
    print(f"{len(blocks) - failed} of {len(blocks)} tested README examples print what they show")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
