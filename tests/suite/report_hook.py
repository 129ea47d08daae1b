"""The report hook both suites' conftest import, so that a fixture can see whether its
test failed (and photograph the desktop then)."""

import pytest


@pytest.hookimpl(hookwrapper=True, tryfirst=True)
def pytest_runtest_makereport(item, call):
    """Keeps each test's call report on its item (item.rep_call), for fixtures that
    photograph the desktop after a failure."""
    outcome = yield
    report = outcome.get_result()
    if report.when == "call":
        item.rep_call = report
