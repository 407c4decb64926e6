// Construction, start-up and shutdown of the magnifier window.
#include "magnifier/Frmpictd.h"

#include "magnifier/artwork.h"
#include "magnifier/picturebox.h"
#include "shared/formplace.h"
#include "shared/tip/Frmzdydhc.h"
#include "shared/topmost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

Frmpictd::Frmpictd(const Services& services, QWidget* parent)
    : MouseReporting(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services) {
    setWindowTitle(QString());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Shown "maximised": the client area is the whole primary screen.
    setGeometry(m_services.screen->geometry());
    // First, so that the surface X11 draws on is the lowest native child.
    m_canvas =
        new ViewCanvas(*this, *m_services.grabber, aids, Imadpic, [this] { return screen(); });
    buildControls();
    m_capture = new ViewCapture(*m_services.grabber, this);
    connect(m_capture, &ViewCapture::captured, this, &Frmpictd::pictureTaken);
    connect(m_capture, &ViewCapture::failed, this,
            [this](ViewCapture::Purpose, const QString& why) {
                prompts().MessageBox(why, QApplication::applicationName());
            });
    m_screens = new ScreenFollower(*m_services.screen, *this);
    connect(m_screens, &ScreenFollower::changed, this, &Frmpictd::followScreenChange);
}

Frmpictd::~Frmpictd() = default;

void Frmpictd::buildControls() {
    Imagxs1.MousePointer = QCursor(Qt::OpenHandCursor);
    Imagxs2.MousePointer = QCursor(Qt::ClosedHandCursor);
    Imadpic.MousePointer = Imagxs1.MousePointer;
    Imatbiao = artwork::pencilPicture();
    Pictubiao = {artwork::magnifierIcon(), artwork::glyphIcon()};

    m_stage.emplace(*this, palette().color(QPalette::Button), pushPull);
    P1 = m_stage->shown();
    P2 = m_stage->source();
    connect(P1, &PictureBox::mouseDown, this, &Frmpictd::P1_MouseDown);
    connect(P1, &PictureBox::clicked, this, &Frmpictd::P1_Click);
    connect(P1, &PictureBox::doubleClicked, this, &Frmpictd::P1_DblClick);
    m_buttons.emplace(*this, m_canvas->onServer());
    const auto timer = [this](int ms, void (Frmpictd::*handler)()) {
        auto* t = new VbTimer(ms, this);
        connect(t, &VbTimer::Timer, this, handler);
        return t;
    };
    Timer1 = timer(1000, &Frmpictd::Timer1_Timer);
    Timgund = timer(50, &Frmpictd::Timgund_Timer);
    Timtiula = timer(50, &Frmpictd::Timtiula_Timer);
    TimKey = timer(1, &Frmpictd::TimKey_Timer);
}

// On the window's own monitor, whose top is the top of "the screen".
double Frmpictd::WindowTop() const {
    return formplace::twips(*this, screen(), m_services.screen->geometry()).y();
}

void Frmpictd::requestCapture(ViewCapture::Purpose purpose) {
    if (m_capture->pending(purpose)) return;
    if (auto drawn = m_canvas->drawnInstead(purpose)) return pictureTaken(purpose, *drawn);
    // A menu or dialog that just closed over the view leaves a hole that is
    // repainted only later; paint it now so the capture shows the view.
    if (isVisible())
        m_canvas->repaintNow();
    else
        m_canvas->readyPaintBuffer(m_services.screen->geometry().size());
    m_capture->request(m_services.screen->nativeGeometry(), purpose);
}

void Frmpictd::pictureTaken(ViewCapture::Purpose purpose, const Picture& picture) {
    switch (purpose) {
    case ViewCapture::Purpose::View:
        // Where no picture of the screen can be had at all (the user has
        // been told why), there is nothing to magnify and no view to show.
        if (!picture.isNull()) ShowView(picture);
        break;
    case ViewCapture::Purpose::Again:
        showPicture(picture);
        break;
    case ViewCapture::Purpose::Editor:
        openEditor(picture);
        break;
    case ViewCapture::Purpose::Start:
        showPicture(picture);
        finishLoad();
        break;
    }
}

void Frmpictd::Form_Load() {
    followPointerScreen();
    m_buttons->placeCorner(screen());
    Command5->setIcon(Imatbiao);
    Imadpic.setSize(2 * screenSize());
    // The picture first: nothing of this program, neither the window nor
    // the tip dialog, may be on the screen when it is taken, and through
    // the portal it comes later.
    requestCapture(ViewCapture::Purpose::Start);
}

// The rest of the start, once its picture is in (or known not to come).
void Frmpictd::finishLoad() {
    // Keyboard preview: the buttons never take the focus, so every key
    // reaches the window first.
    setFocus();
    AddTrayIcon();
    InstallHotkey();
    ApplyTipMarker();
    FitWindowToPicture();
}

void Frmpictd::showStartView() {
    if (m_capture->pending(ViewCapture::Purpose::Start)) {
        connect(m_capture, &ViewCapture::captured, this, &Frmpictd::showStartView,
                Qt::SingleShotConnection);
        return;
    }
    // Without a picture of the screen the program waits hidden, as between
    // views (the user has been told why).
    if (Imadpic.picture.isNull()) {
        hide();
        return;
    }
    showForward(this);
}

void Frmpictd::ApplyTipMarker() {
    if (!prompts().TipMarkerExists(TipVariant::Magnifier)) {
        // Not topmost, so that the tip dialog can lie above the view.
        SetTopmost(this, false);
        ShowTipDialog();
    } else {
        SetTopmost(this, true);
    }
}

void Frmpictd::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
    cancel = false;
    Timer1->setEnabled(false);
    // The icon leaves the notification area at once.
    m_summons.removeIcon();
}

void Frmpictd::Form_Unload(bool& cancel) {
    cancel = false;
    prompts().UnloadTipDialog(TipVariant::Magnifier);
}

// Quitting ends everything, an open editor included.
void Frmpictd::mnexit2_Click() {
    m_quitting = true;
    close();
    m_editor.close();
    QCoreApplication::quit();
}

// Closed some other way (the window manager's close on a view), the window
// unloads, but an open editor keeps the program until it is closed too.
void Frmpictd::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    Form_Unload(cancel);
    event->accept();
    if (m_quitting)
        QCoreApplication::quit();
    else
        m_editor.quitWhenClosed();
}
