#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

// The file a capture is kept in: a PNG in the user's pictures folder, named
// after the moment of the capture, never written over another file.
namespace picturefile {

// The user's pictures folder, whether or not it exists yet.
QString picturesFolder();

// "<prefix> YYYY-MM-DD HH.MM.SS" and, from the second file of that name
// on, " (n)"; without the extension. The prefix follows the interface's
// language.
QString baseName(const QDateTime& when, int n = 1);

enum class Outcome { Saved, NoFolder, NotWritten };

struct Result {
    Outcome outcome = Outcome::NotWritten;
    // The file written, or the folder where it could not be.
    QString path;
    QString reason;
};

// Writes `picture` as a PNG into `folder` (made if missing) under the first
// free name for `when`. A file that cannot be written whole is removed.
Result save(const QImage& picture, const QString& folder, const QDateTime& when);

} // namespace picturefile
