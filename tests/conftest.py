"""What every end-to-end case is given, and how a case that cannot run
here is told apart from one that passed.

A case takes `args`: the folder of the built programs (--bin), and where
a case needs them the build folder (--build), the Wine helper (--helper)
and a Wine prefix (--prefix). A case that cannot run here calls
pytest.skip with the reason. When every case selected was skipped, the
run ends with status 77, which ctest reports as "Skipped"; where
ZUZ_SKIP_REPORTS names a folder, each skip leaves a line "<ctest entry>:
<reason>" in a file there (scripts/test.sh lists them at the end)."""

import argparse
import os

import pytest

SKIPPED = 77


def pytest_addoption(parser):
    group = parser.getgroup("zuz", "the programs under test")
    group.addoption("--bin", help="folder of the built programs")
    group.addoption("--build", help="the build folder (install and package tests)")
    group.addoption("--helper", help="the Windows helper program (Wine tests)")
    group.addoption("--prefix", help="the Wine prefix the Wine tests make")


@pytest.fixture(scope="session")
def args(request):
    opt = request.config.getoption
    if not opt("--bin"):
        raise pytest.UsageError("--bin <folder of the built programs> is needed")
    return argparse.Namespace(bin=os.path.abspath(opt("--bin")), build=opt("--build"),
                              helper=opt("--helper"), prefix=opt("--prefix"))


class Tally:
    """How many of the cases selected ran and how many skipped."""

    def __init__(self):
        self.ran = self.skipped = 0


def pytest_configure(config):
    config._zuz_tally = Tally()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    tally = item.config._zuz_tally
    if report.skipped and (report.when == "setup" or report.when == "call"):
        tally.skipped += 1
        _record_skip(ctest_name(item), report)
    elif report.when == "call":
        tally.ran += 1


def ctest_name(item):
    """The case's ctest entry: <folder>_<file without test_>.<case without
    test_>, as cmake/Testing.cmake (add_pytest_cases) names it."""
    path = item.path
    return "%s_%s.%s" % (path.parent.name, path.stem.removeprefix("test_"),
                         item.name.removeprefix("test_"))


def _record_skip(name, report):
    folder = os.environ.get("ZUZ_SKIP_REPORTS")
    if not folder:
        return
    reason = report.longrepr[2] if isinstance(report.longrepr, tuple) else str(report.longrepr)
    reason = reason.removeprefix("Skipped: ")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".txt"), "w", encoding="utf-8") as f:
        f.write(f"{name}: {reason}\n")


def pytest_sessionfinish(session, exitstatus):
    tally = session.config._zuz_tally
    if exitstatus == pytest.ExitCode.OK and tally.skipped and not tally.ran:
        session.exitstatus = SKIPPED
