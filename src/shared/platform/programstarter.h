#pragma once

#include <QString>

#include <memory>

// Starts a sibling program from the program folder. A failed start is
// silent by design: the menus that use it stay as they are.
class ProgramStarter {
  public:
    enum class Show { Normal, Minimized };
    virtual ~ProgramStarter() = default;
    // `fileName` without folder and without platform suffix ("Zonara").
    virtual void start(const QString& fileName, Show show) = 0;
};

class DetachedProgramStarter : public ProgramStarter {
  public:
    void start(const QString& fileName, Show show) override;
    // The absolute path that start() runs for `fileName` on this platform.
    static QString programPath(const QString& fileName);
};
