#include "core/common/PeakMemory.h"
#include "core/files/QtPictureFiles.h"
#include "windows/picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
TEST(HugePictures, APictureClaimingAHugeSizeIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    // A BMP and a PNG of one pixel whose headers claim 100000 x 100000 and 60000 x 60000 pixels.
    QImage tiny(1, 1, QImage::Format_RGB32);
    tiny.fill(Qt::black);
    QByteArray png, bmp;
    for (auto& [bytes, format] : {std::pair<QByteArray&, const char*>{png, "PNG"}, {bmp, "BMP"}}) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        tiny.save(&buffer, format);
    }
    // A PNG of that pixel whose text chunk after the pixels claims almost 2 GB, in a file of
    // a few hundred bytes (the last 12 bytes are the end chunk).
    QByteArray chunky = png;
    chunky.insert(chunky.size() - 12, QByteArray("\x72\x79\x74\x65tEXtComment", 15));
    png = ClaimingHugeSize(png);
    bmp = ClaimingHugeSize(bmp);
    // A GIF of many frames on a 65535 x 65535 screen.
    QByteArray gif("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13);
    for (int frame = 0; frame < 2000; ++frame) gif.append("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    gif.append('\x3B');

    QtPictureFiles files;
    const std::int64_t peakBefore = PeakMemoryKiB();
    for (const auto& [name, bytes] : {std::pair{"huge.bmp", bmp}, std::pair{"huge.png", png}, std::pair{"huge.gif", gif},
                                      std::pair{"chunk.png", chunky}}) {
        WriteBytes(dir.filePath(name), bytes);
        try {
            files.Load(dir.filePath(name));
            ADD_FAILURE() << name << " was not refused";
        } catch (const Failure& failure) {
            if (QByteArray(name) == "huge.png") {
                EXPECT_TRUE(failure.Description().contains("too large"));
            }
            if (QByteArray(name) == "chunk.png") {
                EXPECT_EQ(failure.Description(), "The picture \"chunk.png\" is damaged or incomplete.");
            }
        }
    }
    // Refused from the header alone: nothing near the claimed size was ever allocated.
    EXPECT_LT(PeakMemoryKiB() - peakBefore, 64 * 1024);
}

namespace {

// A GIF of red and blue pixels, two colours and so the narrowest codes there are.
QByteArray SmallGif(int width, int height) {
    QImage indexed(width, height, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) indexed.setPixel(x, y, uint((x + y) & 1));
    return Gif(indexed);
}

QByteArray Encoded(const char* format) {
    if (QByteArray(format) == "gif") return SmallGif(640, 480);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    DistinctPicture(640, 480).save(&buffer, format);
    return bytes;
}

}  // namespace

// Each file cut short or damaged where its format would notice gives one "Error" box, in our own words
// where the file's end or a size is wrong and in the decoder's where its contents are, and leaves the
// drawing cleared: no lights, no undo, a black canvas.
TEST(DamagedPictures, EachCutOrDamagedFileGivesExactlyOneErrorBox) {
    QTemporaryDir dir;
    const auto cut = [](QByteArray b, qsizetype keep) { return b.left(keep); };
    const auto spoil = [](QByteArray b, qsizetype at) { b[at] = char(~b[at]); return b; };
    const QString damaged = "The picture \"%1\" is damaged or incomplete.";
    const QString undecodable = "Cannot open the picture \"%1\": Unable to read image data.";
    std::map<QByteArray, QByteArray> whole;
    for (const char* format : {"gif", "png", "bmp", "webp"}) {
        whole[format] = Encoded(format);
        ASSERT_EQ(QImage::fromData(whole[format], format).size(), QSize(640, 480)) << format;
    }
    const auto half = [&](const char* f) { return cut(whole[f], whole[f].size() / 2); };
    const auto last = [&](const char* f) { return cut(whole[f], whole[f].size() - 1); };
    const auto middle = [&](const char* f) { return spoil(whole[f], whole[f].size() / 2); };
    const struct { const char* name; QByteArray bytes; QString text; } cases[] = {
        {"half.gif", half("gif"), damaged}, {"trailer.gif", last("gif"), damaged},
        {"codesize.gif", spoil(whole["gif"], 29), undecodable},
        {"half.png", half("png"), damaged}, {"end.png", last("png"), damaged},
        {"chunktype.png", spoil(whole["png"], 12), undecodable}, {"checksum.png", middle("png"), undecodable},
        {"half.bmp", half("bmp"), damaged}, {"last.bmp", last("bmp"), damaged},
        {"offset.bmp", spoil(whole["bmp"], 10), damaged}, {"depth.bmp", spoil(whole["bmp"], 28), undecodable},
        {"half.webp", half("webp"), undecodable}, {"last.webp", last("webp"), undecodable},
        {"chunk.webp", spoil(whole["webp"], 12), undecodable}, {"middle.webp", middle("webp"), undecodable}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(dir.filePath(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        file.close();
        Running s;
        ClickWith(s.Canvas(), {10, 10});
        s.platform.messages.shown.clear();
        s.platform.busy.events.clear();
        s.platform.files.answers.push_back({true, file.fileName(), 1});
        s.Action("mnuLoad")->trigger();
        EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, s.Doc().LightsCount,
                             s.Action("mnuUndo")->isEnabled()),
                  std::tuple(Boxes{ErrorBox(c.text.arg(c.name))}, kBusyOnce, 0, false));
        EXPECT_EQ(s.Canvas()->Image(), FilledImage({640, 480}, Qt::black));
        EXPECT_TRUE(std::ranges::all_of(Values(s.Doc().LightBuffer()), [](float v) { return v == 0.0f; }));
    }
}
