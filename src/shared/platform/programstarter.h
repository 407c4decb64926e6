#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// Starts a sibling program from the program folder. A failed start is
// silent by design: the menus that use it stay as they are.
class ProgramStarter {
  public:
    enum class Show { Normal, Minimized };
    virtual ~ProgramStarter() = default;
    // `fileName` without folder and without platform suffix ("Zonara").
    virtual void start(const QString& fileName, Show show) = 0;
    // Starts it windowless in the background with `arguments`.
    virtual void startInBackground(const QString& /*fileName*/, const QStringList& /*arguments*/) {}
    // Hands `request` to its running instance; true when that took it.
    virtual bool handOver(const QString& /*fileName*/, const QString& /*request*/) { return false; }
};

class DetachedProgramStarter : public ProgramStarter {
  public:
    void start(const QString& fileName, Show show) override;
    void startInBackground(const QString& fileName, const QStringList& arguments) override;
    bool handOver(const QString& fileName, const QString& request) override;
    // The absolute path that start() runs for `fileName` on this platform.
    static QString programPath(const QString& fileName);
};
