// The Windows clipboard reader against owners that render only on request:
// pictures in each form read exactly, an owner that never renders neither
// holds up the thread that asked nor gets asked twice at once, and one that
// has stopped running its messages is not asked at all, so that the
// clipboard stays free for the next pick.
#include "region/picker/clipboardread.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {
// Another program: a window on a thread of its own that owns the clipboard
// with one format it renders only when asked.
class Owner {
  public:
    enum class Manner {
        Renders,
        // Asked to render, it keeps quiet until released.
        QuietWhenAsked,
        // Runs no messages at all until released.
        Hung,
    };
    Owner(UINT format, QByteArray data, Manner manner)
        : m_format(format), m_data(std::move(data)), m_manner(manner),
          m_ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this] { run(); });
        WaitForSingleObject(m_ready, 10000);
    }
    ~Owner() {
        release();
        if (m_window) PostMessageW(m_window, WM_CLOSE, 0, 0);
        m_thread.join();
        CloseHandle(m_ready);
        CloseHandle(m_release);
    }
    bool owns() const { return m_owns; }
    int requests() const { return m_requests; }
    // A silent owner answers at last, with nothing.
    void release() { SetEvent(m_release); }

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_RENDERFORMAT && self) {
            ++self->m_requests;
            if (self->m_manner == Manner::QuietWhenAsked) {
                WaitForSingleObject(self->m_release, 60000);
                return 0;
            }
            HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(self->m_data.size()));
            std::memcpy(GlobalLock(h), self->m_data.constData(), SIZE_T(self->m_data.size()));
            GlobalUnlock(h);
            SetClipboardData(self->m_format, h);
            return 0;
        }
        if (message == WM_RENDERALLFORMATS) return 0;
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void run() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"tst-clipboard-owner";
        RegisterClassW(&wc);
        // Message-only: it needs no display.
        m_window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
        if (!m_window) {
            SetEvent(m_ready);
            return;
        }
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        // A reader left with an earlier owner may still hold it open.
        for (int attempt = 0; attempt < 500 && !m_owns; ++attempt) {
            if (OpenClipboard(m_window)) {
                EmptyClipboard();
                SetClipboardData(m_format, nullptr);
                m_owns = GetClipboardOwner() == m_window && IsClipboardFormatAvailable(m_format);
                CloseClipboard();
            } else {
                Sleep(20);
            }
        }
        SetEvent(m_ready);
        if (m_manner == Manner::Hung) WaitForSingleObject(m_release, 60000);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
    }

    const UINT m_format;
    const QByteArray m_data;
    const Manner m_manner;
    HANDLE m_ready, m_release;
    HWND m_window = nullptr;
    std::atomic<bool> m_owns{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

// Every pixel its own colour.
QImage sample() {
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(40 * x + 7, 90 * y + 3, 11 * (x + y) + 100));
    return image;
}

// The clipboard's bitmap form: a header, then rows of `bits` per pixel,
// each padded to four bytes, bottom row first unless `topDown`.
QByteArray dib(const QImage& image, int bits, bool topDown) {
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = image.width();
    h.biHeight = topDown ? -image.height() : image.height();
    h.biPlanes = 1;
    h.biBitCount = WORD(bits);
    h.biCompression = BI_RGB;
    QByteArray out(reinterpret_cast<const char*>(&h), sizeof h);
    const int stride = (image.width() * bits / 8 + 3) & ~3;
    for (int i = 0; i < image.height(); ++i) {
        const int y = topDown ? i : image.height() - 1 - i;
        QByteArray row(stride, '\x5a');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            char* at = row.data() + x * bits / 8;
            at[0] = char(qBlue(p));
            at[1] = char(qGreen(p));
            at[2] = char(qRed(p));
            if (bits == 32) at[3] = 0;
        }
        out += row;
    }
    return out;
}

QByteArray png(const QImage& image) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

struct Answer {
    bool given = false;
    QImage picture;
};

void ask(ClipboardPictureReader& reader, Answer& answer) {
    reader.read([&answer](const QImage& got) {
        answer.given = true;
        answer.picture = got;
    });
}
} // namespace

class TestClipboardReadWin : public QObject {
    Q_OBJECT
  private slots:
    void pictureInEachForm_data();
    void pictureInEachForm();
    void silentOwner();
    void hungOwnerLeavesTheClipboardFree();
    void bitmapBeyondTheBound();
};

void TestClipboardReadWin::pictureInEachForm_data() {
    QTest::addColumn<uint>("format");
    QTest::addColumn<QByteArray>("data");
    const UINT pngFormat = RegisterClipboardFormatW(L"PNG");
    QTest::newRow("PNG") << uint(pngFormat) << png(sample());
    QTest::newRow("32-bit bitmap, bottom row first") << uint(CF_DIB) << dib(sample(), 32, false);
    QTest::newRow("24-bit bitmap with padded rows, top row first")
        << uint(CF_DIB) << dib(sample(), 24, true);
}

void TestClipboardReadWin::pictureInEachForm() {
    QFETCH(uint, format);
    QFETCH(QByteArray, data);
    const std::unique_ptr<ClipboardPictureReader> reader = makeClipboardPictureReader();
    QVERIFY(reader);
    Owner owner(format, data, Owner::Manner::Renders);
    QVERIFY(owner.owns());
    Answer answer;
    ask(*reader, answer);
    QVERIFY(!answer.given); // never from inside read()
    QTRY_VERIFY_WITH_TIMEOUT(answer.given, 15000);
    // Lossless forms: every pixel exact.
    QCOMPARE(answer.picture.convertToFormat(QImage::Format_RGB32), sample());
}

void TestClipboardReadWin::silentOwner() {
    const std::unique_ptr<ClipboardPictureReader> reader = makeClipboardPictureReader();
    QVERIFY(reader);
    // How long the asking thread goes without running its events.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, &ticks,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    {
        Owner silent(RegisterClipboardFormatW(L"PNG"), png(sample()),
                     Owner::Manner::QuietWhenAsked);
        QVERIFY(silent.owns());
        sinceTick.start();
        ticks.start(10);
        QElapsedTimer took;
        took.start();
        Answer first;
        ask(*reader, first);
        QTRY_VERIFY_WITH_TIMEOUT(first.given, 20000);
        QVERIFY(first.picture.isNull());
        // It gave up at its deadline of 5 s, not at once nor much later.
        QVERIFY2(took.elapsed() >= 4000 && took.elapsed() < 12000,
                 qPrintable(QString::number(took.elapsed())));
        QCOMPARE(silent.requests(), 1);

        // Asked again while the owner still keeps quiet: the owner is not
        // asked a second time, and the answer comes all the same.
        Answer second;
        ask(*reader, second);
        QTRY_VERIFY_WITH_TIMEOUT(second.given, 20000);
        QVERIFY(second.picture.isNull());
        QCOMPARE(silent.requests(), 1);
        ticks.stop();
        // Ticks every 10 ms; a loaded machine may delay one, an owner
        // holding the thread up would stop them for seconds.
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
    }
    // The owner answered at last and went: the next owner's picture comes.
    Owner next(CF_DIB, dib(sample(), 24, false), Owner::Manner::Renders);
    QVERIFY(next.owns());
    Answer third;
    ask(*reader, third);
    QTRY_VERIFY_WITH_TIMEOUT(third.given, 15000);
    QCOMPARE(third.picture.convertToFormat(QImage::Format_RGB32), sample());
}

void TestClipboardReadWin::hungOwnerLeavesTheClipboardFree() {
    const std::unique_ptr<ClipboardPictureReader> reader = makeClipboardPictureReader();
    QVERIFY(reader);
    Owner hung(RegisterClipboardFormatW(L"PNG"), png(sample()), Owner::Manner::Hung);
    QVERIFY(hung.owns());
    Answer answer;
    ask(*reader, answer);
    QTRY_VERIFY_WITH_TIMEOUT(answer.given, 20000);
    QVERIFY(answer.picture.isNull());
    // Nobody holds the clipboard open: the next pick goes there.
    QVERIFY(OpenClipboard(nullptr));
    EmptyClipboard();
    const QByteArray picked = dib(sample(), 24, false);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(picked.size()));
    std::memcpy(GlobalLock(h), picked.constData(), SIZE_T(picked.size()));
    GlobalUnlock(h);
    QVERIFY(SetClipboardData(CF_DIB, h));
    QVERIFY(CloseClipboard());
    Answer next;
    ask(*reader, next);
    QTRY_VERIFY_WITH_TIMEOUT(next.given, 15000);
    QCOMPARE(next.picture.convertToFormat(QImage::Format_RGB32), sample());
}

void TestClipboardReadWin::bitmapBeyondTheBound() {
    // Small enough for the image readers, but wider than a picture from
    // the clipboard may be.
    QImage wide(32768, 1, QImage::Format_RGB32);
    wide.fill(Qt::white);
    const std::unique_ptr<ClipboardPictureReader> reader = makeClipboardPictureReader();
    Owner owner(CF_DIB, dib(wide, 24, false), Owner::Manner::Renders);
    QVERIFY(owner.owns());
    Answer answer{false, sample()};
    ask(*reader, answer);
    QTRY_VERIFY_WITH_TIMEOUT(answer.given, 15000);
    QVERIFY(answer.picture.isNull());
    QCOMPARE(owner.requests(), 1);
}

QTEST_MAIN(TestClipboardReadWin)
#include "tst_clipboardread_win.moc"
