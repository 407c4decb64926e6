// ShellExecuteW opens the program file by its full path, in the window
// state asked for: normal or minimised, with the focus either way.
#include "programstarter.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <shellapi.h>

void DetachedProgramStarter::start(const QString& fileName, Show show) {
    const QString path = QDir::toNativeSeparators(programPath(fileName));
    if (!QFileInfo(path).isFile()) return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    // No parameters: the file alone, opened as Explorer would open it.
    ::ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(path.utf16()), nullptr,
                    reinterpret_cast<const wchar_t*>(folder.utf16()),
                    show == Show::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
}
