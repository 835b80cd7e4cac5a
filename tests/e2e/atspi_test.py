#!/usr/bin/python3
"""The program as a screen reader meets it.

Starts a desktop of its own (Xvfb and openbox), a private D-Bus session with
the accessibility bus, runs the program with its whole environment set, and
plays through the accessibility tree and the keyboard alone: four spins by
pressing board cells through their actions, three by Ctrl+E, each checked as a
screen reader reads it (the announcements sent, the history strip's text, the
lit numbers as the cells' checked states and as one text, the stake's value,
and where the focus is after the draws).

usage: atspi_test.py PROGRAM
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

PROGRAM = sys.argv[1] if len(sys.argv) > 1 else "vantel"
COLOUR = {0: "green"}
for n in (1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36):
    COLOUR[n] = "red"


def colour(n):
    return COLOUR.get(n, "black")


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class Desktop:
    """Xvfb, openbox, a D-Bus session and the accessibility bus."""

    def __init__(self):
        self.procs = []
        self.home = tempfile.mkdtemp(prefix="vantel-atspi-")
        os.chmod(self.home, 0o700)

    def spawn(self, args, env, **kw):
        p = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def start(self):
        base = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
                "XDG_RUNTIME_DIR": self.home}
        for n in range(230 + os.getpid() % 40, 330):
            if not os.path.exists("/tmp/.X%d-lock" % n) and \
                    not os.path.exists("/tmp/.X11-unix/X%d" % n):
                break
        self.display = ":%d" % n
        self.spawn(["Xvfb", self.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                   base, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        base["DISPLAY"] = self.display
        wait(lambda: subprocess.run(["xdpyinfo"], env=base, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL).returncode == 0,
             20, "the X server did not come up on " + self.display, pump=False)
        self.spawn(["openbox"], base, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The window manager gives the program's window the focus: it must be up first.
        wait(lambda: b"window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=base, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL).stdout, 20, "openbox did not come up", pump=False)
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], base,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        check(address, "the D-Bus session did not start")
        base["DBUS_SESSION_BUS_ADDRESS"] = address
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], base,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env = base
        os.environ.update(base)

    def run_program(self):
        env = dict(self.env)
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        # Never the caller's platform: a real X window, with its accessibility on.
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                    "LC_ALL": "C.UTF-8"})
        self.log = open(os.path.join(self.home, "program.log"), "w+")
        self.program = self.spawn([PROGRAM], env, stdout=self.log, stderr=subprocess.STDOUT)

    def keys(self, *keys):
        subprocess.run(["xdotool", "key", "--clearmodifiers"] + list(keys), env=self.env,
                       check=True)

    def stop(self, keep_log=False):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(3)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(2)
        if not keep_log:
            shutil.rmtree(self.home, ignore_errors=True)


def pump():
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait(predicate, seconds, what, pump=True):
    end = time.monotonic() + seconds
    while True:
        if pump:
            globals()["pump"]()
        try:
            value = predicate()
        except Exception:  # an object may be going while it is read
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(what)
        time.sleep(0.03)


def play(desktop):
    import pyatspi

    said = []  # the announcements, in order
    shown = []  # the notifications shown anew (a screen reader speaks each)

    def heard(event):
        try:
            role = event.source.getRole()
        except Exception:
            return
        if role != pyatspi.ROLE_NOTIFICATION:
            return
        if event.type.startswith("object:property-change:accessible-name"):
            # The words as the notification holds them when the event comes.
            said.append(event.any_data if isinstance(event.any_data, str) else event.source.name)
        elif event.type.startswith("object:state-changed:showing") and event.detail1:
            shown.append(event.source.name)

    # Listening before the program starts, as a screen reader does: the program
    # sends only the events someone listens for.
    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name",
                                           "object:state-changed:showing")
    pump()
    desktop.run_program()

    def app():
        desk = pyatspi.Registry.getDesktop(0)
        for i in range(desk.childCount):
            a = desk.getChildAtIndex(i)
            if a is not None and a.name == "vantel":
                return a
        return None

    def walk(root):
        stack = [root]
        while stack:
            o = stack.pop()
            if o is None:
                continue
            yield o
            stack.extend(o.getChildAtIndex(i) for i in range(o.childCount))

    def find(root, role, name=None, pattern=None):
        for o in walk(root):
            if o.getRole() != role:
                continue
            if name is not None and o.name != name:
                continue
            if pattern is not None and not re.match(pattern, o.name or ""):
                continue
            return o
        return None

    def has(o, state):
        return o.getState().contains(state)

    def text_of(o):
        t = o.queryText()
        return t.getText(0, t.characterCount)

    application = wait(app, 20, "the program is not on the accessibility bus")
    frame = wait(lambda: find(application, pyatspi.ROLE_FRAME, "Vantel 2.0"), 10,
                 "the main window is not exported as a frame named Vantel 2.0")
    game_mode = wait(lambda: find(frame, pyatspi.ROLE_COMBO_BOX, "Game mode"), 5,
                     "no drop-down named Game mode")
    check(text_of(game_mode) == "Mode1", "Game mode reads %r" % text_of(game_mode))
    wait(lambda: has(game_mode, pyatspi.STATE_FOCUSED), 10,
         "the focus did not start on Game mode: %r %r" % (game_mode.getState().getStates(), frame.getState().getStates()))
    # Its choice, where a screen reader reads it: the selected item of its list.
    chosen = [game_mode[0][i].name for i in range(game_mode[0].childCount)
              if has(game_mode[0][i], pyatspi.STATE_SELECTED)]
    check(chosen == ["Mode1"], "Game mode's list has %r selected" % chosen)

    bet = find(frame, pyatspi.ROLE_LABEL, "Stake per number")
    check(bet is not None, "no stake label")
    strip = find(frame, pyatspi.ROLE_LABEL, pattern="Last spins")
    lit_text = find(frame, pyatspi.ROLE_LABEL, pattern="Lit: ")
    check(strip is not None and lit_text is not None, "no text for the strip or the lit numbers")
    cells = {}
    for o in walk(frame):
        m = re.match(r"(\d+), (red|black|green)", o.name or "")
        if o.getRole() == pyatspi.ROLE_PUSH_BUTTON and m:
            cells[int(m.group(1))] = o
    check(len(cells) == 37, "%d board cells exported" % len(cells))
    check(not any(o.getRole() == pyatspi.ROLE_IMAGE for o in walk(frame)),
          "pictures are exported")

    def announced(pattern, since, seconds=10):
        def found():
            for line in said[since:]:
                if re.fullmatch(pattern, line):
                    return line
            return None
        return wait(found, seconds, "no announcement like %r; heard %r" % (pattern, said[since:]))

    def stake():
        return text_of(bet), bet.queryValue().currentValue

    def lit_cells():
        return sorted(n for n, c in cells.items() if has(c, pyatspi.STATE_CHECKED))

    def checked_draw(line, stake_text):
        m = re.fullmatch(r"18 numbers lit: ([\d, ]+); stake (\d+)", line)
        check(m, "the draw was told as %r" % line)
        numbers = [int(x) for x in m.group(1).split(", ")]
        check(len(numbers) == 18, "the draw named %d numbers" % len(numbers))
        check(lit_cells() == numbers, "checked cells %r, told %r" % (lit_cells(), numbers))
        check(all(cells[n].name.endswith(", lit") for n in numbers), "a lit cell's name")
        wait(lambda: text_of(lit_text) == "Lit: %s, 18 numbers" % ", ".join(map(str, numbers)),
             5, "the lit text reads %r" % text_of(lit_text))
        check(m.group(2) == stake_text, "stake %s told, %s expected" % (m.group(2), stake_text))
        check(stake() == (stake_text, float(stake_text)), "BET reads %r" % (stake(),))
        return numbers

    entered = []
    # Four spins by the cells' press action: only recorded, nothing drawn.
    for n in (32, 15, 19, 4):
        mark = len(said)
        cells[n].queryAction().doAction(0)
        announced(r"%d %s entered" % (n, colour(n)), mark)
        entered.insert(0, n)

    # Three by the keyboard's entry, which stays open for the next.
    desktop.keys("ctrl+e")
    dialog = wait(lambda: find(application, pyatspi.ROLE_DIALOG, "Enter a spin"), 10,
                  "Ctrl+E showed no dialog named Enter a spin")
    edit = wait(lambda: find(dialog, pyatspi.ROLE_TEXT, "Number that came out"), 5,
                "the entry's field is not named")
    wait(lambda: has(edit, pyatspi.STATE_FOCUSED), 10, "the entry's field has not the focus")
    lit = []
    stakes = ["1", "2", "4"]
    for i, expected_stake in enumerate(stakes):
        # A miss on the lit numbers steps the stake: the first number not lit.
        n = next(k for k in (21, 8, 30, 2, 11, 17, 26, 35, 0, 6) if k not in lit)
        mark = len(said)
        last = i == len(stakes) - 1
        # The last spin's entry is closed while its draw runs.
        desktop.keys(*list(str(n)), "Return", *(["Escape"] if last else []))
        tail = "" if not lit else ", a miss"
        announced(r"%d %s entered%s, drawing" % (n, colour(n), tail), mark)
        line = announced(r"18 numbers lit: .*", mark)
        lit = checked_draw(line, expected_stake)
        entered.insert(0, n)
        if not last:
            check(has(edit, pyatspi.STATE_FOCUSED), "the focus left the entry after the draw")
    words = ", ".join("%d %s" % (n, colour(n)) for n in entered)
    wait(lambda: strip.name == "Last spins, newest first: " + words, 5,
         "the strip reads %r" % strip.name)
    check(len(shown) >= len(said), "%d announcements shown for %d said" % (len(shown), len(said)))

    # After the draw the focus is back where it was before the entry opened.
    wait(lambda: has(game_mode, pyatspi.STATE_FOCUSED), 10,
         "the focus did not come back to Game mode")

    # F2 says the last again; Ctrl+L the lit numbers; Ctrl+B resets the stake.
    mark = len(shown)
    desktop.keys("F2")
    wait(lambda: len(shown) > mark and shown[-1] == said[-1], 5, "F2 said nothing again")
    mark = len(said)
    desktop.keys("ctrl+l")
    announced(r"18 numbers lit: %s" % ", ".join(map(str, lit)), mark)
    mark = len(said)
    desktop.keys("ctrl+b")
    announced(r"stake 1", mark)
    reset = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Reset")
    wait(lambda: has(reset, pyatspi.STATE_FOCUSED), 5, "Ctrl+B left the focus off Reset")
    check(stake() == ("1", 1.0), "BET after Reset reads %r" % (stake(),))


def main():
    desktop = Desktop()
    started = time.monotonic()
    failure = None
    try:
        desktop.start()
        play(desktop)
    except Failure as f:
        failure = str(f)
    finally:
        desktop.stop(keep_log=True)
    output = ""
    if hasattr(desktop, "log"):
        desktop.log.seek(0)
        output = desktop.log.read()
    shutil.rmtree(desktop.home, ignore_errors=True)
    report = [line for line in output.splitlines()
              if re.search(r"(ERROR|WARNING|SUMMARY): \w*Sanitizer|runtime error:", line)]
    if report and not failure:
        failure = "the sanitizers reported:\n" + "\n".join(report)
    if failure:
        print("FAILED: %s\nprogram output:\n%s" % (failure, output[-3000:]))
        return 1
    print("passed in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
