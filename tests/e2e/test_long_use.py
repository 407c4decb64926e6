"""Long use in short: many Ctrl+Z views (scrolling and push-pull switched
on for some), many Zonara picks with their windows opened and closed, and
long free-hand strokes in the annotation editor. After a warm-up nothing
may pile up: no X resource (window, pixmap, picture, GC...), no
shared-memory segment, no grab left standing, and resident memory stays
near where it was. A leak of one pixmap or segment per view shows here;
bench/longuse runs the full counts."""

import os

from drivers.longuse import Holdings, editor_trace, grabs_free, picks, views
from drivers.session import wait_until
from drivers.xsession import new_session
from drivers.zonara import Zonara
from drivers.zuz import Zuz, waiting_zuz

# Far above the noise of a short run, far below one screen-sized buffer a
# view. Sanitized builds keep freed memory in quarantine, so there only the
# X server's and the segments' side is checked.
RSS_SLACK_KB = 6 * 1024
SANITIZED = "ASAN_OPTIONS" in os.environ
# The toolkit makes some things once, when first needed (a cursor shape
# met late, say), and keeps them: a few of a kind are no leak, one a view is.
X_SLACK = 2


def nothing_piles_up(s, pid, before, what):
    # A view's buffers go back a few seconds after it ends, so the count
    # is waited for rather than taken at once.
    def settled():
        now = Holdings(s, pid)
        if now.grown(before, X_SLACK):
            return None
        if not SANITIZED and now.rss_kb - before.rss_kb > RSS_SLACK_KB:
            return None
        return now
    try:
        wait_until(settled, 10, f"{what}: resources back to their warm count")
    except AssertionError:
        after = Holdings(s, pid)
        raise AssertionError(f"{what}: grew {after.grown(before, X_SLACK)}; "
                             f"{before.describe()} -> {after.describe()}") from None
    assert grabs_free(s), f"{what}: a grab was left standing"


def test_zuz_views_and_strokes(args):
    with new_session(1024, 768) as s:
        zuz = waiting_zuz(s, args.bin)
        # Warm-up: the allocator settles on what a view and a long stroke
        # take, then keeps it for the next ones.
        views(s, zuz, 8, switch_every=2)
        editor_trace(s, zuz, 5000)
        editor_trace(s, zuz, 5000)
        before = Holdings(s, zuz.proc.pid)
        assert before.x, "zuz is not known to the X-Resource extension"
        views(s, zuz, 40, switch_every=2)
        nothing_piles_up(s, zuz.proc.pid, before, "40 views")
        editor_trace(s, zuz, 5000)
        editor_trace(s, zuz, 5000)
        nothing_piles_up(s, zuz.proc.pid, before, "two strokes of 5000 points")
        assert zuz.proc.poll() is None


def test_zonara_picks(args):
    with new_session(1024, 768) as s:
        zuz = Zuz(s, args.bin)  # the folder, with both programs
        open(os.path.join(zuz.folder, "Vorlane.ini"), "w").close()
        zonara = Zonara(s, zuz.folder)
        picks(s, zonara, 6)
        before = Holdings(s, zonara.proc.pid)
        picks(s, zonara, 30)
        nothing_piles_up(s, zonara.proc.pid, before, "30 picks")
        assert zonara.end() == 0
