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

TEST(HugePictures, APictureClaimingAHugeSizeIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    // A BMP header for 100000 x 100000 pixels of 32 bits, and no pixels at all.
    QByteArray bmp(54, '\0');
    const auto put = [&](int at, quint32 value) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = char((value >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, 54);
    put(10, 54);
    put(14, 40);
    put(18, 100000);
    put(22, 100000);
    bmp[26] = 1;
    bmp[28] = 32;
    // A PNG whose header promises 60000 x 60000 pixels.
    QImage tiny(1, 1, QImage::Format_RGB32);
    tiny.fill(Qt::black);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        tiny.save(&buffer, "PNG");
    }
    // A PNG of that pixel whose text chunk after the pixels claims almost 2 GB, in a file of
    // a few hundred bytes (the last 12 bytes are the end chunk).
    QByteArray chunky = png;
    chunky.insert(chunky.size() - 12, QByteArray("\x72\x79\x74\x65tEXtComment", 15));
    for (const int at : {16, 20}) {
        png[at] = 0;
        png[at + 1] = 0;
        png[at + 2] = char(0xEA);
        png[at + 3] = char(0x60);
    }
    // The header's checksum covers its type and fields, bytes 12 to 28.
    quint32 crc = 0xFFFFFFFF;
    for (int i = 12; i < 29; ++i) {
        crc ^= quint8(png[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i) png[29 + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    // A GIF of many frames on a 65535 x 65535 screen.
    QByteArray gif("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13);
    for (int frame = 0; frame < 2000; ++frame) gif.append("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    gif.append('\x3B');

    QtPictureFiles files;
    const std::int64_t peakBefore = PeakMemoryKiB();
    for (const auto& [name, bytes] : {std::pair{"huge.bmp", bmp}, std::pair{"huge.png", png}, std::pair{"huge.gif", gif},
                                      std::pair{"chunk.png", chunky}}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        try {
            files.Load(file.fileName());
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

TEST(HugePictures, AnEightThousandBySixThousandPhotoLoads) {
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    ASSERT_TRUE(FilledImage({8000, 6000}, QColor(10, 200, 30)).save(photo, "JPEG", 50));
    StartedWindow s;
    s.Start();
    s.platform.files.answers.push_back({true, photo, 1});
    s.platform.messages.answers.push_back(MessageAnswer::No);
    s.Child<QAction>("mnuLoad")->trigger();
    EXPECT_EQ(ErrorBoxes(s.platform.messages), 0);
    EXPECT_EQ(qGreen(s.Child<PictureBox>("p")->Image().pixel(320, 240)), 200);
}
