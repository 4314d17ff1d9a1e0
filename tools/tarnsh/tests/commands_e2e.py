# tarnsh end to end: command lines from -c and from a script, their exact output, what a
# failure does to the exit status, and what the host saves at exit.
#   commands_e2e.py <tarnsh>
import os
import sys

from tarnshtest import Home, run

failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}:\n  expected {expected!r}\n  got      {got!r}")


def main(tarnsh):
    home = Home()
    try:
        absent = home.path("absent")
        lines = ["debug.set a.b = 1", "debug.set  greeting = h\u00e9llo w", "debug.get a.b", "DEBUG.LIST",
                 'trace.set "My Cat" 3', "trace.get My Cat", "trace.set Other", "trace.set.master 7x",
                 "trace.get.master", 'echo "two  words" three\\"', f"filesupport.dir {absent}/sub",
                 "arrange 1000 560 dialog.svg"]
        status, out, err = run(tarnsh, home, [arg for line in lines for arg in ("-c", line)])
        check("several -c lines: status and errors", (status, err), (0, ""))
        check("several -c lines: output", out,
              "a.b = 1\n"
              "Listing contents of debug database!\n" + "-" * 35 + "\n"
              "a.b = 1\n"
              "greeting = h\u00e9llo w\n"
              "trace category My Cat set to volume 3.\n"
              "trace volume for category My Cat is 3.\n"
              "trace volume for category Other is 5.\n"
              "Master trace volume set to 7.\n"
              "Master trace volume is 7.\n"
              'two  words three"\n'
              f"Directory Path: {absent}/sub\n    not found.\n Dir Name: sub\n"
              f" Parent Path: {absent}\n    not found\n Dir name: absent\n\n"
              "1000 x 560 (minimum 915.5 x 440, fits) -> dialog.svg\n")
        with open(home.path("dialog.svg"), encoding="utf-8") as svg:
            picture = svg.read()
        check("arrange: an SVG picture", (picture.startswith("<svg "), picture.endswith("</svg>\n")),
              (True, True))

        # The host saved the debug database and, at shut-down, the trace settings.
        status, out, err = run(tarnsh, home, ["-c", "debug.get greeting", "-c", 'trace.get "My Cat"',
                                              "-c", "trace.get.master"])
        check("the next run: output", (status, out, err),
              (0, "greeting = h\u00e9llo w\ntrace volume for category My Cat is 3.\nMaster trace volume is 7.\n",
               ""))

        # help is the registry's listing, in name order: tarnsh's own commands beside the built-ins.
        status, out, err = run(tarnsh, home, ["-c", "help"])
        listing = out.split("\n")
        for line in ("debug.get <variable path> - Gets the value of the debug variable from the debug database.",
                     "crc32 <file> - Prints the CRC-32 (as zlib computes it) and the length of a file."):
            check(f"help lists {line!r}", line in listing, True)
        check("help: in name order", listing[2:-2], sorted(listing[2:-2], key=lambda l: l.lower()))

        # A failing line stops the run with status 1; the lines after it do not run.
        status, out, err = run(tarnsh, home, ["-c", "crc32 missing.bin"])
        check("a command that fails: status and output", (status, out), (1, ""))
        check("a command that fails says why", "missing.bin" in err, True)
        script = home.path("script.tarn")
        with open(script, "w", encoding="utf-8") as f:
            f.write("echo one\ntrace.get.master\nbad.command\necho not run\n")
        status, out, err = run(tarnsh, home, [script])
        check("failing script", (status, out, err),
              (1, "one\nMaster trace volume is 7.\n",
               "unknown command: bad.command (help lists the commands)\nstopped at line 3\n"))

        # assert with nobody to ask (no display, no terminal) gets the headless answer and
        # leaves "assert.enabled" as it was.
        home.env.pop("DISPLAY", None)
        status, out, err = run(tarnsh, home, ["-c", "assert a message", "-c", "debug.get assert.enabled"])
        check("assert without a display", (status, out, "<Assert> <0> Debug Assert failed!\r\n" in err),
              (0, "assert answered 3 (Ignore Once)\nassert.enabled = false\n", True))

        # Standard input, when it is not a terminal, is a script too: blank lines and
        # comments are skipped, and quit ends it with status 0.
        status, out, err = run(tarnsh, home, [], stdin=b"# a comment\r\n\necho from stdin\r\nquit\necho not run\n")
        check("standard input", (status, out, err), (0, "from stdin\n", ""))
        status, out, err = run(tarnsh, home, [], stdin=b"echo \xff\xfe\necho not run\n")
        check("a line that is not UTF-8", (status, out, err),
              (1, "", "not UTF-8 text: the line is ignored\nstopped at line 1\n"))
    finally:
        home.close()

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
