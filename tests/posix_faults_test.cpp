// Faults that only a POSIX system lets a test bring about: filesystems mounted full or
// read-only, a process killed in the middle of a save, and an address space too small for
// the picture asked for.

#include "core/files/QtPictureFiles.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

namespace {

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

TEST(SaveFaults, AFolderOnAReadOnlyOrFullDiskGivesOneErrorBox) {
    QTemporaryDir dir;
    const Mount readOnly(dir.filePath("ro"), "ro,size=1m");
    const Mount full(dir.filePath("full"), "size=64k");
    if (!readOnly.mounted || !full.mounted) GTEST_SKIP() << "mounting needs an administrator";
    const QString old = dir.filePath("full/old.bmp");
    FilledImage({8, 8}, Qt::green).save(old);
    const QByteArray before = Md5(old);
    StartedWindow s;
    s.Start();
    for (const QString& path : {dir.filePath("ro/out.bmp"), old}) {
        s.platform.messages.shown.clear();
        SaveAs(s, path);  // the canvas's 640 x 480 pixels do not fit in 64 KiB
        EXPECT_EQ(ErrorBoxes(s.platform.messages), 1) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("ro/out.bmp")));
    EXPECT_EQ(Md5(old), before);
    EXPECT_EQ(QDir(dir.filePath("full")).entryList(QDir::Files), QStringList{"old.bmp"});
}

TEST(SaveFaults, KillingASaveNeverLeavesAHalfWrittenFile) {
    QTemporaryDir dir;
    QtPictureFiles files;
    const QString target = dir.filePath("picture.bmp");
    const QString complete = dir.filePath("complete.bmp");
    ASSERT_EQ(QProcess::execute(QStringLiteral(GLIMMERAGE_SAVE_LOOP), {complete, "--once"}), 0);
    files.SaveBmp(FilledImage({5000, 5000}, Qt::red), target);
    const QByteArray oldFile = Md5(target);
    const QByteArray newFile = Md5(complete);
    int sawNew = 0;
    for (int kill = 0; kill < 50; ++kill) {
        QProcess victim;
        victim.start(QStringLiteral(GLIMMERAGE_SAVE_LOOP), {target});
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
