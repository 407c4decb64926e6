#pragma once

#include <QStringList>

class QCoreApplication;

// The interface speaks Chinese, its source language, unless the user's
// languages put English before Chinese: then the English translation that
// the program carries is installed.
namespace translation {

// Whether `uiLanguages` (most preferred first, as QLocale gives them)
// names English before any Chinese.
bool prefersEnglish(const QStringList& uiLanguages);

// Installs the English translation where the system's languages ask for
// it; call once, right after the application object is made. Returns
// whether it did.
bool install(QCoreApplication& app);

} // namespace translation
