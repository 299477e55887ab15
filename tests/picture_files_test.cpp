#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace {

using Events = std::vector<std::string>;
using Boxes = std::vector<MessageRequest>;

const MessageRequest kSizeQuestion{
    "The size of the selected picture is different from the current size.\r\n\r\n"
    "Do you want to adjust the current size to the size of the picture?",
    "Change Current Picture Size?", MessageIcon::Question, MessageButtons::YesNo};
const MessageRequest kOverwriteQuestion{"Confirm overwriting?", "File Already Exists", MessageIcon::Question,
                                        MessageButtons::YesNo};
const MessageRequest kNotSaved{"The picture was NOT saved.", "Operation Aborted", MessageIcon::Information,
                               MessageButtons::Ok};

QImage Filled(QSize size, QRgb color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
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

QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A GIF of a picture with 256 palette colours (Qt writes none). The pixels go in as 9-bit
// codes with a clear code every 250 of them, before the decoder's table would need wider
// codes: a valid file, only not compressed.
QByteArray Gif(const QImage& indexed) {
    QByteArray size;
    for (const int v : {indexed.width(), indexed.height()}) size.append(char(v & 255)).append(char(v >> 8));
    QByteArray out = "GIF89a" + size + QByteArray("\xF7\0\0", 3);
    for (const QRgb c : indexed.colorTable()) out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    out += QByteArray(",\0\0\0\0", 5) + size + QByteArray("\0\x08", 2);
    QByteArray data;
    std::uint32_t bits = 0;
    int pending = 0;
    const auto code = [&](int value) {
        for (bits |= std::uint32_t(value) << pending, pending += 9; pending >= 8; pending -= 8, bits >>= 8)
            data.append(char(bits & 255));
    };
    for (int i = 0; i < indexed.width() * indexed.height(); ++i) {
        if (i % 250 == 0) code(256);
        code(indexed.pixelIndex(i % indexed.width(), i / indexed.width()));
    }
    code(257);
    if (pending > 0) data.append(char(bits));
    for (qsizetype i = 0; i < data.size(); i += 255) out += char(data.mid(i, 255).size()) + data.mid(i, 255);
    return out + QByteArray("\0;", 2);
}

// Writes a picture in the format its name ends in and returns what the file holds. Up to
// 1024 x 1024 pixels, every pixel of a BMP or JPEG has a colour of its own.
QImage WritePicture(const QString& path, QSize size) {
    QImage picture(size, path.endsWith(".gif") ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    picture.setColorCount(picture.depth() == 8 ? 256 : 0);
    for (int i = 0; i < picture.colorCount(); ++i) picture.setColor(i, qRgb(i, 255 - i, (i * 7) & 255));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y,
                             picture.depth() == 8 ? uint(x * 3 + y * 5) & 255
                                                  : qRgb(x & 255, y & 255, (x >> 8) * 64 + (y >> 8) * 16 + (x & 15)));
    if (picture.depth() == 8) WriteBytes(path, Gif(picture));
    else EXPECT_TRUE(picture.save(path));
    // A JPEG keeps only an approximation: what it holds is what a decoder reads back.
    return (path.endsWith(".jpg") ? QImage(path) : picture).convertToFormat(QImage::Format_RGB32);
}

// A started main window, with one orange light on the canvas unless asked otherwise.
std::unique_ptr<StartedWindow> Started(bool withLight = true) {
    auto s = std::make_unique<StartedWindow>();
    s->Start();
    if (withLight) {
        s->Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 120, 0));
        ClickWith(s->Child<PictureBox>("p"), {100, 100});
        EXPECT_EQ(s->window->Document().LightsCount, 1);
    }
    return s;
}

// Picks `file` in the file chooser (an empty name cancels it), answers the questions that
// follow in this order and runs the menu command, with the records emptied first.
void Command(StartedWindow& s, const char* command, const QString& file, std::deque<MessageAnswer> answers = {}) {
    if (!file.isEmpty()) s.platform.files.answers.push_back({true, file, 1});
    s.platform.messages.answers = std::move(answers);
    s.platform.messages.shown.clear();
    s.platform.busy.events.clear();
    s.Child<QAction>(command)->trigger();
    QApplication::processEvents();
}

FileChooserRequest OpenRequest(const StartedWindow& s, const char* description, const char* patterns,
                               std::uint32_t flags) {
    return {false, std::int32_t(s.window->winId()), {{description, patterns}}, 1, {}, {}, {}, {}, flags};
}

// The drawing is `expected`, at the canvas's size: no lights, no undo, and the displayed
// picture, the light buffer (pixel x, y at x + 1, y + 1) and the canvas all hold it.
void ExpectDrawing(const StartedWindow& s, const QImage& expected) {
    const DrawingDocument& doc = s.window->Document();
    const PictureBox* canvas = s.Child<PictureBox>("p");
    const QImage want = expected.convertToFormat(QImage::Format_RGB32);
    const bool undo = s.Child<QAction>("mnuUndo")->isEnabled();
    EXPECT_EQ(std::tuple(doc.LightsCount, doc.Lights.size(), canvas->HasPicture(), undo),
              std::tuple(0, 1u, false, false));
    EXPECT_EQ(canvas->size(), want.size());
    EXPECT_EQ(canvas->Image(), want);
    ASSERT_EQ(QSize(doc.GMPic1.Width(), doc.GMPic1.Height()), want.size());
    int wrong = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const float r = qRed(want.pixel(x, y)), g = qGreen(want.pixel(x, y)), b = qBlue(want.pixel(x, y));
            const std::uint8_t* px = doc.GMPic1.Bytes().data() + (std::size_t(y) * want.width() + x) * 4;
            const LightArray& light = doc.LightBuffer;
            wrong += std::array{float(px[2]), float(px[1]), float(px[0]), light.At(x + 1, y + 1, 1),
                                light.At(x + 1, y + 1, 2), light.At(x + 1, y + 1, 3)} != std::array{r, g, b, r, g, b};
        }
    EXPECT_EQ(wrong, 0) << "pixels differ in the displayed picture or the light buffer";
}

// Exactly one "Error" box, with the failure's own text, and the normal pointer back.
void ExpectOneErrorBox(const StartedWindow& s) {
    ASSERT_EQ(s.platform.messages.shown.size(), 1u);
    const MessageRequest& box = s.platform.messages.shown[0];
    EXPECT_EQ(std::tuple(box.title, box.icon, box.buttons),
              std::tuple(QString("Error"), MessageIcon::Critical, MessageButtons::Ok));
    EXPECT_FALSE(box.text.isEmpty());
    EXPECT_EQ(s.platform.busy.events, Events({"busy", "default"}));
}

// `path` is a BMP file of what the canvas shows, and the canvas keeps that as its picture.
void ExpectSavedCanvas(const StartedWindow& s, const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    EXPECT_EQ(reader.format(), "bmp");
    const QImage saved = reader.read().convertToFormat(QImage::Format_RGB32);
    const PictureBox* canvas = s.Child<PictureBox>("p");
    EXPECT_EQ(saved.size(), QSize(640, 480));
    EXPECT_EQ(saved, canvas->Image());
    EXPECT_TRUE(canvas->HasPicture());
    EXPECT_EQ(canvas->Picture().convertToFormat(QImage::Format_RGB32), saved);
}

}  // namespace

TEST(PictureLoading, TheDialogAsksForPicturesAndACancelChangesNothing) {
    const auto s = Started();
    const QImage before = s->Child<PictureBox>("p")->Image();
    Command(*s, "mnuLoad", QString());
    EXPECT_EQ(s->platform.files.requests,
              std::vector{OpenRequest(*s, "Graphic Files (*.jpg;*.gif;*.bmp)", "*.jpg;*.gif;*.bmp", 4096)});
    EXPECT_EQ(s->window->Document().LightsCount, 1);
    EXPECT_TRUE(s->Child<QAction>("mnuUndo")->isEnabled());
    EXPECT_EQ(s->Child<PictureBox>("p")->Image(), before);
    EXPECT_TRUE(s->platform.busy.events.empty());
    EXPECT_TRUE(s->platform.messages.shown.empty());
}

TEST(PictureLoading, ThePictureReplacesTheDrawingAtTheSizeTheUserChooses) {
    QTemporaryDir dir;
    using enum MessageAnswer;
    const struct {
        const char* name;
        QSize picture;
        MessageAnswer answer;
        QSize canvas;
    } cases[] = {
        {"same.bmp", {640, 480}, Yes, {640, 480}}, {"same.gif", {640, 480}, Yes, {640, 480}},
        {"same.jpg", {640, 480}, Yes, {640, 480}}, {"large.bmp", {800, 600}, Yes, {800, 600}},
        {"large.bmp", {800, 600}, No, {640, 480}}, {"small.bmp", {320, 240}, No, {640, 480}},
        {"small.bmp", {320, 240}, Yes, {320, 240}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.answer == Yes ? ", Yes" : ", No"));
        const QImage picture = WritePicture(dir.filePath(c.name), c.picture);
        const auto s = Started();
        Command(*s, "mnuLoad", dir.filePath(c.name), {c.answer});
        EXPECT_EQ(s->platform.messages.shown, c.picture == QSize(640, 480) ? Boxes{} : Boxes{kSizeQuestion});
        EXPECT_EQ(s->platform.busy.events, Events({"busy", "default"}));
        EXPECT_EQ(QSize(s->window->PictureWidth(), s->window->PictureHeight()), c.canvas);
        EXPECT_EQ(s->window->centralWidget()->size(), c.canvas);
        // A larger picture is cut off at the right and bottom; beyond a smaller one the canvas is black.
        ExpectDrawing(*s, picture.copy(QRect(QPoint(0, 0), c.canvas)));
    }
}

TEST(PictureLoading, AFileThatCannotBeDecodedLeavesAClearedDrawing) {
    QTemporaryDir dir;
    WritePicture(dir.filePath("whole.jpg"), {640, 480});
    const QByteArray jpeg = ReadBytes(dir.filePath("whole.jpg"));
    WriteBytes(dir.filePath("cut.jpg"), jpeg.left(jpeg.size() / 2));
    WriteBytes(dir.filePath("notes.bmp"), "These are notes, not a picture.\n");
    for (const char* name : {"notes.bmp", "cut.jpg"}) {
        SCOPED_TRACE(name);
        const auto s = Started();
        Command(*s, "mnuLoad", dir.filePath(name));
        ExpectOneErrorBox(*s);
        ExpectDrawing(*s, Filled({640, 480}, qRgb(0, 0, 0)));
    }
}

TEST(PictureLoading, APictureBeyondQtsDefaultAllocationLimitLoads) {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.png");
    QImage huge(6000, 6000, QImage::Format_Indexed8);
    huge.setColorTable({qRgb(20, 180, 90)});
    huge.fill(0);
    ASSERT_TRUE(huge.save(path));
    // Left at its default of 128 MiB, Qt refuses to decode this picture.
    QImageReader::setAllocationLimit(128);
    ASSERT_TRUE(QImageReader(path).read().isNull());

    const auto s = Started(false);
    Command(*s, "mnuLoad", path, {MessageAnswer::No});
    EXPECT_EQ(s->platform.messages.shown, Boxes{kSizeQuestion});
    ExpectDrawing(*s, Filled({640, 480}, qRgb(20, 180, 90)));
}

TEST(PictureLoading, AJpegTurnedByItsExifOrientationComesUpright) {
    QTemporaryDir dir;
    const QString path = dir.filePath("turned.jpg");
    const QImage sideways = WritePicture(dir.filePath("sideways.bmp"), {40, 20});
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && sideways.save(&buffer, "JPG"));
    // Qt writes no orientation, so an EXIF block with orientation 6 (turn a quarter
    // clockwise to show) goes in right after the start marker.
    jpeg.insert(2, QByteArray::fromHex("ffe100224578696600004d4d002a00000008000101120003000000010006000000000000"));
    WriteBytes(path, jpeg);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage upright = reader.read();
    ASSERT_EQ(upright.size(), QSize(20, 40));

    const auto s = Started(false);
    Command(*s, "mnuLoad", path, {MessageAnswer::No});
    ExpectDrawing(*s, upright.copy(0, 0, 640, 480));
}

TEST(PictureSaving, TheDialogAsksForABitmapAndACancelDoesNothing) {
    const auto s = Started();
    Command(*s, "mnuSave", QString());
    EXPECT_EQ(s->platform.files.requests, std::vector{OpenRequest(*s, "Bitmap (*.bmp)", "*.bmp", 2052)});
    EXPECT_TRUE(s->platform.busy.events.empty());
    EXPECT_TRUE(s->platform.messages.shown.empty());
}

TEST(PictureSaving, TheNameEndsInBmpAndAnExistingFileIsReplacedOnlyAfterYes) {
    const struct {
        const char* typed;
        const char* saved;
    } cases[] = {{"out", "out.bmp"}, {"out.BMP", "out.BMP.bmp"}, {"a", "a.bmp"}, {"pic.bmp", "pic.bmp"}};
    const auto s = Started();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QTemporaryDir dir;
        const QString typed = dir.filePath(c.typed), saved = dir.filePath(c.saved);
        Command(*s, "mnuSave", typed);
        EXPECT_TRUE(s->platform.messages.shown.empty());
        EXPECT_EQ(s->platform.busy.events, Events({"busy", "default"}));
        EXPECT_EQ(Entries(dir), QStringList{c.saved});
        ExpectSavedCanvas(*s, saved);

        WriteBytes(saved, "old contents");
        Command(*s, "mnuSave", typed, {MessageAnswer::No});
        EXPECT_EQ(s->platform.messages.shown, (Boxes{kOverwriteQuestion, kNotSaved}));
        EXPECT_EQ(s->platform.busy.events, Events({"busy", "default"}));
        EXPECT_EQ(ReadBytes(saved), "old contents");
        Command(*s, "mnuSave", typed, {MessageAnswer::Yes});
        EXPECT_EQ(s->platform.messages.shown, Boxes{kOverwriteQuestion});
        EXPECT_EQ(Entries(dir), QStringList{c.saved});
        ExpectSavedCanvas(*s, saved);
    }
}

TEST(PictureSaving, AHiddenFileOfThatNameIsReplacedWithoutAQuestion) {
    QTemporaryDir dir;
    const QString path = dir.filePath(".hidden.bmp");
    WriteBytes(path, "old contents");
    const auto s = Started();
    Command(*s, "mnuSave", path);
    EXPECT_TRUE(s->platform.messages.shown.empty());
    EXPECT_EQ(Entries(dir), QStringList{".hidden.bmp"});
    ExpectSavedCanvas(*s, path);
}

TEST(PictureSaving, ANameThatCannotBeAFileGivesOneErrorBoxAndWritesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    WriteBytes(dir.filePath("plain"), "a file, not a folder");
    for (const char* typed : {"folder.bmp", "plain/out"}) {
        SCOPED_TRACE(typed);
        const auto s = Started();
        Command(*s, "mnuSave", dir.filePath(typed));
        ExpectOneErrorBox(*s);
        EXPECT_EQ(Entries(dir), QStringList({"folder.bmp", "plain"}));
        EXPECT_TRUE(QDir(dir.filePath("folder.bmp")).isEmpty());
    }
}

TEST(PictureSaving, AFolderWithoutWritePermissionGivesOneErrorBox) {
    QTemporaryDir dir;
    const QString locked = dir.filePath("locked");
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    if (QFileInfo(locked).isWritable()) GTEST_SKIP() << "this user may write into any folder";
    const auto s = Started();
    Command(*s, "mnuSave", locked + "/out");
    ExpectOneErrorBox(*s);
    EXPECT_TRUE(QDir(locked).isEmpty());
}
