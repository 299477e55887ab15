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

// Values by their names, so that a failure reads "Warning", not 2.
QString Key(QMessageBox::Icon icon) {
    return QString::fromLatin1(QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(icon));
}
// Ok and Yes share their values with aliases, so the buttons are named here.
QString Key(QMessageBox::StandardButtons buttons) {
    QStringList names;
    for (const auto& [button, name] : {std::pair(QMessageBox::Ok, "Ok"), {QMessageBox::Cancel, "Cancel"},
                                       {QMessageBox::Yes, "Yes"}, {QMessageBox::No, "No"}}) {
        if (buttons & button) names << name;
        buttons &= ~QMessageBox::StandardButtons(button);
    }
    if (buttons) names << QStringLiteral("others %1").arg(buttons.toInt(), 0, 16);
    return names.join(u'|');
}

// A text as a failure message shows it: line breaks and NULs written out.
std::string Visible(QString text) {
    return text.replace(u'\r', "\\r").replace(u'\n', "\\n").replace(QChar(u'\0'), "\\0").toStdString();
}

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

// ---- Message boxes ------------------------------------------------------------------------

namespace {

// What the user saw in a box.
struct SeenBox {
    QString icon, title, text;
    Qt::TextFormat format = Qt::AutoText;
    QString buttons, defaultButton;

    bool operator==(const SeenBox&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SeenBox& box) {
    return out << box.icon << ' ' << box.title << ' ' << Visible(box.text) << " format " << int(box.format) << ' '
               << box.buttons << " default " << box.defaultButton;
}

SeenBox Look(const QMessageBox& box) {
    QString defaultButton;
    for (QAbstractButton* button : box.buttons()) {
        const auto* push = qobject_cast<QPushButton*>(button);
        if (push != nullptr && push->isDefault()) defaultButton = Key(box.standardButton(button));
    }
    return {Key(box.icon()), box.windowTitle(), box.text(), box.textFormat(), Key(box.standardButtons()),
            defaultButton};
}

}  // namespace

TEST(QtMessageBoxes, ShowTheIconButtonsAndLinesAskedForAndMapTheAnswerBack) {
    using enum MessageIcon;
    using enum MessageButtons;
    const QMessageBox::StandardButton kCloseBox = QMessageBox::NoButton;
    const struct {
        MessageIcon icon; MessageButtons buttons; QString title, text;
        QMessageBox::StandardButton press; SeenBox seen; MessageAnswer answer;
    } cases[] = {
        {Information, Ok, "Invalid Intensity", "You must enter a numeric value between 0 and 1000.", QMessageBox::Ok,
         {"Information", "Invalid Intensity", "You must enter a numeric value between 0 and 1000.", Qt::PlainText,
          "Ok", "Ok"}, MessageAnswer::Ok},
        {Critical, Ok, "Error", "Cannot open <b>x</b>:\r\nnot found.", kCloseBox,
         {"Critical", "Error", "Cannot open <b>x</b>:\nnot found.", Qt::PlainText, "Ok", "Ok"}, MessageAnswer::Ok},
        {Exclamation, YesNo, "Warning!", "The size changes.\r\n\r\nDo you want to continue?", QMessageBox::Yes,
         {"Warning", "Warning!", "The size changes.\n\nDo you want to continue?", Qt::PlainText, "Yes|No", "Yes"},
         MessageAnswer::Yes},
        {Question, YesNo, "Overwrite?", "Sure?", QMessageBox::No,
         {"Question", "Overwrite?", "Sure?", Qt::PlainText, "Yes|No", "Yes"}, MessageAnswer::No},
        {Question, YesNo, "Overwrite?", "Sure?", kCloseBox,
         {"Question", "Overwrite?", "Sure?", Qt::PlainText, "Yes|No", "Yes"}, MessageAnswer::No},
        {None, OkCancel, "", "Go on?", QMessageBox::Cancel,
         {"NoIcon", "Glimmerage", "Go on?", Qt::PlainText, "Ok|Cancel", "Ok"}, MessageAnswer::Cancel},
        {None, OkCancel, "", "Go on?", kCloseBox,
         {"NoIcon", "Glimmerage", "Go on?", Qt::PlainText, "Ok|Cancel", "Ok"}, MessageAnswer::Cancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.title << " " << c.text << ", pressing " << Key(c.press));
        SeenBox seen;
        AnswerWhenShown<QMessageBox>([&](QMessageBox& box) {
            seen = Look(box);
            if (c.press == kCloseBox) box.close();
            else box.button(c.press)->click();
        });
        QtMessageBoxes boxes;
        EXPECT_EQ(boxes.Show(c.text, c.buttons, c.icon, c.title), c.answer);
        EXPECT_EQ(seen, c.seen);
    }
}

// ---- Busy pointer -------------------------------------------------------------------------

namespace {

std::optional<Qt::CursorShape> PointerShape() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor == nullptr ? std::nullopt : std::optional(cursor->shape());
}

}  // namespace

TEST(QtBusyPointer, IsTheArrowWithHourglassWhileAnyScopeIsOpenAndGoneOnEveryWayOut) {
    const std::optional<Qt::CursorShape> kBusy = Qt::BusyCursor, kNormal = std::nullopt;
    QtBusyPointer pointer;
    ASSERT_EQ(PointerShape(), kNormal);
    pointer.ShowBusy();
    EXPECT_EQ(PointerShape(), kBusy);
    pointer.ShowDefault();
    EXPECT_EQ(PointerShape(), kNormal);
    {
        const BusyScope outer(pointer);
        {
            const BusyScope inner(pointer);
            EXPECT_EQ(PointerShape(), kBusy);
        }
        EXPECT_EQ(PointerShape(), kBusy) << "the outer operation still runs";
    }
    EXPECT_EQ(PointerShape(), kNormal);
    EXPECT_THROW(
        {
            const BusyScope outer(pointer);
            const BusyScope inner(pointer);
            throw Failure::Overflow();
        },
        Failure);
    EXPECT_EQ(PointerShape(), kNormal);
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

// ---- File chooser -------------------------------------------------------------------------

namespace {

// What the user saw in a file dialog.
struct SeenChooser {
    QString title;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QStringList filters;
    QString selectedFilter, suffix, folder;

    bool operator==(const SeenChooser&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SeenChooser& seen) {
    return out << seen.title << " accept " << int(seen.accept) << " mode " << int(seen.mode) << " filters "
               << seen.filters.join(" | ") << " selected " << seen.selectedFilter << " suffix " << seen.suffix
               << " in " << seen.folder;
}

// Shows the chooser and answers it the way a person does: typing names into its name field
// and pressing Return, or Escape when `typed` is empty.
FileChooserAnswer Choose(const FileChooserRequest& request, const QString& typed, SeenChooser& seen) {
    AnswerWhenShown<QFileDialog>([&](QFileDialog& dialog) {
        seen = {dialog.windowTitle(), dialog.acceptMode(), dialog.fileMode(), dialog.nameFilters(),
                dialog.selectedNameFilter(), dialog.defaultSuffix(), dialog.directory().path()};
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (typed.isEmpty() || name == nullptr) return QTest::keyClick(&dialog, Qt::Key_Escape);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    return QtFileChooser().Choose(request);
}

using Filters = std::vector<std::pair<QString, QString>>;

FileChooserRequest Request(bool save, Filters filters, std::uint32_t flags, const QString& folder,
                           std::int32_t filterIndex = 1, const QString& title = {}, const QString& defaultExt = {}) {
    FileChooserRequest request;
    request.save = save;
    request.filters = std::move(filters);
    request.flags = flags;
    request.initialDir = folder;
    request.filterIndex = filterIndex;
    request.title = title;
    request.defaultExt = defaultExt;
    return request;
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
    for (const char* name : {"a.bmp", "b.bmp"}) QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    const QString folder = dir.path(), nul(QChar(u'\0'));
    const std::pair<QString, QString> bitmap{"Bitmap (*.bmp)", "*.bmp"};
    const QString kBitmap = "Bitmap (*.bmp *.BMP)";
    const struct {
        const char* what; FileChooserRequest request; QString typed;
        SeenChooser seen; FileChooserAnswer answer;
    } cases[] = {
        {"a name to save under, asked with the open dialog",
         Request(false, {bitmap}, FileChooserFlags::PathMustExist, folder), "new",
         {"Open", QFileDialog::AcceptOpen, QFileDialog::AnyFile, {kBitmap}, kBitmap, "", folder},
         {true, folder + "/new", 1}},
        {"the save dialog with everything set",
         Request(true, {bitmap, {"Pictures", "*.png; *.Tif"}}, 0, folder, 2, "Save Picture", "bmp"),
         "out",
         {"Save Picture", QFileDialog::AcceptSave, QFileDialog::AnyFile,
          {kBitmap, "Pictures (*.png *.PNG *.Tif *.TIF)"}, "Pictures (*.png *.PNG *.Tif *.TIF)", "bmp", folder},
         {true, folder + "/out.bmp", 2}},
        {"several files", Request(false, {bitmap}, FileChooserFlags::AllowMultiSelect, folder),
         "\"a.bmp\" \"b.bmp\"",
         {"Open", QFileDialog::AcceptOpen, QFileDialog::ExistingFiles, {kBitmap}, kBitmap, "", folder},
         {true, folder + nul + "a.bmp" + nul + "b.bmp" + nul + nul, 1}},
        {"a cancel", Request(false, {bitmap}, 0, folder), "",
         {"Open", QFileDialog::AcceptOpen, QFileDialog::AnyFile, {kBitmap}, kBitmap, "", folder}, {false, "", 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SeenChooser seen;
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
    const QString graphic = "Graphic Files (*.jpg *.JPG *.gif *.GIF *.bmp *.BMP)";
    SeenChooser seen;
    const FileChooserAnswer answer =
        Choose(Request(false, {{"Graphic Files (*.jpg;*.gif;*.bmp)", "*.jpg;*.gif;*.bmp"}},
                       FileChooserFlags::FileMustExist, dir.path()),
               "a.bmp", seen);
    EXPECT_EQ(std::tuple(seen.mode, Visible(answer.files), answer.filterIndex),
              std::tuple(QFileDialog::ExistingFile, Visible(dir.filePath("a.bmp")), 1));
    ASSERT_EQ(seen.filters.size(), 3) << seen;
    EXPECT_EQ(std::tuple(seen.filters[0], seen.selectedFilter, seen.filters[2]),
              std::tuple(graphic, graphic, QString("All files (*)")));
    const QString pictures = seen.filters[1];
    ASSERT_TRUE(pictures.startsWith("All pictures (") && pictures.endsWith(")")) << pictures;
    QStringList patterns = pictures.mid(14).chopped(1).split(u' ');
    // Those that Qt's own packages read on any machine, and whatever else is installed here.
    QStringList expected{"*.bmp", "*.BMP", "*.gif", "*.GIF", "*.jpeg", "*.JPEG", "*.jpg", "*.JPG", "*.png", "*.PNG"};
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        expected << "*." + QString(format) << "*." + QString(format).toUpper();
    expected.removeDuplicates();
    expected.sort();
    patterns.sort();
    EXPECT_EQ(patterns.join(u' ').toStdString(), expected.join(u' ').toStdString());
}

// ---- Colour dialog ------------------------------------------------------------------------

TEST(QtColorDialog, OpensOnBlackWithTheCustomColoursGivenAndCancelGivesNothing) {
    ColorDialogRequest request;
    for (int slot = 0; slot < 16; ++slot) request.customColors[size_t(slot)] = PackColor(slot, 2 * slot, 255 - slot);
    const struct { const char* what; std::optional<QColor> choose; std::optional<ColorValue> answer; } cases[] = {
        {"OK as it opens", std::nullopt, 0},
        {"OK on a chosen colour", QColor(10, 20, 30), PackColor(10, 20, 30)},
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

// ---- Settings store -----------------------------------------------------------------------

TEST(QtSettingsStore, KeepsTextsInTheUsersSettingsFileAndReportsOneItCannotWrite) {
    QTemporaryDir dir;
    const SettingsFolder folder(dir.path());
    const QString path = dir.filePath("Glimmerage/Glimmerage.conf");
    QtSettingsStore store;
    EXPECT_EQ(store.Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "0");
    store.Write("Glimmerage", "Settings", "AutoAdjustExposure", "1");
    store.Write("Glimmerage", "Settings", "Other", "0");
    EXPECT_EQ(QtSettingsStore().Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "1");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    EXPECT_EQ(file.readAll().toStdString(), "[Settings]\nAutoAdjustExposure=1\nOther=0\n");

    // A file where the settings folder belongs: not even the administrator can write there.
    QTemporaryDir blockedDir;
    QFile(blockedDir.filePath("Glimmerage")).open(QIODevice::WriteOnly);
    const SettingsFolder blocked(blockedDir.path());
    const QString blockedPath = blockedDir.filePath("Glimmerage/Glimmerage.conf");
    const auto [number, description] =
        FailureOf([] { QtSettingsStore().Write("Glimmerage", "Settings", "AutoAdjustExposure", "1"); });
    EXPECT_EQ(std::pair(number, Visible(description)),
              std::pair(75, Visible("Cannot write the settings file \"" + blockedPath + "\".")));
    EXPECT_EQ(QtSettingsStore().Read("Glimmerage", "Settings", "AutoAdjustExposure", "0"), "0");
}
