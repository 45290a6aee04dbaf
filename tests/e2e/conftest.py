"""pytest wiring of the end-to-end harness (tests/e2e/harness).

Fixtures:
  wine     WineSession shared by the whole run; per test it makes sure the desktop is up
           before and kills what the test started after.
  wine_in_locale
           wine_in_locale("C.UTF-8") gives a further WineSession, made on first use and kept for the
           run, whose Wine processes run in that locale, in a prefix of its own; per test as ``wine``.
  probe    wine.probe        screen   wine.screen (xdotool)
  sim      SimDriver in the test's own folder under /tmp
  figures  Figures; every figure is printed at the end as "figure: NAME = X ms"
  browser  a stand-in for the desktop's browser: start the program with browser.env, and
           browser.opened() lists the addresses it was asked to open

A failing test leaves a screenshot in tests/e2e/artifacts/.
Run: /usr/bin/python3 -m pytest tests/e2e   (E2E_ARCH=win32|win64 forces the architecture,
E2E_FRESH_PREFIX=1 makes a new Wine prefix instead of reusing build/wineprefix-<arch>).
"""

from __future__ import annotations

import os
from types import SimpleNamespace

import pytest

from harness import Figures, SimDriver, WineSession, choose_arch
from harness.session import LOCALE

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


def _log_to_terminal(pytestconfig):
    reporter = pytestconfig.pluginmanager.get_plugin("terminalreporter")

    def log(line: str) -> None:
        if reporter is not None:
            reporter.write_line(line)
        else:
            print(line)

    return log


@pytest.fixture(scope="session")
def wine_session(pytestconfig, arch_choice, figures):
    session = WineSession(arch_choice, figures, log=_log_to_terminal(pytestconfig))
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


@pytest.fixture(scope="session")
def _locale_sessions():
    """Sessions in other locales by locale; only tests that ask for one pay for starting it."""
    sessions = {}
    yield sessions
    for session in sessions.values():
        session.close()


@pytest.fixture
def wine_in_locale(pytestconfig, arch_choice, _locale_sessions):
    used = []

    def session_in(locale: str) -> WineSession:
        if locale == LOCALE:
            raise ValueError(f"{locale} is the locale of the fixture wine")
        session = _locale_sessions.get(locale)
        if session is None:
            # Its timings would blur the main session's figures.
            session = WineSession(arch_choice, Figures(), log=_log_to_terminal(pytestconfig), locale=locale)
            _locale_sessions[locale] = session
            session.start()
        session.ensure_desktop()
        used.append(session)
        return session

    yield session_in
    for session in used:
        session.kill_leftovers()


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


@pytest.fixture
def browser(tmp_path):
    """First on PATH, where Wine's winebrowser looks for the desktop's browser."""
    folder = tmp_path / "bin"
    folder.mkdir()
    log = tmp_path / "opened.log"
    log.touch()
    script = folder / "xdg-open"
    script.write_text(f'#!/bin/sh\nprintf \'%s\\n\' "$*" >>"{log}"\n')
    script.chmod(0o755)
    return SimpleNamespace(env={"PATH": f"{folder}:{os.environ['PATH']}"}, opened=lambda: log.read_text().splitlines())
