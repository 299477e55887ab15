#include "core/dialogs/cFileDialog.h"
#include "support/TestSupport.h"

namespace {

QString Nuls(QString text) { return text.replace(u'#', QChar(u'\0')); }  // "#" stands for a NUL
int FailureNumberOf(const std::function<void()>& operation) { return FailureOf(operation).first; }

}  // namespace

// The filter reaches the chooser as (description, patterns) pairs, and the chosen name is read up to its
// first NUL.
TEST(FileDialog, TheFilterReachesTheChooserAsPairsAndTheNameEndsAtItsFirstNul) {
    const QString graphic = "Graphic Files (*.jpg;*.gif;*.bmp)", kinds = "*.jpg;*.gif;*.bmp";
    const struct { std::optional<QString> filter; std::vector<std::pair<QString, QString>> pairs; } cases[] = {
        {graphic + "|" + kinds, {{graphic, kinds}}},
        {"Bitmap (*.bmp)|*.bmp|All:*.*", {{"Bitmap (*.bmp)", "*.bmp"}, {"All", "*.*"}}},
        {"", {}}, {std::nullopt, {}}};  // the last never set
    for (const auto& c : cases) {
        ScriptedFileChooser chooser;
        chooser.answers.push_back({true, Nuls("C:\\pics#a.bmp#b.bmp##"), 1});
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
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilter(QString(32767, u'x')); }), 0);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilter(QString(32768, u'x')); }), FailureNumber::Overflow);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilename(QString(1025, u'n')); }), FailureNumber::InvalidArgument);
    EXPECT_EQ(FailureNumberOf([&] { dialog.SetFilename(QString(1024, u'n')); }), 0);
    EXPECT_EQ(FailureNumberOf([&] { dialog.ShowOpen(); }), 0);
    EXPECT_EQ(chooser.requests.size(), 1u);
}
