"""Starts Orca with its debug log written line by line, for the screen-reader tests.

Orca's own launcher opens the log with full buffering, so that what Orca said last may sit
unwritten while a test waits for it, and it refuses to start while any other Orca of the same
user runs, even on another display. Usage: orca_launcher.py SETTINGS_DIR LOG_FILE
Listed in docs/workarounds.md ("Orca's log and single instance").
"""

import sys

from orca import debug

settings_dir, log_file = sys.argv[1:3]
debug.debugLevel = debug.LEVEL_INFO
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(log_file, "w", buffering=1, encoding="utf-8")

from orca import orca  # noqa: E402  (reads the debug settings when imported)

orca.getSettingsManager().activate(settings_dir)
sys.exit(orca.main())
