// Makes the README's screenshot: the real main window opens a night scene through "Load..."
// and gets a few lights, then the window is grabbed.
//   glimmerage_screenshot <output.png>

#include "windows/common/ApplicationIcon.h"
#include "windows/editor/frmDrawing.h"
#include "windows/picture/PictureBox.h"
#include "core/scripted/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QImage NightScene() {
    QImage scene(760, 520, QImage::Format_RGB32);
    QPainter p(&scene);
    QLinearGradient sky(0, 0, 0, 520);
    sky.setColorAt(0, QColor(8, 10, 30));
    sky.setColorAt(1, QColor(40, 46, 80));
    p.fillRect(scene.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(14, 16, 24));
    p.drawPolygon(QPolygon({{0, 400}, {140, 330}, {300, 380}, {470, 310}, {760, 390}, {760, 520}, {0, 520}}));
    p.setBrush(QColor(28, 26, 30));
    for (const QRect house : {QRect(180, 360, 90, 80), QRect(330, 340, 110, 100), QRect(520, 370, 80, 70)}) {
        p.drawRect(house);
        p.drawPolygon(QPolygon({house.topLeft() + QPoint(-8, 0), house.topRight() + QPoint(8, 0),
                                QPoint(house.center().x(), house.top() - 35)}));
    }
    p.setBrush(QColor(60, 52, 40));
    for (const QRect window : {QRect(205, 385, 16, 16), QRect(360, 370, 18, 18), QRect(405, 370, 18, 18), QRect(545, 395, 14, 14)}) {
        p.drawRect(window);
    }
    return scene;
}

void ClickCanvas(PictureBox* canvas, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), canvas->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ApplicationIcon());
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    QTemporaryDir folder;
    const QString photo = folder.filePath(QStringLiteral("night.png"));
    NightScene().save(photo);

    ScriptedPlatform platform;
    frmDrawing window(platform);
    window.Form_Load();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmAbout")) widget->close();
    }
    platform.files.answers.push_back({true, photo, 1});
    platform.messages.answers.push_back(MessageAnswer::Yes);
    window.findChild<QAction*>(QStringLiteral("mnuLoad"))->trigger();

    auto* canvas = window.findChild<PictureBox*>(QStringLiteral("p"));
    auto* swatch = window.findChild<PictureBox*>(QStringLiteral("LightColor1"));
    const struct {
        QPoint at;
        ColorValue color;
    } lights[] = {{{214, 394}, PackColor(255, 200, 90)}, {{370, 380}, PackColor(255, 170, 60)},
                  {{415, 380}, PackColor(255, 170, 60)},  {{552, 402}, PackColor(120, 200, 255)},
                  {{640, 90}, PackColor(230, 235, 255)},  {{120, 470}, PackColor(255, 60, 160)}};
    for (const auto& light : lights) {
        swatch->SetBackColor(light.color);
        ClickCanvas(canvas, light.at);
    }
    swatch->SetBackColor(PackColor(255, 200, 90));
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
