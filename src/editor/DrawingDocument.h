#pragma once

#include "common/LightPoint.h"
#include "editor/LightArray.h"
#include "picture/GMPicture.h"

#include <cstdint>
#include <vector>

class MessageBoxes;

// Everything a drawing consists of, free of any widget so that the whole-picture work
// can run, be tested and be measured on its own. The main window owns one and is the only
// one to change it.
struct DrawingDocument {
    explicit DrawingDocument(MessageBoxes& messages)
        : GMPic1(messages), GMPic2(messages), GMPic3(messages), GMPicProgress(messages) {}

    // Intensity and fog given to the next light placed.
    float sIntensity = 0.0f;
    float sFog = 0.0f;
    // Canvas size in pixels.
    std::int32_t PictureWidth = 0;
    std::int32_t PictureHeight = 0;

    GMPicture GMPic1;         // what the canvas shows
    GMPicture GMPic2;         // scratch picture of the gradient fill
    GMPicture GMPic3;         // source picture of the gradient fill
    GMPicture GMPicProgress;  // the progress strip painted over the canvas while rendering

    // Light k is Lights[k]; element 0 is never used.
    std::vector<LightPoint> Lights = std::vector<LightPoint>(1);
    std::int32_t LightsCount = 0;

    LightArray LightBuffer;  // the light accumulated at every pixel
    LightArray UndoBuffer;   // LightBuffer as it was before the last light

    // Where the gradient fill starts, in canvas pixels.
    float FillX = 0.0f;
    float FillY = 0.0f;
};
