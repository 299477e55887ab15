#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

// Paints the area of one colour that is connected to `start` (left, right, up and down)
// with `fill`. Colours are compared on red, green and blue only. Nothing happens when the
// start lies outside the image or has another colour. Returns the rectangle painted.
QRect FloodFillArea(QImage& image, QPoint start, QRgb surface, QRgb fill);
