#pragma once
// The exercise screen's header panel: while its Tag is 0 it erases nothing,
// so the screen's background shows and the header's controls paint their
// own background over it; any other Tag erases with the panel's colour.

#include "platform/Forms.h"

class TUnDrawPanel : public TPanel {
  Q_OBJECT

 public:
  explicit TUnDrawPanel(QObject* owner) : TPanel(owner) {}

 protected:
  void EraseBackground(QPainter& painter) override;
};
