#pragma once

#include <QByteArray>
#include <QImage>

// The PNG a desktop writes of its screen (8 bits a channel, RGB or RGBA,
// not interlaced) decoded straight into Qt's RGB32, opaque, in one pass
// over the rows: the portal's picture is on the user's wait for a view,
// and a general reader spends twice as long on it. Any other PNG, or one
// that does not decode, gives the empty picture; the caller then tries a
// general reader, which says why.
namespace pngrows {
QImage decode(const QByteArray& data);
} // namespace pngrows
