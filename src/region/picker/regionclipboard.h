#pragma once

#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class ClipboardPictureReader;

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

    // Told when a bitmap handed to setBitmap could not be put on the
    // clipboard however often it was tried: the program still shows it.
    void setUnreachedReport(std::function<void()> report) { m_unreached = std::move(report); }
    // What that report tells the user.
    static QString unreachedText();

  protected:
    void reportUnreached() const {
        if (m_unreached) m_unreached();
    }

  private:
    std::function<void()> m_unreached;
};

// The picture this program puts on the clipboard, kept at hand until the
// clipboard has taken it: another program may hold the clipboard open for
// a while (Windows), and the pick is not lost meanwhile. It is tried again
// every kRetryMs until kGiveUpMs have passed, then reported. Seldom: each
// try may itself keep the interface waiting a few tenths of a second while
// Qt tries to open the clipboard.
class OwnPicture : public QObject {
  public:
    enum class State { None, Placed, Waiting, Unreached };
    static constexpr int kRetryMs = 1000;
    static constexpr int kGiveUpMs = 10000;
    // Puts the picture on the clipboard; whether the clipboard took it.
    using Place = std::function<bool(const QImage&)>;

    OwnPicture(Place place, std::function<void()> unreached);
    void set(const QImage& image);
    // Another program has the clipboard now, or it has been emptied.
    void forget();
    State state() const { return m_state; }
    const QImage& picture() const { return m_picture; }

  private:
    void tryPlace();

    Place m_place;
    std::function<void()> m_unreached;
    QImage m_picture;
    State m_state = State::None;
    int m_triesLeft = 0;
    bool m_placing = false;
    QTimer m_retry;
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
    // Whether the clipboard's content is the picture this program holds.
    bool ours() const;

    // Made on the first read of another program's clipboard; null where the
    // window system has no reader of its own.
    std::unique_ptr<ClipboardPictureReader> m_reader;
    bool m_readerMade = false;
    OwnPicture m_own;
    // The data the clipboard last took from us, only ever compared; and
    // whether Qt tells that the program owns the clipboard.
    const void* m_placed = nullptr;
    bool m_ownershipTold = true;
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
