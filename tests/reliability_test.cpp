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

#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray Md5(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result();
}

QImage Filled(QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Saves the canvas through "Save..." under `path`, answering Yes to an overwrite question.
void SaveAs(StartedWindow& s, const QString& path) {
    s.platform.files.answers.push_back({true, path, 1});
    s.platform.messages.answers.push_back(MessageAnswer::Yes);
    s.Child<QAction>("mnuSave")->trigger();
}

int ErrorBoxes(const StartedWindow& s) {
    return int(std::count_if(s.platform.messages.shown.begin(), s.platform.messages.shown.end(),
                             [](const MessageRequest& box) { return box.title == "Error"; }));
}

// A small filesystem of our own, mounted over a folder while the test runs; only an
// administrator may mount, so without one the test that needs it is skipped.
struct Mount {
    QString folder;
    bool mounted = false;
    Mount(const QString& at, const QString& options) : folder(at) {
        QDir().mkpath(at);
        mounted = geteuid() == 0 &&
                  QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", at}) == 0;
    }
    ~Mount() {
        if (mounted) QProcess::execute("umount", {folder});
    }
};

}  // namespace

TEST(SaveFaults, AFileThatCannotBeWrittenGivesOneErrorBoxAndStaysAsItWas) {
    QTemporaryDir dir;
    StartedWindow s;
    s.Start();
    const QString readOnly = dir.filePath("locked.bmp");
    Filled({4, 4}, Qt::red).save(readOnly);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QDir().mkpath(dir.filePath("folder.bmp"));
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QByteArray before = Md5(readOnly);
    for (const QString& path : {readOnly, dir.filePath("folder.bmp"), dir.filePath("plain/out.bmp")}) {
        s.platform.messages.shown.clear();
        s.platform.busy.events.clear();
        SaveAs(s, path);
        EXPECT_EQ(ErrorBoxes(s), 1) << path.toStdString();
        EXPECT_EQ(s.platform.busy.events, std::vector<std::string>({"busy", "default"}));
    }
    EXPECT_EQ(Md5(readOnly), before);
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.bmp")).isDir());
}

TEST(SaveFaults, AFolderOnAReadOnlyOrFullDiskGivesOneErrorBox) {
    QTemporaryDir dir;
    const Mount readOnly(dir.filePath("ro"), "ro,size=1m");
    const Mount full(dir.filePath("full"), "size=64k");
    if (!readOnly.mounted || !full.mounted) GTEST_SKIP() << "mounting needs an administrator";
    const QString old = dir.filePath("full/old.bmp");
    Filled({8, 8}, Qt::green).save(old);
    const QByteArray before = Md5(old);
    StartedWindow s;
    s.Start();
    for (const QString& path : {dir.filePath("ro/out.bmp"), old}) {
        s.platform.messages.shown.clear();
        SaveAs(s, path);  // the canvas's 640 x 480 pixels do not fit in 64 KiB
        EXPECT_EQ(ErrorBoxes(s), 1) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("ro/out.bmp")));
    EXPECT_EQ(Md5(old), before);
    EXPECT_EQ(QDir(dir.filePath("full")).entryList(QDir::Files), QStringList{"old.bmp"});
}

// Run by the next test in a process of its own, which it kills while it saves.
TEST(SaveFaults, SavesInALoopWhenAsked) {
    const QString target = qEnvironmentVariable("GLIMMERAGE_SAVE_LOOP");
    if (target.isEmpty()) GTEST_SKIP() << "only run as the process that gets killed";
    QtPictureFiles files;
    const QImage picture = Filled({5000, 5000}, Qt::blue);
    for (;;) files.SaveBmp(picture, target);
}

TEST(SaveFaults, KillingASaveNeverLeavesAHalfWrittenFile) {
    QTemporaryDir dir;
    QtPictureFiles files;
    const QString target = dir.filePath("picture.bmp");
    const QString complete = dir.filePath("complete.bmp");
    files.SaveBmp(Filled({5000, 5000}, Qt::blue), complete);
    files.SaveBmp(Filled({5000, 5000}, Qt::red), target);
    const QByteArray oldFile = Md5(target);
    const QByteArray newFile = Md5(complete);
    int sawNew = 0;
    for (int kill = 0; kill < 50; ++kill) {
        QProcess victim;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GLIMMERAGE_SAVE_LOOP", target);
        victim.setProcessEnvironment(environment);
        victim.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SaveFaults.SavesInALoopWhenAsked"});
        ASSERT_TRUE(victim.waitForStarted());
        usleep(useconds_t(QRandomGenerator::global()->bounded(50'000, 1'200'000)));
        victim.kill();
        victim.waitForFinished();
        const QByteArray now = Md5(target);
        ASSERT_TRUE(now == oldFile || now == newFile) << "kill " << kill << " left a damaged file";
        sawNew += now == newFile;
    }
    RecordProperty("kills that found the new file", sawNew);
}

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
    ASSERT_TRUE(Filled({8000, 6000}, QColor(10, 200, 30)).save(photo, "JPEG", 50));
    StartedWindow s;
    s.Start();
    s.platform.files.answers.push_back({true, photo, 1});
    s.platform.messages.answers.push_back(MessageAnswer::No);
    s.Child<QAction>("mnuLoad")->trigger();
    EXPECT_EQ(ErrorBoxes(s), 0);
    EXPECT_EQ(qGreen(s.Child<PictureBox>("p")->Image().pixel(320, 240)), 200);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(AllocationFailure, ASizeTheMemoryCannotHoldLeavesAConsistentBlankDrawing) {
    StartedWindow s;
    s.Start();
    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
    QFile statm("/proc/self/statm");
    ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
    const rlim_t inUse = rlim_t(statm.readAll().split(' ').first().toULongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
    rlimit tight = old;
    tight.rlim_cur = inUse + (rlim_t(256) << 20);  // far less than 5000 x 5000 needs
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    bool failed = false;
    try {
        s.window->AdoptPictureSize(5000, 5000);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    setrlimit(RLIMIT_AS, &old);
    EXPECT_TRUE(failed);
    const DrawingDocument& doc = s.window->Document();
    EXPECT_EQ(std::pair(s.window->PictureWidth(), s.window->PictureHeight()), std::pair(640, 480));
    EXPECT_EQ(s.Child<PictureBox>("p")->size(), QSize(640, 480));
    EXPECT_EQ(std::pair(doc.LightBuffer().UpperX(), doc.UndoBuffer().UpperY()), std::pair(640, 480));
    EXPECT_EQ(std::pair(doc.GMPic1.Width(), doc.GMPic2.Height()), std::pair(640, 480));
    EXPECT_EQ(doc.GMPicProgress.Bytes().size(), 640u * 10u * 4u);
}
#endif
