#pragma once
// Soft shadows and glows for the trainer's raised pictures (buttons, the
// dialog, the exercise area's frame): a shape filled, moved and blurred.

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>

// A picture of size holding shape filled with color, moved by offset and
// blurred over radius pixels (three box passes, close to a Gaussian).
QImage SoftShadow(QSize size, const QPainterPath& shape, QPointF offset, int radius, const QColor& color);
