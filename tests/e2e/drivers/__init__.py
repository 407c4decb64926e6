"""What the end-to-end tests drive the programs with, written once.

Sessions, all derived from session.Session: xsession (Xvfb), xorgsession
(Xorg, several monitors), wlsession (sway), desktops (GNOME Shell, KWin,
seen from inside; desktoprig stages their steps from the host).
Programs: zuz, menus, tray, tipdialog, editor, day (a user's day with
zuz), zonara, clipboard, client (another X client), longuse. Stand-in
services run as processes of their own: fakeportal, fakenotifications,
snwatcher; screenreader reads the accessibility bus through a11yreader,
one reader process for each reading. installrig holds what the install
and package tests check and the user who runs the installed programs;
pictures the test patterns and the comparisons of what a screen shows.

Tests, benches and scripts/demo.py import the package by name, with
tests/e2e on the import path (pytest.ini; PYTHONPATH for the others)."""
