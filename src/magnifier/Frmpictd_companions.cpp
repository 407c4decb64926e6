// Leaving the view for the region magnifier, the capture program, the
// annotation editor or the tip dialog.
#include "magnifier/Frmpictd.h"

#include "shared/capturecompanion.h"

void Frmpictd::mnwanneng_Click() {
    // A waiting capture program reads the screen at once: the hole the menu
    // left in the view has to be painted, and on the screen, by then.
    if (isVisible()) m_canvas->repaintNow();
    capturecompanion::pickAfterMenu(*m_services.starter, ProgramStarter::Show::Minimized, this);
}

// The editor gets the view as the user sees it, small buttons included, and
// takes over the screen; the view does not come back when it closes.
void Frmpictd::Command5_Click() {
    // One editor at a time: a new one starts from a fresh picture.
    m_editor.close();
    requestCapture(ViewCapture::Purpose::Editor);
}

void Frmpictd::openEditor(const Picture& picture) {
    m_editor.open(m_services, picture, screen().DevicePixelRatio);
    hide();
    clearPictures();
}
