#include "windows/common/ApplicationIcon.h"

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/glimmerage-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
