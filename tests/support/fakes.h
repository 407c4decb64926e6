#pragma once

#include "platform/programstarter.h"
#include "platform/screengrabber.h"
#include "prompts.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <utility>

// A picture whose every pixel names its own coordinates: red and green are
// the low bytes of x and y, blue holds their high nibbles.
QImage codedPattern(int width, int height);
// The coordinates a pixel of codedPattern names.
QPoint decodePattern(QRgb pixel);

// A screen that shows the coded pattern, or, while a window covers it, what
// that window draws: so a capture taken during a view shows the view.
class FakeScreenGrabber : public ScreenGrabber {
  public:
    explicit FakeScreenGrabber(QSize screenSize);
    WId desktopWindow() override { return 0; }
    QImage grab(WId window, bool client, const QRect& area) override;

    void trim() override { ++m_trims; }
    // Why grabs fail, as a platform that cannot read the screen says it:
    // handed to the form once.
    QString failure;
    QString takeFailure() override { return std::exchange(failure, QString()); }

    void setCoveringWindow(QWidget* w) { m_cover = w; }
    int grabs() const { return m_grabs; }
    int trims() const { return m_trims; }

  private:
    QImage m_screen;
    QPointer<QWidget> m_cover;
    int m_grabs = 0;
    int m_trims = 0;
};

class RecordingStarter : public ProgramStarter {
  public:
    void start(const QString& fileName, Show show) override {
        started << fileName;
        shows << show;
    }
    QStringList started;
    QList<Show> shows;
};

// The user's side of menus and boxes: the test gives the answers, and what
// was asked is kept. The tip dialog is the real one unless `realTipDialog`
// is off, when the marker is as `markerExists` says and shows are counted.
class FakePrompts : public DialogPrompts {
  public:
    void PopupMenu(QMenu* menu) override {
        ++popups;
        lastMenu = menu;
        if (onPopup) onPopup(menu);
    }
    QString InputBox(QWidget*, const QString& prompt, const QString& title,
                     const QString& def) override {
        prompts << prompt + QLatin1Char('|') + title + QLatin1Char('|') + def;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void MessageBox(const QString& text, const QString& title) override {
        messages << title + QLatin1Char('|') + text;
    }
    bool TipMarkerExists(TipVariant variant) override {
        return realTipDialog ? DialogPrompts::TipMarkerExists(variant) : markerExists;
    }
    void ShowTipDialog(TipVariant variant, QWidget* owner, const TipWayBack& wayBack) override {
        ++tipShown;
        if (realTipDialog) DialogPrompts::ShowTipDialog(variant, owner, wayBack);
    }
    void UnloadTipDialog(TipVariant variant) override {
        ++tipUnloaded;
        if (realTipDialog) DialogPrompts::UnloadTipDialog(variant);
    }

    int popups = 0;
    QMenu* lastMenu = nullptr;
    std::function<void(QMenu*)> onPopup;
    QStringList answers; // what the input box answers next, in order
    QStringList prompts;
    QStringList messages; // "title|text"
    bool realTipDialog = true;
    bool markerExists = true;
    int tipShown = 0;
    int tipUnloaded = 0;
};
