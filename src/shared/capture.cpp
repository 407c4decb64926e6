#include "shared/capture.h"

#include <QPainter>

#include <limits>

Picture CreateBitmapPicture(const QImage& hBmp) {
    if (hBmp.isNull()) return {};
    if (hBmp.format() == QImage::Format_RGB32) return hBmp;
    return hBmp.convertToFormat(QImage::Format_RGB32);
}

std::int32_t BitmapToPicture(const QImage& bitmap, Picture& picture) {
    picture = CreateBitmapPicture(bitmap);
    return picture.isNull() ? 0 : 1;
}

std::int32_t CaptureRect(const QImage& source, const RectL& rect, Picture& picture) {
    picture = {};
    const std::int64_t w = std::int64_t(rect.Right) - rect.Left;
    const std::int64_t h = std::int64_t(rect.Bottom) - rect.Top;
    // A reversed rectangle has no bitmap to give; report it rather than
    // hand back a picture of nothing as a success.
    if (w < 0 || h < 0 || w > std::numeric_limits<std::int32_t>::max() ||
        h > std::numeric_limits<std::int32_t>::max())
        return 0;
    if (w == 0 || h == 0) {
        QImage dot(1, 1, QImage::Format_RGB32);
        dot.fill(Qt::black);
        return BitmapToPicture(dot, picture);
    }
    QImage bmp(int(w), int(h), QImage::Format_RGB32);
    if (bmp.isNull()) return 0;
    const QRect area(rect.Left, rect.Top, int(w), int(h));
    const QRect inside = area & source.rect();
    if (inside != area) bmp.fill(Qt::black);
    if (!inside.isEmpty()) {
        QPainter p(&bmp);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(inside.topLeft() - area.topLeft(), source, inside);
    }
    return BitmapToPicture(bmp, picture);
}
