#include "windows/about/AboutWindow.h"

#include "windows/common/ApplicationIcon.h"
#include "windows/common/FittingFont.h"
#include "core/common/Twips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kClientWidthTwips = 8925;
const QColor kHeadingColor(192, 0, 0);
const QColor kLinkColor(0, 0, 192);
// Room a text box keeps around its text for its frame and margins.
constexpr int kTextBoxMargins = 10;

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    SetTextColor(this, kLinkColor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

AboutWindow::AboutWindow(const char* name, int clientHeightTwips)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QLatin1String(name));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(ApplicationIcon());
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(clientHeightTwips));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
}

QLabel* AboutWindow::AddPicture(const char* name, QRect geometry, const QString& resource) {
    auto* picture = new QLabel(this);
    picture->setObjectName(QLatin1String(name));
    picture->setGeometry(geometry);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(QPixmap(resource));
    return picture;
}

QLabel* AboutWindow::AddCaption(const char* name, QRect geometry, const QString& text, const QString& family,
                                int pixels, bool bold) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    QFont font = label->font();
    if (!family.isEmpty()) font.setFamily(family);
    font.setBold(bold);
    label->setFont(FittingFont(font, {{text, label->width(), label->height()}}, pixels, kSmallestCaptionPixels));
    return label;
}

QLabel* AboutWindow::AddHeading(const char* name, QRect geometry, const QString& text) {
    QLabel* heading = AddCaption(name, geometry, text, {}, kLargestCaptionPixels, true);
    SetTextColor(heading, kHeadingColor);
    return heading;
}

LinkLabel* AboutWindow::AddLink(const char* name, QRect geometry, const QString& text, const QString& family,
                                int pixels) {
    auto* link = new LinkLabel(text, this);
    link->setObjectName(QLatin1String(name));
    link->setGeometry(geometry);
    QFont font = link->font();
    font.setFamily(family);
    font.setBold(true);
    font.setUnderline(true);
    link->setFont(FittingFont(font, {{text, link->width(), link->height()}}, pixels, kSmallestCaptionPixels));
    return link;
}

QPlainTextEdit* AboutWindow::AddTextBox(const char* name, QRect geometry, const QString& text) {
    auto* box = new QPlainTextEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFocusPolicy(Qt::ClickFocus);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setPlainText(shown);
    std::vector<CaptionRoom> lines;
    for (const QString& line : shown.split(u'\n')) lines.push_back({line, box->width() - kTextBoxMargins, 13});
    box->setFont(FittingFont(box->font(), lines, kLargestCaptionPixels, kSmallestCaptionPixels));
    return box;
}

void AboutWindow::AddContinueLink(QRect geometry) {
    LinkLabel* link =
        AddLink("Label1", geometry, QStringLiteral("Click here to continue..."), QStringLiteral("Verdana"), kTwelvePoints);
    connect(link, &LinkLabel::clicked, this, &QDialog::accept);
}

void AboutWindow::AddHiddenCloseButton(QRect geometry) {
    Command1 = new QPushButton(QStringLiteral("Command1"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(geometry);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    Command1->setFocus();
}

void AboutWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && Command1 != nullptr) Command1->setFocus();
}
