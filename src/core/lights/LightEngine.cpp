#include "core/lights/LightEngine.h"

#include "core/common/Failure.h"

#include <algorithm>
#include <utility>

namespace {

bool SameShape(const LightPlanes& a, const LightPlanes& b) {
    return a.Width() == b.Width() && a.Height() == b.Height();
}

float GreatestOf(const std::vector<float>& rowMaxima) {
    float greatest = 0.0f;
    for (const float m : rowMaxima) greatest = m > greatest ? m : greatest;
    return greatest;
}

}  // namespace

void LightEngine::Reset(std::int32_t width, std::int32_t height) {
    lightMaxima_.clear();
    undoMaxima_.clear();
    undoIsLight_ = false;
    // The light buffer first: a size the memory cannot hold fails before the undo copy changes.
    light_.Reallocate(width, height);
    undo_.Reallocate(width, height);
    lightMaxima_.assign(std::size_t(height), 0.0f);
    undoMaxima_ = lightMaxima_;
}

float LightEngine::AddLight(const NewLight& light, bool takeUndo, Exposure exposure, const PictureRows& picture,
                            const Progress& progress) {
    RequirePicture(picture.pixels.size());
    if (light.fogFactor == 0.0f) throw Failure::DivisionByZero();
    // The undo copy comes free: the sums go into the undo buffer while the light buffer is
    // read, and the two trade places at the end, so the old values are never copied.
    const bool trade = takeUndo;
    if (trade && !SameShape(light_, undo_)) undo_.Reallocate(Width(), Height());
    if (!trade) KeepUndoCopy();
    // With automatic exposure the picture can be drawn in the same pass only when the
    // greatest value after it can be worked out first.
    std::optional<float> reference = 255.0f;
    if (exposure == Exposure::Automatic) reference = GreatestAfter(light);
    const RowRedraw redraw{reference ? picture : PictureRows{}, std::max(reference.value_or(255.0f), 255.0f)};

    std::vector<float> rowMaxima(std::size_t(Height()), 0.0f);
    LightPlanes& target = trade ? undo_ : light_;
    if (!trade) lightMaxima_.clear();
    float greatest = 0.0f;
    try {
        greatest = AddLightPass(light_, target, light, redraw, rowMaxima, progress);
    } catch (...) {
        // The buffer is as it was; the undo copy, taken before the light, is the same.
        if (trade) TakeUndoCopy();
        throw;
    }
    if (trade) {
        std::swap(light_, undo_);
        undoMaxima_ = std::move(lightMaxima_);
        undoIsLight_ = false;
    }
    lightMaxima_ = std::move(rowMaxima);
    if (!redraw.Active()) Redraw(ReferenceFor(exposure, greatest), picture);
    return greatest;
}

float LightEngine::Rebuild(std::span<const LightPoint> lights, Exposure exposure, const PictureRows& picture,
                           const Progress& progress) {
    RequirePicture(picture.pixels.size());
    KeepUndoCopy();
    // Without automatic exposure the reference is known up front and the picture is drawn in
    // the same pass.
    const RowRedraw redraw{exposure == Exposure::Clipped ? picture : PictureRows{}, 255.0f};
    std::vector<float> rowMaxima(std::size_t(Height()), 0.0f);
    lightMaxima_.clear();
    const float greatest = RebuildPass(lights, redraw, rowMaxima, progress);
    lightMaxima_ = std::move(rowMaxima);
    if (!redraw.Active()) Redraw(ReferenceFor(exposure, greatest), picture);
    return greatest;
}

void LightEngine::TakeUndoCopy() {
    if (!SameShape(light_, undo_)) undo_.Reallocate(Width(), Height());
    undoMaxima_.clear();
    CopyPass(light_, undo_);
    undoMaxima_ = lightMaxima_;
    undoIsLight_ = false;
}

void LightEngine::RestoreUndoCopy() {
    // After an undo the buffer already is the undo copy.
    if (undoIsLight_) return;
    std::swap(light_, undo_);
    std::swap(lightMaxima_, undoMaxima_);
    undoIsLight_ = true;
}

void LightEngine::KeepUndoCopy() {
    if (!undoIsLight_) return;
    undoMaxima_.clear();
    CopyPass(light_, undo_);
    undoMaxima_ = lightMaxima_;
    undoIsLight_ = false;
}

void LightEngine::Redraw(float reference, const PictureRows& picture) {
    RequirePicture(picture.pixels.size());
    if (!(reference >= 255.0f)) reference = 255.0f;
    RedrawPass(RowRedraw{picture, reference});
}

float LightEngine::FindMaximum() {
    // The rows' maxima, when known, give the answer without reading the buffer.
    if (lightMaxima_.size() == std::size_t(Height())) return GreatestOf(lightMaxima_);
    return MaximumPass();
}

void LightEngine::LoadPicture(std::span<const std::uint8_t> pixels) {
    if (pixels.size() != std::size_t(Width()) * std::size_t(Height()) * 4) throw Failure::SubscriptOutOfRange();
    KeepUndoCopy();
    std::vector<float> rowMaxima(std::size_t(Height()), 0.0f);
    lightMaxima_.clear();
    LoadPass(pixels, rowMaxima);
    lightMaxima_ = std::move(rowMaxima);
}

void LightEngine::TakeLoaded(LoadedLight&& loaded) {
    const std::int32_t height = loaded.planes_.Height();
    // Fresh memory is already zero, and is paid for only when the first light writes it.
    undo_ = LightPlanes();
    undo_.Reallocate(loaded.planes_.Width(), height);
    light_ = std::move(loaded.planes_);
    lightMaxima_ = std::move(loaded.rowMaxima_);
    undoMaxima_.assign(std::size_t(height), 0.0f);
    undoIsLight_ = false;
}

LoadedLight::LoadedLight(std::int32_t width, std::int32_t height) : rowMaxima_(std::size_t(height), 0.0f) {
    planes_.Reallocate(width, height);
}

void LoadedLight::TakeRows(const std::uint8_t* pixels, std::int32_t first, std::int32_t end) {
    for (std::int32_t y = first; y < end; ++y) rowMaxima_[std::size_t(y)] = planes_.SplitPictureRow(pixels, y);
}

float LightEngine::Light(std::int32_t x, std::int32_t y, int channel) const {
    if (x < 0 || x >= Width() || y < 0 || y >= Height() || channel < 0 || channel > 2) {
        throw Failure::SubscriptOutOfRange();
    }
    return light_.Row(channel, y)[x];
}

float LightEngine::UndoCopy(std::int32_t x, std::int32_t y, int channel) const {
    if (undoIsLight_) return Light(x, y, channel);
    if (x < 0 || x >= undo_.Width() || y < 0 || y >= undo_.Height() || channel < 0 || channel > 2) {
        throw Failure::SubscriptOutOfRange();
    }
    return undo_.Row(channel, y)[x];
}

void LightEngine::RequirePicture(std::size_t bytes) const {
    if (bytes != 0 && bytes != std::size_t(Width()) * std::size_t(Height()) * 4) {
        throw Failure::SubscriptOutOfRange();
    }
}

float LightEngine::ReferenceFor(Exposure exposure, float greatest) const {
    return exposure == Exposure::Clipped ? 255.0f : std::max(greatest, 255.0f);
}

void LightEngine::PrepareScratch() {
    scratch_.resize(std::size_t(rows_.Threads()));
    const std::size_t width = std::size_t(Width());
    for (ThreadRows& rows : scratch_) {
        if (rows.weights.size() < width) rows.weights.resize(width);
        if (rows.values.size() != width * 3) rows.values.assign(width * 3, 0.0f);
    }
}
