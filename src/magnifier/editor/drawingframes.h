#pragma once

#include "magnifier/editor/drawing.h"
#include "magnifier/editor/picturearea.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <QTransform>

#include <memory>
#include <optional>

class QPainter;
class QThread;

// Busy drawings (hundreds of antialiased strokes take a tenth of a second
// to draw) are also kept as a frame: the area as shown, drawn sharp off the
// main thread. A zoom or a pan then shows at once, the picture drawn anew
// and the drawings taken from the last frame at their new place and scale,
// until the frame for the new view replaces them. A frame never stands for
// other drawings or another picture than its own: those are drawn
// directly, as few drawings always are.
class DrawingFrames : public QObject {
    Q_OBJECT
  public:
    enum class Shown { Direct, Sharp, Interim };
    // One view of the area: what lies beneath the drawings, and where the
    // picture's pixels go.
    struct View {
        PictureArea::Base base;
        QTransform pictureToWidget;
        qreal ratio = 1;
        QSize size; // logical pixels
    };
    // Drawings are busy with this many shapes, or once drawing all of them
    // directly took longer than this.
    static constexpr std::size_t BusyShapes = 250;
    static constexpr double BusyMs = 8;

    explicit DrawingFrames(QObject* parent = nullptr);
    ~DrawingFrames() override;

    // Paints `drawing` into `area` (logical) of `view`, over its base that
    // the painter holds already, and says how.
    Shown paint(QPainter& painter, const QRect& area, const drawing::Drawing& drawing,
                const View& view);
    // Frames for drawings of any size.
    void setAlwaysBusy(bool on) { m_alwaysBusy = on; }

  signals:
    // The frame for what was painted last is ready: a repaint shows it.
    void ready();

  private:
    struct Content {
        quint64 picture = 0; // the revision of its pixels
        QRgb back = 0;
        quint64 revision = 0;
        bool operator==(const Content&) const = default;
    };
    struct Frame {
        Content content;
        QTransform toDevice;
        QSize devicePx;
        QImage picture;  // the copy of the picture it was drawn from
        QImage composed; // the base and the drawings, in device pixels
        QImage layer;    // the drawings' pixels alone, the rest transparent
        bool shows(const Content& c, const QTransform& t, QSize px) const {
            return content == c && toDevice == t && devicePx == px;
        }
    };
    struct Job;
    static Content contentOf(const drawing::Drawing& drawing, const View& view);
    static void renderFrame(Job& job);
    // A frame for a view being waited for starts at once; one to have at
    // hand once the drawings or the picture have changed waits until
    // their changes pause (a drag of the picture's pixels changes it at
    // every move). The picture is copied when the frame starts.
    enum class When { Now, Paused };
    void request(const drawing::Drawing& drawing, const View& view, const Content& content,
                 When when);
    void start(std::shared_ptr<Job> job);
    void finished();

    std::optional<Frame> m_frame;
    std::shared_ptr<Job> m_running;
    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<Job> m_pending;
    QTimer m_pause;
    // What was painted last, for which a frame that arrives is shown.
    Content m_lastContent;
    QTransform m_lastToDevice;
    QSize m_lastDevicePx;
    double m_directMs = 0;
    bool m_alwaysBusy = false;
};
