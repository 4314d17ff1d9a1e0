# tarnsh at a terminal, driven through a pseudo-terminal: typing a command, completing a
# command name with Tab, recalling a line from the history with the up arrow and running
# it again, and the history surviving a restart.
#   terminal_e2e.py <tarnsh>
import os
import pty
import re
import select
import subprocess
import sys
import termios
import time

from tarnshtest import Home

PROMPT = "tarn> "
ANSWER = "\ncolour = teal\n"  # the answer on a line of its own, not the echo of "debug.set"
UP = "\x1b[A"
ESCAPES = re.compile(r"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][A-Za-z0-9]|\x1b[=>]|\r|\x07|\x08")


class Terminal:
    def __init__(self, tarnsh, home):
        self.master, slave = pty.openpty()
        env = dict(home.env, TERM="xterm", COLUMNS="200", LINES="50")
        self.process = subprocess.Popen([tarnsh], stdin=slave, stdout=slave, stderr=slave, env=env,
                                        cwd=home.root, start_new_session=True)
        os.close(slave)
        self.seen = ""  # what the terminal showed, escapes removed

    def wait_for(self, text, count=1, timeout=20):
        deadline = time.monotonic() + timeout
        while self.seen.count(text) < count:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"waited for {text!r} ({count}); the terminal shows:\n{self.seen}")
            ready, _, _ = select.select([self.master], [], [], left)
            if ready:
                try:
                    chunk = os.read(self.master, 4096)
                except OSError:
                    chunk = b""
                if not chunk:
                    raise AssertionError(f"tarnsh ended while waiting for {text!r}:\n{self.seen}")
                self.seen += ESCAPES.sub("", chunk.decode("utf-8", "replace"))

    def type(self, keys, timeout=20):
        """Types keys once the line editor has the terminal in raw mode: typed earlier, the
        terminal would echo them and take ^D as its own end of file."""
        deadline = time.monotonic() + timeout
        while termios.tcgetattr(self.master)[3] & termios.ICANON:
            if time.monotonic() > deadline:
                raise AssertionError(f"the terminal never left line mode; it shows:\n{self.seen}")
            time.sleep(0.01)
        os.write(self.master, keys.encode("utf-8"))

    def finish(self, how, timeout=20):
        """Reads what tarnsh still shows until it ends, which it must with status 0."""
        deadline = time.monotonic() + timeout
        while self.process.poll() is None:
            left = deadline - time.monotonic()
            if left <= 0:
                self.process.kill()
                raise AssertionError(f"{how}: tarnsh did not end; the terminal shows:\n{self.seen}")
            ready, _, _ = select.select([self.master], [], [], min(left, 0.1))
            if ready:
                try:
                    chunk = os.read(self.master, 4096)
                except OSError:
                    chunk = b""
                self.seen += ESCAPES.sub("", chunk.decode("utf-8", "replace"))
        os.close(self.master)
        if self.process.returncode != 0:
            raise AssertionError(f"{how}: status {self.process.returncode}")


def main(tarnsh):
    home = Home()
    try:
        term = Terminal(tarnsh, home)
        term.wait_for(PROMPT)
        term.type("debug.set colour = teal\r")
        term.wait_for(PROMPT, 2)
        # "debug.g" completes to the one name it starts, "debug.get".
        term.type("debug.g\t")
        term.wait_for("debug.get ")
        term.type("colour\r")
        term.wait_for(ANSWER, 1)
        term.wait_for(PROMPT, 3)
        # The up arrow brings back the line just run; it runs again.
        term.type(UP + "\r")
        term.wait_for(ANSWER, 2)
        term.wait_for(PROMPT, 4)
        term.type("quit\r")
        term.finish("quit")

        # The history is kept in the preferences folder; the recalled line, the same as the
        # one before it, is kept once.
        history = home.find("Command History.txt")
        with open(history[0], encoding="utf-8") as f:
            kept = (len(history), f.read())
        if kept != (1, "debug.set colour = teal\ndebug.get colour\nquit\n"):
            raise AssertionError(f"the history files hold {kept!r}")

        # After a restart the history is still there: two steps up is the get.
        term = Terminal(tarnsh, home)
        term.wait_for(PROMPT)
        term.type(UP + UP + "\r")
        term.wait_for(ANSWER)
        term.wait_for(PROMPT, 2)
        term.type("\x04")
        term.finish("the end of input, which leaves as quit does")
    except AssertionError as failure:
        print(failure)
        return 1
    finally:
        home.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
