#!/usr/bin/env python3
"""Runs the commands that README.md shows with their output, and checks
that each prints exactly what the README shows.

Usage: readme_commands_test.py REPOSITORY PROGRAM_FOLDER

A command is a line of a ```sh block that starts with "$ ", with the lines
that continue it (while a line ends with "|" or "\\"); the lines after it,
up to the next "$ " line or the end of the block, are what it prints,
standard output and standard error together. Blocks without "$ " lines
are listings and are not run. A block right after a line
"<!-- not checked: REASON -->" is not run either: that is for commands
that need what the repository does not hold, such as a capture or a
user's log.

Each command runs in bash, in a scratch folder that holds the repository's
files, with the programs of PROGRAM_FOLDER where `make demo` leaves them,
build-demo/cli/, so the commands run exactly as the README writes them.
"""

import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile

PROMPT = "$ "
NOT_CHECKED = re.compile(r"^<!-- not checked: .+ -->$")
PROGRAMS = ("iso8583dump", "iso8583pack")
# Tools the README's commands use besides the programs.
TOOLS = ("bash", "jq", "cmp", "head")


def commands_of(readme):
    """The README's checked commands: (line number, command, output shown)."""
    commands = []
    lines = readme.split("\n")
    k = 0
    while k < len(lines):
        if lines[k] != "```sh":
            k += 1
            continue
        skipped = k > 0 and NOT_CHECKED.match(lines[k - 1]) is not None
        end = lines.index("```", k + 1)
        block = lines[k + 1:end]
        k = end + 1
        if skipped:
            continue
        at = 0
        while at < len(block):
            if not block[at].startswith(PROMPT):
                at += 1
                continue
            start = at
            command = [block[at][len(PROMPT):]]
            while command[-1].endswith(("|", "\\")) and at + 1 < len(block):
                at += 1
                command.append(block[at])
            at += 1
            output = []
            while at < len(block) and not block[at].startswith(PROMPT):
                output.append(block[at])
                at += 1
            commands.append((k - len(block) + start, "\n".join(command), output))
    return commands


def scratch_folder(repository, program_folder):
    """A folder with the repository's files and build-demo/cli/ holding the programs."""
    folder = tempfile.mkdtemp(prefix="readme-commands-")
    for name in os.listdir(repository):
        if not name.startswith(("build", "dist", ".")):
            os.symlink(os.path.join(repository, name), os.path.join(folder, name))
    cli = os.path.join(folder, "build-demo", "cli")
    os.makedirs(cli)
    for program in PROGRAMS:
        os.symlink(os.path.join(program_folder, program), os.path.join(cli, program))
    return folder


def main():
    repository, program_folder = (os.path.abspath(path) for path in sys.argv[1:3])
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print("readme: needs %s (scripts/install-deps.sh installs them)" % ", ".join(missing))
        return 1
    with open(os.path.join(repository, "README.md"), encoding="utf-8") as f:
        commands = commands_of(f.read())
    if not commands:
        print("readme: no commands found")
        return 1
    folder = scratch_folder(repository, program_folder)
    failures = 0
    try:
        for line, command, shown in commands:
            run = subprocess.run(["bash", "-c", command], cwd=folder, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT)
            printed = run.stdout.decode("utf-8", "replace").split("\n")
            if printed[-1] == "":
                printed.pop()
            if printed != shown:
                failures += 1
                print("README.md:%d: the output differs from what the README shows:\n$ %s" %
                      (line, command))
                sys.stdout.writelines(difflib.unified_diff(
                    [l + "\n" for l in shown], [l + "\n" for l in printed], "README.md", "printed"))
    finally:
        shutil.rmtree(folder)
    print("readme: %d of %d commands print what the README shows" %
          (len(commands) - failures, len(commands)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
