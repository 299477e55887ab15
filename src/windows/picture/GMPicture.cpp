#include "windows/picture/GMPicture.h"

#include "windows/common/ErrorBox.h"

template <typename Operation>
void GMPicture::Reporting(Operation&& operation) {
    RunReportingFailures(messages_, std::forward<Operation>(operation));
}

void GMPicture::SetPicture(const QImage& StdPicture1) {
    Reporting([&] { pixels_.SetPicture(StdPicture1); });
}

void GMPicture::PrintToPictureBox(ImageSurface& PictureBox1, bool bRefresh, bool bMergeLayer) {
    Reporting([&] { pixels_.PrintToPictureBox(PictureBox1, bRefresh, bMergeLayer); });
}

void GMPicture::CreateNewPicture(float Width, float Height) {
    Reporting([&] { pixels_.CreateNewPicture(Width, Height); });
}

void GMPicture::SetPixel(float X, float Y, std::int32_t Red, std::int32_t Green, std::int32_t Blue) {
    Reporting([&] { pixels_.SetPixel(X, Y, Red, Green, Blue); });
}

void GMPicture::GetPixel(float X, float Y, std::int32_t& Red, std::int32_t& Green, std::int32_t& Blue) {
    Reporting([&] { pixels_.GetPixel(X, Y, Red, Green, Blue); });
}

void GMPicture::FillAll(std::int32_t Red, std::int32_t Green, std::int32_t Blue) {
    Reporting([&] { pixels_.FillAll(Red, Green, Blue); });
}

void GMPicture::Cls() {
    Reporting([&] { pixels_.Cls(); });
}
