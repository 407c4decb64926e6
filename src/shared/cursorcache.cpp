#include "shared/cursorcache.h"

#include <QCoreApplication>
#include <QHash>
#include <QObject>
#include <QPointer>

namespace {
// Lives as a child of the application, so that the cursors go with it and
// not after it, when the connection to X11 or Windows is no longer there to free them.
class CursorStore : public QObject {
  public:
    using QObject::QObject;
    QHash<QByteArray, QCursor> cursors;
};

QPointer<CursorStore> g_store;
} // namespace

const QCursor& programCursor(const char* name, const std::function<QCursor()>& make) {
    if (!g_store) {
        if (QCoreApplication* app = QCoreApplication::instance()) {
            g_store = new CursorStore(app);
        } else {
            thread_local QCursor unkept;
            unkept = make();
            return unkept;
        }
    }
    auto it = g_store->cursors.find(name);
    if (it == g_store->cursors.end()) it = g_store->cursors.insert(name, make());
    return *it;
}
