#pragma once

#include "capture/clientwatch.h"
#include "shared/platform/services.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class Derudovudi;
class DesktopNotifier;
class RegionClipboard;

// The capture program waiting in the background for the pair's "Snarell":
// windowless, with Qt and the grabber up, it shows the picker as
// soon as it is asked to. After a pick it waits again. It ends once none of
// the programs it serves runs any longer and no picture of its own is left
// on the clipboard to keep pasteable.
class CaptureResident : public QObject {
    Q_OBJECT
  public:
    CaptureResident(const Services& services, RegionClipboard& clipboard, DesktopNotifier& notifier,
                    QString picturesFolder);
    ~CaptureResident() override;

    // Serves the process `pid` too; false when it has ended already.
    bool serve(qint64 pid);
    bool serve(ClientProcess process);
    // The reply to a request from the channel; a pick starts once the reply
    // has gone.
    QByteArray answer(const QString& request);
    // Shows the picker; does nothing while a pick is on.
    void pick();
    bool picking() const { return m_capture != nullptr; }
    int clients() const { return m_clients.count(); }

    // Ends the process when nothing keeps it any longer.
    void EndIfUnneeded();

  signals:
    void finished();

  private:
    void PickOver();

    Services m_services;
    RegionClipboard& m_clipboard;
    DesktopNotifier& m_notifier;
    QString m_folder;
    ClientWatch m_clients;
    std::unique_ptr<Derudovudi> m_capture;
    bool m_finished = false;
};
