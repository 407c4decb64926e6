#include "capture/resident.h"

#include "capture/Derudovudi.h"
#include "capture/clipboardlife.h"
#include "region/picker/regionclipboard.h"
#include "shared/capturecompanion.h"
#include "shared/programstart.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

CaptureResident::CaptureResident(const Services& services, RegionClipboard& clipboard,
                                 DesktopNotifier& notifier, QString picturesFolder)
    : m_services(services), m_clipboard(clipboard), m_notifier(notifier),
      m_folder(std::move(picturesFolder)) {
    connect(&m_clients, &ClientWatch::clientEnded, this, &CaptureResident::EndIfUnneeded);
    if (qGuiApp)
        connect(QGuiApplication::clipboard(), &QClipboard::changed, this,
                &CaptureResident::EndIfUnneeded);
}

CaptureResident::~CaptureResident() = default;

bool CaptureResident::serve(qint64 pid) {
    return serve(ClientProcess::open(pid));
}

bool CaptureResident::serve(ClientProcess process) {
    return process.pid() > 0 && m_clients.add(std::move(process));
}

QByteArray CaptureResident::answer(const QString& request) {
    const auto asked = capturecompanion::parse(request);
    if (!asked || m_finished) return {};
    serve(asked->client);
    // The window state that comes with a pick changes nothing: the picker
    // covers the monitor either way.
    if (asked->ask == capturecompanion::Ask::Pick)
        QTimer::singleShot(0, this, &CaptureResident::pick);
    return programstart::kTaken;
}

void CaptureResident::pick() {
    if (m_capture || m_finished) return;
    m_capture = std::make_unique<Derudovudi>(m_services, m_clipboard, m_notifier, m_folder,
                                             Derudovudi::Lifetime::Resident);
    connect(m_capture.get(), &Derudovudi::finished, this, &CaptureResident::PickOver,
            Qt::QueuedConnection);
    m_capture->Form_Load();
}

void CaptureResident::PickOver() {
    if (!m_capture || m_capture->phase() != Derudovudi::Phase::Ended) return;
    m_capture.release()->deleteLater();
    // What the pick used (its picture of the screen, the picker's buffers)
    // is not kept while waiting.
    m_services.grabber->trim();
    EndIfUnneeded();
}

void CaptureResident::EndIfUnneeded() {
    if (m_finished || m_capture || m_clients.count() > 0) return;
    // A picture that nothing else would keep pasteable keeps the process.
    if (m_clipboard.holdsOwnBitmap() && !clipboardlife::outlivesOwner()) return;
    m_finished = true;
    emit finished();
}
