#include "Derudovudi.h"

#include "clipboardlife.h"
#include "frmCaptureArea.h"
#include "notifier.h"
#include "regionclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>

Derudovudi::Derudovudi(const Services& services, RegionClipboard& clipboard,
                       DesktopNotifier& notifier, QString picturesFolder, Lifetime lifetime)
    : m_lifetime(lifetime), m_services(services), m_clipboard(clipboard), m_notifier(notifier),
      m_folder(std::move(picturesFolder)) {
    if (qGuiApp)
        connect(QGuiApplication::clipboard(), &QClipboard::changed, this,
                [this](QClipboard::Mode mode) {
                    if (mode == QClipboard::Clipboard) ClipboardChanged();
                });
    m_clipboard.setUnreachedReport([this] { WarningBox(RegionClipboard::unreachedText()); });
}

Derudovudi::~Derudovudi() {
    m_clipboard.setUnreachedReport({});
}

QIcon Derudovudi::ProgramIcon() {
    return QIcon(QStringLiteral(":/icons/derudovudi.png"));
}

bool Derudovudi::IsClick(const RectL& region, double ratio) {
    const double slack = QApplication::startDragDistance() * ratio;
    return double(region.Right) - region.Left < slack && double(region.Bottom) - region.Top < slack;
}

void Derudovudi::Form_Load() {
    if (m_phase != Phase::Idle) return;
    m_phase = Phase::Picking;
    m_services.screen->selectUnderPointer();
    m_picker = std::make_unique<frmCaptureArea>(*this);
    // Queued: a release unloads the picker before it hands the pick over.
    connect(m_picker.get(), &frmCaptureArea::unloaded, this, &Derudovudi::PickerUnloaded,
            Qt::QueuedConnection);
    connect(m_picker.get(), &frmCaptureArea::captured, this, &Derudovudi::PickerLoaded);
    m_picker->Form_Load();
}

void Derudovudi::PickerLoaded() {
    if (m_phase != Phase::Picking || !m_picker) return;
    if (m_picker->background().isNull()) {
        End();
        return;
    }
    m_picker->ShowModal();
    // A start in a minimised state, as zuz asks for, must not leave the
    // picker on the task bar.
    if (m_picker->isMinimized()) {
        m_picker->setWindowState(Qt::WindowNoState);
        m_picker->ShowModal();
    }
}

void Derudovudi::InformationBox(const QString& text) {
    QMessageBox::information(nullptr, QStringLiteral("Derudovudi"), text);
}

void Derudovudi::WarningBox(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Derudovudi"), text, QMessageBox::Ok);
    box.setWindowIcon(ProgramIcon());
    box.exec();
}

void Derudovudi::PickTaken() {
    if (m_phase != Phase::Picking || !m_picker || !m_clipboard.holdsOwnBitmap()) return;
    m_picked = true;
    const double ratio = m_services.screen->screen().DevicePixelRatio;
    if (IsClick(m_picker->region(), ratio)) m_clipboard.setBitmap(m_picker->background());
}

void Derudovudi::PickerUnloaded() {
    if (m_phase != Phase::Picking) return;
    m_picker.release()->deleteLater();
    emit pickEnded();
    if (m_picked && m_clipboard.holdsOwnBitmap())
        Finish();
    else
        End();
}

void Derudovudi::Finish() {
    m_phase = Phase::Telling;
    m_saved = picturefile::save(m_clipboard.bitmap(), m_folder, Now());
    if (m_saved.outcome != picturefile::Outcome::Saved) {
        WarningBox(QCoreApplication::translate("Derudovudi",
                                               "截图未能保存到“%1”（%2）。图片仍在剪贴板上。")
                       .arg(QDir::toNativeSeparators(m_saved.path), m_saved.reason));
        Told();
        return;
    }
    m_notifier.notify(QCoreApplication::translate("Derudovudi", "截图已保存"),
                      QDir::toNativeSeparators(m_saved.path), ProgramIcon(), [this] {
                          // Out of the notifier's own call.
                          QTimer::singleShot(0, this, &Derudovudi::Told);
                      });
}

void Derudovudi::Told() {
    if (m_phase != Phase::Telling) return;
    if (clipboardlife::outlivesOwner()) clipboardlife::handOver();
    if (clipboardlife::outlivesOwner() || m_lifetime == Lifetime::Resident) {
        End();
        return;
    }
    m_phase = Phase::Keeping;
    ClipboardChanged();
}

void Derudovudi::ClipboardChanged() {
    if (m_phase == Phase::Keeping && !m_clipboard.holdsOwnBitmap()) End();
}

void Derudovudi::End() {
    if (m_phase == Phase::Ended) return;
    m_phase = Phase::Ended;
    emit finished();
}
