#include "magnifier/editor/drawingframes.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QThread>

#include <cmath>

struct DrawingFrames::Job {
    Content content;
    QTransform toDevice;
    QSize devicePx;
    View view;
    std::vector<drawing::Shape> shapes;
    Frame frame; // the result
};

namespace {

QTransform toDeviceOf(const DrawingFrames::View& view) {
    return view.pictureToWidget * QTransform::fromScale(view.ratio, view.ratio);
}

QSize devicePxOf(const DrawingFrames::View& view) {
    return {int(std::ceil(view.size.width() * view.ratio)),
            int(std::ceil(view.size.height() * view.ratio))};
}

} // namespace

DrawingFrames::DrawingFrames(QObject* parent) : QObject(parent) {
    m_pause.setSingleShot(true);
    // Longer than the repaints of a selection's frame, which write the
    // picture at every repaint.
    m_pause.setInterval(400);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (!m_running && m_pending) start(std::move(m_pending));
    });
}

DrawingFrames::~DrawingFrames() {
    // The job reads nothing of ours; it is let finish rather than stopped
    // inside Qt's painting.
    if (m_thread) m_thread->wait();
}

DrawingFrames::Content DrawingFrames::contentOf(const drawing::Drawing& drawing, const View& view) {
    return {view.base.picture.isNull() ? 0 : view.base.revision, view.base.back.rgba(),
            drawing.revision()};
}

DrawingFrames::Shown DrawingFrames::paint(QPainter& painter, const QRect& area,
                                          const drawing::Drawing& drawing, const View& view) {
    const Content content = contentOf(drawing, view);
    const QTransform toDevice = toDeviceOf(view);
    const QSize devicePx = devicePxOf(view);
    const bool steady = content == m_lastContent;
    m_lastContent = content;
    m_lastToDevice = toDevice;
    m_lastDevicePx = devicePx;
    const bool busy = !drawing.isEmpty() && (m_alwaysBusy || m_directMs > BusyMs ||
                                             drawing.shapes().size() >= BusyShapes);
    // A frame of a screenful takes tens of megabytes.
    if (!busy) m_frame.reset();
    if (busy && m_frame && m_frame->content == content) {
        painter.save();
        painter.setClipRect(area);
        if (m_frame->shows(content, toDevice, devicePx)) {
            painter.drawImage(QPointF(0, 0), m_frame->composed);
            painter.restore();
            return Shown::Sharp;
        }
        // The frame's device pixels onto the area's logical ones, through
        // the picture; Qt scales without smoothing, as the picture is.
        painter.setTransform(m_frame->toDevice.inverted() * view.pictureToWidget, true);
        painter.drawImage(QPointF(0, 0), m_frame->layer);
        painter.restore();
        request(drawing, view, content, When::Now);
        return Shown::Interim;
    }
    QElapsedTimer timer;
    timer.start();
    drawing.render(painter, view.pictureToWidget, QRectF(area));
    if (area.contains(QRect(QPoint(0, 0), view.size))) m_directMs = timer.nsecsElapsed() / 1e6;
    if (busy) request(drawing, view, content, steady ? When::Now : When::Paused);
    return Shown::Direct;
}

void DrawingFrames::request(const drawing::Drawing& drawing, const View& view,
                            const Content& content, When when) {
    const QTransform toDevice = toDeviceOf(view);
    const QSize devicePx = devicePxOf(view);
    const auto same = [&](const std::shared_ptr<Job>& job) {
        return job && job->content == content && job->toDevice == toDevice &&
               job->devicePx == devicePx;
    };
    if ((m_frame && m_frame->shows(content, toDevice, devicePx)) || same(m_running) ||
        same(m_pending))
        return;
    auto job = std::make_shared<Job>();
    job->content = content;
    job->toDevice = toDevice;
    job->devicePx = devicePx;
    job->view = view;
    job->shapes = drawing.shapes();
    // One frame at a time; of those asked for meanwhile only the last.
    m_pending = std::move(job);
    if (when == When::Paused) {
        m_pause.start();
        return;
    }
    m_pause.stop();
    if (!m_running) start(std::move(m_pending));
}

void DrawingFrames::start(std::shared_ptr<Job> job) {
    // The job's own copy of the picture: the one the last frame was drawn
    // from where the pixels are those, or else one taken now. Pixels
    // written since the request leave the frame under a revision that the
    // picture has left behind, and which no paint asks for again.
    QImage& picture = job->view.base.picture;
    if (m_frame && m_frame->content.picture == job->content.picture)
        picture = m_frame->picture;
    else
        picture = picture.copy();
    m_running = job;
    m_thread.reset(QThread::create([job] { renderFrame(*job); }));
    connect(m_thread.get(), &QThread::finished, this, &DrawingFrames::finished);
    m_thread->start(QThread::LowPriority);
}

void DrawingFrames::renderFrame(Job& job) {
    const View& view = job.view;
    QImage base(job.devicePx, QImage::Format_RGB32);
    base.setDevicePixelRatio(view.ratio);
    {
        QPainter painter(&base);
        const QSizeF logical = QSizeF(job.devicePx) / view.ratio;
        PictureArea::paintBase(
            painter, QRegion(QRect(QPoint(0, 0), logical.toSize() + QSize(1, 1))), view.base);
    }
    QImage composed = base.copy();
    composed.setDevicePixelRatio(1);
    drawing::renderInBands(composed, job.shapes, job.toDevice);
    composed.setDevicePixelRatio(view.ratio);
    // Where the drawings changed nothing they leave the picture beneath
    // to whatever shows it at another scale.
    QImage layer(job.devicePx, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < layer.height(); ++y) {
        const auto* under = reinterpret_cast<const QRgb*>(base.constScanLine(y));
        const auto* over = reinterpret_cast<const QRgb*>(composed.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x)
            out[x] = over[x] == under[x] ? 0 : over[x] | 0xFF000000u;
    }
    job.frame = {job.content,       job.toDevice,        job.devicePx,
                 view.base.picture, std::move(composed), std::move(layer)};
}

void DrawingFrames::finished() {
    // Its own thread may not have returned yet.
    m_thread->wait();
    m_thread.reset();
    std::shared_ptr<Job> done = std::move(m_running);
    m_frame = std::move(done->frame);
    if (m_pending && !m_pause.isActive()) start(std::move(m_pending));
    if (m_frame->shows(m_lastContent, m_lastToDevice, m_lastDevicePx)) emit ready();
}
