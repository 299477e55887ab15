#include "core/common/PeakMemory.h"
#include "core/files/QtPictureFiles.h"
#include "core/options/ExposureSetting.h"
#include "support/TestSupport.h"

#include <map>

namespace {

const MessageRequest kSizeQuestion{
    "The size of the selected picture is different from the current size.\r\n\r\n"
    "Do you want to adjust the current size to the size of the picture?",
    "Change Current Picture Size?", MessageIcon::Question, MessageButtons::YesNo};
const MessageRequest kNotSaved{"The picture was NOT saved.", "Operation Aborted", MessageIcon::Information,
                               MessageButtons::Ok};

QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray Encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

// 256 colours, each pixel's index worked out from its place.
QImage IndexedPicture(QSize size) {
    QImage picture(size, QImage::Format_Indexed8);
    for (int i = 0; i < 256; ++i) picture.setColor(i, qRgb(i, 255 - i, (i * 7) & 255));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) picture.setPixel(x, y, uint(x * 3 + y * 5) & 255);
    return picture;
}

// The JPEG with the EXIF orientation 6 (a quarter turn clockwise to show), which Qt never writes.
QByteArray Turned(QByteArray jpeg) {
    return jpeg.insert(2, QByteArray::fromHex("ffe10022457869660000"  // APP1, "Exif"
                                              "4d4d002a00000008000101120003000000010006000000000000"));
}

// Writes a picture in the format its name ends in and returns what the file holds: a JPEG only approximates it, and
// one named "turned" is Turned(). Up to 1024 x 1024, every pixel of a BMP or JPEG has a colour of its own.
QImage WritePicture(const QString& path, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) * 64 + (y >> 8) * 16 + (x & 15)));
    if (path.endsWith(".gif")) WriteBytes(path, Gif(picture = IndexedPicture(size)));
    else EXPECT_TRUE(picture.save(path));
    if (path.endsWith("turned.jpg")) WriteBytes(path, Turned(ReadBytes(path)));
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return (path.endsWith(".jpg") ? reader.read() : picture).convertToFormat(QImage::Format_RGB32);
}

// Gives the file a modification time long past, as another program touching it would change its stamp.
void SetModifiedInThePast(const QString& path) {
    QFile file(path);
    const QDateTime earlier(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(earlier, QFileDevice::FileModificationTime));
}

// A started window with one orange light on the canvas, which a load must clear.
struct WithALight : Running {
    WithALight() {
        Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 120, 0));
        ClickWith(Canvas(), {100, 100});
        EXPECT_EQ(Doc().LightsCount, 1);
    }
};

// `path` is a BMP file of what the canvas shows, and the canvas keeps that as its picture.
void ExpectSavedCanvas(const StartedWindow& s, const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    const QImage saved = reader.read().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(std::tuple(format, saved.size(), saved == s.Canvas()->Image(), s.Canvas()->HasPicture(),
                         s.Canvas()->DetachedPicture().convertToFormat(QImage::Format_RGB32) == saved),
              std::tuple("bmp", QSize(640, 480), true, true, true));
}

}  // namespace

TEST(PictureLoading, ThePictureReplacesTheDrawingAtTheSizeTheUserChooses) {
    QTemporaryDir dir;
    using enum MessageAnswer;
    const struct { const char* name; QSize picture; MessageAnswer answer; QSize canvas; } cases[] = {
        {"same.bmp", {640, 480}, Yes, {640, 480}}, {"same.gif", {640, 480}, Yes, {640, 480}},
        {"same.jpg", {640, 480}, Yes, {640, 480}}, {"large.bmp", {800, 600}, Yes, {800, 600}},
        {"wide.bmp", {800, 480}, No, {640, 480}}, {"small.bmp", {320, 240}, No, {640, 480}},
        {"small.bmp", {320, 240}, Yes, {320, 240}}, {"turned.jpg", {40, 20}, No, {640, 480}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.answer == Yes ? ", Yes" : ", No"));
        const QImage picture = WritePicture(dir.filePath(c.name), c.picture);
        ASSERT_EQ(picture.size(), c.name[0] == 't' ? c.picture.transposed() : c.picture);
        WithALight s;
        s.Run("mnuLoad", dir.filePath(c.name), {c.answer});
        EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events),
                  std::pair(c.picture == QSize(640, 480) ? Boxes{} : Boxes{kSizeQuestion}, kBusyOnce));
        // A larger picture is cut off at the right and bottom; beyond a smaller one the canvas is black.
        ExpectDrawing(s, picture.copy(QRect(QPoint(0, 0), c.canvas)));
    }
}

// After Yes to the size question the picture read before the question is used again, unless the file changed after it
// was read: a new time or a new size each mean the file is read again, and the new picture shows.
TEST(PictureLoading, YesReadsThePictureAgainOnlyIfTheFileHasChanged) {
    for (const std::string change : {"none", "same size, new time", "new size, same time"}) {
        SCOPED_TRACE(change);
        QTemporaryDir dir;
        const QString path = dir.filePath("large.bmp");
        const QImage first = WritePicture(path, {800, 600}), second = first.mirrored(true, true);
        SetModifiedInThePast(path);
        WithALight s;
        s.platform.pictures.afterLoad = [&, changed = false](const QString&) mutable {
            if (std::exchange(changed, true) || change == "none") return;
            ASSERT_TRUE(second.save(path, "bmp"));
            if (change == "same size, new time") return;
            WriteBytes(path, ReadBytes(path) + "more");  // a reader stops where the picture ends
            SetModifiedInThePast(path);
        };
        s.Run("mnuLoad", path, {MessageAnswer::Yes});
        EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.pictures.loaded),
                  std::pair(Boxes{kSizeQuestion}, std::vector<QString>(change == "none" ? 1 : 2, path)));
        ExpectDrawing(s, change == "none" ? first : second);
    }
}

// A larger picture's drawing is made while it decodes and taken whole after Yes; that drawing is exactly the one the
// steps after the answer make from the picture, which a file touched meanwhile still goes through. A click with
// automatic exposure on afterwards shows the light buffer, its rows' greatest values and the undo copy alike.
TEST(PictureLoading, TheDrawingMadeWhileThePictureDecodesIsTheOneMadeAfterTheAnswer) {
    struct State {
        QImage canvas;
        QByteArray shown;
        std::vector<std::int32_t> record;
        std::vector<float> light, undo;
        std::size_t reads;
        bool decodedPixelsShown;
        bool operator==(const State&) const = default;
    };
    const auto loadAndClick = [](const QString& path, bool touched) {
        WithALight s;
        WriteAutoAdjustExposure(s.platform.settings, "1");
        s.platform.pictures.keepLastPicture = true;
        s.platform.pictures.afterLoad = [&, done = false](const QString&) mutable {
            if (!touched || std::exchange(done, true)) return;
            SetModifiedInThePast(path);
        };
        s.Run("mnuLoad", path, {MessageAnswer::Yes});
        const bool decodedPixelsShown = s.Canvas()->Image().constBits() == s.platform.pictures.lastPicture.constBits();
        ClickWith(s.Canvas(), {150, 60});
        const DrawingDocument& doc = s.Doc();
        const PicBitmapRecord& r = doc.GMPic1.Description();
        return State{s.Canvas()->Image(),
                     QByteArray(reinterpret_cast<const char*>(doc.GMPic1.Bytes().data()), qsizetype(doc.GMPic1.Bytes().size())),
                     {r.bmType, r.bmWidth, r.bmHeight, r.bmWidthBytes, r.bmPlanes, r.bmBitsPixel, doc.LightsCount},
                     Values(doc.LightBuffer()),
                     Values(doc.UndoBuffer()),
                     s.platform.pictures.loaded.size(),
                     decodedPixelsShown};
    };
    QTemporaryDir dir;
    for (const char* name : {"photo.jpg", "photo.png"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(name);
        WritePicture(path, {300, 200});
        State ahead = loadAndClick(path, false), after = loadAndClick(path, true);
        // Made ahead, the canvas shows the decoded picture itself; after the answer, a copy.
        EXPECT_EQ(std::tuple(ahead.reads, after.reads, ahead.decodedPixelsShown, after.decodedPixelsShown),
                  std::tuple(std::size_t(1), std::size_t(2), true, false));
        EXPECT_EQ(ahead.canvas.size(), QSize(300, 200));
        ahead.reads = after.reads;
        ahead.decodedPixelsShown = after.decodedPixelsShown;
        EXPECT_TRUE(ahead == after);
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
    // TIFF stores colours multiplied by alpha already: these, exact, are what shows, even brighter than alpha
    // allows (light that only adds to what lies under it).
    QImage straight(256, 256, QImage::Format_ARGB32), overBlack(256, 256, QImage::Format_RGB32);
    QImage premultiplied(256, 256, QImage::Format_ARGB32_Premultiplied), glow = premultiplied.copy(0, 0, 2, 1);
    for (int y = 0; y < 256; ++y)
        for (int a = 0; a < 256; ++a) {
            const int red = y, green = 255 - y, blue = (y * 101) & 255;
            straight.setPixel(a, y, qRgba(red, green, blue, a));
            overBlack.setPixel(a, y, qRgb(OverBlack(red, a), OverBlack(green, a), OverBlack(blue, a)));
            reinterpret_cast<QRgb*>(premultiplied.scanLine(y))[a] = (overBlack.pixel(a, y) & 0xFFFFFF) | QRgb(a) << 24;
        }
    reinterpret_cast<QRgb*>(glow.scanLine(0))[0] = 0x40C08020;
    reinterpret_cast<QRgb*>(glow.scanLine(0))[1] = 0x00FF0010;
    QImage glowShown = glow;  // its colours as stored, their alpha dropped
    glowShown.reinterpretAsFormat(QImage::Format_RGB32);
    // A GIF's transparent index shows black whatever colour its table gives it.
    const QImage indexed = IndexedPicture({64, 48});
    QImage gifShown = indexed.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (indexed.pixelIndex(x, y) == 200) gifShown.setPixel(x, y, 0);
    QTemporaryDir dir;
    ASSERT_TRUE(straight.save(dir.filePath("alpha.png")) && straight.save(dir.filePath("alpha.webp"), nullptr, 100) &&
                premultiplied.save(dir.filePath("alpha.tif")) && glow.save(dir.filePath("glow.tif")));
    WriteBytes(dir.filePath("transparent.gif"), Gif(indexed, 200));
    const std::pair<const char*, QImage> cases[] = {
        {"alpha.png", overBlack}, {"alpha.webp", overBlack}, {"alpha.tif", overBlack}, {"glow.tif", glowShown},
        {"transparent.gif", gifShown}};
    for (const auto& [name, shown] : cases) {
        SCOPED_TRACE(name);
        WithALight s;
        s.Run("mnuLoad", dir.filePath(name), {MessageAnswer::No});
        EXPECT_EQ(s.platform.messages.shown, Boxes{kSizeQuestion});
        ExpectDrawing(s, shown.copy(0, 0, 640, 480));
    }
}

// A picture copied in another program replaces the drawing as a loaded one does, over black where it is transparent;
// a clipboard without a picture changes nothing.
TEST(PictureLoading, APastedPictureBecomesTheDrawingAsALoadedOneWould) {
    WithALight s;
    QGuiApplication::clipboard()->setText("no picture");
    s.Action("PastePicture")->trigger();
    EXPECT_EQ(std::pair(s.Doc().LightsCount, s.platform.messages.shown), std::pair(1, Boxes{}));
    QImage pasted(800, 600, QImage::Format_ARGB32), shown(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            pasted.setPixel(x, y, qRgba(x & 255, y & 255, 200, (x + y) & 255));
            shown.setPixel(x, y, qRgb(OverBlack(x & 255, (x + y) & 255), OverBlack(y & 255, (x + y) & 255),
                                      OverBlack(200, (x + y) & 255)));
        }
    for (const auto& [answer, drawing] : {std::pair(MessageAnswer::No, shown.copy(0, 0, 640, 480)),
                                          std::pair(MessageAnswer::Yes, shown)}) {
        QGuiApplication::clipboard()->setImage(pasted);
        ClickWith(s.Canvas(), {10, 10});
        s.platform.messages.answers = {answer};
        s.platform.busy.events.clear();
        s.Action("PastePicture")->trigger();
        EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events),
                  std::pair(Boxes{kSizeQuestion}, kBusyOnce));
        ExpectDrawing(s, drawing);
        s.platform.messages.shown.clear();
    }
}

// The size a file gives before it is decoded (which readies the memory for a drawing of that size) is the size the
// decode gives, upright; a file that cannot say gives none.
TEST(PictureFiles, TheSizeBeforeDecodingIsTheSizeOfTheDecodedPicture) {
    QTemporaryDir dir;
    QtPictureFiles files;
    for (const char* name : {"a.bmp", "a.png", "a.gif", "a.jpg", "turned.jpg"}) {
        SCOPED_TRACE(name);
        WritePicture(dir.filePath(name), {40, 20});
        EXPECT_EQ(files.PictureSizeOf(dir.filePath(name)), files.Load(dir.filePath(name)).size());
    }
    WriteBytes(dir.filePath("cut.png"), ReadBytes(dir.filePath("a.png")).left(20));
    for (const char* name : {"missing.png", "cut.png"}) EXPECT_TRUE(files.PictureSizeOf(dir.filePath(name)).isEmpty());
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
    Running s;
    s.Run("mnuLoad", path, {MessageAnswer::No});
    EXPECT_EQ(s.platform.messages.shown, Boxes{kSizeQuestion});
    ExpectDrawing(s, FilledImage({640, 480}, qRgb(20, 180, 90)));
}

// Headers claiming a huge size, a PNG of a few hundred bytes whose text chunk claims almost 2 GB, and a GIF of many
// frames on a 65535 x 65535 screen: each is refused from what it claims, and nothing near that size is allocated.
TEST(HugePictures, APictureClaimingAHugeSizeIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    const QImage tiny = FilledImage({1, 1}, Qt::black);
    QByteArray chunky = Encoded(tiny, "png"), gif("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13);
    chunky.insert(chunky.size() - 12, QByteArray("\x72\x79\x74\x65tEXtComment", 15));  // before the end chunk
    for (int frame = 0; frame < 2000; ++frame) gif += QByteArray("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 15);
    const QString undecodable = "Cannot open the picture \"%1\": Unable to read image data.";
    const struct { const char* name; QByteArray bytes; QString text; } cases[] = {
        {"huge.bmp", ClaimingHugeSize(Encoded(tiny, "bmp")), undecodable}, {"huge.gif", gif + ';', undecodable},
        {"huge.png", ClaimingHugeSize(Encoded(tiny, "png")),
         "The picture \"%1\" is too large to open: 60000 x 60000 pixels."},
        {"chunk.png", chunky, "The picture \"%1\" is damaged or incomplete."}};
    const std::int64_t peakBefore = PeakMemoryKiB();
    for (const auto& c : cases) {
        WriteBytes(dir.filePath(c.name), c.bytes);
        EXPECT_EQ(FailureOf([&] { QtPictureFiles().Load(dir.filePath(c.name)); }), std::pair(75, c.text.arg(c.name)));
    }
    // Through the window too, where a picture of another size has its drawing begun while it decodes: none is begun
    // for one far beyond the memory (the sanitizers' allocator stops the program at such a request).
    Running s;
    s.Run("mnuLoad", dir.filePath("huge.png"));
    EXPECT_EQ(s.platform.messages.shown, Boxes{ErrorBox(cases[2].text.arg("huge.png"))});
    EXPECT_LT(PeakMemoryKiB() - peakBefore, 64 * 1024);
    // The limit itself is the largest picture allowed, at four bytes a pixel (and no less than Qt's readers, which
    // the other tests use, need for theirs).
    constexpr std::int64_t kLimit = 2048 * 1024 * 4;
    WriteBytes(dir.filePath("a.bmp"), Encoded(FilledImage({2048, 1024}, Qt::red), "bmp"));
    WriteBytes(dir.filePath("b.bmp"), Encoded(FilledImage({2048, 1025}, Qt::red), "bmp"));
    EXPECT_EQ(QtPictureFiles(kLimit).Load(dir.filePath("a.bmp")).size(), QSize(2048, 1024));
    EXPECT_EQ(FailureOf([&] { QtPictureFiles(kLimit).Load(dir.filePath("b.bmp")); }),
              std::pair(75, QString("The picture \"b.bmp\" is too large to open: 2048 x 1025 pixels.")));
}

// Each file cut short or damaged where its format would notice gives one "Error" box, in our own words where the
// file's end or a size is wrong and in the decoder's where its contents are, and leaves the drawing cleared.
TEST(DamagedPictures, EachCutOrDamagedFileGivesExactlyOneErrorBox) {
    std::map<QByteArray, QByteArray> whole{{"gif", Gif(IndexedPicture({640, 480}))}};
    for (const char* format : {"png", "bmp", "webp", "jpg"}) whole[format] = Encoded(DistinctPicture(640, 480), format);
    for (const auto& [format, bytes] : whole) ASSERT_EQ(QImage::fromData(bytes).width(), 640) << format.data();
    const auto half = [&](const char* f) { return whole[f].left(whole[f].size() / 2); };
    const auto last = [&](const char* f) { return whole[f].chopped(1); };
    const auto spoil = [&](const char* f, qsizetype at) { QByteArray b = whole[f]; b[at] = char(~b[at]); return b; };
    const auto middle = [&](const char* f) { return spoil(f, whole[f].size() / 2); };
    const QString damaged = "The picture \"%1\" is damaged or incomplete.";
    const QString undecodable = "Cannot open the picture \"%1\": Unable to read image data.";
    const struct { const char* name; QByteArray bytes; QString text; } cases[] = {
        {"half.gif", half("gif"), damaged}, {"trailer.gif", last("gif"), damaged},
        {"codesize.gif", spoil("gif", 13 + 256 * 3 + 10), undecodable},  // after the colours and the image's place
        {"half.png", half("png"), damaged}, {"end.png", last("png"), damaged},
        {"chunktype.png", spoil("png", 12), undecodable}, {"checksum.png", middle("png"), undecodable},
        {"half.bmp", half("bmp"), damaged}, {"last.bmp", last("bmp"), damaged},
        {"offset.bmp", spoil("bmp", 10), damaged}, {"depth.bmp", spoil("bmp", 28), undecodable},
        {"half.webp", half("webp"), undecodable}, {"last.webp", last("webp"), undecodable},
        {"chunk.webp", spoil("webp", 12), undecodable}, {"middle.webp", middle("webp"), undecodable},
        {"half.jpg", half("jpg"), damaged},
        {"turned.jpg", Turned(half("jpg")), damaged}};  // decoded whole, not row by row, to be turned
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.filePath(c.name), c.bytes);
        WithALight s;
        s.Run("mnuLoad", dir.filePath(c.name));
        EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events),
                  std::pair(Boxes{ErrorBox(c.text.arg(c.name))}, kBusyOnce));
        ExpectDrawing(s, FilledImage({640, 480}, Qt::black));
    }
}

// A single local file dropped on the window opens like one chosen with "Load...": a picture, or the error box and a
// cleared drawing for a file that is none. Two files are not taken.
TEST(DropToOpen, ASinglePictureDroppedOnTheWindowOpensLikeLoad) {
    QTemporaryDir dir;
    const QString big = dir.filePath("big.bmp"), notes = dir.filePath("notes.jpg");
    ASSERT_TRUE(FilledImage({800, 600}, Qt::red).save(big));
    WriteBytes(notes, "not a picture");
    WithALight s;
    const auto dropFiles = [&](const QStringList& paths) {  // when the window takes them in the drag
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        return QApplication::sendEvent(s.window.get(), &enter) && enter.isAccepted() &&
               QApplication::sendEvent(s.window.get(), &drop);
    };
    EXPECT_FALSE(dropFiles({big, notes}));
    s.platform.messages.answers = {MessageAnswer::Yes};
    s.platform.busy.events.clear();
    ASSERT_TRUE(dropFiles({big}));
    EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events), std::pair(Boxes{kSizeQuestion}, kBusyOnce));
    ExpectDrawing(s, FilledImage({800, 600}, Qt::red));
    ClickWith(s.Canvas(), {10, 10});
    s.platform.messages.shown.clear();
    ASSERT_TRUE(dropFiles({notes}));
    EXPECT_EQ(s.platform.messages.shown,
              Boxes{ErrorBox("Cannot open the picture \"notes.jpg\": Unsupported image format.")});
    ExpectDrawing(s, FilledImage({800, 600}, Qt::black));
}

// A picture named at start waits for the About window to close, then opens like one chosen with "Load...".
TEST(PictureLoading, APictureNamedAtStartOpensOnceTheAboutWindowIsClosed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("start.bmp");
    ASSERT_TRUE(FilledImage({800, 600}, Qt::red).save(path));
    StartedWindow s;
    s.StartKeepingAbout();
    s.platform.messages.answers = {MessageAnswer::Yes};
    s.window->LoadPictureAtStart(path);
    QApplication::processEvents();
    EXPECT_EQ(s.platform.pictures.loaded, std::vector<QString>{});
    VisibleTopLevel("frmAbout")->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, s.platform.pictures.loaded),
              std::tuple(Boxes{kSizeQuestion}, kBusyOnce, std::vector{path}));
    ExpectDrawing(s, FilledImage({800, 600}, Qt::red));
    s.platform.messages.shown.clear();
    s.window->LoadPictureAtStart(dir.filePath("gone.jpg"));  // no About window open now: at once
    EXPECT_EQ(s.platform.messages.shown,
              Boxes{ErrorBox("Cannot open \"" + dir.filePath("gone.jpg") + "\": No such file or directory.")});
}

// Nothing hides a file here but its leading dot, which only keeps it out of plain listings: replacing it needs
// a Yes like any other file. A link to a file needs one too, and the file it leads to takes the picture.
TEST(PictureSaving, TheNameEndsInBmpAndAnExistingFileIsReplacedOnlyAfterYes) {
    const std::pair<const char*, const char*> cases[] = {
        {"out", "out.bmp"}, {"out.BMP", "out.BMP.bmp"}, {"a", "a.bmp"}, {"pic.bmp", "pic.bmp"}, {".dot", ".dot.bmp"}};
    WithALight s;
    const auto expectReplacedOnlyAfterYes = [&](const QString& typed, const QString& saved) {
        WriteBytes(saved, "old contents");
        s.Run("mnuSave", typed, {MessageAnswer::No});
        EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, ReadBytes(saved)),
                  std::tuple(Boxes{kOverwrite, kNotSaved}, kBusyOnce, QByteArray("old contents")));
        s.Run("mnuSave", typed, {MessageAnswer::Yes});
        EXPECT_EQ(s.platform.messages.shown, Boxes{kOverwrite});
        ExpectSavedCanvas(s, saved);
    };
    for (const auto& [typedName, savedName] : cases) {
        SCOPED_TRACE(typedName);
        QTemporaryDir dir;
        s.Run("mnuSave", dir.filePath(typedName));
        EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, Entries(dir)),
                  std::tuple(Boxes{}, kBusyOnce, QStringList{savedName}));
        ExpectSavedCanvas(s, dir.filePath(savedName));
        expectReplacedOnlyAfterYes(dir.filePath(typedName), dir.filePath(savedName));
        EXPECT_EQ(Entries(dir), QStringList{savedName});
    }
    QTemporaryDir dir;
    WriteBytes(dir.filePath("target.bmp"), "");
    ASSERT_TRUE(QFile::link(dir.filePath("target.bmp"), dir.filePath("link.bmp")));
    expectReplacedOnlyAfterYes(dir.filePath("link.bmp"), dir.filePath("link.bmp"));
    EXPECT_EQ(std::pair(Entries(dir), QFileInfo(dir.filePath("link.bmp")).symLinkTarget()),
              std::pair(QStringList({"link.bmp", "target.bmp"}), dir.filePath("target.bmp")));
}

TEST(PictureSaving, TheFileHoldsTheSameBytesAsQtsOwnBmpWriter) {
    // Widths cover every row padding and every leftover after groups of four pixels; the
    // tall picture spans several of the writer's blocks.
    const QSize sizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 7}, {6, 2}, {7, 5}, {9, 4}, {13, 1}, {1001, 1500}};
    QTemporaryDir dir;
    QRandomGenerator random(7);
    for (const QSize size : sizes) {
        SCOPED_TRACE(size.width());
        QImage picture(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)  // the fourth byte too
            random.fillRange(reinterpret_cast<quint32*>(picture.scanLine(y)), size.width());
        picture.setDotsPerMeterX(random.bounded(1, 20000));
        picture.setDotsPerMeterY(random.bounded(1, 20000));
        QtPictureFiles().SaveBmp(picture, dir.filePath("ours.bmp"));
        ASSERT_TRUE(picture.save(dir.filePath("qt.bmp"), "bmp"));
        EXPECT_TRUE(ReadBytes(dir.filePath("ours.bmp")) == ReadBytes(dir.filePath("qt.bmp")));
    }
}
