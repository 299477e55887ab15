#include "Scenes.h"

#include "editor/LightEngine.h"
#include "editor/LightKernels.h"
#include "picture/PictureBox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <bit>
#include <cstring>

Scene::Scene(int width, int height) {
    doc.PictureWidth = width;
    doc.PictureHeight = height;
    QImage blank(width, height, QImage::Format_RGB32);
    blank.fill(Qt::black);
    canvas.SetAutoSize(true);
    canvas.SetPicture(blank);
    canvas.ClearPicture();
    doc.LightBuffer.Reallocate(width, height);
    doc.UndoBuffer.Reallocate(width, height);
    doc.GMPic1.CreateNewPicture(float(width), float(height));
    doc.GMPic2.CreateNewPicture(float(width), float(height));
    doc.GMPicProgress.CreateNewPicture(float(width), 10.0f);
    doc.Lights.push_back(LightPoint{width / 3.0f, height / 2.0f, 255, 200, 120});
    doc.LightsCount = 1;
}

void Scene::Click(bool autoExposure) {
    RenderOntoCanvas(doc, canvas, true, 10.0f, 1.0f, autoExposure, &doc.UndoBuffer);
}

namespace {

// Runs perRow(y) over every row of the drawing, on the threads and in the chunks the
// light passes use.
template <typename PerRow>
void ForEachRow(const Scene& scene, PerRow perRow) {
    OverRowsInParallel(scene.doc.PictureWidth, scene.doc.PictureHeight, [&](RowSpan rows) {
        for (int y = rows.yFirst; y <= rows.yLast; ++y) perRow(y);
        return 0.0f;
    });
}

std::uint8_t* PixelRow(GMPicture& picture, int y) {
    return picture.Bytes().data() + std::size_t(y - 1) * std::size_t(picture.Width()) * 4;
}

std::vector<float> KnownRowMaxima(const LightArray& buffer, int width) {
    const std::span<const float> known = buffer.RowMaxima(width);
    return {known.begin(), known.end()};
}

}  // namespace

void Scene::ClickFloorPass() {
    const int width = doc.PictureWidth;
    const std::size_t rowBytes = std::size_t(width) * 4;
    // Each value is written back unchanged (adding +0 is no identity the compiler may skip,
    // but leaves values that are never negative as they were), so the buffer's row maxima
    // stay true, for the undo buffer too, and the clicks timed between floors find them.
    std::vector<float> maxima = KnownRowMaxima(doc.LightBuffer, width);
    doc.LightBuffer.ForgetRowMaxima();
    doc.UndoBuffer.ForgetRowMaxima();
    ForEachRow(*this, [&](int y) {
        for (int c = 1; c <= 3; ++c) {
            float* row = doc.LightBuffer.Row(c, y).data();
            float* copy = doc.UndoBuffer.Row(c, y).data();
            for (int x = 1; x <= width; ++x) {
                copy[x] = row[x];
                row[x] = row[x] + 0.0f;
            }
        }
        std::memset(PixelRow(doc.GMPic1, y), y & 0xFF, rowBytes);
    });
    if (!maxima.empty()) {
        doc.UndoBuffer.SetRowMaxima(maxima, width);
        doc.LightBuffer.SetRowMaxima(std::move(maxima), width);
    }
}

void Scene::UndoFloorPass() {
    const int width = doc.PictureWidth;
    const std::size_t rowBytes = std::size_t(width) * 4;
    // The undo copy trades places with the light buffer, so an undo moves what its redraw
    // moves: the light buffer read and the pixels written. The values' bits are gathered so
    // that the reads cannot be left out.
    ForEachRow(*this, [&](int y) {
        std::uint32_t bits = 0;
        for (int c = 1; c <= 3; ++c) {
            const float* row = doc.LightBuffer.Row(c, y).data();
            for (int x = 1; x <= width; ++x) bits |= std::bit_cast<std::uint32_t>(row[x]);
        }
        std::memset(PixelRow(doc.GMPic1, y), int(bits & 0xFF), rowBytes);
    });
}

void Scene::RenderFloorPass() {
    const int width = doc.PictureWidth;
    doc.LightBuffer.ForgetRowMaxima();
    ForEachRow(*this, [&](int y) {
        for (int c = 1; c <= 3; ++c) {
            float* to = doc.LightBuffer.Row(c, y).data();
            for (int x = 1; x <= width; ++x) to[x] = float(x);
        }
    });
}

float Scene::FindMaximumFloorPass() {
    const int width = doc.PictureWidth;
    const LightArray& buffer = doc.LightBuffer;
    return OverRowsInParallel(width, doc.PictureHeight, [&](RowSpan rows) {
        // Maxima side by side, so that the compiler can keep a whole vector of them.
        constexpr int kLanes = 16;
        float lanes[kLanes] = {};
        float m = 0.0f;
        for (int y = rows.yFirst; y <= rows.yLast; ++y) {
            for (int c = 1; c <= 3; ++c) {
                const float* row = buffer.Row(c, y).data();
                int x = 1;
                for (; x + kLanes - 1 <= width; x += kLanes) {
                    for (int i = 0; i < kLanes; ++i) lanes[i] = std::max(lanes[i], row[x + i]);
                }
                for (; x <= width; ++x) m = std::max(m, row[x]);
            }
        }
        for (const float lane : lanes) m = std::max(m, lane);
        return m;
    });
}

void Scene::ClearFloorPass() {
    const std::size_t rowBytes = std::size_t(doc.PictureWidth) * 4;
    doc.LightBuffer.ForgetRowMaxima();
    doc.UndoBuffer.ForgetRowMaxima();
    ForEachRow(*this, [&](int y) {
        for (int c = 1; c <= 3; ++c) {
            std::memset(doc.LightBuffer.Row(c, y).data() + 1, 0, rowBytes);
            std::memset(doc.UndoBuffer.Row(c, y).data() + 1, 0, rowBytes);
        }
        std::memset(PixelRow(doc.GMPic1, y), 0, rowBytes);
        std::memset(PixelRow(doc.GMPic2, y), 0, rowBytes);
    });
}

namespace {

std::unique_ptr<Scene> scene;
std::unique_ptr<WindowScene> windowScene;

}  // namespace

Scene& SceneOf(int width, int height) {
    if (!scene || scene->doc.PictureWidth != width || scene->doc.PictureHeight != height) {
        scene.reset();
        scene = std::make_unique<Scene>(width, height);
    }
    return *scene;
}

WindowScene& WindowSceneOf(int width, int height) {
    if (!windowScene || windowScene->window->PictureWidth() != width || windowScene->window->PictureHeight() != height) {
        windowScene.reset();
        windowScene = std::make_unique<WindowScene>(width, height);
        windowScene->Click();
    }
    return *windowScene;
}

void ReleaseScenes() {
    scene.reset();
    windowScene.reset();
}

WindowScene::WindowScene(int width, int height) : window(std::make_unique<frmDrawing>(platform)) {
    window->Form_Load();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != window.get() && widget->isVisible()) widget->close();
    }
    window->ChangePictureSize(width, height);
    window->ClearAll();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qFatal("The window did not come up.");
}

WindowScene::~WindowScene() {
    window.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowScene::Click() {
    auto* canvas = window->findChild<PictureBox*>(QStringLiteral("p"));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(canvas->width() / 3, canvas->height() / 2));
    QApplication::processEvents();
}

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

}  // namespace

QString TemporaryPath(const QString& name) { return Folder().filePath(name); }

QString BigPicture(const char* format) {
    const QString path = TemporaryPath(QStringLiteral("big.%1").arg(QLatin1String(format)));
    if (!QFile::exists(path)) {
        QImage picture(5000, 5000, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
        }
        picture.save(path, format, 90);
    }
    return path;
}
