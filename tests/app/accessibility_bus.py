#!/usr/bin/env python3
"""The window as a screen reader sees it: starts the program on a virtual display with the
desktop's accessibility bus and walks its tree, checking that every control that takes the focus
has the name that says what it is.

usage: accessibility_bus.py PROGRAM
Exit 0 when every name is right, 1 when not, 77 (skipped) when a desktop tool is missing.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Name of every control that takes the focus; the edit field inside each combo box carries its name too.
FOCUSABLE = {
    "push button": ["作成", "保存", "上書", "表示", "About", "解析", "画像のダウンロード",
                    "チェックフォルダの参照", "出力フォルダの参照"],
    "check box": ["サムネイル", "アドレス一覧のみ", "チェックフォルダ"],
    "combo box": ["ベースアドレス", "頭", "お尻", "チェックフォルダ", "出力フォルダ"],
    "text": ["開始", "終了", "桁数", "大きさ", "幅", "出力",
             "ベースアドレス", "頭", "お尻", "チェックフォルダ", "出力フォルダ"],
}


def missing_tool():
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            return tool
    if not os.access(LAUNCHER, os.X_OK):
        return LAUNCHER
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        return "python3-pyatspi"
    return None


def start(command, env, **kwargs):
    # Each in its own process group, so that whatever it starts goes down with it.
    return subprocess.Popen(command, env=env, start_new_session=True, **kwargs)


def stop(process, sig=signal.SIGTERM):
    if process.poll() is None:
        try:
            os.killpg(process.pid, sig)
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        except ProcessLookupError:
            pass


def start_display(env):
    read_end, write_end = os.pipe()
    server = start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                   env, pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return server, ":" + number


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from walk(child, depth + 1)


def window_controls(pyatspi):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == "quorel":
            return list(walk(app))
    return []


def failures_in(pyatspi, controls):
    if not controls:
        return ["the window is not on the accessibility bus"]
    found = {}
    labelled = []
    for control in controls:
        state = control.getState()
        # The entries of a closed drop-down list are no controls of the window.
        in_list = control.parent is not None and control.parent.getRoleName() == "list"
        if state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING) and not in_list:
            found.setdefault(control.getRoleName(), []).append(control.name)
            # A screen reader speaks the labels a control is labelled by before its name.
            for relation in control.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                    for index in range(relation.getNTargets()):
                        label = relation.getTarget(index).name
                        if label != control.name:
                            labelled.append(f"{control.getRoleName()} {control.name} is labelled {label}")
    failures = []
    for role in sorted(set(found) | set(FOCUSABLE)):
        if sorted(found.get(role, [])) != sorted(FOCUSABLE.get(role, [])):
            failures.append(f"{role}: expected {sorted(FOCUSABLE.get(role, []))}, found {sorted(found.get(role, []))}")
    failures += labelled
    texts = []
    for label in (c for c in controls if c.name == "数字" and c.getRoleName() == "label"):
        try:
            text = label.queryText()
            texts.append(text.getText(0, text.characterCount))
        except NotImplementedError:
            texts.append(None)
    # Empty on a first start; what matters is that its reading is offered as text.
    if "" not in texts:
        failures.append(f"number preview: expected a label 数字 with a text to read, found {texts}")
    return failures


def check(program, env):
    import pyatspi

    work = env["HOME"]
    copy = os.path.join(work, "quorel")
    # A copy of its own, so that the settings it writes beside itself land in the temporary folder.
    shutil.copy(program, copy)
    app = start([copy], env)
    try:
        # The tree fills in while the window starts: look again until it is right or time is up.
        deadline = time.monotonic() + 45
        while True:
            controls = window_controls(pyatspi)
            failures = failures_in(pyatspi, controls)
            if not failures or time.monotonic() > deadline or app.poll() is not None:
                break
            time.sleep(0.2)
        for line in failures:
            print(line)
        if not failures:
            print(f"{sum(len(v) for v in FOCUSABLE.values())} focusable controls named")
        return 1 if failures else 0
    finally:
        stop(app)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = os.path.abspath(sys.argv[1])
    tool = missing_tool()
    if tool:
        print(f"SKIPPED: {tool} is not installed (scripts/install-deps.sh installs it)")
        return SKIP
    if os.environ.get("QUOREL_ON_OWN_BUS") != "1":
        # A session bus of its own, which ends with this script; the bus starts the accessibility
        # bus launcher when the first client asks for it, and the launcher ends with the bus.
        env = dict(os.environ, QUOREL_ON_OWN_BUS="1")
        return subprocess.run(["dbus-run-session", "--", sys.executable, __file__, program], env=env, timeout=80).returncode

    processes = []
    with tempfile.TemporaryDirectory() as work:
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_RUNTIME_DIR=runtime,
                   QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", NO_AT_BRIDGE="0")
        try:
            server, display = start_display(env)
            processes.append(server)
            env["DISPLAY"] = display
            if shutil.which("openbox"):
                processes.append(start(["openbox"], env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            os.environ.update(env)
            return check(program, env)
        finally:
            for process in reversed(processes):
                stop(process)


if __name__ == "__main__":
    sys.exit(main())
