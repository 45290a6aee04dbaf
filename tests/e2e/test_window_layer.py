"""The window layer's own tests (tests/win), which need real windows: run inside the Wine session."""

from __future__ import annotations


def test_window_layer(wine):
    program = wine.start_program("window_layer_tests.exe", ["--gtest_brief=1"])
    code = program.wait(timeout=120)
    assert code == 0, program.output()
