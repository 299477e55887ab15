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
