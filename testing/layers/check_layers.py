#!/usr/bin/env python3
"""The layers hold in the build: an include that docs/ARCHITECTURE.md forbids is not found.

Compiles one-line probes with the exact compile command of a real source file of each
target (taken from compile_commands.json) and checks that forbidden includes fail with
"No such file" while allowed ones compile, so a probe cannot pass by failing for
another reason.

    check_layers.py <build dir>
"""
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile

# (target whose compile command is borrowed, include line, allowed?)
CASES = [
    # The ground floor sees nothing above it.
    ("tarncore_platform", "<tarncore/filesupport/File.h>", False),
    ("tarncore_platform", "<tarncore/utility/StringTypes.h>", False),
    ("tarncore_platform", "<tarncore/config/Errors.h>", False),
    ("tarncore_platform", '"platform/os/Files.h"', True),
    # The layout engine stands apart: geometry, reference counting, nothing of files or the OS.
    ("tarncore_arrange", "<tarncore/filesupport/File.h>", False),
    ("tarncore_arrange", '"platform/os/Files.h"', False),
    ("tarncore_arrange", "<tarncore/threads/Mutex.h>", False),
    ("tarncore_arrange", "<tarncore/geom/Geometry.h>", True),
    ("tarncore_arrange", "<tarncore/utility/RefCountedObject.h>", True),
    # Another component's private headers are out of reach, its own are not.
    ("tarncore_filesupport", '"utility/src/CaseTable.h"', False),
    ("tarncore_filesupport", '"threads/src/LockState.h"', False),
    ("tarncore_filesupport", '"filesupport/src/ShellLink.h"', True),
    ("arrange_tests", '"filesupport/src/ShellLink.h"', False),
    ("filesupport_tests", '"filesupport/src/ShellLink.h"', True),
    # The utility base is below config and threads; its services are above them.
    ("tarncore_utility", "<tarncore/config/Errors.h>", False),
    ("tarncore_utility", "<tarncore/threads/Mutex.h>", False),
    ("tarncore_utility", "<tarncore/utility/SmallBlockAllocator.h>", False),
    ("tarncore_utility", '"threads/internal/Condition.h"', False),
    ("tarncore_utility_services", '"threads/internal/Condition.h"', True),
    ("tarncore_utility_services", "<tarncore/config/Errors.h>", True),
    # The allocators never depend on debug: their statistics trace is built in debug.
    ("tarncore_utility_services", "<tarncore/debug/SafeTraceStream.h>", False),
    ("tarncore_utility_services", '"utility/src/LockFreeList.h"', True),
    ("tarncore_debug", "<tarncore/utility/Allocator.h>", False),
    # Declared internal folders reach only those that name them.
    ("tarncore_config", '"platform/os/Files.h"', False),
    ("tarncore_filesupport", '"platform/os/Files.h"', True),
    ("tarncore_filesupport", '"threads/internal/Condition.h"', False),
    # Files and threads are beside each other, not on top of each other.
    ("tarncore_filesupport", "<tarncore/threads/Mutex.h>", False),
    ("tarncore_threads", "<tarncore/filesupport/File.h>", False),
    # XML reaches expat only through the platform's reader; property lists read through
    # XML without exposing it, and nothing below them sees either.
    ("tarncore_xml", '"platform/os/XmlReader.h"', True),
    ("tarncore_xml", "<tarncore/filesupport/File.h>", False),
    ("tarncore_proplist", "<tarncore/xml/XMLParser.h>", True),
    ("tarncore_proplist", '"xml/src/XMLUtils.cpp"', False),
    ("tarncore_filesupport", "<tarncore/xml/XMLParser.h>", False),
    ("tarncore_filesupport", "<tarncore/proplist/PropList.h>", False),
    # The console log sits below debug, whose trace handler writes into it; debug's
    # database is a property list in its public header.
    ("tarncore_console", "<tarncore/debug/Trace.h>", False),
    ("tarncore_console", '"platform/os/Clock.h"', True),
    ("tarncore_debug", "<tarncore/proplist/PropList.h>", True),
    ("tarncore_debug", "<tarncore/console/ConsoleLogFile.h>", True),
    ("tarncore_debug", '"console/src/LogClock.h"', False),
    ("tarncore_proplist", "<tarncore/debug/DebugDatabase.h>", False),
    # The assertions ask through the platform's modal prompt and learn about the process
    # through its internal interface; the console below them does not see them.
    ("tarncore_debug", "<tarncore/platform/ModalPrompt.h>", True),
    ("tarncore_debug", '"platform/os/Process.h"', True),
    ("tarncore_console", "<tarncore/debug/Assert.h>", False),
    # The built-in commands stand on debug and the registry below it; neither sees
    # them, and they reach the operating system only through file support.
    ("tarncore_commands", "<tarncore/debug/Trace.h>", True),
    ("tarncore_commands", "<tarncore/console/Command.h>", True),
    ("tarncore_commands", '"debug/src/DatabaseFiles.h"', False),
    ("tarncore_commands", '"platform/os/Files.h"', False),
    ("tarncore_console", "<tarncore/commands/BuiltInCommands.h>", False),
    ("tarncore_debug", "<tarncore/commands/BuiltInCommands.h>", False),
]


def commands_by_target(build):
    with open(os.path.join(build, "compile_commands.json")) as f:
        entries = json.load(f)
    found = {}
    for entry in entries:
        match = re.search(r"CMakeFiles/([^/ ]+)\.dir/", entry["command"])
        if match and entry["file"].endswith(".cpp"):
            found.setdefault(match.group(1), entry)
    return found


def probe(entry, include, scratch):
    source = os.path.join(scratch, "probe.cpp")
    with open(source, "w") as f:
        f.write(f"#include {include}\n")
    words = shlex.split(entry["command"])
    out = []
    skip = False
    for word in words:
        if skip:
            skip = False
            continue
        if word == "-o":
            skip = True
            continue
        if word == "-c" or word == entry["file"]:
            continue
        out.append(word)
    out += ["-fsyntax-only", source]
    result = subprocess.run(out, cwd=entry["directory"], capture_output=True, text=True)
    return result.returncode == 0, result.stderr


def main():
    targets = commands_by_target(sys.argv[1])
    failures = 0
    with tempfile.TemporaryDirectory() as scratch:
        for target, include, allowed in CASES:
            if target not in targets:
                # Tests are not built in every preset; the library targets always are.
                if target.startswith("tarncore_"):
                    print(f"FAIL {target}: no compile command")
                    failures += 1
                continue
            ok, errors = probe(targets[target], include, scratch)
            not_found = "No such file" in errors or "file not found" in errors
            good = ok if allowed else (not ok and not_found)
            verdict = "ok  " if good else "FAIL"
            expected = "reaches" if allowed else "cannot reach"
            print(f"{verdict} {target} {expected} {include}")
            if not good:
                failures += 1
                print(errors.strip()[:2000])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
