#include "trainer/UnDrawPanel.h"

void TUnDrawPanel::EraseBackground(QPainter& painter) {
  if (Tag != 0) TPanel::EraseBackground(painter);
}
