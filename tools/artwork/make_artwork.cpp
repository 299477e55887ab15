// Makes the pictures of the About windows and the program's icon, and writes them into
// the resources folder given on the command line:
//   glimmerage_artwork <resources folder>
// The examples are made with the program's own light engine and gradient fill.

#include "core/common/ColorValue.h"
#include "core/fill/GradientFill.h"
#include "core/lights/LightEngine.h"
#include "core/picture/ImageSurface.h"
#include "core/picture/PixelBuffer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {


const QColor kLetterFill(176, 176, 176);
const QColor kLetterOutline(96, 96, 96);
const QColor kExamplesBackground(24, 24, 24);
const QSize kThumbnail(98, 78);

// ---- Titles -----------------------------------------------------------------------------

QImage Title(const QString& text, QSize size, int pixels) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    // Shrink the letters until the word fits with a small margin.
    const qreal margin = 6;
    const QRectF bounds = path.boundingRect();
    const qreal scale = std::min({1.0, (size.width() - 2 * margin) / bounds.width(),
                                  (size.height() - 2 * margin) / bounds.height()});
    path = QTransform::fromScale(scale, scale).map(path);
    path.translate(QPointF(size.width(), size.height()) / 2 - path.boundingRect().center());
    painter.setPen(QPen(kLetterOutline, 2.0));
    painter.setBrush(kLetterFill);
    painter.drawPath(path);
    return image;
}

// ---- Icon -------------------------------------------------------------------------------

// The bulb in a 100 x 100 square: glow, glass, and a screw base.
void PaintBulb(QPainter& painter) {
    QRadialGradient glow(50, 40, 50);
    glow.setColorAt(0.0, QColor(255, 250, 170, 230));
    glow.setColorAt(0.55, QColor(255, 220, 60, 110));
    glow.setColorAt(1.0, QColor(255, 200, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QRectF(0, 0, 100, 100));

    QRadialGradient glass(44, 32, 30);
    glass.setColorAt(0.0, QColor(255, 255, 235));
    glass.setColorAt(0.5, QColor(255, 235, 90));
    glass.setColorAt(1.0, QColor(235, 185, 20));
    painter.setBrush(glass);
    painter.setPen(QPen(QColor(170, 120, 0), 2.5));
    QPainterPath bulb;
    bulb.addEllipse(QRectF(22, 10, 56, 54));
    QPainterPath neck;
    neck.moveTo(36, 56);
    neck.lineTo(64, 56);
    neck.lineTo(60, 70);
    neck.lineTo(40, 70);
    neck.closeSubpath();
    painter.drawPath(bulb.united(neck));

    painter.setPen(QPen(QColor(70, 70, 70), 2.0));
    painter.setBrush(QColor(165, 165, 170));
    painter.drawRoundedRect(QRectF(38, 70, 24, 16), 3, 3);
    painter.drawLine(QPointF(38, 76), QPointF(62, 76));
    painter.drawLine(QPointF(38, 81), QPointF(62, 81));
    painter.setBrush(QColor(60, 60, 60));
    painter.drawEllipse(QRectF(45, 85, 10, 7));
}

QImage Icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 100.0, size / 100.0);
    PaintBulb(painter);
    return image;
}

QByteArray IconSvg() {
    return R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 100 100">
  <defs>
    <radialGradient id="glow" cx="50" cy="40" r="50" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#fffaaa" stop-opacity="0.9"/>
      <stop offset="0.55" stop-color="#ffdc3c" stop-opacity="0.43"/>
      <stop offset="1" stop-color="#ffc800" stop-opacity="0"/>
    </radialGradient>
    <radialGradient id="glass" cx="44" cy="32" r="30" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#ffffeb"/>
      <stop offset="0.5" stop-color="#ffeb5a"/>
      <stop offset="1" stop-color="#ebb914"/>
    </radialGradient>
  </defs>
  <circle cx="50" cy="50" r="50" fill="url(#glow)"/>
  <path d="M36 56 A28 27 0 1 1 64 56 L60 70 L40 70 Z" fill="url(#glass)" stroke="#aa7800" stroke-width="2.5"/>
  <rect x="38" y="70" width="24" height="16" rx="3" fill="#a5a5aa" stroke="#464646" stroke-width="2"/>
  <path d="M38 76 H62 M38 81 H62" stroke="#464646" stroke-width="2"/>
  <ellipse cx="50" cy="88.5" rx="5" ry="3.5" fill="#3c3c3c" stroke="#464646" stroke-width="2"/>
</svg>
)svg";
}

// ---- Light scenes -----------------------------------------------------------------------

struct Light {
    float x, y;
    ColorValue color;
    float intensity, fog;
};

// The picture with the lights added one by one, as clicks on it would add them.
QImage Lit(const QImage& picture, const std::vector<Light>& lights) {
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    PixelBuffer pixels;
    pixels.SetPicture(source);
    LightEngine engine;
    engine.Reset(source.width(), source.height());
    engine.LoadPicture(pixels.Bytes());
    for (const Light& light : lights) {
        const LightPoint point{light.x, light.y, RedOf(light.color), GreenOf(light.color), BlueOf(light.color)};
        engine.AddLight(NewLight{point, light.intensity, (light.fog + 1.0f) / 11.0f}, false, Exposure::Clipped, {});
    }
    engine.Redraw(255.0f, PictureRows{pixels.Bytes()});
    QImage result(source.size(), QImage::Format_RGB32);
    std::memcpy(result.bits(), pixels.Bytes().data(), pixels.Bytes().size());
    return result;
}

QImage Canvas(QColor background) {
    QImage image(kThumbnail, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

QImage DarkRoom() {
    QImage room = Canvas(QColor(26, 26, 34));
    QPainter p(&room);
    p.fillRect(0, 52, 98, 26, QColor(38, 30, 26));
    p.fillRect(20, 44, 40, 4, QColor(52, 40, 30));
    p.fillRect(24, 48, 3, 12, QColor(52, 40, 30));
    p.fillRect(53, 48, 3, 12, QColor(52, 40, 30));
    p.fillRect(68, 20, 18, 14, QColor(34, 36, 48));
    p.setPen(QColor(60, 60, 60));
    p.drawLine(49, 0, 49, 16);
    p.setBrush(QColor(80, 80, 70));
    p.drawEllipse(QPoint(49, 19), 3, 3);
    return room;
}

QImage RedWallRoom() {
    QImage room = Canvas(QColor(120, 120, 120));
    QPainter p(&room);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 68, 66));
    p.drawPolygon(QPolygon({{0, 78}, {98, 78}, {76, 56}, {22, 56}}));
    p.setBrush(QColor(150, 20, 20));
    p.drawPolygon(QPolygon({{0, 0}, {22, 14}, {22, 56}, {0, 78}}));
    p.setBrush(QColor(100, 100, 100));
    p.drawPolygon(QPolygon({{98, 0}, {76, 14}, {76, 56}, {98, 78}}));
    p.setBrush(QColor(135, 135, 135));
    p.drawRect(22, 0, 54, 14);
    return room;
}

QImage Face() {
    QImage face = Canvas(Qt::black);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 52, 44));
    p.drawEllipse(QRectF(27, 6, 44, 62));
    p.setBrush(QColor(30, 22, 20));
    p.drawEllipse(QRectF(36, 28, 10, 5));
    p.drawEllipse(QRectF(52, 28, 10, 5));
    p.drawRect(QRectF(43, 50, 12, 3));
    return face;
}

std::vector<Light> Stars() {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(0, 98), y(0, 78), strength(1.5f, 4.0f);
    const ColorValue tints[] = {PackColor(255, 255, 255), PackColor(180, 200, 255), PackColor(255, 230, 190)};
    std::vector<Light> stars;
    for (int i = 0; i < 25; ++i) stars.push_back({x(random), y(random), tints[i % 3], strength(random), 0.0f});
    stars.push_back({70, 24, PackColor(200, 215, 255), 8.0f, 1.0f});
    return stars;
}

// ---- Gradient fill examples -------------------------------------------------------------

QImage Drawing(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    draw(painter);  // no antialiasing: every area keeps exactly one colour
    return image;
}

// Fills each area holding one of the seeds, as a click on it would.
QImage Filled(const QImage& drawing, const std::vector<QPoint>& seeds) {
    PixelBuffer source, mask, target;
    source.SetPicture(drawing);
    target.SetPicture(drawing);
    ImageSurface canvas;
    canvas.SetAutoSize(true);
    canvas.SetPicture(drawing);
    canvas.SetAutoSize(false);
    for (const QPoint seed : seeds) {
        std::int32_t direction = 0;
        FillArea(source, mask, target, canvas, float(seed.x()), float(seed.y()), direction);
    }
    return canvas.Image().copy();
}

QImage RoomWithDoor() {
    return Drawing({100, 100}, [](QPainter& p) {
        p.fillRect(0, 0, 100, 70, QColor(120, 160, 200));
        p.fillRect(0, 70, 100, 30, QColor(150, 110, 70));
        p.fillRect(14, 24, 30, 46, QColor(140, 80, 40));
        p.fillRect(36, 46, 4, 4, QColor(230, 200, 60));
        p.fillRect(58, 20, 30, 24, QColor(200, 230, 250));
    });
}

QImage House() {
    return Drawing({100, 100}, [](QPainter& p) {
        p.fillRect(0, 0, 100, 64, QColor(100, 170, 240));
        p.fillRect(0, 64, 100, 36, QColor(60, 170, 60));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 220, 40));
        p.drawEllipse(QRect(72, 6, 18, 18));
        p.setBrush(QColor(240, 240, 240));
        p.drawEllipse(QRect(10, 8, 30, 12));
        p.setBrush(QColor(220, 190, 130));
        p.drawRect(18, 44, 36, 30);
        p.setBrush(QColor(180, 50, 40));
        p.drawPolygon(QPolygon({{12, 44}, {60, 44}, {36, 24}}));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(74, 50, 6, 26);
        p.setBrush(QColor(40, 130, 40));
        p.drawEllipse(QRect(64, 30, 26, 26));
    });
}

QImage Fish() {
    return Drawing({100, 100}, [](QPainter& p) {
        p.fillRect(0, 0, 100, 100, QColor(40, 120, 200));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 150, 80));
        p.drawPolygon(QPolygon({{8, 100}, {14, 52}, {20, 100}}));
        p.drawPolygon(QPolygon({{80, 100}, {88, 60}, {94, 100}}));
        p.setBrush(QColor(230, 170, 40));
        p.drawEllipse(QRect(26, 30, 48, 30));
        p.drawPolygon(QPolygon({{72, 45}, {90, 32}, {90, 58}}));
        p.setBrush(QColor(200, 80, 20));
        p.drawRect(38, 33, 6, 24);
        p.drawRect(52, 31, 6, 28);
        p.setBrush(Qt::black);
        p.drawRect(31, 40, 3, 3);
    });
}

// ---- Sheets -----------------------------------------------------------------------------

void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3.0));
    p.drawLine(from, to - QPointF(6, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({to, to + QPointF(-9, -6), to + QPointF(-9, 6)}));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void Caption(QPainter& p, QRect room, const QString& text, QColor color = Qt::white) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(color);
    p.drawText(room, Qt::AlignCenter, text);
}

QImage GlimmerageExamples() {
    QImage sheet(231, 401, QImage::Format_RGB32);
    sheet.fill(kExamplesBackground);
    QPainter p(&sheet);
    const auto pair = [&](int top, const QString& caption, const QImage& before, const QImage& after) {
        Caption(p, QRect(0, top, 231, 16), caption);
        p.drawImage(4, top + 18, before);
        p.drawImage(129, top + 18, after);
        Arrow(p, QPointF(106, top + 57), QPointF(125, top + 57));
    };
    const QImage room = DarkRoom();
    pair(6, QStringLiteral("A dark room, and a light bulb"), room,
         Lit(room, {{49, 20, PackColor(255, 225, 160), 8.0f, 10.0f}}));
    const QImage redWall = RedWallRoom();
    std::vector<Light> spill{{49, 8, PackColor(255, 255, 255), 2.5f, 10.0f}};
    for (float y = 16; y <= 60; y += 11) spill.push_back({12, y, PackColor(255, 30, 30), 1.5f, 10.0f});
    pair(136, QStringLiteral("A red wall lights the white one"), redWall, Lit(redWall, spill));
    Caption(p, QRect(0, 268, 115, 16), QStringLiteral("A star field"));
    Caption(p, QRect(116, 268, 115, 16), QStringLiteral("Glowing eyes"));
    p.drawImage(4, 286, Lit(Canvas(Qt::black), Stars()));
    p.drawImage(129, 286,
                Lit(Face(), {{41, 31, PackColor(255, 40, 30), 8.0f, 0.0f}, {57, 31, PackColor(255, 40, 30), 8.0f, 0.0f}}));
    return sheet;
}

QImage OmbravonExamples() {
    QImage sheet(232, 372, QImage::Format_RGB32);
    sheet.fill(kExamplesBackground);
    QPainter p(&sheet);
    QFont heading(QStringLiteral("DejaVu Sans"));
    heading.setPixelSize(13);
    heading.setBold(true);
    p.setFont(heading);
    p.setPen(QColor(200, 200, 200));
    p.drawText(QRect(0, 2, 232, 20), Qt::AlignCenter, QStringLiteral("Ombravon Examples"));
    const auto pair = [&](int top, const QImage& drawing, const std::vector<QPoint>& seeds) {
        p.drawImage(4, top, drawing);
        p.drawImage(128, top, Filled(drawing, seeds));
        Arrow(p, QPointF(107, top + 50), QPointF(125, top + 50));
    };
    pair(26, RoomWithDoor(), {{50, 10}, {50, 90}, {20, 30}, {70, 30}});
    pair(142, House(), {{50, 10}, {20, 90}, {30, 70}, {37, 40}, {81, 15}, {25, 14}, {78, 40}, {78, 70}});
    pair(258, Fish(), {{50, 10}, {15, 90}, {88, 90}, {32, 45}, {48, 45}, {62, 45}, {86, 46}, {41, 45}, {55, 45}});
    return sheet;
}

bool Save(const QImage& image, const QString& path) {
    if (image.save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("about"));
    out.mkpath(QStringLiteral("icons"));
    bool ok = Save(Title(QStringLiteral("Glimmerage"), {305, 67}, 50), out.filePath("about/glimmerage-title.png")) &&
              Save(Title(QStringLiteral("Ombravon"), {317, 49}, 40), out.filePath("about/ombravon-title.png")) &&
              Save(GlimmerageExamples(), out.filePath("about/glimmerage-examples.png")) &&
              Save(OmbravonExamples(), out.filePath("about/ombravon-examples.png"));
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        ok = ok && Save(Icon(size), out.filePath(QStringLiteral("icons/glimmerage-%1.png").arg(size)));
    }
    QFile svg(out.filePath(QStringLiteral("icons/glimmerage.svg")));
    ok = ok && svg.open(QIODevice::WriteOnly) && svg.write(IconSvg()) > 0;
    return ok ? 0 : 1;
}
