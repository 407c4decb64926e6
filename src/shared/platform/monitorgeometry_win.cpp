// The monitors as Windows lays them out on the virtual screen.
#include "shared/platform/monitorgeometry.h"

#include <QScreen>

#include <windows.h>

namespace {
struct Search {
    QPoint corner;
    std::optional<QRect> found;
};

BOOL CALLBACK visit(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    if (QPoint(r.left, r.top) != search->corner) return TRUE;
    search->found = QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return FALSE;
}
} // namespace

std::optional<QRect> windowSystemGeometry(const QScreen* screen) {
    if (!screen) return std::nullopt;
    // Qt keeps each monitor's corner in the system's pixels, which
    // names the monitor.
    Search search{screen->geometry().topLeft(), std::nullopt};
    ::EnumDisplayMonitors(nullptr, nullptr, &visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
