#include "editor/LightArray.h"

#include "common/Failure.h"

#include <utility>

void LightArray::Reallocate(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) throw Failure::SubscriptOutOfRange();
    values_ = {};
    upperX_ = upperY_ = -1;
    rowMaximaWidth_ = -1;
    const std::size_t count = (std::size_t(width) + 1) * (std::size_t(height) + 1) * 3;
    values_.assign(count, 0.0f);
    upperX_ = width;
    upperY_ = height;
    SetRowMaxima(std::vector<float>(std::size_t(height) + 1, 0.0f), width);
}

std::size_t LightArray::Index(std::int32_t x, std::int32_t y, std::int32_t channel) const {
    if (x < 0 || x > upperX_ || y < 0 || y > upperY_ || channel < 1 || channel > 3) {
        throw Failure::SubscriptOutOfRange();
    }
    const std::size_t rowLength = std::size_t(upperX_) + 1;
    const std::size_t planeSize = rowLength * (std::size_t(upperY_) + 1);
    return std::size_t(channel - 1) * planeSize + std::size_t(y) * rowLength + std::size_t(x);
}

float& LightArray::At(std::int32_t x, std::int32_t y, std::int32_t channel) {
    ForgetRowMaxima();
    return values_[Index(x, y, channel)];
}

float LightArray::At(std::int32_t x, std::int32_t y, std::int32_t channel) const {
    return values_[Index(x, y, channel)];
}

std::span<float> LightArray::Row(std::int32_t channel, std::int32_t y) {
    ForgetRowMaxima();
    return std::span<float>(values_).subspan(Index(0, y, channel), std::size_t(upperX_) + 1);
}

std::span<const float> LightArray::Row(std::int32_t channel, std::int32_t y) const {
    return std::span<const float>(values_).subspan(Index(0, y, channel), std::size_t(upperX_) + 1);
}

std::span<float> LightArray::Values() {
    ForgetRowMaxima();
    return values_;
}

std::span<const float> LightArray::RowMaxima(std::int32_t width) const {
    if (width != rowMaximaWidth_ || rowMaxima_.size() != std::size_t(upperY_) + 1) return {};
    return rowMaxima_;
}

void LightArray::SetRowMaxima(std::vector<float> maxima, std::int32_t width) {
    rowMaxima_ = std::move(maxima);
    rowMaximaWidth_ = width;
}
