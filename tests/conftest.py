# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop tests' fixtures, from the harness in tests/desktop.
pytest_plugins = ["desktop_fixtures"]
