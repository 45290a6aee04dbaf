"""End-to-end test harness: the program under Wine, on Xvfb, with the simulated driver library.

Main pieces (the pytest fixtures in tests/e2e/conftest.py hand them out):

- ``WineSession`` (fixture ``wine``): X server, prefix, shared virtual desktop;
  ``start_program(sim=...)`` -> ``Program``; ``probe``; ``screen``; ``screenshot(name)``.
- ``SimDriver``/``SimState`` (fixture ``sim``): the library's state file and call log;
  ``wait_for_log`` is the program's readiness signal.
- ``Probe``: one method per command of tools/probe, answers as parsed JSON.
- ``Screen``: xdotool mouse and keys; ``tray_icon_center``.
- ``Figures`` (fixture ``figures``): timings printed as "figure: NAME = X ms" at the end.

A typical test::

    def test_second_start_exits_at_once(wine, probe, sim, figures):
        sim.write(SimState(protection=0))
        first = wine.start_program(sim=sim)
        sim.wait_for_log("fcGetProtection", program=first)      # start-up has finished
        figures.record("start to ready", first.elapsed_ms())
        assert probe.mutex_exists("QDN_RUNNING")
        second = wine.start_program(sim=sim)
        assert second.wait(10) == 0
        window = probe.wait("TfrmSetup", "*", 10)
        assert not window["visible"]
        wine.tray_double_click()                                 # opens the password dialog
        dialog = probe.wait("TfrmCheck", "*", 5, visible=True)
"""

from .figures import Figures
from .probe import Probe, ProbeDied, ProbeError
from .program import Program
from .session import ARTIFACTS_DIR, ArchChoice, WineSession, choose_arch
from .simdriver import LogTimeout, SimDriver, SimState, read_lines, wait_for_line, windows_path
from .xserver import SCREEN_SIZE, Screen, Xvfb, tray_icon_center

__all__ = [
    "ARTIFACTS_DIR",
    "ArchChoice",
    "Figures",
    "LogTimeout",
    "Probe",
    "ProbeDied",
    "ProbeError",
    "Program",
    "SCREEN_SIZE",
    "Screen",
    "SimDriver",
    "SimState",
    "WineSession",
    "Xvfb",
    "choose_arch",
    "read_lines",
    "tray_icon_center",
    "wait_for_line",
    "windows_path",
]
