// Scales the application icon into the sizes of the freedesktop hicolor icon
// theme: <output>/hicolor/<n>x<n>/apps/<name>.png.
#include <QDir>
#include <QImage>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        QTextStream(stderr) << "usage: stompwright-hicolor <icon.png> <output dir> <icon name>\n";
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        QTextStream(stderr) << "cannot read " << argv[1] << '\n';
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    // The sizes desktops ask for (menus 16 to 48, launchers and software
    // centres 64 to 256); none larger than the source.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        if (size > source.width() || size > source.height())
            continue;
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        const QImage icon = source.convertToFormat(QImage::Format_ARGB32)
                                .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(dir) || !icon.save(path, "png")) {
            QTextStream(stderr) << "cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
