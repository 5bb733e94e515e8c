// Writes the program's icon as PNG files of the sizes that desktops ask for, into the
// hicolor theme's layout under the folder given: <size>x<size>/apps/quibolet.png.
#include "mainwindow/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 24, 32, 48}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!root.mkpath(folder) || !pictures::logo(size).save(root.filePath(folder + QStringLiteral("/quibolet.png")))) {
            std::fprintf(stderr, "make_icons: cannot write the %dpx icon\n", size);
            return 1;
        }
    }
    return 0;
}
