"""What the end-to-end tests drive the programs with, written once.

Sessions, all derived from session.Session: xsession (Xvfb), xorgsession
(Xorg, several monitors), wlsession (sway), desktops (GNOME Shell, KWin).
Programs: zuz, tray, tipdialog, menus through zuz, zonara, clipboard,
editor, client (another X client), day (a user's day with zuz), longuse.
Stand-in services run as processes of their own: fakeportal,
fakenotifications, snwatcher. pictures holds the test patterns and the
comparisons of what a screen shows."""
