// The clipboard's picture read on a worker thread: an owner that renders
// on request is sent the request and waited for inside GetClipboardData,
// which has no time-out, with the clipboard open all the while, so that no
// program (this one's next pick included) can put anything there. An owner
// is therefore asked only when it answers at all, and never when it is
// this program: its picture is at hand without the clipboard. The
// interface gives up on a read after a deadline; the worker stays with an
// owner that stops answering while it renders until it answers, and while
// it waits no second one is sent to the same owner.
#include "region/picker/clipboardread.h"
#include "region/picker/clipboardreadtypes.h"
#include "shared/platform/systemchoice.h"

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
// How long an owner may take to show that it runs its messages at all.
constexpr UINT kAliveMs = 500;
// Data larger than this is not taken in, whatever the owner gives.
constexpr SIZE_T kLargestPicture = SIZE_T(clipboardpicture::kLargestData);

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
    return clipboardpicture::decode(file, clipboardpicture::Coding::Bmp);
}

QImage picture(UINT format, HANDLE handle, UINT png) {
    const SIZE_T size = GlobalSize(handle);
    if (size == 0 || size > kLargestPicture) return {};
    const auto* data = static_cast<const char*>(GlobalLock(handle));
    if (!data) return {};
    QImage image = format == png ? clipboardpicture::decode(QByteArray(data, qsizetype(size)),
                                                            clipboardpicture::Coding::Png)
                                 : fromDib(data, size);
    GlobalUnlock(handle);
    return image;
}

enum class Owner { None, Ours, Answers, Silent };

// Whose the clipboard is, asked without opening it: a window of `ours`
// (the thread that runs this program's windows) renders nothing to us
// that the program does not hold already.
Owner ownerOf(HWND window, DWORD ours) {
    if (!window) return Owner::None;
    if (GetWindowThreadProcessId(window, nullptr) == ours) return Owner::Ours;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAliveMs,
                               &result)
               ? Owner::Answers
               : Owner::Silent;
}

// Runs on the worker: may wait on an owner that answered just before but
// stops while it renders, for as long as it takes.
QImage readClipboard(DWORD ours) {
    // Another program may hold the clipboard open for a moment, or take it
    // between the look at its owner and the opening.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const HWND window = GetClipboardOwner();
        const Owner owner = ownerOf(window, ours);
        if (owner == Owner::Ours || owner == Owner::Silent) return {};
        if (!OpenClipboard(nullptr)) {
            Sleep(20);
            continue;
        }
        if (GetClipboardOwner() != window) {
            CloseClipboard();
            continue;
        }
        const UINT png = RegisterClipboardFormatW(L"PNG");
        QImage image;
        // Lossless with transparency first; Windows makes either bitmap
        // form from the other.
        for (const UINT format : {png, UINT(CF_DIBV5), UINT(CF_DIB)}) {
            if (!format || !IsClipboardFormatAvailable(format)) continue;
            if (HANDLE handle = GetClipboardData(format)) image = picture(format, handle, png);
            if (!image.isNull()) break;
        }
        CloseClipboard();
        return image;
    }
    return {};
}

class WinClipboardPictureReader;

// Where a worker hands its picture: the reader may be gone by then.
struct Mailbox {
    std::mutex mutex;
    WinClipboardPictureReader* reader = nullptr;
};

class WinClipboardPictureReader : public QObject, public ClipboardPictureReader {
  public:
    WinClipboardPictureReader()
        : m_mailbox(std::make_shared<Mailbox>()), m_ours(GetCurrentThreadId()) {
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
        std::thread([mailbox = m_mailbox, ours = m_ours] {
            QImage got = readClipboard(ours);
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
    // The thread of this program's windows, the clipboard's among them.
    const DWORD m_ours;
    State m_state = State::Idle;
    // Those the read under way answers, and those that wait for the next.
    std::vector<Done> m_waiting;
    std::vector<Done> m_next;
    QTimer m_deadline;
};
} // namespace

std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader() {
    // The clipboard is the process's, not its windows': Qt's offscreen
    // platform reads it too.
    if (systemChoice().family == ServiceFamily::Toolkit) return nullptr;
    return std::make_unique<WinClipboardPictureReader>();
}
