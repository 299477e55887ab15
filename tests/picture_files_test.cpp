#include "core/files/QtPictureFiles.h"
#include "support/TestSupport.h"

#include <array>
#include <utility>

namespace {

const MessageRequest kSizeQuestion{
    "The size of the selected picture is different from the current size.\r\n\r\n"
    "Do you want to adjust the current size to the size of the picture?",
    "Change Current Picture Size?", MessageIcon::Question, MessageButtons::YesNo};
const MessageRequest kOverwrite{"Confirm overwriting?", "File Already Exists", MessageIcon::Question,
                                MessageButtons::YesNo};
const MessageRequest kNotSaved{"The picture was NOT saved.", "Operation Aborted", MessageIcon::Information,
                               MessageButtons::Ok};

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

// A GIF of a 256-colour picture (Qt writes none), as 9-bit codes with a clear code every 250 pixels, before the
// decoder's table would need wider codes: valid, only not compressed. A graphic control extension marks the
// transparent index, if one is given.
QByteArray Gif(const QImage& indexed, int transparentIndex = -1) {
    const int w = indexed.width(), h = indexed.height();
    QByteArray size;
    for (const int v : {w, h}) size.append(char(v & 255)).append(char(v >> 8));
    QByteArray out = "GIF89a" + size + QByteArray("\xF7\0\0", 3), data;
    for (const QRgb c : indexed.colorTable()) out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    if (transparentIndex >= 0)
        out += QByteArray("\x21\xF9\x04\x01\0\0", 6) + char(transparentIndex) + QByteArray(1, '\0');
    out += QByteArray(",\0\0\0\0", 5) + size + QByteArray("\0\x08", 2);
    std::uint32_t bits = 0, pending = 0;
    const auto code = [&](int value) {
        for (bits |= std::uint32_t(value) << pending, pending += 9; pending >= 8; pending -= 8, bits >>= 8)
            data.append(char(bits & 255));
    };
    for (int i = 0; i < w * h; ++i) {
        if (i % 250 == 0) code(256);
        code(indexed.pixelIndex(i % w, i / w));
    }
    code(257);
    if (pending > 0) data.append(char(bits));
    for (qsizetype i = 0; i < data.size(); i += 255) out += char(data.mid(i, 255).size()) + data.mid(i, 255);
    return out + QByteArray("\0;", 2);
}

// Writes a picture in the format its name ends in and returns what the file holds: a JPEG only approximates it, and
// one named "turned" carries the EXIF orientation 6 (a quarter turn clockwise to show), which Qt never writes.
// Up to 1024 x 1024, every pixel of a BMP or JPEG has a colour of its own.
QImage WritePicture(const QString& path, QSize size) {
    const bool gif = path.endsWith(".gif");
    QImage picture(size, gif ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    for (int i = 0; gif && i < 256; ++i) picture.setColor(i, qRgb(i, 255 - i, (i * 7) & 255));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, gif ? uint(x * 3 + y * 5) & 255
                                       : qRgb(x & 255, y & 255, (x >> 8) * 64 + (y >> 8) * 16 + (x & 15)));
    if (gif) WriteBytes(path, Gif(picture));
    else EXPECT_TRUE(picture.save(path));
    if (path.endsWith("turned.jpg"))
        WriteBytes(path, ReadBytes(path).insert(2, QByteArray::fromHex("ffe100224578696600004d4d002a00000008000101"
                                                                       "120003000000010006000000000000")));
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return (path.endsWith(".jpg") ? reader.read() : picture).convertToFormat(QImage::Format_RGB32);
}

// A started main window, with one orange light on the canvas unless asked otherwise.
std::unique_ptr<Running> Started(bool withLight = true) {
    auto s = std::make_unique<Running>();
    s->Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 120, 0));
    if (withLight) ClickWith(s->Canvas(), {100, 100});
    EXPECT_EQ(s->Doc().LightsCount, int(withLight));
    return s;
}

// Picks `file` in the file chooser (an empty name cancels), answers the questions that follow in this order and
// runs the menu command, with the records emptied first.
void Command(StartedWindow& s, const char* command, const QString& file, std::deque<MessageAnswer> answers = {}) {
    if (!file.isEmpty()) s.platform.files.answers.push_back({true, file, 1});
    s.platform.messages.answers = std::move(answers);
    s.platform.messages.shown.clear();
    s.platform.busy.events.clear();
    s.Action(command)->trigger();
    QApplication::processEvents();
}

// The drawing is `expected`, at the canvas's size, without lights or undo: the canvas, the displayed picture and
// the light buffer (pixel x, y at x + 1, y + 1) all hold it.
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

// Exactly one "Error" box, with the failure's own text, and the normal pointer back.
void ExpectOneErrorBox(const StartedWindow& s) {
    ASSERT_EQ(s.platform.messages.shown.size(), 1u);
    EXPECT_FALSE(s.platform.messages.shown[0].text.isEmpty());
    EXPECT_EQ(s.platform.messages.shown[0], ErrorBox(s.platform.messages.shown[0].text));
    EXPECT_EQ(s.platform.busy.events, kBusyOnce);
}

// `path` is a BMP file of what the canvas shows, and the canvas keeps that as its picture.
void ExpectSavedCanvas(const StartedWindow& s, const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    EXPECT_EQ(reader.format(), "bmp");
    const QImage saved = reader.read().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(std::pair(saved.size(), s.Canvas()->HasPicture()), std::pair(QSize(640, 480), true));
    EXPECT_EQ(saved, s.Canvas()->Image());
    EXPECT_EQ(s.Canvas()->DetachedPicture().convertToFormat(QImage::Format_RGB32), saved);
}

}  // namespace

TEST(PictureLoading, TheDialogsAskForTheirKindOfFileAndACancelChangesNothing) {
    const auto s = Started();
    const QImage before = s->Canvas()->Image();
    const struct { const char* command; std::pair<QString, QString> filter; std::uint32_t flags; } cases[] = {
        {"mnuLoad", {"Graphic Files (*.jpg;*.gif;*.bmp)", "*.jpg;*.gif;*.bmp"}, 4096},
        {"mnuSave", {"Bitmap (*.bmp)", "*.bmp"}, 2052}};
    for (const auto& c : cases) {
        s->platform.files.requests.clear();
        Command(*s, c.command, QString());
        const FileChooserRequest asked{false, std::int32_t(s->window->winId()), {c.filter}, 1, {}, {}, {}, {}, c.flags};
        EXPECT_EQ(s->platform.files.requests, std::vector{asked});
        EXPECT_EQ(std::tuple(s->Doc().LightsCount, s->Action("mnuUndo")->isEnabled(), s->platform.busy.events,
                             s->platform.messages.shown),
                  std::tuple(1, true, Events{}, Boxes{}))
            << c.command;
        EXPECT_EQ(s->Canvas()->Image(), before);
    }
}

TEST(PictureLoading, ThePictureReplacesTheDrawingAtTheSizeTheUserChooses) {
    QTemporaryDir dir;
    using enum MessageAnswer;
    const struct { const char* name; QSize picture; MessageAnswer answer; QSize canvas; } cases[] = {
        {"same.bmp", {640, 480}, Yes, {640, 480}}, {"same.gif", {640, 480}, Yes, {640, 480}},
        {"same.jpg", {640, 480}, Yes, {640, 480}}, {"large.bmp", {800, 600}, Yes, {800, 600}},
        {"large.bmp", {800, 600}, No, {640, 480}}, {"small.bmp", {320, 240}, No, {640, 480}},
        {"small.bmp", {320, 240}, Yes, {320, 240}}, {"turned.jpg", {40, 20}, No, {640, 480}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.answer == Yes ? ", Yes" : ", No"));
        const QImage picture = WritePicture(dir.filePath(c.name), c.picture);
        ASSERT_EQ(picture.size(), c.name[0] == 't' ? c.picture.transposed() : c.picture);
        const auto s = Started();
        Command(*s, "mnuLoad", dir.filePath(c.name), {c.answer});
        EXPECT_EQ(s->platform.messages.shown, c.picture == QSize(640, 480) ? Boxes{} : Boxes{kSizeQuestion});
        EXPECT_EQ(s->platform.busy.events, kBusyOnce);
        // A larger picture is cut off at the right and bottom; beyond a smaller one the canvas is black.
        ExpectDrawing(*s, picture.copy(QRect(QPoint(0, 0), c.canvas)));
    }
}

void SetModified(const QString& path, const QDateTime& time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime));
}

// After Yes to the size question the picture read before the question is used again, unless the file changed after it
// was read: a new time or a new size each mean the file is read again, and the new picture shows.
TEST(PictureLoading, YesReadsThePictureAgainOnlyIfTheFileHasChanged) {
    const QDateTime earlier(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC);
    const struct { const char* change; bool readAgain; } cases[] = {
        {"none", false}, {"same size, new time", true}, {"new size, same time", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        QTemporaryDir dir;
        const QString path = dir.filePath("large.bmp");
        const QImage first = WritePicture(path, {800, 600});
        const QImage second = first.mirrored(true, true);
        SetModified(path, earlier);
        const auto s = Started();
        bool changed = false;
        s->platform.pictures.afterLoad = [&](const QString&) {
            if (std::exchange(changed, true) || c.change == std::string("none")) return;
            ASSERT_TRUE(second.save(path, "bmp"));
            if (c.change == std::string("new size, same time")) {
                QFile file(path);  // a reader stops where the picture ends
                ASSERT_TRUE(file.open(QIODevice::Append) && file.write("more") == 4);
                file.close();
                SetModified(path, earlier);
            }
        };
        Command(*s, "mnuLoad", path, {MessageAnswer::Yes});
        EXPECT_EQ(s->platform.messages.shown, Boxes{kSizeQuestion});
        EXPECT_EQ(s->platform.pictures.loaded, std::vector<QString>(c.readAgain ? 2 : 1, path));
        ExpectDrawing(*s, c.readAgain ? second : first);
    }
}

// What one channel of value c under alpha a shows over black: round(c × a / 255), halves to even, on whole numbers.
int OverBlack(int c, int a) {
    const int whole = c * a / 255, twiceRest = 2 * (c * a % 255);
    return whole + (twiceRest > 255 || (twiceRest == 255 && whole % 2 == 1));
}

TEST(PictureLoading, APictureWithTransparencyShowsAsOverTheBlackCanvas) {
    // Alpha runs 0..255 across; down the rows each channel takes every value (101 is odd, so (101 y) & 255 too):
    // every pair of colour and alpha, those whose product lies nearest halfway between two steps included.
    QImage straight(256, 256, QImage::Format_ARGB32), overBlack(256, 256, QImage::Format_RGB32);
    QImage premultiplied(256, 256, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 256; ++y) {
        const int red = y, green = 255 - y, blue = (y * 101) & 255;
        for (int a = 0; a < 256; ++a) {
            straight.setPixel(a, y, qRgba(red, green, blue, a));
            const QRgb shown = qRgb(OverBlack(red, a), OverBlack(green, a), OverBlack(blue, a));
            overBlack.setPixel(a, y, shown);
            reinterpret_cast<QRgb*>(premultiplied.scanLine(y))[a] = (shown & 0xFFFFFF) | QRgb(a) << 24;
        }
    }
    // A GIF's transparent index shows black whatever colour its table gives it.
    QImage indexed(64, 48, QImage::Format_Indexed8), gifShown(64, 48, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) indexed.setColor(i, qRgb(i, 255 - i, (i * 7) & 255));
    constexpr int kTransparent = 200;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const int index = (x * 3 + y * 5) & 255;
            indexed.setPixel(x, y, uint(index));
            gifShown.setPixel(x, y, index == kTransparent ? qRgb(0, 0, 0) : indexed.color(index));
        }
    QTemporaryDir dir;
    ASSERT_TRUE(straight.save(dir.filePath("alpha.png")));
    ASSERT_TRUE(straight.save(dir.filePath("alpha.webp"), nullptr, 100));  // lossless
    // TIFF stores colours multiplied by alpha already: these, exact, are what shows, even brighter than alpha
    // allows (light that only adds to what lies under it).
    ASSERT_TRUE(premultiplied.save(dir.filePath("alpha.tif")));
    QImage glow(2, 1, QImage::Format_ARGB32_Premultiplied), glowShown(2, 1, QImage::Format_RGB32);
    reinterpret_cast<QRgb*>(glow.scanLine(0))[0] = 0x40C08020;
    reinterpret_cast<QRgb*>(glow.scanLine(0))[1] = 0x00FF0010;
    glowShown.setPixel(0, 0, qRgb(0xC0, 0x80, 0x20));
    glowShown.setPixel(1, 0, qRgb(0xFF, 0x00, 0x10));
    ASSERT_TRUE(glow.save(dir.filePath("glow.tif")));
    WriteBytes(dir.filePath("transparent.gif"), Gif(indexed, kTransparent));
    const std::pair<const char*, QImage> cases[] = {
        {"alpha.png", overBlack}, {"alpha.webp", overBlack}, {"alpha.tif", overBlack}, {"glow.tif", glowShown},
        {"transparent.gif", gifShown}};
    for (const auto& [name, shown] : cases) {
        SCOPED_TRACE(name);
        const auto s = Started();
        Command(*s, "mnuLoad", dir.filePath(name), {MessageAnswer::No});
        EXPECT_EQ(s->platform.messages.shown, Boxes{kSizeQuestion});
        ExpectDrawing(*s, shown.copy(0, 0, 640, 480));
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
        ExpectDrawing(*s, FilledImage({640, 480}, qRgb(0, 0, 0)));
    }
}

TEST(PictureLoading, APictureBeyondQtsDefaultAllocationLimitLoads) {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.png");
    QImage huge(6000, 6000, QImage::Format_Indexed8);
    huge.setColorTable({qRgb(20, 180, 90)});
    huge.fill(0);
    ASSERT_TRUE(huge.save(path));
    QImageReader::setAllocationLimit(128);  // Qt's default: it refuses this picture
    ASSERT_TRUE(QImageReader(path).read().isNull());
    const auto s = Started(false);
    Command(*s, "mnuLoad", path, {MessageAnswer::No});
    EXPECT_EQ(s->platform.messages.shown, Boxes{kSizeQuestion});
    ExpectDrawing(*s, FilledImage({640, 480}, qRgb(20, 180, 90)));
}

TEST(PictureSaving, TheNameEndsInBmpAndAnExistingFileIsReplacedOnlyAfterYes) {
    const std::pair<const char*, const char*> cases[] = {
        {"out", "out.bmp"}, {"out.BMP", "out.BMP.bmp"}, {"a", "a.bmp"}, {"pic.bmp", "pic.bmp"}};
    const auto s = Started();
    for (const auto& [typedName, savedName] : cases) {
        SCOPED_TRACE(typedName);
        QTemporaryDir dir;
        const QString typed = dir.filePath(typedName), saved = dir.filePath(savedName);
        Command(*s, "mnuSave", typed);
        EXPECT_EQ(std::pair(s->platform.messages.shown, s->platform.busy.events), std::pair(Boxes{}, kBusyOnce));
        EXPECT_EQ(Entries(dir), QStringList{savedName});
        ExpectSavedCanvas(*s, saved);

        WriteBytes(saved, "old contents");
        Command(*s, "mnuSave", typed, {MessageAnswer::No});
        EXPECT_EQ(std::pair(s->platform.messages.shown, s->platform.busy.events),
                  std::pair(Boxes{kOverwrite, kNotSaved}, kBusyOnce));
        EXPECT_EQ(ReadBytes(saved), "old contents");
        Command(*s, "mnuSave", typed, {MessageAnswer::Yes});
        EXPECT_EQ(s->platform.messages.shown, Boxes{kOverwrite});
        EXPECT_EQ(Entries(dir), QStringList{savedName});
        ExpectSavedCanvas(*s, saved);
    }
}

// Nothing hides a file here but its leading dot, which only keeps it out of plain listings: replacing it needs a
// Yes like any other file, and so does a link to one.
TEST(PictureSaving, ADotFileOrALinkToAFileIsReplacedOnlyAfterYes) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(".hidden.bmp"), "old contents");
    WriteBytes(dir.filePath("target.bmp"), "old contents");
    ASSERT_TRUE(QFile::link(dir.filePath("target.bmp"), dir.filePath("link.bmp")));
    const auto s = Started();
    for (const char* name : {".hidden.bmp", "link.bmp"}) {
        SCOPED_TRACE(name);
        Command(*s, "mnuSave", dir.filePath(name), {MessageAnswer::No});
        EXPECT_EQ(std::pair(s->platform.messages.shown, s->platform.busy.events),
                  std::pair(Boxes{kOverwrite, kNotSaved}, kBusyOnce));
        EXPECT_EQ(ReadBytes(dir.filePath(name)), "old contents");
        Command(*s, "mnuSave", dir.filePath(name), {MessageAnswer::Yes});
        EXPECT_EQ(s->platform.messages.shown, Boxes{kOverwrite});
        ExpectSavedCanvas(*s, dir.filePath(name));
    }
    EXPECT_EQ(Entries(dir), QStringList({".hidden.bmp", "link.bmp", "target.bmp"}));
    EXPECT_EQ(QFileInfo(dir.filePath("link.bmp")).symLinkTarget(), dir.filePath("target.bmp"));
}

TEST(PictureSaving, ANameThatCannotBeAFileGivesOneErrorBoxAndWritesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp") && QDir(dir.path()).mkdir("locked"));
    WriteBytes(dir.filePath("plain"), "a file, not a folder");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    const bool locked = !QFileInfo(dir.filePath("locked")).isWritable();
    for (const char* typed : {"folder.bmp", "plain/out", "locked/out"}) {
        if (typed[0] == 'l' && !locked) {  // the other cases have run; this one cannot
            std::printf("%s left out: this user may write into any folder\n", typed);
            continue;
        }
        SCOPED_TRACE(typed);
        const auto s = Started();
        Command(*s, "mnuSave", dir.filePath(typed));
        ExpectOneErrorBox(*s);
        EXPECT_EQ(Entries(dir), QStringList({"folder.bmp", "locked", "plain"}));
        EXPECT_TRUE(QDir(dir.filePath("folder.bmp")).isEmpty() && QDir(dir.filePath("locked")).isEmpty());
    }
}

TEST(PictureSaving, TheFileHoldsTheSameBytesAsQtsOwnBmpWriter) {
    // Widths cover every row padding and every leftover after groups of four pixels; the
    // tall picture spans several of the writer's blocks.
    const QSize sizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 7}, {6, 2}, {7, 5}, {9, 4}, {13, 1}, {1001, 1500}};
    QTemporaryDir dir;
    QtPictureFiles files;
    QRandomGenerator random(7);
    for (const QSize size : sizes) {
        SCOPED_TRACE(size.width());
        QImage picture(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < size.width(); ++x) row[x] = random.generate();  // the fourth byte too
        }
        picture.setDotsPerMeterX(random.bounded(1, 20000));
        picture.setDotsPerMeterY(random.bounded(1, 20000));
        const QString ours = dir.filePath("ours.bmp"), qts = dir.filePath("qt.bmp");
        files.SaveBmp(picture, ours);
        ASSERT_TRUE(picture.save(qts, "bmp"));
        const QByteArray expected = ReadBytes(qts);
        ASSERT_EQ(ReadBytes(ours).size(), expected.size());
        EXPECT_TRUE(ReadBytes(ours) == expected);
    }
}
