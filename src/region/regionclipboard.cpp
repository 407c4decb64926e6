#include "regionclipboard.h"

#include "clipboardread.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace {
QClipboard* systemClipboard() {
    return qGuiApp ? QGuiApplication::clipboard() : nullptr;
}
} // namespace

void RegionClipboard::requestBitmap(QObject* /*context*/,
                                    std::function<void(const QImage&)> done) {
    done(bitmap());
}

SystemClipboard::SystemClipboard() {
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
    const QClipboard* c = systemClipboard();
    if (c && !c->ownsClipboard()) {
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

bool SystemClipboard::hasBitmap() const {
    const QClipboard* c = systemClipboard();
    const QMimeData* data = c ? c->mimeData() : nullptr;
    return data && data->hasImage();
}

QImage SystemClipboard::bitmap() const {
    const QClipboard* c = systemClipboard();
    return c ? c->image() : QImage();
}

void SystemClipboard::setBitmap(const QImage& image) {
    if (QClipboard* c = systemClipboard()) c->setImage(image);
}

bool SystemClipboard::holdsOwnBitmap() const {
    // This program only ever puts bitmaps there, so owning the clipboard
    // means that its content is still ours.
    const QClipboard* c = systemClipboard();
    return c && c->ownsClipboard() && hasBitmap();
}

void SystemClipboard::clear() {
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
