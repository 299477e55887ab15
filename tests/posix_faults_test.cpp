// Faults that only a POSIX system lets a test bring about: filesystems mounted full or
// read-only, a process killed in the middle of a save, and an address space too small for
// the picture asked for.

#include "core/files/QtPictureFiles.h"
#include "support/TestSupport.h"

#include <sys/resource.h>
#include <unistd.h>

namespace {

// A small filesystem of our own, mounted over a folder while the test runs; only an
// administrator may mount, so without one the test that needs it is skipped.
struct Mount {
    QString folder;
    bool mounted;
    Mount(const QString& at, const QString& options)
        : folder(at),
          mounted(QDir().mkpath(at) && geteuid() == 0 &&
                  QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", at}) == 0) {}
    ~Mount() { if (mounted) QProcess::execute("umount", {folder}); }
};

// Every file and folder under `root`, each with the checksum of its bytes.
QStringList Contents(const QString& root) {
    QStringList contents;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        contents << QDir(root).relativeFilePath(path) + " " + QString::fromLatin1(Md5(path).toHex());
    }
    contents.sort();
    return contents;
}

struct SaveFailure {
    const char* name;
    const char* typed;   // where the user saves, in a folder that holds a folder "folder.bmp", a folder "shut"
                         // only its owner may read, a file "plain" and a file "locked.bmp" marked read-only
    const char* reason;  // as the "Error" box gives it after the name
    bool exists;         // so that the overwrite question comes first
    const char* mount;   // the options of a small filesystem mounted over the first folder of the name
};

void PrintTo(const SaveFailure& failure, std::ostream* out) { *out << failure.typed; }

class AFailedSave : public testing::TestWithParam<SaveFailure> {};

}  // namespace

// One "Error" box that names the file and the system's reason, and everything as it was.
TEST_P(AFailedSave, SaysWhyAndWhereAndChangesNothing) {
    const SaveFailure& c = GetParam();
    if (QByteArray(c.typed).startsWith("shut/") && geteuid() == 0)
        GTEST_SKIP() << "an administrator may write into any folder; the other cases run";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp") && QDir(dir.path()).mkdir("shut"));
    QFile::setPermissions(dir.filePath("shut"), QFile::ReadOwner | QFile::ExeOwner);
    for (const char* name : {"plain", "locked.bmp"})
        ASSERT_TRUE(FilledImage({4, 4}, Qt::red).save(dir.filePath(name), "bmp"));
    QFile::setPermissions(dir.filePath("locked.bmp"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString path = dir.filePath(c.typed);
    std::optional<Mount> mounted;
    if (c.mount != nullptr) {
        mounted.emplace(dir.filePath(QString(c.typed).section('/', 0, 0)), c.mount);
        if (!mounted->mounted) GTEST_SKIP() << "mounting a small filesystem needs an administrator";
        ASSERT_TRUE(!c.exists || FilledImage({8, 8}, Qt::green).save(path));
    }
    const QStringList before = Contents(dir.path());
    Running s;
    s.Run("mnuSave", path, {MessageAnswer::Yes});
    const MessageRequest error = ErrorBox(QStringLiteral("Cannot write \"%1\": %2.").arg(path, c.reason));
    EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, Contents(dir.path())),
              std::tuple(c.exists ? Boxes{kOverwrite, error} : Boxes{error}, kBusyOnce, before));
}

INSTANTIATE_TEST_SUITE_P(
    SaveFaults, AFailedSave,
    testing::Values(SaveFailure{"AFolder", "folder.bmp", "it is a folder", false, nullptr},
                    SaveFailure{"AReadOnlyFile", "locked.bmp", "Permission denied", true, nullptr},
                    SaveFailure{"AFileAsFolder", "plain/out.bmp", "Not a directory", false, nullptr},
                    SaveFailure{"AFolderOfAnother", "shut/out.bmp", "Permission denied", false, nullptr},
                    SaveFailure{"AReadOnlyDisk", "ro/out.bmp", "Read-only file system", false, "ro,size=1m"},
                    // the canvas's 640 x 480 pixels do not fit in 64 KiB
                    SaveFailure{"AFullDisk", "full/old.bmp", "No space left on device", true, "size=64k"}),
    [](const testing::TestParamInfo<SaveFailure>& info) { return std::string(info.param.name); });

TEST(SaveFaults, KillingASaveNeverLeavesAHalfWrittenFile) {
    QTemporaryDir dir;
    const QString target = dir.filePath("picture.bmp"), complete = dir.filePath("complete.bmp");
    ASSERT_EQ(QProcess::execute(QStringLiteral(GLIMMERAGE_SAVE_LOOP), {complete, "--once"}), 0);
    QtPictureFiles().SaveBmp(FilledImage({5000, 5000}, Qt::red), target);
    const QByteArray oldFile = Md5(target), newFile = Md5(complete);
    int sawNew = 0;
    for (int kill = 0; kill < 50; ++kill) {
        QProcess victim;
        victim.start(QStringLiteral(GLIMMERAGE_SAVE_LOOP), {target});
        ASSERT_TRUE(victim.waitForStarted()) << "kill " << kill << ": " << victim.errorString().toStdString();
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
    Running s;
    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
    const QByteArray pages = ReadBytes("/proc/self/statm").split(' ').first();
    ASSERT_FALSE(pages.isEmpty());
    const rlim_t inUse = rlim_t(pages.toULongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
    rlimit tight = old;
    tight.rlim_cur = inUse + (rlim_t(256) << 20);  // far less than 5000 x 5000 needs
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    EXPECT_THROW(s.window->AdoptPictureSize(5000, 5000), std::bad_alloc);
    setrlimit(RLIMIT_AS, &old);
    const DrawingDocument& doc = s.Doc();
    EXPECT_EQ(std::tuple(s.window->PictureWidth(), s.window->PictureHeight(), s.Canvas()->size(),
                         doc.LightBuffer().UpperX(), doc.UndoBuffer().UpperY(), doc.GMPic1.Width(), doc.GMPic2.Height(),
                         doc.GMPicProgress.Bytes().size()),
              std::tuple(640, 480, QSize(640, 480), 640, 480, 640, 480, 640u * 10u * 4u));
}
#endif
