#pragma once

#include "editor/DrawingDocument.h"

#include <cstdint>
#include <functional>

class ImageSurface;

// Rendering and showing lights on a whole drawing, free of any window, with the rows
// shared out among the processor's cores: what the main window's Render, RedrawGMPic1,
// FindMaximum and undo copies do, and what the benchmark measures.

// Called now and then while the buffer is being worked on, with the number of columns the
// progress strip may show: a multiple of ten that grows to the picture's last full ten.
using ProgressReport = std::function<void(std::int32_t columns)>;

// Whether a render redraws the displayed picture in its own pass, and against what.
enum class RedrawInPass {
    No,
    At255,
    // Against the greatest value, when that can be known before the pass (adding a light
    // to a buffer whose row maxima are known); otherwise not at all.
    AtGreatest,
};

struct RenderOutcome {
    float maximum;  // the greatest value of the buffer after the pass
    bool redrawn;   // the displayed picture was redrawn in the pass
};

// Adds the newest light (or rebuilds the buffer from every light) over the whole picture.
// With `undo` the old values are copied there on the way. A redraw in the pass is copied
// row by row to `pictureCopy` when given (bytes laid out as the picture's).
RenderOutcome RenderLightBuffer(DrawingDocument& doc, bool justAddLastPoint, float intensity, float fogFactor,
                                LightArray* undo, const ProgressReport& progress,
                                RedrawInPass redraw = RedrawInPass::No, std::uint8_t* pictureCopy = nullptr);

// Maps the light buffer to the displayed picture against the reference `sMax`, copying it
// row by row to `pictureCopy` when given.
void RedrawPicture(DrawingDocument& doc, float sMax, std::uint8_t* pictureCopy = nullptr);

// The greatest value of the light buffer over the picture.
float FindMaximumOfPicture(const DrawingDocument& doc);

// Copies the picture's part of one light buffer into another.
void CopyLights(const DrawingDocument& doc, const LightArray& from, LightArray& to);

// Brings back the light buffer as it was before the newest light. The undo copy is of no
// more use afterwards (undo stays off until a new copy is taken), so when the two buffers
// have the same shape they trade places rather than copying one into the other.
void RestoreUndoCopy(DrawingDocument& doc);

// Starts the light buffer from the displayed picture's own colours.
void LoadLightsFromPicture(DrawingDocument& doc);

// A render as the main window runs it: the strip cleared and the canvas's picture frozen, so
// that the strip is printed over the old picture while the buffer is worked on; then the
// picture redrawn, against 255 or, with `autoAdjust`, against the greatest value, and
// printed onto the canvas. Without automatic exposure the reference is known up front and
// the picture is redrawn row by row in the same pass.
void RenderOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, bool justAddLastPoint, float intensity,
                      float fogFactor, bool autoAdjust, LightArray* undo);

// RedrawPicture against `sMax` followed by printing the picture onto the canvas, with the
// rows going straight onto the canvas when it has the picture's size.
void RedrawOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, float sMax);

// Paints the progress strip's columns fromColumn..toColumn grey and prints it over the canvas.
void ShowProgress(DrawingDocument& doc, ImageSurface& canvas, std::int32_t fromColumn, std::int32_t toColumn);
