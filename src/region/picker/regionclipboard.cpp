#include "region/picker/regionclipboard.h"

#include "region/picker/clipboardread.h"
#include "region/picker/clipboardreadtypes.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace {
QClipboard* systemClipboard() {
    return qGuiApp ? QGuiApplication::clipboard() : nullptr;
}

// A picture of ours that the clipboard has not taken (yet): it is at hand.
bool waiting(const OwnPicture& own) {
    return own.state() == OwnPicture::State::Waiting || own.state() == OwnPicture::State::Unreached;
}
} // namespace

QString RegionClipboard::unreachedText() {
    return QCoreApplication::translate("zuz",
                                       "另一个程序一直占用着剪贴板，选取的图片未能放到剪贴板上。");
}

void RegionClipboard::requestBitmap(QObject* /*context*/, std::function<void(const QImage&)> done) {
    done(bitmap());
}

OwnPicture::OwnPicture(Place place, std::function<void()> unreached)
    : m_place(std::move(place)), m_unreached(std::move(unreached)) {
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &OwnPicture::tryPlace);
}

void OwnPicture::set(const QImage& image) {
    m_picture = image;
    m_triesLeft = kGiveUpMs / kRetryMs;
    tryPlace();
}

void OwnPicture::forget() {
    // Our own content arriving is no other program's.
    if (m_placing) return;
    m_retry.stop();
    m_picture = {};
    m_state = State::None;
}

void OwnPicture::tryPlace() {
    m_placing = true;
    const bool placed = m_place(m_picture);
    m_placing = false;
    if (placed) {
        m_retry.stop();
        m_state = State::Placed;
        return;
    }
    if (m_triesLeft-- > 0) {
        m_state = State::Waiting;
        if (!m_retry.isActive()) m_retry.start();
        return;
    }
    m_retry.stop();
    m_state = State::Unreached;
    if (m_unreached) m_unreached();
}

SystemClipboard::SystemClipboard()
    : m_own(
          [this](const QImage& image) {
              QClipboard* c = systemClipboard();
              if (!c) return false;
              // Qt lets go of data the clipboard refused; what it
              // holds then is another program's.
              auto* data = new QMimeData;
              data->setImageData(image);
              c->setMimeData(data);
              if (c->mimeData() != data) return false;
              m_placed = data;
              m_ownershipTold = c->ownsClipboard();
              return true;
          },
          [this] { reportUnreached(); }) {
    // A picture of our own still waiting to go there gives way to what
    // another program puts there meanwhile.
    if (QClipboard* c = systemClipboard())
        QObject::connect(c, &QClipboard::dataChanged, &m_own, [this] {
            if (waiting(m_own)) m_own.forget();
        });
    // Made before any window shows: on Wayland a reader learns what the
    // clipboard holds only when the program gains the focus.
    if (qGuiApp) {
        m_reader = makeClipboardPictureReader();
        m_readerMade = true;
    }
}
SystemClipboard::~SystemClipboard() = default;

void SystemClipboard::requestBitmap(QObject* context, std::function<void(const QImage&)> done) {
    // The program's own picture is at hand; another program's may take
    // that program as long as it likes.
    if (systemClipboard() && !ours()) {
        if (!m_readerMade) {
            m_reader = makeClipboardPictureReader();
            m_readerMade = true;
        }
        if (m_reader) {
            m_reader->read([context = QPointer<QObject>(context), done](const QImage& got) {
                if (context) done(got);
            });
            return;
        }
    }
    done(bitmap());
}

bool SystemClipboard::ours() const {
    if (waiting(m_own)) return true;
    const QClipboard* c = systemClipboard();
    if (!c || m_own.state() != OwnPicture::State::Placed) return false;
    // Where Qt does not tell who owns the clipboard, it still
    // holds the very data it was given until another program takes it.
    return m_ownershipTold ? c->ownsClipboard() : c->mimeData() == m_placed;
}

bool SystemClipboard::hasBitmap() const {
    if (ours()) return true;
    const QClipboard* c = systemClipboard();
    const QMimeData* data = c ? c->mimeData() : nullptr;
    if (!data) return false;
    for (const QByteArray& type : clipboardpicture::mimeTypes())
        if (data->hasFormat(QString::fromLatin1(type))) return true;
    return false;
}

QImage SystemClipboard::bitmap() const {
    if (ours()) return m_own.picture();
    const QClipboard* c = systemClipboard();
    if (!c) return {};
    // Another program's: only the types read, as they are named, never
    // what Qt would decode of anything offered.
    const QMimeData* data = c->mimeData();
    if (!data) return {};
    for (const QByteArray& type : clipboardpicture::mimeTypes())
        if (data->hasFormat(QString::fromLatin1(type)))
            return clipboardpicture::decode(data->data(QString::fromLatin1(type)), type);
    return {};
}

void SystemClipboard::setBitmap(const QImage& image) {
    if (systemClipboard()) m_own.set(image);
}

bool SystemClipboard::holdsOwnBitmap() const {
    // One still on its way there is ours until another program takes the
    // clipboard.
    return ours();
}

void SystemClipboard::clear() {
    m_own.forget();
    if (QClipboard* c = systemClipboard()) c->clear();
}

void MemoryClipboard::setBitmap(const QImage& image) {
    m_image = image;
    m_claimed = false;
    m_text.clear();
    m_ours = true;
    ++m_sets;
}

void MemoryClipboard::clear() {
    m_image = {};
    m_claimed = false;
    m_text.clear();
    m_ours = false;
}

void MemoryClipboard::putItemFromElsewhere(const QImage& image, const QString& text) {
    m_image = image;
    m_claimed = false;
    m_text = text;
    m_ours = false;
}

void MemoryClipboard::putUndecodableFromElsewhere() {
    m_image = {};
    m_text.clear();
    m_claimed = true;
    m_ours = false;
}
