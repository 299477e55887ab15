#pragma once

#include "core/common/LightPoint.h"
#include "core/lights/LightBufferView.h"
#include "core/lights/LightEngine.h"
#include "core/picture/PixelBuffer.h"

#include <cstdint>
#include <vector>

// Everything a drawing consists of, free of any widget so that the whole-picture work
// can run, be tested and be measured on its own. The main window owns one and is the only
// one to change it.
struct DrawingDocument {
    // Intensity and fog given to the next light placed.
    float sIntensity = 0.0f;
    float sFog = 0.0f;
    // Canvas size in pixels.
    std::int32_t PictureWidth = 0;
    std::int32_t PictureHeight = 0;

    PixelBuffer GMPic1;         // what the canvas shows
    PixelBuffer GMPic2;         // scratch picture of the gradient fill
    PixelBuffer GMPic3;         // source picture of the gradient fill
    PixelBuffer GMPicProgress;  // the progress strip painted over the canvas while rendering

    // Light k is Lights[k]; element 0 is never used.
    std::vector<LightPoint> Lights = std::vector<LightPoint>(1);
    std::int32_t LightsCount = 0;

    // The light accumulated at every pixel and the undo copy of it, with every pass over them.
    LightEngine lightEngine;

    // Where the gradient fill starts, in canvas pixels.
    float FillX = 0.0f;
    float FillY = 0.0f;

    LightBufferView LightBuffer() const { return {lightEngine, false}; }
    LightBufferView UndoBuffer() const { return {lightEngine, true}; }
};
