#pragma once

#include <QByteArray>
#include <QImage>

// The desktop's screen pictures (PNG from the portal, binary PPM from
// grim) decoded without the image readers' allocation limit, which is one
// for the whole process: raising it for a large screen would raise it for
// every decode on other threads meanwhile, the clipboard's among them.
// The caller bounds the size. Pictures come in Qt's RGB32, opaque, the
// format the windows paint. Anything else gives the empty picture.
namespace portalpicture {
QImage decode(const QByteArray& data);
// The size a picture says it has, read off its header alone; invalid for
// anything else.
QSize size(const QByteArray& data);
} // namespace portalpicture
