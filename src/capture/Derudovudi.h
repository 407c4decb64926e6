#pragma once

#include "capture.h"
#include "captureareaowner.h"
#include "picturefile.h"

#include <QDateTime>
#include <QIcon>
#include <QObject>

#include <memory>

class DesktopNotifier;
class frmCaptureArea;

// The capture program's one pick: the monitor under the pointer frozen in
// Zonara's picker; the picked rectangle, or the whole monitor for a click,
// to the clipboard and to a PNG in the pictures folder; then a notice of
// where the file went. The program's windows are gone by then, but the
// process stays for as long as the clipboard's picture needs its owner.
class Derudovudi : public QObject, public CaptureAreaOwner {
    Q_OBJECT
  public:
    // Keeping: windowless, holding the clipboard until another program
    // takes it.
    enum class Phase { Idle, Picking, Telling, Keeping, Ended };
    // Whether the process ends with this pick, or a waiting process that
    // keeps the clipboard itself goes back to waiting.
    enum class Lifetime { OnePick, Resident };

    Derudovudi(const Services& services, RegionClipboard& clipboard, DesktopNotifier& notifier,
               QString picturesFolder, Lifetime lifetime = Lifetime::OnePick);
    ~Derudovudi() override;

    // Freezes the monitor under the pointer and shows the picker once the
    // picture is in (at once where the screen is read directly); ends when
    // there is no picture of the screen to pick from.
    void Form_Load();

    const Services& services() const override { return m_services; }
    RegionClipboard& clipboard() const override { return m_clipboard; }
    void InformationBox(const QString& text) override;
    void PickTaken() override;

    // The clipboard changed hands; the process ends once it no longer
    // holds the picture.
    void ClipboardChanged();

    Phase phase() const { return m_phase; }
    frmCaptureArea* picker() const { return m_picker.get(); }
    const picturefile::Result& saved() const { return m_saved; }

    static QIcon ProgramIcon();
    // Whether a picked region of device pixels, at `ratio` of them to a
    // logical pixel, was a click rather than a drag: a click takes the
    // whole monitor.
    static bool IsClick(const RectL& region, double ratio);

  signals:
    // The pick is over: another start may pick now.
    void pickEnded();
    // Nothing is left to do: the process may end, or wait for the next pick.
    void finished();

  protected:
    // The message that the picture could not be saved.
    virtual void WarningBox(const QString& text);
    virtual QDateTime Now() const { return QDateTime::currentDateTime(); }

  private:
    void PickerLoaded();
    void PickerUnloaded();
    void Finish();
    void Told();
    void End();

    Phase m_phase = Phase::Idle;
    Lifetime m_lifetime;
    bool m_picked = false;
    Services m_services;
    RegionClipboard& m_clipboard;
    DesktopNotifier& m_notifier;
    QString m_folder;
    picturefile::Result m_saved;
    std::unique_ptr<frmCaptureArea> m_picker;
};
