// The Qt side of the platform layer through Qt itself, offscreen. A modal dialog is answered
// from a timer that finds it as the active modal widget once its exec() runs.

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

// Closing a box gives the answer of its No or Cancel button, which it maps like a press.
TEST(QtMessageBoxes, ShowTheIconButtonsAndLinesAskedForAndMapTheAnswerBack) {
    using enum MessageIcon;
    using enum MessageButtons;
    const QMessageBox::StandardButton kClose = QMessageBox::NoButton;
    const struct { MessageIcon icon; MessageButtons buttons; QString title, text; QMessageBox::StandardButton press;
                   std::string seen; MessageAnswer answer; } cases[] = {
        {Information, Ok, "Invalid", "Enter 0 to 1000.", QMessageBox::Ok,
         "Information Invalid: Enter 0 to 1000. (plain) Ok*", MessageAnswer::Ok},
        {Critical, Ok, "Error", "Cannot open <b>x</b>:\r\nnot found.", kClose,
         "Critical Error: Cannot open <b>x</b>:\\nnot found. (plain) Ok*", MessageAnswer::Ok},
        {Exclamation, YesNo, "Warning!", "The size changes.\r\n\r\nGo on?", QMessageBox::Yes,
         "Warning Warning!: The size changes.\\n\\nGo on? (plain) Yes* No", MessageAnswer::Yes},
        {Question, YesNo, "Replace?", "Sure?", kClose, "Question Replace?: Sure? (plain) Yes* No", MessageAnswer::No},
        {None, OkCancel, "", "Go on?", kClose, "NoIcon Glimmerage: Go on? (plain) Ok* Cancel", MessageAnswer::Cancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seen);
        std::string seen;
        AnswerWhenShown<QMessageBox>([&](QMessageBox& box) {
            seen = Look(box);
            if (c.press == kClose) box.close();
            else box.button(c.press)->click();
        });
        const MessageAnswer answer = QtMessageBoxes().Show(c.text, c.buttons, c.icon, c.title);
        EXPECT_EQ(std::pair(answer, seen), std::pair(c.answer, c.seen));
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

// Shows the chooser in Qt's own dialog, whatever the desktop would offer instead, records what the user saw in it
// (title, mode, filters, the chosen one, the suffix and folder) and answers the way a person does: typing a name into
// its name field and pressing Return, or Escape when `typed` is empty.
FileChooserAnswer Choose(QtFileChooser& chooser, const FileChooserRequest& request, const QString& typed,
                         std::string& seen) {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
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
    const FileChooserAnswer answer = chooser.Choose(request);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
    return answer;
}

}  // namespace

TEST(QtFileChooser, ShowsTheModeTitleAndFiltersAskedForAndReturnsWhatWasChosen) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const std::pair<QString, QString> bitmap{"Bitmap (*.bmp)", "*.bmp"};
    const std::string open = "Open, AcceptOpen, AnyFile, ", bmp = "Bitmap (*.bmp *.BMP)";
    const std::string bmpChosen = bmp + ", chosen " + bmp + ", suffix , " + folder.toStdString();
    const struct { const char* what; FileChooserRequest request; QString typed; std::string seen;
                   FileChooserAnswer answer; } cases[] = {
        {"a name to save under, asked with the open dialog",
         {false, 0, {bitmap}, 1, {}, folder, {}, {}, FileChooserFlags::PathMustExist}, "new", open + bmpChosen,
         {true, folder + "/new", 1}},
        {"the save dialog with everything set",
         {true, 0, {bitmap, {"Pictures", "*.png; *.Tif"}}, 2, {}, folder, "Save Picture", "bmp", 0}, "out",
         "Save Picture, AcceptSave, AnyFile, " + bmp + " | Pictures (*.png *.PNG *.Tif *.TIF), chosen Pictures "
         "(*.png *.PNG *.Tif *.TIF), suffix bmp, " + folder.toStdString(), {true, folder + "/out.bmp", 2}},
        {"a cancel", {false, 0, {bitmap}, 1, {}, folder, {}, {}, 0}, "", open + bmpChosen, {false, "", 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string seen;
        QtFileChooser chooser;
        const FileChooserAnswer answer = Choose(chooser, c.request, c.typed, seen);
        EXPECT_EQ(std::tuple(seen, answer.confirmed, Visible(answer.files), answer.filterIndex),
                  std::tuple(c.seen, c.answer.confirmed, Visible(c.answer.files), c.answer.filterIndex));
    }
}

// Opening a picture offers every kind Qt reads here, in both cases, and then any file; the
// caller's filter stays first and chosen.
TEST(QtFileChooser, OpeningOffersEveryReadablePictureAndAnyFileAfterTheCallersFilter) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("a.bmp"), "");
    std::string seen;
    QtFileChooser chooser;
    const FileChooserRequest request{
        false, 0, {{"Graphic Files (*.jpg;*.gif;*.bmp)", "*.jpg;*.gif;*.bmp"}}, 1, {}, dir.path(), {}, {},
        FileChooserFlags::FileMustExist};
    const FileChooserAnswer answer = Choose(chooser, request, "a.bmp", seen);
    EXPECT_EQ(std::pair(Visible(answer.files), answer.filterIndex), std::pair(Visible(dir.filePath("a.bmp")), 1));
    const std::string graphic = "Graphic Files (*.jpg *.JPG *.gif *.GIF *.bmp *.BMP)";
    EXPECT_EQ(seen.rfind("Open, AcceptOpen, ExistingFile, " + graphic + " | All pictures (", 0), 0u) << seen;
    const std::size_t from = seen.find("All pictures ("), to = seen.find(") | All files (*), chosen " + graphic + ",");
    ASSERT_LT(from, to) << seen;
    // Those that Qt's own packages read on any machine.
    for (const char* kind : {" *.bmp *.BMP ", " *.gif *.GIF ", " *.jpeg *.JPEG ", " *.jpg *.JPG ", " *.png *.PNG "})
        EXPECT_NE((" " + seen.substr(from + 14, to - from - 14) + " ").find(kind), std::string::npos) << kind;
}

// Like the system's own dialogs, one asked for no folder opens where a file was last chosen, for loading or for
// saving; a cancel leaves that as it was, and a folder asked for comes first.
TEST(QtFileChooser, OpensWhereAFileWasLastChosenUnlessAskedForAFolder) {
    QTemporaryDir first, second;
    WriteBytes(first.filePath("a.bmp"), "");
    QtFileChooser chooser;
    const auto opensIn = [&](const QString& folder, const QString& typed) {
        std::string seen;
        Choose(chooser, {false, 0, {{"Bitmap (*.bmp)", "*.bmp"}}, 1, {}, folder, {}, {}, 0}, typed, seen);
        return QString::fromStdString(seen.substr(seen.rfind(", ") + 2));
    };
    EXPECT_EQ(opensIn(first.path(), "a.bmp"), first.path());
    EXPECT_EQ(opensIn({}, ""), first.path());
    EXPECT_EQ(opensIn(second.path(), ""), second.path());
    EXPECT_EQ(opensIn({}, second.filePath("new.bmp")), first.path());
    EXPECT_EQ(opensIn({}, ""), second.path());
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
        EXPECT_EQ(std::pair(opening.name(), custom),
                  std::pair(QString("#000000"), std::vector(request.customColors.begin(), request.customColors.end())));
    }
}

// A file where the settings folder belongs cannot be written over, not even by the administrator.
TEST(QtSettingsStore, KeepsTextsInTheUsersSettingsFileAndReportsOneItCannotWrite) {
    QTemporaryDir dir, blocked;
    const auto settingsIn = [](const QString& folder) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    };
    settingsIn(dir.path());
    QtSettingsStore store;
    EXPECT_EQ(store.Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "0");
    store.Write("Glimmerage", "Settings", "AutoAdjustExposure", "1");
    store.Write("Glimmerage", "Settings", "Other", "0");
    EXPECT_EQ(std::pair(QtSettingsStore().Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"),
                        ReadBytes(dir.filePath("Glimmerage/Glimmerage.conf")).toStdString()),
              std::pair(QString("1"), std::string("[Settings]\nAutoAdjustExposure=1\nOther=0\n")));
    WriteBytes(blocked.filePath("Glimmerage"), "");
    settingsIn(blocked.path());
    const auto [number, description] = FailureOf([&] { store.Write("Glimmerage", "Settings", "Other", "1"); });
    const QString file = blocked.filePath("Glimmerage/Glimmerage.conf");
    EXPECT_EQ(std::tuple(number, Visible(description), store.Read("Glimmerage", "Settings", "AutoAdjustExposure", "0")),
              std::tuple(75, Visible("Cannot write the settings file \"" + file + "\"."), "0"));
    settingsIn(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
