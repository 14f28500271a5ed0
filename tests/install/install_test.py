#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""`cmake --install` into a temporary prefix, the installed programs as a person uses them, and the
Debian package that CPack makes of the same build. Usage: install_test.py BUILD_DIR VERSION"""
import glob
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e import SCENES, SKIP, Run, started, x_server  # noqa: E402

APP = "org.miradel.Miradel"
GAME = "share/games/miradel/"
INSTALLED = ["games/miradel", "bin/miradel-check", "bin/miradel-encode", GAME + "txt/opn.dat", GAME + "img/ttl.jpg",
             GAME + "bgm.wav", "share/applications/%s.desktop" % APP, "share/metainfo/%s.metainfo.xml" % APP,
             "share/man/man6/miradel.6.gz", "share/man/man1/miradel-check.1.gz", "share/man/man1/miradel-encode.1.gz",
             "share/doc/miradel/copyright", "share/doc/miradel/changelog.gz"] + [
    "share/icons/hicolor/%dx%d/apps/miradel.png" % (size, size) for size in (16, 22, 24, 32, 48, 64, 128, 256)]
TOOLS = ["desktop-file-validate", "appstreamcli", "lintian", "dpkg-deb", "dpkg-shlibdeps", "cpack", "Xvfb",
         "xdotool", "import", "convert"]


def run(*args, status=0, output="", cwd=None):
    """The command's result, which must be `status` with `output` printed; a usage error (2) says so in one line."""
    done = subprocess.run(list(args), capture_output=True, text=True, timeout=300, cwd=cwd)
    one_line = status != 2 or len(done.stderr.strip().splitlines()) == 1
    if done.returncode != status or output not in done.stdout or not one_line:
        raise AssertionError("%s: status %d, expected %d, %r printed:\n%s%s" % (
            " ".join(args), done.returncode, status, output, done.stdout, done.stderr))
    return done


def another_game(prefix, root):
    """A new game as the README says, UTF-8 sources with LF line ends encoded by the installed miradel-encode and
    checked clean by miradel-check; its title picture all green."""
    folder = os.path.join(root, "別の game")
    shutil.copytree(prefix + GAME + "img", os.path.join(folder, "img"))
    shutil.copy(prefix + GAME + "bgm.wav", folder)
    subprocess.run(["convert", "-size", "320x240", "xc:#10C020", os.path.join(folder, "img", "ttl.jpg")], check=True)
    for part in ("txt", "story"):
        os.makedirs(os.path.join(folder, part))
    for scene in SCENES:
        pathlib.Path(folder, "story", scene + ".txt").write_text(
            "場面 %s\n>p\n" % scene + (">end\n" if scene.startswith("end") else "おしまい\n"), encoding="utf-8")
    run(prefix + "bin/miradel-encode", "-d", os.path.join(folder, "txt"), *glob.glob(folder + "/story/*.txt"))
    if pathlib.Path(folder, "txt", "opn.dat").read_bytes() != "場面 opn\r\n>p\r\nおしまい\r\n".encode("cp932"):
        raise AssertionError("miradel-encode -d did not write code page 932 with CR LF")
    checked = run(prefix + "bin/miradel-check", folder)
    if checked.stdout or checked.stderr:
        raise AssertionError("miradel-check on the new game:\n" + checked.stdout + checked.stderr)
    return folder


def main():
    build_dir, version = sys.argv[1], sys.argv[2]
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("SKIP: missing " + " ".join(missing) + " (scripts/setup.sh --test installs them)")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="miradel-install-") as root:
        prefix = os.path.join(root, "usr/")
        run("cmake", "--install", build_dir, "--prefix", prefix)
        absent = [path for path in INSTALLED if not os.path.isfile(prefix + path)]
        if absent:
            raise AssertionError("not installed: " + " ".join(absent))
        for program in ("games/miradel", "bin/miradel-check", "bin/miradel-encode"):
            name = os.path.basename(program)
            run(prefix + program, "--help", output="usage: " + name)
            run(prefix + program, "--version", output="%s %s\n" % (name, version))
            run(prefix + program, "--no-such-option", status=2)
        for args in (("games/miradel", "/nonexistent/miradel/game"), ("games/miradel", prefix, prefix),
                     ("bin/miradel-check", "/nonexistent/miradel/game")):
            run(prefix + args[0], *args[1:], status=2)
        for args in (["desktop-file-validate", "share/applications/%s.desktop" % APP],
                     ["appstreamcli", "validate", "--no-net", "--pedantic", "share/metainfo/%s.metainfo.xml" % APP]):
            validated = run(*args, cwd=prefix)
            if "E:" in validated.stdout or "W:" in validated.stdout:
                raise AssertionError("%s:\n%s%s" % (" ".join(args), validated.stdout, validated.stderr))
        # Both games show their own title picture and red text, and close cleanly.
        with x_server() as screen:
            for args in ([], [another_game(prefix, root)]):
                title = os.path.join((args or [prefix + GAME])[0], "img/ttl.jpg")
                with started(Run(screen, [prefix + "games/miradel"] + args, tempfile.gettempdir())) as played:
                    screen.shot().expect_picture(played.layout, title)
                    played.close()
        # The Debian package of the same build.
        run("cpack", "-G", "DEB", "-B", root + "/deb", "--config", os.path.join(build_dir, "CPackConfig.cmake"))
        package, = glob.glob(root + "/deb/*.deb")
        listed = run("dpkg-deb", "-c", package).stdout
        lacking = [path for path in INSTALLED if " ./usr/%s" % path not in listed]
        if lacking:
            raise AssertionError("the package lacks %s:\n%s" % (lacking, listed))
        for needed in ("libsdl2-mixer-2.0-0", "fonts-ipafont-gothic | fonts-japanese-gothic", "libqt6widgets6"):
            run("dpkg-deb", "-f", package, "Depends", output=needed)
        print(run("lintian", "--fail-on", "error", package).stdout.strip() or "lintian: no tags", flush=True)
    print("PASS", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
