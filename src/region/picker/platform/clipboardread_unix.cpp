// Which reader serves the running program: the same build runs on X11 and
// on Wayland, and the reader is the one of whichever of the two the
// program's windows are on (systemchoice.h).
#include "region/picker/platform/clipboardread_unix.h"

#include "region/picker/clipboardreadtypes.h"
#include "shared/platform/systemchoice.h"

QByteArrayList clipboardPictureTypes() {
    return clipboardpicture::mimeTypes();
}

std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader() {
    switch (systemChoice().ownCalls()) {
    case WindowSystem::X11:
        return makeX11ClipboardPictureReader();
    case WindowSystem::Wayland:
        return makeWaylandClipboardPictureReader();
    default:
        return nullptr;
    }
}
