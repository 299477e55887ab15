#pragma once

#include "core/common/LightPoint.h"
#include "core/lights/LightPlanes.h"
#include "core/lights/RowScheduler.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// A light as it is added: its intensity and fog factor act once, when it is added.
struct NewLight {
    LightPoint light;
    float intensity;
    float fogFactor;
};

// The picture a pass draws: the displayed picture's pixel bytes (blue, green, red and a
// fourth byte that is kept; 4 bytes a pixel, rows top-down) and, when given, a second
// picture of the same layout that receives each row as soon as it is drawn, while it is
// still in the caches. With no pixels the pass draws nothing.
struct PictureRows {
    std::span<std::uint8_t> pixels;
    std::uint8_t* copy = nullptr;
};

// A light buffer taking a picture's own colours as LoadPicture would, filled a band of rows at
// a time while the picture is still being decoded, for an engine to take whole (TakeLoaded).
class LoadedLight {
public:
    LoadedLight(std::int32_t width, std::int32_t height);
    // Rows first .. end - 1 of the picture (4 bytes a pixel, rows of 4 * width bytes), on the
    // calling thread.
    void TakeRows(const std::uint8_t* pixels, std::int32_t first, std::int32_t end);

private:
    friend class LightEngine;
    LightPlanes planes_;
    std::vector<float> rowMaxima_;
};

// What a pass redraws the picture against: 255, or the buffer's greatest value after it.
enum class Exposure { Clipped, Automatic };

// The light accumulated at every pixel of a drawing, its one-level undo copy, and every
// pass over them, with the rows shared out among the processor's cores. One call for each
// thing a user does; how a call gets its work done (pairing the rows around a light,
// building rows aside and streaming them, drawing the pixels in the same pass, trading the
// buffers for the undo copy) is the engine's own choice. Every result is exact to the bit:
// the arithmetic of the passes is the program's definition of a light, the same on every
// processor.
//
// A failure throws: "Overflow" for a sum beyond the float range, "Subscript out of range"
// for a picture of another size than the buffer, "Division by zero" for a fog factor of 0.
class LightEngine {
public:
    // Called on the calling thread now and then during a pass, with the number of the
    // picture's rows finished, and at the end with all of them.
    using Progress = std::function<void(std::int32_t rowsDone)>;

    // Clearing or resizing: width x height pixels, every value and the undo copy 0.
    void Reset(std::int32_t width, std::int32_t height);
    // The memory the light buffer of that size takes (the undo copy as much again).
    static std::size_t BufferBytes(std::int32_t width, std::int32_t height) {
        return LightPlanes::BytesFor(width, height);
    }
    std::int32_t Width() const { return light_.Width(); }
    std::int32_t Height() const { return light_.Height(); }

    // Adds a light to every pixel: a channel of colour C gains intensity * C * w with the
    // weight w = 1 / (d / fogFactor + 10) rounded to a float, d being the distance in double,
    // the sum formed in double and stored as a float. With `takeUndo` the undo copy first
    // becomes the buffer as it was. On a failure the buffer stays as it was when the undo
    // copy is taken; otherwise rows already finished keep the light. Returns the buffer's
    // greatest value afterwards.
    float AddLight(const NewLight& light, bool takeUndo, Exposure exposure, const PictureRows& picture,
                   const Progress& progress = {});

    // Builds the buffer from the lights alone: every channel starts at 0 and each light,
    // in order, adds w * C with w = 1 / (d + 10) rounded to a float. Returns the greatest value.
    float Rebuild(std::span<const LightPoint> lights, Exposure exposure, const PictureRows& picture,
                  const Progress& progress = {});

    // The undo copy becomes the buffer as it is.
    void TakeUndoCopy();
    // The buffer becomes the undo copy again; the undo copy stays as it was.
    void RestoreUndoCopy();

    // Draws the picture from the buffer against the reference R, raised to 255 when lower or
    // not a number: a value above R shows 255, any other v shows v * 255 / R computed in
    // double and rounded to a float, then to a whole number with ties to even.
    void Redraw(float reference, const PictureRows& picture);

    // The buffer's greatest value; 0 when none is above 0.
    float FindMaximum();

    // The buffer takes the picture's own colours, each channel 0 to 255.
    void LoadPicture(std::span<const std::uint8_t> pixels);
    // Reset to the loaded buffer's size, then LoadPicture of its picture, without the pass.
    void TakeLoaded(LoadedLight&& loaded);

    // One value of the buffer or of the undo copy; x and y from 0, channel 0 red to 2 blue.
    float Light(std::int32_t x, std::int32_t y, int channel) const;
    float UndoCopy(std::int32_t x, std::int32_t y, int channel) const;

    // Caps the threads the passes use (0: one per core).
    void SetThreadLimit(int threads) { rows_.SetThreadLimit(threads); }

private:
    // Scratch of one thread, kept for all its passes: a row's weights, and one row of the
    // three channels where a row is built before it goes to the buffer.
    struct ThreadRows {
        std::vector<double> weights;
        std::vector<float> values;
        float* Channel(int c) { return values.data() + std::size_t(c) * (values.size() / 3); }
    };
    // Where a pass draws its rows, against which reference (never below 255).
    struct RowRedraw {
        PictureRows picture;
        float reference = 255.0f;
        bool Active() const { return !picture.pixels.empty(); }
    };

    // The passes, in LightPasses.cpp. Each returns the greatest value it wrote and puts each
    // row's greatest into rowMaxima when given.
    float AddLightPass(const LightPlanes& from, LightPlanes& to, const NewLight& light, const RowRedraw& redraw,
                       std::vector<float>& rowMaxima, const Progress& progress);
    float RebuildPass(std::span<const LightPoint> lights, const RowRedraw& redraw, std::vector<float>& rowMaxima,
                      const Progress& progress);
    std::optional<float> GreatestAfter(const NewLight& light);
    void RedrawPass(const RowRedraw& redraw);
    float MaximumPass();
    void LoadPass(std::span<const std::uint8_t> pixels, std::vector<float>& rowMaxima);
    void CopyPass(const LightPlanes& from, LightPlanes& to);

    ThreadRows& ScratchOf(int thread) { return scratch_[std::size_t(thread)]; }
    void PrepareScratch();
    // A picture of `bytes` must have the buffer's size; none (0 bytes) draws nothing.
    void RequirePicture(std::size_t bytes) const;
    // Before the buffer changes without a new undo copy: an undo copy that is still the
    // buffer itself gets values of its own.
    void KeepUndoCopy();
    float ReferenceFor(Exposure exposure, float greatest) const;

    LightPlanes light_;
    LightPlanes undo_;
    // The greatest value of each row, when known; empty when not.
    std::vector<float> lightMaxima_;
    std::vector<float> undoMaxima_;
    // After an undo the two buffers have traded places: the undo copy is then the buffer as
    // it stands, and undo_ holds nothing of use.
    bool undoIsLight_ = false;
    RowScheduler rows_;
    std::vector<ThreadRows> scratch_;

    // The benchmark's memory floors run over these very buffers on these threads.
    friend struct LightEngineFloors;
};
