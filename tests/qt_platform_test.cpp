// The Qt side of the platform layer, through Qt itself: the real message boxes, pointer,
// dialogs and settings file, offscreen. A modal dialog is answered from a timer that finds
// it as the active modal widget once its exec() runs.

#include "windows/platform/QtPlatform.h"
#include "support/TestSupport.h"

#include <QMetaEnum>

namespace {

// Calls `answer` with the dialog of that kind once its exec() has shown it. A dialog that
// did not come up, or one of another kind, fails the test and is closed so nothing hangs.
template <typename Dialog>
void AnswerWhenShown(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) return answer(*dialog);
        ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " was shown";
        if (modal != nullptr) modal->close();
    });
}

// A text as a failure message shows it: line breaks and NULs written out.
std::string Visible(QString text) {
    return text.replace(u'\r', "\\r").replace(u'\n', "\\n").replace(QChar(u'\0'), "\\0").toStdString();
}

template <typename Enum>
QString Key(Enum value) {
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(int(value)));
}

// What the user saw in a box: icon, title, text, text format and the buttons, the default one
// starred. Ok and Yes share their values with aliases, so the buttons are named here.
std::string Look(const QMessageBox& box) {
    QString seen = Key(box.icon()) + " " + box.windowTitle() + ": " + box.text() +
                   (box.textFormat() == Qt::PlainText ? " (plain)" : " (not plain)");
    int named = 0;
    for (const auto& [button, name] : {std::pair(QMessageBox::Ok, " Ok"), {QMessageBox::Cancel, " Cancel"},
                                       {QMessageBox::Yes, " Yes"}, {QMessageBox::No, " No"}}) {
        if (const auto* shown = qobject_cast<QPushButton*>(box.button(button)))
            seen += name + QString(shown->isDefault() ? "*" : "");
        named += box.button(button) != nullptr;
    }
    if (named != box.buttons().size()) seen += " and others";
    return Visible(seen);
}

}  // namespace

TEST(QtMessageBoxes, ShowTheIconButtonsAndLinesAskedForAndMapTheAnswerBack) {
    using enum MessageIcon;
    using enum MessageButtons;
    const QMessageBox::StandardButton kCloseBox = QMessageBox::NoButton;
    const QString intensity = "You must enter a numeric value between 0 and 1000.";
    const struct { MessageIcon icon; MessageButtons buttons; QString title, text; QMessageBox::StandardButton press;
                   std::string seen; MessageAnswer answer; } cases[] = {
        {Information, Ok, "Invalid Intensity", intensity, QMessageBox::Ok,
         "Information Invalid Intensity: " + intensity.toStdString() + " (plain) Ok*", MessageAnswer::Ok},
        {Critical, Ok, "Error", "Cannot open <b>x</b>:\r\nnot found.", kCloseBox,
         "Critical Error: Cannot open <b>x</b>:\\nnot found. (plain) Ok*", MessageAnswer::Ok},
        {Exclamation, YesNo, "Warning!", "The size changes.\r\n\r\nDo you want to continue?", QMessageBox::Yes,
         "Warning Warning!: The size changes.\\n\\nDo you want to continue? (plain) Yes* No", MessageAnswer::Yes},
        {Question, YesNo, "Overwrite?", "Sure?", QMessageBox::No, "Question Overwrite?: Sure? (plain) Yes* No",
         MessageAnswer::No},
        {Question, YesNo, "Overwrite?", "Sure?", kCloseBox, "Question Overwrite?: Sure? (plain) Yes* No",
         MessageAnswer::No},
        {None, OkCancel, "", "Go on?", QMessageBox::Cancel, "NoIcon Glimmerage: Go on? (plain) Ok* Cancel",
         MessageAnswer::Cancel},
        {None, OkCancel, "", "Go on?", kCloseBox, "NoIcon Glimmerage: Go on? (plain) Ok* Cancel",
         MessageAnswer::Cancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.title << " " << c.text << ", pressing " << int(c.press));
        std::string seen;
        AnswerWhenShown<QMessageBox>([&](QMessageBox& box) {
            seen = Look(box);
            if (c.press == kCloseBox) box.close();
            else box.button(c.press)->click();
        });
        EXPECT_EQ(QtMessageBoxes().Show(c.text, c.buttons, c.icon, c.title), c.answer);
        EXPECT_EQ(seen, c.seen);
    }
}

TEST(QtBusyPointer, IsTheArrowWithHourglassWhileAnyScopeIsOpenAndGoneOnEveryWayOut) {
    const auto shape = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor == nullptr ? std::nullopt : std::optional(cursor->shape());
    };
    const std::optional<Qt::CursorShape> kBusy = Qt::BusyCursor, kNormal = std::nullopt;
    QtBusyPointer pointer;
    ASSERT_EQ(shape(), kNormal);
    pointer.ShowBusy();
    EXPECT_EQ(shape(), kBusy);
    pointer.ShowDefault();
    EXPECT_EQ(shape(), kNormal);
    {
        const BusyScope outer(pointer);
        { const BusyScope inner(pointer); }
        EXPECT_EQ(shape(), kBusy) << "the outer operation still runs";
    }
    EXPECT_EQ(shape(), kNormal);
    EXPECT_THROW(
        {
            const BusyScope outer(pointer);
            const BusyScope inner(pointer);
            throw Failure::Overflow();
        },
        Failure);
    EXPECT_EQ(shape(), kNormal);
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

namespace {

// Shows the chooser, records what the user saw in it (title, mode, filters, the chosen one, the
// suffix and folder) and answers the way a person does: typing names into its name field and
// pressing Return, or Escape when `typed` is empty.
FileChooserAnswer Choose(const FileChooserRequest& request, const QString& typed, std::string& seen) {
    AnswerWhenShown<QFileDialog>([&](QFileDialog& dialog) {
        seen = Visible(QStringList{dialog.windowTitle(), Key(dialog.acceptMode()), Key(dialog.fileMode()),
                                   dialog.nameFilters().join(" | "), "chosen " + dialog.selectedNameFilter(),
                                   "suffix " + dialog.defaultSuffix(), dialog.directory().path()}
                           .join(", "));
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (typed.isEmpty() || name == nullptr) return QTest::keyClick(&dialog, Qt::Key_Escape);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    return QtFileChooser().Choose(request);
}

FileChooserRequest Request(bool save, std::vector<std::pair<QString, QString>> filters, std::uint32_t flags,
                           const QString& folder, std::int32_t index = 1, const QString& title = {},
                           const QString& ext = {}) {
    return {save, 0, std::move(filters), index, {}, folder, title, ext, flags};
}

// Qt's own dialog, whatever the desktop would offer instead.
struct WidgetDialogs {
    WidgetDialogs() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true); }
    ~WidgetDialogs() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false); }
};

}  // namespace

TEST(QtFileChooser, ShowsTheModeTitleAndFiltersAskedForAndReturnsWhatWasChosen) {
    const WidgetDialogs widgetDialogs;
    QTemporaryDir dir;
    const QString folder = dir.path();
    const std::pair<QString, QString> bitmap{"Bitmap (*.bmp)", "*.bmp"};
    const std::string open = "Open, AcceptOpen, ", bmp = "Bitmap (*.bmp *.BMP)";
    const std::string bmpChosen = bmp + ", chosen " + bmp + ", suffix , " + folder.toStdString();
    const struct { const char* what; FileChooserRequest request; QString typed; std::string seen;
                   FileChooserAnswer answer; } cases[] = {
        {"a name to save under, asked with the open dialog",
         Request(false, {bitmap}, FileChooserFlags::PathMustExist, folder), "new",
         open + "AnyFile, " + bmpChosen, {true, folder + "/new", 1}},
        {"the save dialog with everything set",
         Request(true, {bitmap, {"Pictures", "*.png; *.Tif"}}, 0, folder, 2, "Save Picture", "bmp"), "out",
         "Save Picture, AcceptSave, AnyFile, " + bmp + " | Pictures (*.png *.PNG *.Tif *.TIF), chosen Pictures "
         "(*.png *.PNG *.Tif *.TIF), suffix bmp, " + folder.toStdString(), {true, folder + "/out.bmp", 2}},
        {"a cancel", Request(false, {bitmap}, 0, folder), "", open + "AnyFile, " + bmpChosen,
         {false, "", 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string seen;
        const FileChooserAnswer answer = Choose(c.request, c.typed, seen);
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(std::tuple(answer.confirmed, Visible(answer.files), answer.filterIndex),
                  std::tuple(c.answer.confirmed, Visible(c.answer.files), c.answer.filterIndex));
    }
}

// Opening a picture offers every kind Qt reads here, in both cases, and then any file; the
// caller's filter stays first and chosen.
TEST(QtFileChooser, OpeningOffersEveryReadablePictureAndAnyFileAfterTheCallersFilter) {
    const WidgetDialogs widgetDialogs;
    QTemporaryDir dir;
    QFile(dir.filePath("a.bmp")).open(QIODevice::WriteOnly);
    std::string seen;
    const FileChooserAnswer answer = Choose(Request(false, {{"Graphic Files (*.jpg;*.gif;*.bmp)", "*.jpg;*.gif;*.bmp"}},
                                                    FileChooserFlags::FileMustExist, dir.path()),
                                            "a.bmp", seen);
    EXPECT_EQ(std::pair(Visible(answer.files), answer.filterIndex), std::pair(Visible(dir.filePath("a.bmp")), 1));
    const std::string graphic = "Graphic Files (*.jpg *.JPG *.gif *.GIF *.bmp *.BMP)";
    EXPECT_EQ(seen.rfind("Open, AcceptOpen, ExistingFile, " + graphic + " | All pictures (", 0), 0u) << seen;
    const std::size_t from = seen.find("All pictures ("), to = seen.find(") | All files (*), chosen " + graphic + ",");
    ASSERT_LT(from, to) << seen;
    // Those that Qt's own packages read on any machine.
    for (const char* kind : {" *.bmp *.BMP ", " *.gif *.GIF ", " *.jpeg *.JPEG ", " *.jpg *.JPG ", " *.png *.PNG "})
        EXPECT_NE((" " + seen.substr(from + 14, to - from - 14) + " ").find(kind), std::string::npos) << kind;
}

TEST(QtColorDialog, OpensOnBlackWithTheCustomColoursGivenAndCancelGivesNothing) {
    ColorDialogRequest request;
    for (int slot = 0; slot < 16; ++slot) request.customColors[size_t(slot)] = PackColor(slot, 2 * slot, 255 - slot);
    const struct { const char* what; std::optional<QColor> choose; std::optional<ColorValue> answer; } cases[] = {
        {"OK as it opens", std::nullopt, 0}, {"OK on a chosen colour", QColor(10, 20, 30), PackColor(10, 20, 30)},
        {"Cancel", QColor(10, 20, 30), std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QColor opening;
        std::vector<ColorValue> custom;
        AnswerWhenShown<QColorDialog>([&](QColorDialog& dialog) {
            opening = dialog.currentColor();
            for (int slot = 0; slot < QColorDialog::customCount(); ++slot)
                custom.push_back(FromQColor(QColorDialog::customColor(slot)));
            if (c.choose) dialog.setCurrentColor(*c.choose);
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            buttons->button(c.answer ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        EXPECT_EQ(QtColorDialog().Choose(request), c.answer);
        EXPECT_EQ(opening.name().toStdString(), "#000000");
        EXPECT_EQ(custom, std::vector<ColorValue>(request.customColors.begin(), request.customColors.end()));
    }
}

namespace {

// Points the user's settings folder somewhere else for its lifetime.
struct SettingsFolder {
    explicit SettingsFolder(const QString& path) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    }
    ~SettingsFolder() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
};

}  // namespace

TEST(QtSettingsStore, KeepsTextsInTheUsersSettingsFileAndReportsOneItCannotWrite) {
    QTemporaryDir dir;
    const SettingsFolder folder(dir.path());
    QtSettingsStore store;
    EXPECT_EQ(store.Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "0");
    store.Write("Glimmerage", "Settings", "AutoAdjustExposure", "1");
    store.Write("Glimmerage", "Settings", "Other", "0");
    EXPECT_EQ(QtSettingsStore().Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "1");
    QFile file(dir.filePath("Glimmerage/Glimmerage.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName();
    EXPECT_EQ(file.readAll().toStdString(), "[Settings]\nAutoAdjustExposure=1\nOther=0\n");

    // A file where the settings folder belongs: not even the administrator can write there.
    QTemporaryDir blockedDir;
    QFile(blockedDir.filePath("Glimmerage")).open(QIODevice::WriteOnly);
    const SettingsFolder blocked(blockedDir.path());
    const auto [number, description] =
        FailureOf([] { QtSettingsStore().Write("Glimmerage", "Settings", "AutoAdjustExposure", "1"); });
    const QString blockedPath = blockedDir.filePath("Glimmerage/Glimmerage.conf");
    EXPECT_EQ(std::pair(number, Visible(description)),
              std::pair(75, Visible("Cannot write the settings file \"" + blockedPath + "\".")));
    EXPECT_EQ(QtSettingsStore().Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "0");
}
