#include "platform/Timer.h"

#include <QTimerEvent>

#include "platform/Application.h"

TTimer::TTimer(QObject* owner) : QObject(owner) {
  Restart();
}

void TTimer::SetInterval(int milliseconds) {
  interval_ = milliseconds;
  Restart();
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Restart();
}

void TTimer::Restart() {
  timer_.stop();
  if (enabled_ && interval_ > 0) timer_.start(interval_, this);
}

void TTimer::timerEvent(QTimerEvent* e) {
  if (e->timerId() != timer_.timerId()) {
    QObject::timerEvent(e);
    return;
  }
  if (!OnTimer) return;
  try {
    OnTimer(this);
  } catch (const std::exception& ex) {
    Application->ShowException(ex.what());
  } catch (...) {
    Application->ShowException("Unknown error.");
  }
}
