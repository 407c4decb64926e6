#include "editorfixture.h"

#include <QRandomGenerator>
#include <QTest>

// The engine holds at most its six surfaces between calls.
constexpr int ownSurfaces = 6;

class TestSelectionResources : public QObject {
    Q_OBJECT

  private slots:
    void longSessionLeavesNothingBehind() {
        const int before = raster::Surface::liveCount();
        {
            EditorFixture f;
            const int held = raster::Surface::liveCount();
            QRandomGenerator rng(7);
            auto point = [&] { return QPoint(rng.bounded(-10, 74), rng.bounded(-10, 58)); };
            for (int i = 0; i < 300; ++i) {
                f.open();
                for (int p = 0; p < 15; ++p)
                    f.sel.addPoint(point().x(), point().y(), p == 0);
                f.sel.endSel();
                f.drag(point(), point(), i % 2 == 0);
                f.sel.Display();
                if (i % 3 == 0) f.sel.UnDo();
                if (i % 5 == 0) f.sel.BackColor(rng.generate() & 0xFFFFFF);
                QVERIFY(raster::Surface::liveCount() <= held + ownSurfaces);
            }
            f.open();
            f.sel.addPoint(0, 0, true);
            for (int p = 0; p < 5000; ++p)
                f.sel.addPoint(p % 64, (p * 7) % 48, false);
            f.sel.endSel();
            QCOMPARE(f.sel.fields().PointCount, 5002);
            QVERIFY(raster::Surface::liveCount() <= held + ownSurfaces);
        }
        QCOMPARE(raster::Surface::liveCount(), before);
    }
};

QTEST_APPLESS_MAIN(TestSelectionResources)
#include "tst_selection_resources.moc"
