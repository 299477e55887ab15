// "Load..." and "Save...": a picture file, or one pasted, becomes the drawing, and the
// canvas becomes a BMP file.

#include "windows/editor/frmDrawing.h"

#include "core/common/LargeBlocks.h"
#include "core/common/Rounding.h"
#include "core/dialogs/cFileDialog.h"
#include "core/files/QtPictureFiles.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/common/ErrorBox.h"
#include "core/platform/Platform.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <functional>
#include <memory>
#include <new>

namespace {

const QString kLoadFilter = QStringLiteral("Graphic Files (*.jpg;*.gif;*.bmp)|*.jpg;*.gif;*.bmp");
const QString kSaveFilter = QStringLiteral("Bitmap (*.bmp)|*.bmp");

const QString kSizeTitle = QStringLiteral("Change Current Picture Size?");
const QString kSizeQuestion =
    QStringLiteral("The size of the selected picture is different from the current size.") +
    QStringLiteral("\r\n\r\n") + QStringLiteral("Do you want to adjust the current size to the size of the picture?");

const QString kExistsTitle = QStringLiteral("File Already Exists");
const QString kExistsQuestion = QStringLiteral("Confirm overwriting?");
const QString kAbortedTitle = QStringLiteral("Operation Aborted");
const QString kAbortedMessage = QStringLiteral("The picture was NOT saved.");

const QString kBmpExtension = QStringLiteral(".bmp");

// The drawing a picture of that size would make, begun while it decodes; none where the memory
// will not hold it beside the drawing there is now, which then goes first as usual.
std::unique_ptr<DrawingAhead> DrawingAheadOfSize(QSize size) {
    if (!large_blocks::MachineHasToSpare(DrawingAhead::BytesFor(size.width(), size.height()))) return nullptr;
    try {
        return std::make_unique<DrawingAhead>(size.width(), size.height());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Names shorter than five characters, or not ending in ".bmp" exactly (case counts), get it.
QString WithBmpExtension(const QString& name) {
    if (name.size() < 5 || name.right(4) != kBmpExtension) return name + kBmpExtension;
    return name;
}

}  // namespace

void frmDrawing::mnuLoad_Click() {
    RunReportingFailures(platform_.Messages(), [&] {
        cFileDialog dialog(platform_.Files());
        dialog.Sethwnd(std::int32_t(winId()));
        dialog.Setflags(std::int32_t(FileChooserFlags::FileMustExist));
        dialog.SetFilter(kLoadFilter);
        dialog.ShowOpen();
        if (dialog.Filename().isEmpty()) return;
        LoadPictureIntoDocument(dialog.Filename());
    });
}

// The picture replaces the drawing: it becomes both what the canvas shows and the light
// the buffer starts from, at the canvas's size or, if the user wishes, at its own.
void frmDrawing::LoadPictureIntoDocument(const QString& path) {
    ReplaceDrawing([&] { return ShowPictureFileOnCanvas(path); });
}

void frmDrawing::ReplaceDrawing(const std::function<std::unique_ptr<DrawingAhead>()>& showPictureOnCanvas) {
    const BusyScope busy(platform_.Busy());
    ClearAll();
    if (const std::unique_ptr<DrawingAhead> ahead = showPictureOnCanvas()) return TakeDrawingMadeAhead(*ahead);
    Reported(doc_.GMPic1).SetPicture(p->Image());
    p->ClearPicture();
    doc_.lightEngine.LoadPicture(doc_.GMPic1.Bytes());
    Reported(doc_.GMPic1).PrintToPictureBox(*p, true, false);
}

// The same outcome as the steps above, from arrays already filled: the light buffer and the
// displayed picture taken whole, and the decoded picture itself on the canvas.
void frmDrawing::TakeDrawingMadeAhead(DrawingAhead& ahead) {
    doc_.lightEngine.TakeLoaded(std::move(ahead.Light()));
    doc_.GMPic1 = std::move(ahead.Pixels());
    p->TakeWholeImage(std::move(ahead.Picture()));
    p->Refresh();
}

// A picture copied in another program becomes the drawing as a loaded one does, size
// question included; nothing happens when the clipboard holds no picture.
void frmDrawing::PastePicture() {
    const QImage pasted = QGuiApplication::clipboard()->image();
    if (pasted.isNull()) return;
    RunReportingFailures(platform_.Messages(), [&] {
        const QImage picture = PictureOverBlack(pasted);
        ReplaceDrawing([&] {
            if (ShowOnCanvasAskingForItsSize(picture)) p->SetPicture(picture);
            return std::unique_ptr<DrawingAhead>();
        });
    });
}

// The picture becomes the canvas's background picture, cut to the canvas or, if the user
// wishes, with the canvas at the picture's size. In that case the drawing made from the picture
// while it decoded comes back, when it could be made; the canvas then still waits for it.
std::unique_ptr<DrawingAhead> frmDrawing::ShowPictureFileOnCanvas(const QString& path) {
    PictureFiles& files = platform_.Pictures();
    // Taken before the file is read, so that any change from then on shows in it.
    const FileStamp readStamp = files.StampOf(path);
    // Made before the drawing that reads its rows, so that it outlives it.
    QImage picture;
    std::unique_ptr<DrawingAhead> ahead;
    const QSize coming = files.PictureSizeOf(path);
    if (!coming.isEmpty() && coming != QSize(doc_.PictureWidth, doc_.PictureHeight)) ahead = DrawingAheadOfSize(coming);
    picture = files.Load(path, ahead ? ahead->Receiver() : RowsDecoded());
    if (!ShowOnCanvasAskingForItsSize(picture)) return nullptr;
    // The clear took the picture off the canvas. Decoding a big photo takes seconds, so the
    // one read above goes back, unless the file has changed in the meantime; the old picture
    // is let go before a new one is decoded.
    if (files.StampOf(path) != readStamp) {
        ahead.reset();
        picture = QImage();
        picture = files.Load(path);
    } else if (ahead != nullptr && ahead->Finish(picture)) {
        return ahead;
    }
    p->SetPicture(picture);
    return nullptr;
}

bool frmDrawing::ShowOnCanvasAskingForItsSize(const QImage& picture) {
    {
        // Whatever happens, the canvas stops following the size of its pictures.
        const struct AutoSizeOff {
            PictureBox* box;
            ~AutoSizeOff() { box->SetAutoSize(false); }
        } autoSizeOff{p};
        p->SetAutoSize(true);
        p->SetPicture(picture);
    }
    // The canvas's own size, in picture pixels, whatever the view's zoom.
    const QSize loaded = p->SurfaceSize();
    if (loaded.width() == doc_.PictureWidth && loaded.height() == doc_.PictureHeight) return false;
    const MessageAnswer answer =
        platform_.Messages().Show(kSizeQuestion, MessageButtons::YesNo, MessageIcon::Question, kSizeTitle);
    if (answer != MessageAnswer::Yes) {
        ChangePictureSize(doc_.PictureWidth, doc_.PictureHeight);
        return false;
    }
    AdoptPictureSize(RoundToInt32(loaded.width()), RoundToInt32(loaded.height()));
    return true;
}

void frmDrawing::LoadPictureAtStart(const QString& path) {
    const auto load = [this, path] {
        RunReportingFailures(platform_.Messages(), [&] { LoadPictureIntoDocument(path); });
    };
    if (about_ == nullptr) return load();
    connect(about_, &QObject::destroyed, this, load, Qt::QueuedConnection);
}

namespace {

// The one local file a drag carries, if that is what it carries.
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void frmDrawing::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmDrawing::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    RunReportingFailures(platform_.Messages(), [&] { LoadPictureIntoDocument(path); });
}

void frmDrawing::mnuSave_Click() {
    RunReportingFailures(platform_.Messages(), [&] {
        cFileDialog dialog(platform_.Files());
        dialog.Sethwnd(std::int32_t(winId()));
        dialog.Setflags(std::int32_t(FileChooserFlags::PathMustExist | FileChooserFlags::HideReadOnly));
        dialog.SetFilter(kSaveFilter);
        dialog.ShowOpen();
        if (dialog.Filename().isEmpty()) return;

        const BusyScope busy(platform_.Busy());
        dialog.SetFilename(WithBmpExtension(dialog.Filename()));
        if (platform_.Pictures().NormalFileExists(dialog.Filename())) {
            const MessageAnswer answer = platform_.Messages().Show(kExistsQuestion, MessageButtons::YesNo,
                                                                   MessageIcon::Question, kExistsTitle);
            if (answer != MessageAnswer::Yes) {
                platform_.Messages().Show(kAbortedMessage, MessageButtons::Ok, MessageIcon::Information,
                                          kAbortedTitle);
                return;
            }
        }
        p->MergeImageIntoPicture();
        platform_.Pictures().SaveBmp(p->DetachedPicture(), dialog.Filename());
    });
}
