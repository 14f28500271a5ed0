#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Install test: `cmake --install` into a temporary prefix, then the installed programs as a
person would use them, and the Debian package that CPack makes of the same build.

Usage: install_test.py BUILD_DIR VERSION
Exit status 0: passed, 77: skipped (a tool is missing), anything else: failed.
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e import LIMIT, SKIP, Failure, Layout, Screen, Xvfb, expect_picture, is_red, poll  # noqa: E402

APP_ID = "org.miradel.Miradel"
INSTALLED = [
    "games/miradel", "bin/miradel-check", "bin/miradel-encode",
    "share/games/miradel/txt/opn.dat", "share/games/miradel/img/ttl.jpg", "share/games/miradel/bgm.wav",
    "share/applications/%s.desktop" % APP_ID, "share/metainfo/%s.metainfo.xml" % APP_ID,
    "share/man/man6/miradel.6.gz", "share/man/man1/miradel-check.1.gz", "share/man/man1/miradel-encode.1.gz",
    "share/doc/miradel/copyright", "share/doc/miradel/changelog.gz",
] + ["share/icons/hicolor/%dx%d/apps/miradel.png" % (size, size) for size in (16, 22, 24, 32, 48, 64, 128, 256)]
TOOLS = ["desktop-file-validate", "appstreamcli", "lintian", "dpkg-deb", "dpkg-shlibdeps", "cpack", "Xvfb",
         "xdotool", "import", "convert"]


def run(*args, **kwargs):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=300, **kwargs)


def expect_status(args, status, output_pattern=None, one_line_error=False):
    result = run(*args)
    if result.returncode != status:
        raise Failure("%s: status %d, expected %d\n%s%s" % (" ".join(args), result.returncode, status,
                                                           result.stdout, result.stderr))
    if output_pattern and output_pattern not in result.stdout:
        raise Failure("%s printed %r, expected %r in it" % (" ".join(args), result.stdout, output_pattern))
    if one_line_error and len(result.stderr.strip().splitlines()) != 1:
        raise Failure("%s: expected one line of error, got:\n%s" % (" ".join(args), result.stderr))


def command_line(prefix, version):
    for program in ("miradel", "miradel-check", "miradel-encode"):
        path = os.path.join(prefix, "games" if program == "miradel" else "bin", program)
        expect_status([path, "--help"], 0, "usage: " + program)
        expect_status([path, "--version"], 0, "%s %s\n" % (program, version))
        expect_status([path, "--no-such-option"], 2, one_line_error=True)
    miradel = os.path.join(prefix, "games", "miradel")
    expect_status([miradel, "/nonexistent/miradel/game"], 2, one_line_error=True)
    expect_status([miradel, prefix, prefix], 2, one_line_error=True)
    expect_status([os.path.join(prefix, "bin", "miradel-check"), "/nonexistent/miradel/game"], 2,
                  one_line_error=True)


def validators(prefix):
    for args in (["desktop-file-validate", "share/applications/%s.desktop" % APP_ID],
                 ["appstreamcli", "validate", "--no-net", "--pedantic", "share/metainfo/%s.metainfo.xml" % APP_ID]):
        result = run(*args, cwd=prefix)
        if result.returncode != 0 or "E:" in result.stdout or "W:" in result.stdout:
            raise Failure("%s:\n%s%s" % (" ".join(args), result.stdout, result.stderr))


def plays(screen, args, title_picture):
    """The window opens, shows `title_picture` and red text, and closes cleanly."""
    env = dict(screen.env, SDL_AUDIODRIVER="dummy")
    errors = tempfile.TemporaryFile()
    process = subprocess.Popen(args, cwd=tempfile.gettempdir(), env=env, stdout=subprocess.DEVNULL, stderr=errors)
    try:
        def shown():
            if process.poll() is not None:
                errors.seek(0)
                raise Failure("%s ended with status %d:\n%s" % (" ".join(args), process.returncode,
                                                                errors.read().decode("utf-8", "replace")))
            windows = screen.windows()
            return windows[0] if windows else None
        window = poll("the window", shown)
        layout = Layout(*screen.geometry(window))
        poll("red text in the message area", lambda: screen.shot().share(layout.message, is_red) > 0.0005)
        expect_picture(screen.shot(), layout, title_picture)
        screen.close(window)
        poll("miradel to end", lambda: process.poll() is not None, 30)
        if process.returncode != 0:
            raise Failure("closing ended with status %d" % process.returncode)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


SCENES = ["opn", "not", "0", "1", "2", "3"] + ["%d%d" % (day, choice) for day in range(4) for choice in range(4)]


def another_game(prefix, root):
    """A new game written as the README says: UTF-8 sources with LF line ends, encoded with the
    installed miradel-encode and checked clean by miradel-check; its title picture all green."""
    folder = os.path.join(root, "別の game")
    os.makedirs(os.path.join(folder, "story"))
    shutil.copytree(os.path.join(prefix, "share", "games", "miradel", "img"), os.path.join(folder, "img"))
    shutil.copy(os.path.join(prefix, "share", "games", "miradel", "bgm.wav"), folder)
    subprocess.run(["convert", "-size", "320x240", "xc:#10C020", os.path.join(folder, "img", "ttl.jpg")], check=True)
    sources = []
    for scene in SCENES + ["end0", "end1", "end2"]:
        sources.append(os.path.join(folder, "story", scene + ".txt"))
        with open(sources[-1], "w", encoding="utf-8", newline="\n") as source:
            source.write("場面 %s\n>p\n" % scene + (">end\n" if scene.startswith("end") else "おしまい\n"))
    os.makedirs(os.path.join(folder, "txt"))
    expect_status([os.path.join(prefix, "bin", "miradel-encode"), "-d", os.path.join(folder, "txt")] + sources, 0)
    with open(os.path.join(folder, "txt", "opn.dat"), "rb") as scene:
        if scene.read() != "場面 opn\r\n>p\r\nおしまい\r\n".encode("cp932"):
            raise Failure("miradel-encode -d did not write code page 932 with CR LF")
    check = run(os.path.join(prefix, "bin", "miradel-check"), folder)
    if check.returncode != 0 or check.stdout or check.stderr:
        raise Failure("miradel-check on the new game:\n" + check.stdout + check.stderr)
    return folder


def debian_package(build_dir, root):
    output = os.path.join(root, "deb")
    result = run("cpack", "-G", "DEB", "-B", output, "--config", os.path.join(build_dir, "CPackConfig.cmake"))
    packages = [name for name in os.listdir(output) if name.endswith(".deb")] if os.path.isdir(output) else []
    if result.returncode != 0 or len(packages) != 1:
        raise Failure("cpack failed:\n" + result.stdout + result.stderr)
    package = os.path.join(output, packages[0])
    listed = run("dpkg-deb", "-c", package).stdout
    for path in INSTALLED:
        if " ./usr/%s" % path not in listed:
            raise Failure("the package lacks /usr/%s:\n%s" % (path, listed))
    depends = run("dpkg-deb", "-f", package, "Depends").stdout
    for needed in ("libsdl2-mixer-2.0-0", "fonts-ipafont-gothic | fonts-japanese-gothic", "libqt6widgets6"):
        if needed not in depends:
            raise Failure("Depends lacks %s: %s" % (needed, depends))
    lint = run("lintian", "--fail-on", "error", package)
    print(lint.stdout.strip() or "lintian: no tags", flush=True)
    if lint.returncode != 0:
        raise Failure("lintian reports errors:\n" + lint.stdout + lint.stderr)


def main():
    build_dir, version = sys.argv[1], sys.argv[2]
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("SKIP: missing " + " ".join(missing) + " (scripts/setup.sh --test installs them)")
        return SKIP
    root = tempfile.mkdtemp(prefix="miradel-install-")
    try:
        prefix = os.path.join(root, "usr")
        result = run("cmake", "--install", build_dir, "--prefix", prefix)
        if result.returncode != 0:
            raise Failure("cmake --install failed:\n" + result.stdout + result.stderr)
        absent = [path for path in INSTALLED if not os.path.isfile(os.path.join(prefix, path))]
        if absent:
            raise Failure("not installed: " + " ".join(absent))
        command_line(prefix, version)
        validators(prefix)
        with Xvfb() as server:
            screen = Screen(server.display)
            miradel = os.path.join(prefix, "games", "miradel")
            plays(screen, [miradel], os.path.join(prefix, "share", "games", "miradel", "img", "ttl.jpg"))
            folder = another_game(prefix, root)
            plays(screen, [miradel, folder], os.path.join(folder, "img", "ttl.jpg"))
        debian_package(build_dir, root)
    except Failure as error:
        print("FAIL: %s" % error, flush=True)
        return 1
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("PASS", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
