#pragma once

#include "region/picker/clipboardread.h"

#include <QByteArrayList>

// The readers of X11 and Wayland, which the same build runs on.
std::unique_ptr<ClipboardPictureReader> makeX11ClipboardPictureReader();
// Null where the compositor gives no clipboard to a second listener.
std::unique_ptr<ClipboardPictureReader> makeWaylandClipboardPictureReader();

// Picture types in the order they are asked for; no others are read.
QByteArrayList clipboardPictureTypes();
