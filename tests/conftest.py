# The desktop tests' fixtures, from the harness in tests/desktop.
pytest_plugins = ["desktop_fixtures"]
