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
// It answers at once, as X11 does, or, while `answering` is Held, only
// when the test releases the requests, as the portal does.
class FakeScreenGrabber : public ScreenGrabber {
    Q_OBJECT
  public:
    explicit FakeScreenGrabber(QSize screenSize);
    void request(const QRect& area, const QObject* asker) override;

    void trim() override { ++m_trims; }
    // Why grabs fail, as a platform that cannot read the screen says it:
    // the next request fails with it, once.
    QString failure;

    enum class Answering { AtOnce, Held };
    Answering answering = Answering::AtOnce;
    // Answers the held requests in order, with the screen as it is now.
    void release();
    int held() const { return int(m_held.size()); }

    void setCoveringWindow(QWidget* w) { m_cover = w; }
    int grabs() const { return m_grabs; }
    int trims() const { return m_trims; }

  private:
    void answer(const QRect& area, const QObject* asker);

    QImage m_screen;
    QPointer<QWidget> m_cover;
    QList<std::pair<QRect, const QObject*>> m_held;
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
