#include "core/dialogs/cFileDialog.h"
#include "support/TestSupport.h"

// The filter reaches the chooser as (description, patterns) pairs, and the chosen name is read up to its first NUL.
TEST(FileDialog, TheFilterReachesTheChooserAsPairsAndTheNameEndsAtItsFirstNul) {
    const QString graphic = "Graphic Files (*.jpg;*.gif;*.bmp)", kinds = "*.jpg;*.gif;*.bmp";
    const struct { std::optional<QString> filter; std::vector<std::pair<QString, QString>> pairs; } cases[] = {
        {graphic + "|" + kinds, {{graphic, kinds}}},
        {"Bitmap (*.bmp)|*.bmp|All:*.*", {{"Bitmap (*.bmp)", "*.bmp"}, {"All", "*.*"}}},
        {"", {}}, {std::nullopt, {}}};  // the last never set
    for (const auto& c : cases) {
        ScriptedFileChooser chooser;
        chooser.answers.push_back({true, QString("C:\\pics#a.bmp#b.bmp##").replace(u'#', QChar(u'\0')), 1});
        cFileDialog dialog(chooser);
        if (c.filter) dialog.SetFilter(*c.filter);
        dialog.ShowOpen();
        EXPECT_EQ(std::tuple(dialog.Filter(), chooser.requests.at(0).filters, dialog.Filename()),
                  std::tuple(c.filter.value_or(""), c.pairs, QString("C:\\pics")));
    }
}

TEST(FileDialog, NamesAndFiltersLongerThanTheirBuffersAreRefusedBeforeTheDialogIsShown) {
    ScriptedFileChooser chooser;
    cFileDialog dialog(chooser);
    EXPECT_EQ(FailureOf([&] { dialog.SetFilter(QString(32767, u'x')); }).first, 0);
    EXPECT_EQ(FailureOf([&] { dialog.SetFilter(QString(32768, u'x')); }).first, FailureNumber::Overflow);
    EXPECT_EQ(FailureOf([&] { dialog.SetFilename(QString(1025, u'n')); }).first, FailureNumber::InvalidArgument);
    EXPECT_EQ(FailureOf([&] { dialog.SetFilename(QString(1024, u'n')); }).first, 0);
    dialog.ShowOpen();
    EXPECT_EQ(chooser.requests.size(), 1u);
}

// The parts of the wrapper the two commands leave alone: the save dialog, a cancel that is to fail, and the names
// of several files chosen at once, or of one.
TEST(FileDialog, SaveCancelErrorAndSeveralFilesChosenAtOnce) {
    ScriptedFileChooser chooser;
    chooser.answers = {{}, {}, {true, QString("C:\\pics#a.bmp#b.bmp##").replace(u'#', QChar(u'\0')), 1},
                       {true, "/home/u/one.bmp", 1}};
    cFileDialog dialog(chooser);
    dialog.SetCancelError(true);
    const std::pair<int, QString> cancelled{32755, "User selected cancel."};
    EXPECT_EQ(FailureOf([&] { dialog.ShowSave(); }), cancelled);
    EXPECT_EQ(FailureOf([&] { dialog.ShowOpen(); }), cancelled);
    dialog.Setflags(std::int32_t(FileChooserFlags::AllowMultiSelect));
    const auto parsed = [&] {
        dialog.ShowOpen();
        QString folder;
        QStringList files;
        std::int32_t count = 0;
        dialog.ParseMultiFileName(folder, files, count);
        return std::tuple(folder, files, count);
    };
    EXPECT_EQ(parsed(), std::tuple(QString("C:\\pics"), QStringList({"a.bmp", "b.bmp"}), 2));
    EXPECT_EQ(parsed(), std::tuple(QString("/home/u/"), QStringList({"one.bmp"}), 1));
    EXPECT_EQ(std::pair(chooser.requests.at(0).save, chooser.requests.at(1).save), std::pair(true, false));
}
