// Writes the window icon as PNG files of the hicolor theme sizes, drawn by the same code as the
// window icon itself: IconExport <output folder> <size>...
#include "Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        QTextStream(stderr) << "usage: IconExport <folder> <size>..." << Qt::endl;
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString path = folder.filePath(QStringLiteral("kestrin-%1.png").arg(size));
        if (size <= 0 || !windowIconPixmap(size).save(path, "PNG")) {
            QTextStream(stderr) << "cannot write " << path << Qt::endl;
            return 1;
        }
    }
    return 0;
}
