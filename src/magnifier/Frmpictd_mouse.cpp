// Panning, the context menu, double-clicks and the keys that end a view.
#include "magnifier/Frmpictd.h"

#include "magnifier/panning.h"
#include "magnifier/picturebox.h"

#include <QWheelEvent>

using units::cint;

void Frmpictd::wheelEvent(QWheelEvent* event) {
    m_mouse.wheel(*event);
    event->accept();
}

void Frmpictd::Imadpic_MouseDown(int button, int /*shift*/, double x, double y) {
    Imadpic.MousePointer = Imagxs2.MousePointer;
    DragStartX = cint(x);
    DragStartY = cint(y);
    if (button == 2) prompts().PopupMenu(mnkz);
}

void Frmpictd::Imadpic_MouseMove(int button, int /*shift*/, double x, double y) {
    if (button != 1) return;
    Imadpic.Left = panning::dragged(cint(Imadpic.Left), cint(Imadpic.Width), cint(ScaleWidth()),
                                    cint(x) - DragStartX);
    Imadpic.Top = panning::dragged(cint(Imadpic.Top), cint(Imadpic.Height), cint(ScaleHeight()),
                                   cint(y) - DragStartY);
    refreshView();
}

void Frmpictd::Imadpic_MouseUp(int, int, double, double) {
    Imadpic.MousePointer = Imagxs1.MousePointer;
}

void Frmpictd::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == 27 || keyCode == 88) EndView(); // Esc, X
}

void Frmpictd::Imadpic_DblClick() {
    // As the menu's "上下自动滚动", but carrying on from where it stopped.
    toggleScrolling(ScrollStart::Resume);
}

void Frmpictd::Form_DblClick() {
    clearPictures();
    motion.ScrollTop = float(WindowTop());
    Timgund->setEnabled(false);
    Timtiula->setEnabled(false);
    hide();
}
