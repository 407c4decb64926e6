// The clipboard's picture read on a worker thread: an owner that renders
// on request is sent the request and waited for inside GetClipboardData,
// which has no time-out. The interface gives up on it after a deadline;
// the worker stays with the owner until it answers, and while it waits no
// second one is sent to the same owner.
#include "clipboardread.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {
// How long an owner may take to hand over its picture.
constexpr int kAnswerMs = 5000;
// A picture larger than this is not taken in, whatever the owner gives.
constexpr SIZE_T kLargestPicture = SIZE_T(512) * 1024 * 1024;

// A device-independent bitmap as the clipboard holds it is a .bmp file
// without its file header: the header says where the pixels start.
QImage fromDib(const char* data, SIZE_T size) {
    if (size < sizeof(BITMAPINFOHEADER)) return {};
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, sizeof h);
    if (h.biSize < sizeof h || h.biSize > size) return {};
    SIZE_T table = h.biClrUsed;
    if (table == 0 && h.biBitCount <= 8) table = SIZE_T(1) << h.biBitCount;
    table *= sizeof(RGBQUAD);
    // The three masks follow the short header; the longer ones hold them.
    if (h.biSize == sizeof h && (h.biCompression == BI_BITFIELDS || h.biCompression == 6))
        table += (h.biCompression == 6 ? 4 : 3) * sizeof(DWORD);
    const SIZE_T offset = sizeof(BITMAPFILEHEADER) + h.biSize + table;
    BITMAPFILEHEADER f{};
    f.bfType = 0x4D42; // "BM"
    f.bfSize = DWORD(sizeof f + size);
    f.bfOffBits = DWORD(offset);
    QByteArray file(reinterpret_cast<const char*>(&f), sizeof f);
    file.append(data, qsizetype(size));
    return QImage::fromData(file, "BMP");
}

QImage picture(UINT format, HANDLE handle, UINT png) {
    const SIZE_T size = GlobalSize(handle);
    if (size == 0 || size > kLargestPicture) return {};
    const auto* data = static_cast<const char*>(GlobalLock(handle));
    if (!data) return {};
    QImage image = format == png ? QImage::fromData(QByteArray(data, qsizetype(size)), "PNG")
                                 : fromDib(data, size);
    GlobalUnlock(handle);
    return image;
}

// Runs on the worker: may wait on the owner for as long as it takes.
QImage readClipboard() {
    // Another program may hold the clipboard open for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(nullptr)); ++attempt)
        Sleep(20);
    if (!open) return {};
    const UINT png = RegisterClipboardFormatW(L"PNG");
    QImage image;
    // Lossless with transparency first; Windows makes either bitmap form
    // from the other.
    for (const UINT format : {png, UINT(CF_DIBV5), UINT(CF_DIB)}) {
        if (!format || !IsClipboardFormatAvailable(format)) continue;
        if (HANDLE handle = GetClipboardData(format)) image = picture(format, handle, png);
        if (!image.isNull()) break;
    }
    CloseClipboard();
    return image;
}

class WinClipboardPictureReader;

// Where a worker hands its picture: the reader may be gone by then.
struct Mailbox {
    std::mutex mutex;
    WinClipboardPictureReader* reader = nullptr;
};

class WinClipboardPictureReader : public QObject, public ClipboardPictureReader {
  public:
    WinClipboardPictureReader() : m_mailbox(std::make_shared<Mailbox>()) {
        m_mailbox->reader = this;
        m_deadline.setSingleShot(true);
        m_deadline.setInterval(kAnswerMs);
        connect(&m_deadline, &QTimer::timeout, this, &WinClipboardPictureReader::giveUp);
    }
    ~WinClipboardPictureReader() override {
        // A worker still with its owner ends on its own, or with the
        // program.
        const std::lock_guard lock(m_mailbox->mutex);
        m_mailbox->reader = nullptr;
    }

    void read(Done done) override {
        switch (m_state) {
        case State::Idle:
            m_waiting.push_back(std::move(done));
            start();
            break;
        case State::Reading:
            // Asked before the clipboard may have changed: the next read.
            m_next.push_back(std::move(done));
            break;
        case State::OwnerSilent:
            // The worker is still with the owner: these wait for it to
            // come back, within the deadline.
            m_next.push_back(std::move(done));
            if (!m_deadline.isActive()) m_deadline.start();
            break;
        }
    }

  private:
    enum class State { Idle, Reading, OwnerSilent };

    void start() {
        m_state = State::Reading;
        m_deadline.start();
        std::thread([mailbox = m_mailbox] {
            QImage got = readClipboard();
            const std::lock_guard lock(mailbox->mutex);
            if (WinClipboardPictureReader* reader = mailbox->reader)
                QMetaObject::invokeMethod(
                    reader, [reader, got = std::move(got)] { reader->finished(got); },
                    Qt::QueuedConnection);
        }).detach();
    }

    void finished(const QImage& got) {
        m_deadline.stop();
        std::vector<Done> answered;
        // A picture that came after its deadline may be stale: those
        // waiting since asked after it.
        if (m_state == State::Reading) answered.swap(m_waiting);
        m_state = State::Idle;
        if (!m_next.empty()) {
            m_waiting.swap(m_next);
            start();
        }
        for (const Done& done : answered)
            done(got);
    }

    void giveUp() {
        std::vector<Done> answered;
        answered.swap(m_waiting);
        for (Done& done : m_next)
            answered.push_back(std::move(done));
        m_next.clear();
        m_state = State::OwnerSilent;
        for (const Done& done : answered)
            done(QImage());
    }

    std::shared_ptr<Mailbox> m_mailbox;
    State m_state = State::Idle;
    // Those the read under way answers, and those that wait for the next.
    std::vector<Done> m_waiting;
    std::vector<Done> m_next;
    QTimer m_deadline;
};
} // namespace

std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader() {
    return std::make_unique<WinClipboardPictureReader>();
}
