#!/usr/bin/env python3
"""readme_test.py README BUILD_DIR WORK_DIR CXX: the README's tour, run as a reader runs it.

- A code block whose info string names a file (```cpp mypack/mypack.cpp) is written to that file.
- Every ```sh block of the tour is run line by line in WORK_DIR; each command must succeed, and ctest
  must have run tests.
- Every transcript block (one opening "$ COMMAND" line) runs COMMAND; lines starting "vellum> " are
  its input, every other line the output it must print.
- Every other ```sh block names only programs that exist, presets that exist and targets that the
  build has.
The paths as printed are relative to the source tree; build/linux-x64/ stands for BUILD_DIR and
~/vellum for an install prefix in WORK_DIR.
"""
import json
import os
import re
import shutil
import subprocess
import sys

readme, build, work, cxx = sys.argv[1:5]
source = os.path.dirname(os.path.abspath(readme))
build = os.path.abspath(build)
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
env = dict(os.environ, CXX=cxx, VELLUM_REGISTRY_ROOT=os.path.join(work, "registry"))
failures = []


def localise(command):
    command = command.replace("build/linux-x64/", build + "/").replace("build/linux-x64 ", build + " ")
    return command.replace("~/vellum", os.path.join(work, "prefix"))


def run(command, stdin=""):
    return subprocess.run(["bash", "-c", localise(command)], cwd=work, env=env, input=stdin, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


# Blocks: (info string, lines, whether inside the tour).
blocks, lines, info, in_tour = [], None, "", False
for line in open(readme, encoding="utf-8").read().splitlines():
    if line.startswith("## "):
        in_tour = line.startswith("## A tour")
    if line.startswith("```"):
        if lines is None:
            lines, info = [], line[3:].strip()
        else:
            blocks.append((info, lines, in_tour))
            lines = None
    elif lines is not None:
        lines.append(line)

for info, body, _ in blocks:
    words = info.split()
    if len(words) == 2:
        path = os.path.join(work, words[1])
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as out:
            out.write("\n".join(body) + "\n")

presets = {p["name"] for p in json.load(open(os.path.join(source, "CMakePresets.json")))["configurePresets"]}
targets = subprocess.run(["cmake", "--build", build, "--target", "help"], text=True, stdout=subprocess.PIPE).stdout
targets = {t.split(":")[0] for t in targets.splitlines()}

for info, body, tour in blocks:
    if info == "sh" and tour:
        for command in body:
            if command.strip():
                done = run(command)
                if done.returncode != 0:
                    failures.append(f"{command}\n  exit status {done.returncode}:\n{done.stdout}")
                elif "ctest" in command and "100% tests passed" not in done.stdout:
                    failures.append(f"{command}\n  ran no tests:\n{done.stdout}")
                else:
                    print("ok:", command)
    elif info == "sh":
        for command in body:
            words = command.split("#")[0].split()
            if not words:
                continue
            program = words[0]
            if program != "cmake" and not os.access(os.path.join(source, program), os.X_OK):
                failures.append(f"{command}\n  {program} is not a program of the tree")
            for flag, value in zip(words, words[1:]):
                if flag == "--preset" and value not in presets:
                    failures.append(f"{command}\n  no preset {value}")
            if "--target" in words:
                for target in words[words.index("--target") + 1:]:
                    if target.startswith("-") or target not in targets:
                        failures.append(f"{command}\n  the build has no target {target}")
            print("ok (names only):", command)
    elif info == "" and body and body[0].startswith("$ "):
        stdin = "".join(l[len("vellum> "):] + "\n" for l in body[1:] if l.startswith("vellum> "))
        expected = "".join(l + "\n" for l in body[1:] if not l.startswith("vellum> "))
        done = run(body[0][2:], stdin)
        if done.stdout != expected or done.returncode != 0:
            failures.append(f"{body[0]}\n--- expected\n{expected}--- got (exit status {done.returncode})\n{done.stdout}")
        else:
            print("ok:", body[0])

if failures:
    print("\nFAILED:\n" + "\n\n".join(failures), file=sys.stderr)
    sys.exit(1)
