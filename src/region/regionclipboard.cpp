#include "regionclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
QClipboard* systemClipboard() {
    return qGuiApp ? QGuiApplication::clipboard() : nullptr;
}
} // namespace

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
