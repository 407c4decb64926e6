"""The Debian package as cpack builds it from this build: its control
fields and version, its file list with owners, modes and links, stripped
programs, the metadata of the unpacked tree (appstreamcli validate-tree),
a CJK font among its dependencies that has the programs' glyphs, and both
programs started from the unpacked tree: their launchers lead to the
program folder, where the tip dialogs' markers land, and every library and
Qt plugin they need comes from a package that the dependencies pull in."""

import glob
import gzip
import os
import re
import subprocess
import xml.etree.ElementTree as ET

import pytest

from drivers.installrig import (IDS, module_folder, MARKERS, MODULES, PROGRAM_DIR, PROGRAMS, Installed, check_launchers,
                                expected_files, run, tick_tip_dialog, zonara_control)
from drivers.xsession import XSession

BUILD = None
TMP = None
_deb = {}

QT_LIBRARIES = ("libqt6core6", "libqt6gui6", "libqt6widgets6")
GLYPH = "岚"  # the tray icon's glyph, in the tip texts too


@pytest.fixture(scope="module", autouse=True)
def work(args):
    global BUILD, TMP
    with module_folder(args, "zuz-package-") as (BUILD, TMP):
        yield


def deb():
    """The package, built once."""
    if "path" not in _deb:
        out = os.path.join(TMP, "cpack")
        run(["cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-G", "DEB",
             "-B", out])
        found = glob.glob(os.path.join(out, "*.deb"))
        assert len(found) == 1, found
        _deb["path"] = found[0]
    return _deb["path"]


def unpacked():
    root = os.path.join(TMP, "root")
    if not os.path.isdir(root):
        run(["dpkg", "-x", deb(), root])
    return root


def field(name):
    return run(["dpkg-deb", "-f", deb(), name]).strip()


def relations(text):
    """A Depends-style field as a list of alternatives: [[name, ...], ...]."""
    groups = []
    for group in filter(None, (g.strip() for g in text.split(","))):
        groups.append([re.split(r"[\s(:]", alt.strip(), maxsplit=1)[0]
                       for alt in group.split("|")])
    return groups


# --- the installed system's packages -------------------------------------------
def package_db():
    out = run(["dpkg-query", "-W", "-f", "${Package}\t${db:Status-Abbrev}\t${Provides}\t"
               "${Depends}\t${Pre-Depends}\t${Recommends}\n"])
    installed, providers = {}, {}
    for line in out.splitlines():
        name, status, provides, *needs = line.split("\t")
        if not status.startswith("ii"):
            continue
        # apt installs what is recommended too, so a plugin that comes that
        # way is there on a default installation.
        installed[name] = [group for text in needs for group in relations(text)]
        for virtual in relations(provides):
            providers.setdefault(virtual[0], set()).add(name)
    return installed, providers


def pulled_in(groups):
    """The installed packages that these dependencies bring, transitively."""
    installed, providers = package_db()
    seen, todo = set(), [name for group in groups for name in group]
    while todo:
        name = todo.pop()
        for real in ({name} if name in installed else set()) | providers.get(name, set()):
            if real not in seen:
                seen.add(real)
                todo.extend(n for group in installed[real] for n in group)
    return seen


def owners(paths):
    """The packages of each path, trying the other spelling of merged /usr
    for those that dpkg knows by it."""
    def query(wanted):
        proc = subprocess.run(["dpkg-query", "-S", *wanted], capture_output=True, text=True)
        found = {}
        for line in proc.stdout.splitlines():
            if line.startswith("diversion") or ": " not in line:
                continue
            pkgs, path = line.rsplit(": ", 1)
            found[path] = {p.strip().split(":")[0] for p in pkgs.split(",")}
        return found

    def alias(path):
        return re.sub(r"^/usr(/lib|/bin|/sbin)/", r"\1/", path)

    paths = sorted(set(paths))
    result = query(paths) if paths else {}
    rest = [p for p in paths if p not in result and alias(p) != p]
    again = query([alias(p) for p in rest]) if rest else {}
    for path in paths:
        result.setdefault(path, again.get(alias(path), set()))
    return result


def loaded_objects(pid):
    """The shared objects a process has mapped."""
    with open(f"/proc/{pid}/maps") as f:
        files = {line.split(None, 5)[5].strip() for line in f if len(line.split(None, 5)) == 6}
    return {f for f in files if f.startswith("/") and re.search(r"\.so(\.[0-9.]+)?$", f)}


def linked_libraries(path):
    out = run(["ldd", path])
    return {m.group(1) for m in re.finditer(r"=> (/\S+)", out)} | \
        {m.group(1) for m in re.finditer(r"^\s*(/\S+) \(", out, re.M)}


def required_objects(programs, pids):
    """What the programs cannot do without: the libraries they and the Qt
    plugins they loaded are linked with, and those plugins. Libraries that
    Qt opens only when they are there (libXcursor for cursor themes) are
    left out."""
    loaded = set().union(*(loaded_objects(pid) for pid in pids))
    plugins = {f for f in loaded if "/plugins/" in f}
    required = set(plugins)
    for path in list(programs) + sorted(plugins):
        required |= linked_libraries(path)
    return {os.path.realpath(f) for f in required}, loaded


# --- tests ------------------------------------------------------------------------
def test_control_fields_and_dependencies(args):
    assert field("Package") == "zuz-zonara"
    arch = run(["dpkg", "--print-architecture"]).strip()
    assert field("Architecture") == arch, field("Architecture")
    assert re.fullmatch(r"[^<>]+ <[^@\s]+@[^@\s]+>", field("Maintainer")), field("Maintainer")
    assert field("Section") == "utils" and field("Priority") == "optional"
    description = field("Description").splitlines()
    assert len(description) > 2 and all(line.startswith(" ") for line in description[1:])

    # The version is the newest in the changelog and in the metadata.
    version = field("Version")
    with gzip.open(os.path.join(unpacked(), "usr/share/doc/zuz-zonara/changelog.gz"), "rt") as f:
        assert f.readline().startswith(f"zuz-zonara ({version}) "), version
    for cid in IDS.values():
        meta = ET.parse(os.path.join(unpacked(), "usr/share/metainfo", cid + ".metainfo.xml"))
        newest = meta.getroot().find("releases/release").get("version")
        assert version == newest, (version, cid, newest)

    depends = relations(field("Depends"))
    names = {n for group in depends for n in group}
    assert set(QT_LIBRARIES) <= names, depends
    # One group of fonts, and every font in it draws the programs' Chinese.
    fonts = [g for g in depends if all(n.startswith("fonts-") for n in g)]
    assert len(fonts) == 1, depends
    fonts_with_glyph = run(["fc-list", "-f", "%{file}\n", f":charset={ord(GLYPH):x}"]).split()
    with_glyph = set().union(*owners(fonts_with_glyph).values())
    installed = package_db()[0]
    installed_fonts = [n for n in fonts[0] if n in installed]
    assert installed_fonts, f"none of {fonts[0]} is installed here to check"
    for name in installed_fonts:
        assert name in with_glyph, f"{name} has no {GLYPH}"


def test_file_list_owners_and_modes(args):
    listing = run(["dpkg-deb", "-c", deb()])
    files, links = set(), {}
    for line in listing.splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        assert owner == "root/root", line
        target = None
        if " -> " in path:
            path, target = path.split(" -> ")
        path = path[len("./usr/"):] if path.startswith("./usr/") else path
        if mode.startswith("d"):
            assert mode == "drwxr-xr-x", line
            continue
        files.add(path)
        if target:
            assert mode.startswith("l"), line
            links[path] = target
        elif path.startswith(PROGRAM_DIR + "/") and not path.endswith(".so"):
            assert mode == "-rwxr-xr-x", line
        else:
            assert mode == "-rw-r--r--", line
    expected = expected_files()
    assert files == expected, (f"missing: {sorted(expected - files)}; "
                               f"unexpected: {sorted(files - expected)}")
    assert links == {f"bin/{p}": f"../{PROGRAM_DIR}/{p}" for p in PROGRAMS}, links

    root = unpacked()
    run(["appstreamcli", "validate-tree", "--no-net", root])
    copyright_text = open(os.path.join(root, "usr/share/doc/zuz-zonara/copyright")).read()
    assert copyright_text.startswith("Format: https://www.debian.org/doc/packaging-manuals/"
                                     "copyright-format/1.0/"), copyright_text[:80]
    for program in PROGRAMS + MODULES:
        # Stripped: no debugging sections in what users download.
        sections = run(["readelf", "-S", "-W", os.path.join(root, "usr", PROGRAM_DIR, program)])
        assert ".debug_info" not in sections, program
    check_launchers(os.path.join(root, "usr", PROGRAM_DIR))


def test_programs_run_from_the_unpacked_package(args):
    root = unpacked()
    folder = os.path.join(root, "usr", PROGRAM_DIR)
    with XSession() as s:
        zonara = s.spawn([os.path.join(root, "usr/bin/Zonara")])
        zonara_control(s)
        # Run by root, the program folder is writable, so the markers go
        # there: to the folder the launchers lead to, not to bin/.
        tick_tip_dialog(s, "Zonara", os.path.join(folder, MARKERS["Zonara"]))
        zuz = Installed(s, os.path.join(root, "usr/bin/zuz"))
        zuz.start()
        zuz.view_window()
        tick_tip_dialog(s, "zuz", os.path.join(folder, MARKERS["zuz"]))
        assert sorted(os.listdir(os.path.join(root, "usr/bin"))) == sorted(PROGRAMS)

        # What the two programs need comes from the system packages that
        # the package's dependencies pull in, never from elsewhere.
        for proc in (zonara, zuz.proc):
            assert proc.poll() is None, proc.args
        required, loaded = required_objects([os.path.join(folder, p) for p in PROGRAMS + MODULES],
                                            [zonara.pid, zuz.proc.pid])
        assert any("/platforms/libqxcb" in f for f in loaded), sorted(loaded)
        assert any("libQt6Widgets" in f for f in required), sorted(required)
        closure = pulled_in(relations(field("Depends")))
        strays = {lib: pkgs for lib, pkgs in owners(required).items() if not pkgs & closure}
        assert not strays, f"needed but not among the dependencies: {strays}"
