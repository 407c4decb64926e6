#pragma once

#include "fakes.h"
#include "magnifier/editor/frmphotoshop.h"
#include "magnifier/editor/picturearea.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QToolBar>

#include <functional>
#include <memory>

// An editor loaded as the magnifier loads it, over a picture whose every
// pixel is distinct and none of them white.
struct EditorRig {
    static constexpr int W = 240;
    static constexpr int H = 180;

    EditorRig() : screen(units::Screen::fromDpi(W, H, 96, 96)), picture(codedPattern(W, H)) {
        Services s;
        s.screen = &screen;
        s.starter = &starter;
        s.prompts = &prompts;
        editor = new frmphotoshop(s);
        editor->Form_Load();
        editor->setPicture(picture, 1);
        editor->show();
    }
    ~EditorRig() { delete editor; }

    PictureArea* area() const { return editor->Picture1; }
    clspotoshop& sel() const { return *editor->selection(); }
    quint32 at(int x, int y) const { return area()->Point(QPoint(x, y)); }
    // The picture as loaded, as the editor reports colours (0x00BBGGRR).
    quint32 loaded(int x, int y) const { return raster::fromRgb(picture.pixel(x, y)); }

    void tool(const char* key) { editor->button(QString::fromLatin1(key))->trigger(); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton,
               Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mousePress(area(), b, m, p);
    }
    void move(QPoint p) { QTest::mouseMove(area(), p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(area(), b, Qt::NoModifier, p);
    }
    // A press, moves through `via`, and a release at the last point.
    void drag(QPoint from, const QList<QPoint>& via, Qt::KeyboardModifiers m = Qt::NoModifier) {
        press(from, Qt::LeftButton, m);
        for (QPoint p : via)
            move(p);
        release(via.isEmpty() ? from : via.last());
    }
    void selectRect(QPoint a, QPoint b) {
        tool("ToolRect");
        drag(a, {(a + b) / 2, b});
    }
    // The pixels inside (20, 30)-(80, 70) lifted with the move tool and
    // dragged 100 to the right and 50 down: dropped at (120, 80)-(180, 120).
    void liftAndMove() {
        selectRect({20, 30}, {80, 70});
        tool("ToolMove");
        drag({50, 50}, {{150, 100}});
    }
    void tick() { editor->Timer1_Timer(); }
    // Through the window, as a window system delivers keys: to whichever
    // widget of the editor has the focus.
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(editor->windowHandle(), k, m);
    }
    // What the screen shows of the area, drawings included.
    QImage shown() const {
        return area()->grab(QRect(0, 0, W, H)).toImage().convertToFormat(QImage::Format_RGB32);
    }

    FixedScreenInfo screen;
    RecordingStarter starter;
    FakePrompts prompts;
    QImage picture;
    QPointer<frmphotoshop> editor;
};
