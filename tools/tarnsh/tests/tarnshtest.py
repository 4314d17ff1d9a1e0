# What the tarnsh tests share: a private home for each run, and running tarnsh in it.
import os
import subprocess
import tempfile


class Home:
    def __init__(self):
        self._dir = tempfile.TemporaryDirectory(prefix="tarnsh-test-")
        self.root = self._dir.name
        self.env = dict(os.environ)
        for name, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "home/.config"),
                          ("XDG_DATA_HOME", "home/.local/share"), ("XDG_CACHE_HOME", "home/.cache"),
                          ("TMPDIR", "tmp")):
            path = os.path.join(self.root, sub)
            os.makedirs(path, exist_ok=True)
            self.env[name] = path
        self.env["LANG"] = self.env["LC_ALL"] = "C.UTF-8"

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def find(self, name):
        found = []
        for folder, _, files in os.walk(self.path("home")):
            found += [os.path.join(folder, f) for f in files if f == name]
        return found

    def close(self):
        self._dir.cleanup()


def run(tarnsh, home, args, stdin=None):
    """Runs tarnsh to the end: (exit status, standard output, standard error)."""
    done = subprocess.run([tarnsh] + args, input=stdin, capture_output=True, env=home.env,
                          cwd=home.root, timeout=60)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")
