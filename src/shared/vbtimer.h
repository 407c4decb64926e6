#pragma once

#include <QObject>
#include <QTimer>

// A periodic timer that keeps its switch and its interval apart: it ticks
// only while enabled with an interval above zero, so that an interval of 0
// means "no ticks" rather than "tick continuously".
class VbTimer : public QObject {
    Q_OBJECT
  public:
    explicit VbTimer(int intervalMs, QObject* parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    int Interval() const { return m_interval; }
    void setInterval(int ms);
    // True while the timer would deliver ticks.
    bool isTicking() const { return m_timer.isActive(); }

  signals:
    void Timer();

  private:
    void sync();

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval;
};
