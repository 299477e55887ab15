#include "support/TestSupport.h"

#include <QCryptographicHash>

#include <algorithm>

void SendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void ClickWith(QWidget* widget, QPointF at, Qt::MouseButton button) {
    SendMouse(widget, QEvent::MouseButtonPress, at, button, button);
    SendMouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void SetAutoExposure(ScriptedPlatform& platform, const QString& value) {
    platform.settings.values[{"Glimmerage", "Settings", "AutoAdjustExposure"}] = value;
}

QImage FilledImage(QSize size, const QColor& colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage DistinctPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + 1) & 255, (y * 11 + 2) & 255, (x + y * 3 + 5) & 255));
    return image;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ClaimingHugeSize(QByteArray file) {
    if (file.startsWith("BM")) return file.replace(18, 8, QByteArray::fromHex("a0860100a0860100"));
    if (file.startsWith("GIF")) return file.replace(6, 4, QByteArray::fromHex("ffffffff"));
    if (file.startsWith("\x89PNG")) {
        file.replace(16, 8, QByteArray::fromHex("0000ea600000ea60"));
        std::uint32_t crc = 0xFFFFFFFFu;  // the header's checksum, over its type and fields: bytes 12 to 28
        for (int i = 12; i < 29; ++i) {
            crc ^= std::uint8_t(file[i]);
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        for (int i = 0; i < 4; ++i) file[29 + i] = char(~crc >> (24 - 8 * i));
        return file;
    }
    const qsizetype frame = file.indexOf("\xff\xc0");  // a JPEG's frame header: precision, height, width
    return frame < 0 ? file : file.replace(frame + 5, 4, QByteArray::fromHex("ffdcffdc"));
}

QByteArray Gif(const QImage& indexed) {
    const int w = indexed.width(), h = indexed.height();
    int depth = 1;  // bits of a colour index
    while ((1 << depth) < indexed.colorCount()) ++depth;
    const int minimumCode = std::max(2, depth), clear = 1 << minimumCode, width = minimumCode + 1;
    // The table grows by one entry a code after the first; the codes stay `width` bits until it is full.
    const int run = (1 << width) - clear - 2;
    QByteArray size;
    for (const int v : {w, h}) size.append(char(v & 255)).append(char(v >> 8));
    QByteArray out = "GIF89a" + size + char(0x80 | (depth - 1)) + QByteArray(2, '\0'), data;
    for (const QRgb c : indexed.colorTable()) out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    out += QByteArray(((1 << depth) - indexed.colorCount()) * 3, '\0');
    out += QByteArray(",\0\0\0\0", 5) + size + '\0' + char(minimumCode);
    std::uint32_t bits = 0, pending = 0;
    const auto code = [&](int value) {
        for (bits |= std::uint32_t(value) << pending, pending += width; pending >= 8; pending -= 8, bits >>= 8)
            data.append(char(bits & 255));
    };
    for (int i = 0; i < w * h; ++i) {
        if (i % run == 0) code(clear);
        code(indexed.pixelIndex(i % w, i / w));
    }
    code(clear + 1);
    if (pending > 0) data.append(char(bits));
    for (qsizetype i = 0; i < data.size(); i += 255) out += char(data.mid(i, 255).size()) + data.mid(i, 255);
    return out + QByteArray("\0;", 2);
}

QDialog* VisibleTopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) return qobject_cast<QDialog*>(widget);
    return nullptr;
}

MessageRequest ErrorBox(const QString& description) {
    return {description, "Error", MessageIcon::Critical, MessageButtons::Ok};
}

QByteArray Md5(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result();
}

void StartedWindow::Run(const char* command, const QString& file, std::deque<MessageAnswer> answers) {
    if (!file.isEmpty()) platform.files.answers.push_back({true, file, 1});
    platform.messages.answers = std::move(answers);
    platform.messages.shown.clear();
    platform.busy.events.clear();
    Action(command)->trigger();
    QApplication::processEvents();
}

std::pair<int, QString> FailureOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Failure& failure) {
        return {failure.Number(), failure.Description()};
    }
    return {0, QString()};
}

std::vector<float> Values(const LightBufferView& buffer) {
    std::vector<float> values;
    for (int c = 1; c <= 3; ++c)
        for (int y = 0; y <= buffer.UpperY(); ++y)
            for (int x = 0; x <= buffer.UpperX(); ++x) values.push_back(buffer.At(x, y, c));
    return values;
}

StartedWindow::StartedWindow() : window(std::make_unique<frmDrawing>(platform)) {}

// Windows a test left open would block the next test's input: they go with the window.
StartedWindow::~StartedWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget != window.get() && widget->parentWidget() == nullptr && widget->isVisible()) widget->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmDrawing::StartupOutcome StartedWindow::Start() {
    const frmDrawing::StartupOutcome outcome = StartKeepingAbout();
    if (QDialog* about = VisibleTopLevel("frmAbout")) about->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return outcome;
}

void ExpectDrawing(const StartedWindow& s, const QImage& expected) {
    const DrawingDocument& doc = s.Doc();
    const QImage want = expected.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(std::tuple(doc.LightsCount, doc.Lights.size(), s.Canvas()->HasPicture(), s.Action("mnuUndo")->isEnabled(),
                         s.Canvas()->size(), s.window->centralWidget()->size(),
                         QSize(s.window->PictureWidth(), s.window->PictureHeight())),
              std::tuple(0, 1u, false, false, want.size(), s.ClientFor(want.size()), want.size()));
    EXPECT_EQ(s.Canvas()->Image(), want);
    ASSERT_EQ(QSize(doc.GMPic1.Width(), doc.GMPic1.Height()), want.size());
    // RGB32 images compare without the fourth byte, which the displayed picture leaves 0.
    EXPECT_EQ(QImage(doc.GMPic1.Bytes().data(), want.width(), want.height(), QImage::Format_RGB32), want);
    int wrong = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            for (int c = 1; c <= 3; ++c)  // red, green, blue
                wrong += doc.LightBuffer().At(x + 1, y + 1, c) != float((want.pixel(x, y) >> (24 - 8 * c)) & 255);
    EXPECT_EQ(wrong, 0) << "pixels differ in the light buffer";
}

void ExpectFreshDocument(const StartedWindow& s, QSize size) {
    ExpectDrawing(s, FilledImage(size, Qt::black));
    const DrawingDocument& doc = s.Doc();
    const int w = size.width(), h = size.height();
    const std::vector<float> zeros(std::size_t(w + 1) * std::size_t(h + 1) * 3, 0.0f);
    EXPECT_EQ(std::tuple(s.Canvas()->pos(), doc.LightBuffer().UpperX(), doc.LightBuffer().UpperY(),
                         Values(doc.LightBuffer()) == zeros, Values(doc.UndoBuffer()) == zeros, doc.GMPic2.Width(),
                         doc.GMPicProgress.Width(), doc.GMPicProgress.Height()),
              std::tuple(QPoint(0, 0), w, h, true, true, w, w, 10));
}
