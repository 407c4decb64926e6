// The button: dragging the control window and picking a region.
#include "region/frmMainwn.h"

#include "region/Fortdck.h"
#include "region/picker/frmCaptureArea.h"
#include "region/picker/windowsystem.h"
#include "region/pickstart.h"
#include "shared/mouseargs.h"
#include "shared/platform/windowplacement.h"
#include "shared/topmost.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>

QPointF frmMainwn::buttonTwips(const QPointF& globalPx) const {
    // Measured from where the window was last put rather than from where
    // X11 reports it: a move still on its way to the X server would
    // otherwise count twice.
    const units::Screen s = screen();
    const QPointF local = globalPx - QPointF(pos()) - QPointF(Comzdy->pos());
    return {s.toTwipsX(local.x()), s.toTwipsY(local.y())};
}

bool frmMainwn::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Comzdy) return QWidget::eventFilter(watched, event);
    // A second press soon after the first at the same spot comes as a
    // double-click in place of the press, whatever the button: it is a
    // press all the same, or a right-click right after a quick pick from
    // the menu would open no menu.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPointF t = buttonTwips(me->globalPosition());
        const int button = mouseargs::button(me->button());
        Comzdy_MouseDown(button, mouseargs::shift(me->modifiers()), t.x(), t.y());
        // The push button itself answers only the left button.
        return button != 1;
    }
    if (event->type() == QEvent::MouseMove) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPointF t = buttonTwips(me->globalPosition());
        Comzdy_MouseMove(mouseargs::button(me->buttons()), mouseargs::shift(me->modifiers()), t.x(),
                         t.y());
    }
    return false;
}

void frmMainwn::Comzdy_MouseDown(int button, int /*shift*/, double x, double y) {
    if (button == 1) {
        OrigX = float(x);
        OrigY = float(y);
    } else if (button == 2) {
        prompts().PopupMenu(mnuCaptureMain);
    }
}

void frmMainwn::Comzdy_MouseMove(int button, int /*shift*/, double x, double y) {
    if (button != 1) return;
    if (!placement::programPlacesWindows()) {
        // Only a move the size of a drag: a press that trembles a pixel is
        // still a click, which the compositor's move would swallow.
        if (std::hypot((x - OrigX) / screen().TwipsPerPixelX,
                       (y - OrigY) / screen().TwipsPerPixelY) >= QApplication::startDragDistance())
            placement::moveWithPointer(*this);
        return;
    }
    setLeft(Left() + x - OrigX);
    setTop(Top() + y - OrigY);
}

void frmMainwn::Comzdy_Click() {
    if (m_phase != Phase::Idle) return;
    m_phase = Phase::Picking;
    // The monitor the user is working on: where the button or the menu
    // was, which the pointer still marks.
    m_services.screen->selectUnderPointer();
    // Off the screen, and the screen beneath repainted, before the picker
    // freezes it: what lies beneath may show the button for a while yet.
    if (!m_pickStart) {
        m_pickStart = std::make_unique<PickStart>(*this, *m_services.grabber);
        connect(m_pickStart.get(), &PickStart::clear, this, &frmMainwn::ScreenClear);
    }
    // The region window goes with the button, unloaded once the picture
    // is taken.
    m_pickStart->begin(QList<QWidget*>{m_fortdck.data()});
}

void frmMainwn::ScreenClear() {
    if (m_phase != Phase::Picking) return;
    m_picker = std::make_unique<frmCaptureArea>(*this);
    connect(m_picker.get(), &frmCaptureArea::captured, this, &frmMainwn::PickerLoaded);
    connect(m_picker.get(), &frmCaptureArea::painted, this, &frmMainwn::PickerShown);
    m_picker->Form_Load();
}

void frmMainwn::PickerLoaded() {
    // Windows hidden for the picture go now, those shown empty for it once
    // the picker covers them.
    if (!m_pickStart->holdsEmptied()) PickerShown();
    // No picture of the screen, no pick (the user has been told why).
    if (m_phase == Phase::Picking && m_picker && !m_picker->background().isNull())
        RunModal(*m_picker);
    // Where the picker never came to the screen.
    PickerShown();
    if (m_phase == Phase::Picking) {
        m_phase = Phase::Idle;
        SetTopmost(this, true);
    }
    // Out of the picker's own signal.
    if (m_picker) m_picker.release()->deleteLater();
}

void frmMainwn::PickerShown() {
    // Windows shown empty go only now. Not before: the desktop, busy with
    // their going (the focus passed on, the window beneath redrawn), would
    // take the picture, and then show the picker, that much later.
    if (m_pickStart->covered()) UnloadFortdck();
}

void frmMainwn::mnfangqu_Click() {
    Comzdy_Click();
}

void frmMainwn::RunModal(frmCaptureArea& picker) {
    // The picker is modal by design: the pick is over when it returns.
    QEventLoop loop;
    connect(&picker, &frmCaptureArea::unloaded, &loop, &QEventLoop::quit);
    picker.ShowModal();
    if (picker.isLoaded()) loop.exec();
}
