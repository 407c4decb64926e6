// How long a screen picture from the desktop portal takes to decode into
// the picture the view paints: the part of the portal's round trip that is
// this program's own. Pictures of a desktop (the README's screenshots, laid
// side by side) at the usual screen sizes, written as the desktops write
// them: with alpha (Qt's writer, as KDE's portal uses it) and without.
//   bench_portaldecode [--runs N] [--write FOLDER] [picture.png ...]
// --write keeps the pictures it made, to look at or to decode elsewhere.
#include "shared/platform/portalpicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
QImage desktop(QSize size, QImage::Format format, const QString& docs) {
    QImage canvas(size, format);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    const QStringList shots = QDir(docs).entryList({QStringLiteral("*.png")}, QDir::Files);
    int i = 0;
    for (int y = 0; y < size.height(); y += 768)
        for (int x = 0; x < size.width(); x += 1024)
            if (!shots.isEmpty()) p.drawImage(x, y, QImage(docs + '/' + shots[i++ % shots.size()]));
    return canvas;
}

QByteArray png(const QImage& picture) {
    QByteArray data;
    QBuffer out(&data);
    out.open(QIODevice::WriteOnly);
    picture.save(&out, "PNG");
    return data;
}

double medianMs(const QByteArray& data, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const QImage image = portalpicture::decode(data);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        if (image.isNull()) return -1;
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 21;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = std::max(1, args[1].toInt());
        args = args.mid(2);
    }
    QString keep;
    if (args.size() >= 2 && args[0] == QLatin1String("--write")) {
        keep = args[1];
        args = args.mid(2);
    }
    std::vector<std::pair<QString, QByteArray>> pictures;
    for (const QString& file : args) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return 2;
        pictures.emplace_back(file, f.readAll());
    }
    if (pictures.empty()) {
        const QString docs = QStringLiteral(ZUZ_DOCS_DIR);
        for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)})
            for (const auto format : {QImage::Format_ARGB32, QImage::Format_RGB32})
                pictures.emplace_back(QStringLiteral("%1x%2 %3")
                                          .arg(size.width())
                                          .arg(size.height())
                                          .arg(format == QImage::Format_ARGB32 ? "RGBA" : "RGB"),
                                      png(desktop(size, format, docs)));
    }
    for (const auto& [name, data] : pictures)
        if (!keep.isEmpty()) {
            QFile f(QDir(keep).filePath(QString(name).replace(' ', '-') + QStringLiteral(".png")));
            if (f.open(QIODevice::WriteOnly)) f.write(data);
        }
    std::printf("%-28s %10s %12s\n", "picture", "bytes", "median ms");
    for (const auto& [name, data] : pictures)
        std::printf("%-28s %10lld %12.2f\n", qPrintable(name), (long long)data.size(),
                    medianMs(data, runs));
    return 0;
}
