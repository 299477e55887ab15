// Saves a large picture over the file named on its command line, again and again until it is
// killed: the process that the save-fault test kills in the middle of a save. With "--once"
// after the name it saves once, which gives the test the file a complete save leaves.

#include "core/files/QtPictureFiles.h"

#include <QCoreApplication>
#include <QImage>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const bool once = argc == 3 && QByteArray(argv[2]) == "--once";
    if (argc != 2 && !once) return 2;
    QImage picture(5000, 5000, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QtPictureFiles files;
    do {
        files.SaveBmp(picture, QString::fromLocal8Bit(argv[1]));
    } while (!once);
    return 0;
}
