#pragma once

#include "core/lights/LightEngine.h"
#include "windows/editor/ProgressStrip.h"

#include <functional>

struct DrawingDocument;
class ImageSurface;
class MessageBoxes;

// Showing the drawing's passes on the canvas, as the main window does and the benchmark
// measures.

// Where a pass draws the displayed picture: its own bytes and, when the canvas has its size,
// the canvas's next image, so that the picture is not copied once more afterwards.
PictureRows PictureAndCanvas(DrawingDocument& doc, ImageSurface& canvas);

// Shows what a pass drew: the canvas's next image, or a print of the picture.
void ShowDrawnPicture(DrawingDocument& doc, ImageSurface& canvas, MessageBoxes& messages, const PictureRows& picture);

// A render as the main window runs it: the progress strip cleared and the canvas's picture
// frozen, so that the strip is printed over the old picture while `pass` works through the
// rows; then the drawn picture shown. `pass` gets the picture to draw and the progress
// report to pass on to the engine. The strip's prints are spaced by `clock`.
using RenderPass = std::function<void(const PictureRows& picture, const LightEngine::Progress& progress)>;
void RenderOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, MessageBoxes& messages, const RenderPass& pass,
                      ProgressStrip::Clock clock = std::chrono::steady_clock::now);
