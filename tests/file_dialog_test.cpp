#include "core/dialogs/cFileDialog.h"
#include "support/TestSupport.h"

namespace {

const QChar kNul(u'\0');
QString Nuls(QString text) { return text.replace(u'#', kNul); }  // "#" stands for a NUL
int FailureNumberOf(const std::function<void()>& operation) { return FailureOf(operation).first; }

}  // namespace

// The filter reaches the chooser as (description, patterns) pairs; every property reaches it as set, and
// the next dialog starts from the name and filter the last one chose.
TEST(FileDialog, TheChooserGetsEveryPropertyAndTheNextStartsFromWhatWasChosen) {
    const QString graphic = "Graphic Files (*.jpg;*.gif;*.bmp)", kinds = "*.jpg;*.gif;*.bmp";
    const struct { std::optional<QString> filter; std::vector<std::pair<QString, QString>> pairs; } filters[] = {
        {graphic + "|" + kinds, {{graphic, kinds}}},
        {"Bitmap (*.bmp)|*.bmp|All:*.*", {{"Bitmap (*.bmp)", "*.bmp"}, {"All", "*.*"}}},
        {"", {}}, {std::nullopt, {}}};  // the last never set
    for (const auto& c : filters) {
        ScriptedFileChooser chooser;
        cFileDialog dialog(chooser);
        if (c.filter) dialog.SetFilter(*c.filter);
        dialog.ShowOpen();
        EXPECT_EQ(std::pair(dialog.Filter(), chooser.requests.at(0).filters), std::pair(c.filter.value_or(""), c.pairs));
    }
    ScriptedFileChooser chooser;
    cFileDialog dialog(chooser);
    dialog.Sethwnd(4242);
    dialog.SetFilter("A|*.a|B|*.b");
    dialog.SetFilterIndex(2);
    dialog.SetFilename("start.b");
    dialog.SetInitDir("/pics");
    dialog.SetDialogTitle("Pick one");
    dialog.SetDefaultExt("b");
    dialog.Setflags(2052);
    dialog.SetFileTitle("mine");
    chooser.answers.push_back({true, "/pics/x.b", 3});
    dialog.ShowOpen();
    const FileChooserRequest expected{false, 4242, {{"A", "*.a"}, {"B", "*.b"}}, 2, "start.b", "/pics", "Pick one",
                                      "b", 2052};
    EXPECT_EQ(chooser.requests, std::vector{expected});
    EXPECT_EQ(std::tuple(dialog.FilterIndex(), dialog.Filename(), dialog.FileTitle(), dialog.flags()),
              std::tuple(3, QString("/pics/x.b"), QString("mine"), 2052));
    dialog.ShowOpen();
    EXPECT_EQ(std::pair(chooser.requests.at(1).initialName, chooser.requests.at(1).filterIndex),
              std::pair(QString("/pics/x.b"), 3));
}

// A multiple-selection open has room for 8192 characters and keeps the whole list; the dialog is
// told it is the explorer kind.
TEST(FileDialog, MultipleSelectionWidensTheBufferAndKeepsTheWholeList) {
    const QString list = Nuls("C:\\pics#a.bmp#b.bmp##");
    const struct { bool save; std::int32_t flags; std::uint32_t asked; QString filename; } cases[] = {
        {false, 0x1000, 0x1000, "C:\\pics"},
        {false, 0x1200, 0x81200, list + QString(8192 - list.size(), kNul)},
        {true, 0x1200, 0x1200, "C:\\pics"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "save " << c.save << ", flags " << c.flags);
        ScriptedFileChooser chooser;
        chooser.answers.push_back({true, list, 1});
        cFileDialog dialog(chooser);
        dialog.Setflags(c.flags);
        c.save ? dialog.ShowSave() : dialog.ShowOpen();
        EXPECT_EQ(std::tuple(chooser.requests.at(0).save, chooser.requests.at(0).flags, dialog.flags()),
                  std::tuple(c.save, c.asked, c.flags));
        EXPECT_EQ(dialog.Filename(), c.filename);
    }
}

TEST(FileDialog, ACancelKeepsTheNameOrRaisesWhenAskedTo) {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    for (const int run : {0, 1, 2, 3}) {
        const bool save = run & 1, cancelError = run & 2;
        SCOPED_TRACE(testing::Message() << "save " << save << ", CancelError " << cancelError);
        ScriptedFileChooser chooser;
        cFileDialog dialog(chooser);
        dialog.SetFilename("/pics/keep.bmp");
        dialog.SetCancelError(cancelError);
        try {
            save ? dialog.ShowSave() : dialog.ShowOpen();
            EXPECT_FALSE(cancelError);
        } catch (const Failure& failure) {
            EXPECT_EQ(std::tuple(cancelError, failure.Number(), failure.Description(), failure.Source()),
                      std::tuple(true, 32755, QString("User selected cancel."),
                                 program + (save ? ".cFilenDialog" : ".cFileDialog")));
        }
        EXPECT_EQ(std::pair(dialog.Filename(), chooser.requests.size()), std::pair(QString("/pics/keep.bmp"), 1ul));
    }
}

TEST(FileDialog, NamesAndFiltersLongerThanTheirBuffersAreRefusedBeforeTheDialogIsShown) {
    ScriptedFileChooser chooser;
    cFileDialog dialog(chooser);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilter(QString(32767, u'x')); }), 0);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilter(QString(32768, u'x')); }), FailureNumber::Overflow);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilename(QString(1025, u'n')); }), FailureNumber::InvalidArgument);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilename(QString(1024, u'n')); }), 0);
    dialog.SetFileTitle(QString(1025, u't'));
    EXPECT_EQ(FailureNumberOf([&] { dialog.ShowOpen(); }), FailureNumber::InvalidArgument);
    EXPECT_EQ(FailureNumberOf([&] { dialog.ShowSave(); }), FailureNumber::InvalidArgument);
    EXPECT_TRUE(chooser.requests.empty());
    dialog.Setflags(0x200);  // a multiple-selection open has room for 8192 characters
    EXPECT_EQ(FailureNumberOf([&] { dialog.ShowOpen(); }), 0);
    EXPECT_EQ(chooser.requests.size(), 1u);
}

TEST(FileDialog, ParseMultiFileNameSplitsWhatAMultipleSelectionLeft) {
    const struct { std::int32_t flags; QString chosen, dir; QStringList files; } cases[] = {
        {0x200, "C:\\pics#a.bmp#b.bmp##", "C:\\pics", {"a.bmp", "b.bmp"}},
        {0x200, "C:\\pics\\a.bmp", "C:\\pics\\", {"a.bmp"}}, {0x200, "/tmp/x/a.bmp", "/tmp/x/", {"a.bmp"}},
        {0x200, "a.bmp", "", {"a.bmp"}},
        {0, "C:\\pics\\a.bmp", "", {}}};  // a single-selection name has no closing NULs: refused
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        ScriptedFileChooser chooser;
        chooser.answers.push_back({true, Nuls(c.chosen), 1});
        cFileDialog dialog(chooser);
        dialog.Setflags(c.flags);
        dialog.ShowOpen();
        QString dir = "stale";
        QStringList files{"stale", "stale"};
        std::int32_t count = 0;
        const int failure = FailureNumberOf([&] { dialog.ParseMultiFileName(dir, files, count); });
        if (c.files.isEmpty()) EXPECT_EQ(failure, FailureNumber::InvalidArgument);
        else EXPECT_EQ(std::tuple(failure, dir, files, count), std::tuple(0, c.dir, c.files, int(c.files.size())));
    }
}
