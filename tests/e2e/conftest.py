"""pytest wiring of the end-to-end harness (tests/e2e/harness).

Fixtures:
  wine     WineSession shared by the whole run; per test it makes sure the desktop is up
           before and kills what the test started after.
  probe    wine.probe        screen   wine.screen (xdotool)
  sim      SimDriver in the test's own folder under /tmp
  figures  Figures; every figure is printed at the end as "figure: NAME = X ms"

A failing test leaves a screenshot in tests/e2e/artifacts/.
Run: /usr/bin/python3 -m pytest tests/e2e   (E2E_ARCH=win32|win64 forces the architecture,
E2E_FRESH_PREFIX=1 makes a new Wine prefix instead of reusing build/wineprefix-<arch>).
"""

from __future__ import annotations

import pytest

from harness import Figures, SimDriver, WineSession, choose_arch

ARCH_KEY = pytest.StashKey()
FIGURES_KEY = pytest.StashKey()
SESSION_KEY = pytest.StashKey()


def pytest_configure(config):
    config.stash[ARCH_KEY] = choose_arch()
    config.stash[FIGURES_KEY] = Figures()


def pytest_report_header(config):
    return f"e2e: {config.stash[ARCH_KEY].describe()}"


@pytest.fixture(scope="session")
def arch_choice(pytestconfig):
    return pytestconfig.stash[ARCH_KEY]


@pytest.fixture(scope="session")
def figures(pytestconfig) -> Figures:
    return pytestconfig.stash[FIGURES_KEY]


@pytest.fixture(scope="session")
def wine_session(pytestconfig, arch_choice, figures):
    reporter = pytestconfig.pluginmanager.get_plugin("terminalreporter")

    def log(line: str) -> None:
        if reporter is not None:
            reporter.write_line(line)
        else:
            print(line)

    session = WineSession(arch_choice, figures, log=log)
    pytestconfig.stash[SESSION_KEY] = session
    try:
        session.start()
        yield session
    finally:
        del pytestconfig.stash[SESSION_KEY]
        session.close()


@pytest.fixture
def wine(wine_session):
    wine_session.ensure_desktop()
    yield wine_session
    wine_session.kill_leftovers()


@pytest.fixture
def probe(wine):
    return wine.probe


@pytest.fixture
def screen(wine):
    return wine.screen


@pytest.fixture
def sim(tmp_path) -> SimDriver:
    return SimDriver(tmp_path / "sim")


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    session = item.config.stash.get(SESSION_KEY, None)
    if report.failed and session is not None and session.screen is not None:
        try:
            path = session.screenshot(f"{item.nodeid}-{report.when}")
            report.sections.append(("screenshot", str(path)))
        except Exception as error:  # a failed screenshot must not hide the test's own failure
            report.sections.append(("screenshot", f"failed: {error}"))


def pytest_terminal_summary(terminalreporter, exitstatus, config):
    lines = config.stash[FIGURES_KEY].summary_lines()
    if ARCH_KEY in config.stash:
        lines.insert(0, f"e2e: {config.stash[ARCH_KEY].describe()}")
    if len(lines) > 1:
        terminalreporter.section("e2e figures")
        for line in lines:
            terminalreporter.write_line(line)
