"""Wine prefixes for the Windows build: one template made per runner invocation, then a cheap
copy of it per scenario, each with a wineserver of its own.

Wine's output never goes to a pipe: the services that Wine starts (winedevice.exe and others)
inherit the standard handles of the command that started them and live as long as the
wineserver, so a reader waiting for the end of a pipe would wait until the server is killed.
Every command here writes into a file instead.
"""

import os
import shutil
import subprocess
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"

# The bulk of a prefix (the built-in system DLLs, over 600 MB) is never written to by a run, so
# the copies share it with the template through hard links; everything else is copied.
SHARED_FOLDER = os.path.join("drive_c", "windows", "system32")

# Variables of the calling environment that would change how Wine or the program behaves.
_DROPPED = ("LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "DISPLAY", "WAYLAND_DISPLAY")


def wine_environment(prefix, extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE") and k not in _DROPPED}
    env.update({
        "WINEPREFIX": prefix,
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "LANG": "C.UTF-8",
    })
    if extra:
        env.update(extra)
    return env


def check_wine():
    """None when Wine is usable, else why not."""
    for tool in (WINE, WINESERVER):
        if not os.access(tool, os.X_OK):
            return f"{tool} is missing (apt-get install wine64)"
    return None


def run_logged(command, env, output, cwd=None, timeout=120):
    """Runs a command with its output appended to the open file output; its exit code."""
    output.flush()
    return subprocess.run(command, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=output,
                          stderr=subprocess.STDOUT, timeout=timeout).returncode


def make_template(prefix, output):
    env = wine_environment(prefix)
    started = time.monotonic()
    run_logged([WINE, "wineboot", "-i"], env, output, timeout=300)
    run_logged([WINESERVER, "-w"], env, output)
    if not os.path.isdir(os.path.join(prefix, "drive_c", "windows", "system32")):
        raise RuntimeError(f"wineboot did not create the prefix (see {output.name})")
    return time.monotonic() - started


def clone_prefix(template, prefix):
    shared = os.path.join(template, SHARED_FOLDER)

    def copy(source, target):
        if os.path.commonpath([source, shared]) == shared:
            os.link(source, target)
        else:
            shutil.copy2(source, target)

    shutil.copytree(template, prefix, symlinks=True, copy_function=copy)


def start_server(env, output):
    # Persistent until killed: the services Wine starts stay up between the scenario's commands.
    run_logged([WINESERVER, "-p"], env, output, timeout=60)


def stop_server(env, output):
    run_logged([WINESERVER, "-k"], env, output, timeout=60)
    run_logged([WINESERVER, "-w"], env, output, timeout=60)


def regedit_import(env, folder, file_name, output):
    """Imports folder/file_name (UTF-16LE) into the prefix's registry."""
    run_logged([WINE, "regedit", "/S", file_name], env, output, cwd=folder)


def regedit_export(env, folder, file_name, key, output):
    """Exports key to folder/file_name; False when the key does not exist (regedit then writes
    no file, and its exit code says nothing)."""
    path = os.path.join(folder, file_name)
    if os.path.exists(path):
        os.unlink(path)
    run_logged([WINE, "regedit", "/E", file_name, key], env, output, cwd=folder)
    return os.path.exists(path)
