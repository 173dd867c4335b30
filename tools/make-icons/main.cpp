// Writes the application icon as PNG files into an icon theme tree:
//   sleevanta-make-icons OUTPUT_DIR  ->  OUTPUT_DIR/hicolor/NxN/apps/<id>.png
#include "ui/common/AppIcon.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sleevanta-make-icons OUTPUT_DIR\n");
        return 64;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) ||
            !AppIcon::image(size).save(folder + QStringLiteral("/org.sleevanta.Sleevanta.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    return 0;
}
