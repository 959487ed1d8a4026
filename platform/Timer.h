#pragma once
// TTimer: fires OnTimer every Interval milliseconds while Enabled. Its handler
// runs through the exception guard, and may stop, restart or re-time the
// timer from inside.

#include <QBasicTimer>
#include <QObject>

#include "platform/Control.h"

class TTimer : public QObject {
  Q_OBJECT

 public:
  // The owner (any QObject, usually a control) frees the timer.
  explicit TTimer(QObject* owner);

  int Interval() const { return interval_; }
  // 0 stops the timer until a positive interval is set.
  void SetInterval(int milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

 protected:
  void timerEvent(QTimerEvent* e) override;

 private:
  void Restart();

  QBasicTimer timer_;
  int interval_ = 1000;
  bool enabled_ = true;
};
