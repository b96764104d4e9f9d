#!/usr/bin/python3
"""The game as a screen reader sees it: the real program on the accessibility bus of
a private desktop, read and driven through pyatspi, the library the screen reader is
built on. One program runs through the whole table, from the setting off to EXIT;
each case prints ok or what it expected.
Usage: a11y-env --wm a11y_test.py PROGRAM DATA_DIR"""
import os
import re
import shutil
import subprocess
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

PROGRAM, DATA = (os.path.abspath(p) for p in sys.argv[1:3])
WORK = os.path.join(os.environ["A11Y_ENV_DIR"], "game")  # removed with the desktop
VALUES = os.path.join(WORK, "Settings/Quorrel.exe/dati")
BUTTON, LABEL = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LABEL
focus_events = []  # (detail1, source name), oldest first


class Failure(Exception):
    pass


def expect(ok, message):
    if not ok:
        raise Failure(message)


def pump(condition, what, timeout=30):
    """Runs the client's loop, whose events keep its cache current, until condition()
    gives a true value, and returns it; a bus error counts as not yet."""
    context, deadline, error = GLib.MainContext.default(), time.monotonic() + timeout, ""
    while True:
        while context.iteration(False):
            pass
        try:
            if result := condition():
                return result
        except Exception as e:  # noqa: BLE001 - the object is gone or not there yet
            error = f" (last error: {e})"
        if time.monotonic() > deadline:
            raise Failure(f"expected {what() if callable(what) else what} within {timeout} s{error}")
        time.sleep(0.02)


def call(bus, dest, path, interface, method, args=None):
    return bus.call_sync(dest, path, interface, method, args, None, 0, 10000, None).unpack()


def set_enabled(on):
    call(Gio.bus_get_sync(Gio.BusType.SESSION), "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties",
         "Set", GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", on))))


def a11y_bus_pids():
    """The process of every connection to the accessibility bus."""
    (address,) = call(Gio.bus_get_sync(Gio.BusType.SESSION), "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                      "GetAddress")
    bus = Gio.DBusConnection.new_for_address_sync(address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
                                                  Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    ask = lambda method, args=None: call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",  # noqa: E731
                                         "org.freedesktop.DBus", method, args)[0]
    return {ask("GetConnectionUnixProcessID", GLib.Variant("(s)", (n,))) for n in ask("ListNames") if n[0] == ":"}


def walk(acc):
    yield acc
    for child in acc:
        yield from walk(child) if child else ()


def dump(acc, depth=0):
    return f"\n{'  ' * depth}{acc.getRoleName()} {acc.name!r}" + "".join(dump(c, depth + 1) for c in acc if c)


def find(root, role, name=None):
    """The first object below root of `role` and, when given, exactly `name`."""
    return next((a for a in walk(root) if a.getRole() == role and name in (None, a.name)), None)


def need(root, role, name):
    found = find(root, role, name)
    expect(found, f"a {pyatspi.Atspi.Role(role).value_nick} {name!r} in the tree:{dump(root)}")
    return found


def actions(acc):
    action = acc.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def act(acc, name):
    expect(name in actions(acc), f"{acc.name!r} to have the action {name!r}, it has {actions(acc)}")
    acc.queryAction().doAction(actions(acc).index(name))


def has(acc, state):
    return acc.getState().contains(state)


def value(key):
    with open(os.path.join(VALUES, key)) as f:
        return f.read().strip()


def window(title="^Quorrel - .*\\(c\\)"):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], capture_output=True, text=True)
    return found.stdout.split()[0] if found.stdout.strip() else None


def application():
    return next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Quorrel"), None)


def case_off_then_on(game):
    win = pump(window, "the main window mapped")
    # The first paint reads the stored game, peg 1 orange, and the key 1 then stores
    # it red: the program is past its start and plays as usual.
    subprocess.run(["xdotool", "windowactivate", "--sync", win, "key", "1"], check=True)
    pump(lambda: value("col1") == "0", "the key 1 to store peg 1 red while accessibility is off")
    expect(game.pid not in a11y_bus_pids(), "no connection of the game to the accessibility bus while off")
    count = pyatspi.Registry.getDesktop(0).childCount
    expect(count == 0, f"no application on the desktop while off, found {count}")
    set_enabled(True)
    pump(application, "the application 'Quorrel' on the desktop once IsEnabled is true")


def case_tree(game):
    app, title = application(), subprocess.run(["xdotool", "getwindowname", window()], capture_output=True,
                                               text=True).stdout.strip()
    expect(app.getRole() == pyatspi.ROLE_APPLICATION and app.get_toolkit_name() == "Quorrel",
           f"an application of toolkit 'Quorrel', found {app.getRoleName()} of {app.get_toolkit_name()!r}")
    expect(app.childCount == 1 and app[0].getRole() == pyatspi.ROLE_FRAME and app[0].name == title,
           f"one child, a frame named {title!r}, in the tree:{dump(app)}")
    frame = app[0]
    for caption in ["GO", "CANCEL", "INFO", "EXIT"]:
        b = need(frame, BUTTON, caption)
        expect(actions(b)[:1] == ["click"] and has(b, pyatspi.STATE_ENABLED),
               f"{caption} enabled with action 0 'click', has {actions(b)}")
    for k in range(1, 5):
        peg = need(frame, BUTTON, f"Peg {k} of 4: red")
        expect(actions(peg)[:2] == ["next colour", "previous colour"], f"peg {k}'s colour actions, has {actions(peg)}")
    need(frame, LABEL, "Attempts: 00")
    need(frame, LABEL, "Code: hidden")
    expect(need(frame, pyatspi.ROLE_LIST, "Board").childCount == 0, "no item on the board before a guess")
    # GO's extents are its painted rectangle on the screen.
    info = subprocess.run(["xwininfo", "-id", window()], capture_output=True, text=True).stdout
    x, y = (int(re.search(f"Absolute upper-left {c}: *(-?\\d+)", info)[1]) for c in "XY")
    box = need(frame, BUTTON, "GO").queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    expect((box.x, box.y, box.width, box.height) == (x + 55, y + 316, 97, 28),
           f"GO at {(x + 55, y + 316, 97, 28)} on the screen, reported {(box.x, box.y, box.width, box.height)}")


def case_tab_focus(game):
    frame, focused = application()[0], []
    for _ in range(2):
        del focus_events[:]
        subprocess.run(["xdotool", "windowactivate", "--sync", window(), "key", "Tab"], check=True)
        name = pump(lambda: next((n for d, n in focus_events if d == 1 and n not in focused), None),
                    lambda: f"a focus event from a button after Tab, got {focus_events}")
        expect(has(need(frame, BUTTON, name), pyatspi.STATE_FOCUSED), f"{name} in state focused after Tab")
        focused.append(name)
    expect(not has(find(frame, BUTTON, focused[0]), pyatspi.STATE_FOCUSED), f"{focused[0]} unfocused by Tab")


def case_peg_and_go(game):
    frame = application()[0]
    act(need(frame, BUTTON, "Peg 1 of 4: red"), "next colour")
    act(need(frame, BUTTON, "Peg 2 of 4: red"), "previous colour")
    pump(lambda: (value("col1"), value("col2")) == ("1", "7"), "col1 1 and col2 7 stored")
    pump(lambda: find(frame, BUTTON, "Peg 2 of 4: black"), "peg 2 renamed 'Peg 2 of 4: black'")
    act(need(frame, BUTTON, "GO"), "click")
    pump(lambda: value("Quorrel_Bag") == "170002", "the guess 1700 stored with 0 exact, 2 colours")
    guess = "Guess 1: orange, black, red, red. 0 in place, 2 right colours elsewhere"
    board = need(frame, pyatspi.ROLE_LIST, "Board")
    pump(lambda: board.childCount == 1 and board[0].name == guess, f"the board's one item {guess!r}")
    pump(lambda: find(frame, LABEL, "Attempts: 01"), "the label 'Attempts: 01'")
    pump(lambda: find(frame, BUTTON, "Peg 1 of 4: red"), "the input row red again")
    note = find(frame, pyatspi.ROLE_NOTIFICATION)
    expect(note and "orange, black, red, red" in note.name and has(note, pyatspi.STATE_SHOWING),
           f"a showing notification with the guess, found {note and note.name!r}")


def exit_question(app):
    act(need(app[0], BUTTON, "EXIT"), "click")
    return pump(lambda: app.childCount == 2 and app[1], "a second window after EXIT")


def case_exit_question(game):
    app = application()
    box = exit_question(app)
    states = [s.value_nick for s in box.getState().getStates()]
    expect(box.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and "modal" in states,
           f"a modal alert or dialog, found {box.getRoleName()} with {states}")
    texts = [a.queryText().getText(0, -1) for a in walk(box) if a.getRole() in (LABEL, pyatspi.ROLE_STATIC)]
    expect("Do you really want to go exit?" in texts, f"the question as a text, found {texts}")
    need(box, BUTTON, "YES")
    no = need(box, BUTTON, "NO")
    pump(lambda: has(no, pyatspi.STATE_FOCUSED), "NO focused")
    act(no, "click")
    pump(lambda: app.childCount == 1, "the question gone after NO")
    expect(game.poll() is None, "the game still running after NO")


def case_exit_yes(game):
    act(need(exit_question(application()), BUTTON, "YES"), "click")
    pump(lambda: game.poll() is not None, "the game ended after YES")
    expect(game.returncode == 0, f"exit status 0, got {game.returncode}")


CASES = [("off while the setting is off, on when it turns on", case_off_then_on),
         ("the tree and names after start", case_tree),
         ("Tab moves the focus from button to button, with events", case_tab_focus),
         ("a peg set and GO pressed through actions", case_peg_and_go),
         ("the exit question as a child, answered NO", case_exit_question),
         ("EXIT answered YES ends the game cleanly", case_exit_yes)]


def main():
    pyatspi.Registry.registerEventListener(lambda e: focus_events.append((e.detail1, e.source and e.source.name)),
                                           "object:state-changed:focused")
    set_enabled(False)
    shutil.copytree(DATA, os.path.join(WORK, "Data"))
    os.makedirs(VALUES)
    # A stored game: code red, orange, yellow, green; peg 1 orange; no guess yet.
    for key, text in dict(Quorrel_Bag="", Quorrel_Code="0123", stato="0", col1="1", col2="0", col3="0",
                          col4="0").items():
        with open(os.path.join(VALUES, key), "w") as f:
            f.write(text + "\n")
    log, failed = open(os.path.join(WORK, "stderr.txt"), "w+"), 0
    game = subprocess.Popen([PROGRAM], cwd=WORK, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    try:
        for title, case in CASES:
            try:
                case(game)
                print(f"ok: {title}")
            except (Failure, GLib.Error, NotImplementedError, AttributeError, TypeError) as e:
                failed += 1
                print(f"FAILED: {title}: {e}")
                if not application():
                    break  # the rest reads the application on the desktop
    finally:
        if game.poll() is None:
            game.kill()
        game.wait()
    log.seek(0)
    if re.search(r"ERROR: \w+Sanitizer|runtime error:", report := log.read()):
        failed += 1
        print(f"FAILED: a sanitizer report from the game:\n{report}")
    sys.exit(1 if failed else 0)


main()
