#pragma once

#include <QImage>

#include <functional>
#include <memory>

class ClipboardPictureReader;
class QObject;

// The clipboard as the region magnifier uses it: the hand-over of the picked
// region from the picker to the magnified-region window, and the bitmap
// cleared on exit.
class RegionClipboard {
  public:
    virtual ~RegionClipboard() = default;

    // Whether the clipboard holds a bitmap, whoever put it there.
    virtual bool hasBitmap() const = 0;
    // The clipboard's bitmap; the empty picture when it holds none.
    virtual QImage bitmap() const = 0;
    // Hands `done` what bitmap() gives, at once where nothing needs to be
    // waited for, later where another program has to answer, never once
    // `context` has gone. The interface never waits for that program.
    virtual void requestBitmap(QObject* context, std::function<void(const QImage&)> done);
    // Replaces the clipboard's whole content with one bitmap.
    virtual void setBitmap(const QImage& image) = 0;
    // Whether the clipboard still holds the bitmap this program put there:
    // nobody has replaced the content since.
    virtual bool holdsOwnBitmap() const = 0;
    virtual void clear() = 0;
};

// The system clipboard. Handing it a picture costs nothing until another
// program pastes it; the encoding happens then, on request.
class SystemClipboard : public RegionClipboard {
  public:
    SystemClipboard();
    ~SystemClipboard() override;
    bool hasBitmap() const override;
    QImage bitmap() const override;
    void requestBitmap(QObject* context, std::function<void(const QImage&)> done) override;
    void setBitmap(const QImage& image) override;
    bool holdsOwnBitmap() const override;
    void clear() override;

  private:
    // Made on the first read of another program's clipboard; null where the
    // window system has no reader of its own.
    std::unique_ptr<ClipboardPictureReader> m_reader;
    bool m_readerMade = false;
};

// A clipboard in memory, for tests: other programs are simulated by
// putItemFromElsewhere.
class MemoryClipboard : public RegionClipboard {
  public:
    bool hasBitmap() const override { return !m_image.isNull() || m_claimed; }
    QImage bitmap() const override { return m_image; }
    void setBitmap(const QImage& image) override;
    bool holdsOwnBitmap() const override { return m_ours && hasBitmap(); }
    void clear() override;

    // Another program takes the clipboard: with a picture, or with text
    // when `image` is empty.
    void putItemFromElsewhere(const QImage& image, const QString& text = {});
    // Another program offers a picture type whose data gives no picture.
    void putUndecodableFromElsewhere();
    QString text() const { return m_text; }
    int setCount() const { return m_sets; }

  private:
    QImage m_image;
    QString m_text;
    bool m_ours = false;
    bool m_claimed = false;
    int m_sets = 0;
};
