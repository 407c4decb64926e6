// ShellExecuteW opens the program file by its full path, in the window
// state asked for: normal or minimised, with the focus either way.
#include "shared/platform/programstarter.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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

void DetachedProgramStarter::startInBackground(const QString& fileName,
                                               const QStringList& arguments) {
    const QString path = QDir::toNativeSeparators(programPath(fileName));
    if (!QFileInfo(path).isFile()) return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    // Only plain words are passed: no quoting needed.
    const QString parameters = arguments.join(QLatin1Char(' '));
    ::ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(path.utf16()),
                    reinterpret_cast<const wchar_t*>(parameters.utf16()),
                    reinterpret_cast<const wchar_t*>(folder.utf16()), SW_HIDE);
}
