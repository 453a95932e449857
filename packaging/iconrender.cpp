// Renders the program's SVG icon to a square PNG of a given size, at build time, so the
// desktop's icon theme gets pictures drawn from the same source as the scalable one.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: velmo_iconrender SVG SIZE PNG\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    const int size = args[2].toInt();
    if (!svg.isValid() || size <= 0)
        return 1;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    return image.save(args[3], "PNG") ? 0 : 1;
}
