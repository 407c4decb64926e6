#include "capture/picturefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace picturefile {

QString picturesFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    return folder;
}

QString baseName(const QDateTime& when, int n) {
    const QString prefix = QCoreApplication::translate("picturefile", "截图");
    QString name = prefix + QLatin1Char(' ') + when.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    if (n > 1) name += QStringLiteral(" (%1)").arg(n);
    return name;
}

Result save(const QImage& picture, const QString& folder, const QDateTime& when) {
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return {Outcome::NoFolder, dir.absolutePath(), QStringLiteral("no folder")};
    // The name is claimed by creating the file, so that two captures of one
    // second, from two instances, never end in one file.
    for (int n = 1; n < 10000; ++n) {
        QFile file(dir.absoluteFilePath(baseName(when, n) + QStringLiteral(".png")));
        if (file.exists()) continue;
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists()) continue;
            return {Outcome::NotWritten, dir.absolutePath(), file.errorString()};
        }
        // A full disk shows only at the write or the flush.
        if (picture.save(&file, "PNG") && file.flush()) {
            file.close();
            if (file.error() == QFileDevice::NoError) return {Outcome::Saved, file.fileName(), {}};
        }
        const QString reason = file.errorString();
        file.close();
        file.remove();
        return {Outcome::NotWritten, dir.absolutePath(), reason};
    }
    return {Outcome::NotWritten, dir.absolutePath(), QStringLiteral("no free name")};
}

} // namespace picturefile
