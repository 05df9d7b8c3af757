// Renders every image of the built-in set to PNG files, at scale 1 and 2,
// with the disabled look beside each strip, plus one contact sheet. For
// reviewing the artwork: sorvane-res-preview <folder>.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "res/resources.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sorvane-res-preview <folder>\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const res::Resources& resources = res::Resources::Instance();
    std::vector<QImage> rows;
    int sheetWidth = 0;
    std::vector<std::pair<uint32_t, bool>> all;  // id, icon
    for (uint32_t id : resources.Lookup().Builtin().ImageIds(SORVANE_IMAGE_ICON)) {
        all.emplace_back(id, true);
    }
    for (uint32_t id : resources.Lookup().Builtin().ImageIds()) {
        all.emplace_back(id, false);
    }
    for (const auto& [id, icon] : all) {
        for (qreal dpr : {1.0, 2.0}) {
            QImage image = icon ? resources.Icon(id).pixmap(QSize(16, 16), dpr).toImage()
                                : resources.Image(id, QSize(), dpr);
            if (image.isNull()) {
                std::fprintf(stderr, "image %u: nothing rendered\n", id);
                continue;
            }
            image.setDevicePixelRatio(1);
            const QString name =
                QStringLiteral("%1_%2@%3x.png").arg(icon ? "icon" : "image").arg(id).arg(int(dpr));
            image.save(folder.filePath(name));
            if (dpr == 1.0) {
                QImage zoom(image.size() * 4, QImage::Format_ARGB32);
                zoom.fill(QColor(0xF4, 0xF5, 0xF7));
                QPainter zp(&zoom);
                zp.drawImage(zoom.rect(), image);
                zp.end();
                zoom.save(folder.filePath(
                    QStringLiteral("%1_%2_zoom.png").arg(icon ? "icon" : "image").arg(id)));
            }
            // On the sheet: the image on light and on dark ground.
            QImage row(image.width() * 2 + 24, image.height() + 8, QImage::Format_ARGB32);
            row.fill(QColor(0xF4, 0xF5, 0xF7));
            QPainter painter(&row);
            painter.fillRect(image.width() + 16, 0, image.width() + 8, row.height(),
                             QColor(0x2B, 0x2F, 0x36));
            painter.drawImage(4, 4, image);
            painter.drawImage(image.width() + 20, 4, image);
            painter.end();
            sheetWidth = std::max(sheetWidth, row.width());
            rows.push_back(row);
        }
    }
    int height = 0;
    for (const QImage& row : rows) {
        height += row.height() + 4;
    }
    QImage sheet(sheetWidth, height, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int y = 0;
    for (const QImage& row : rows) {
        painter.drawImage(0, y, row);
        y += row.height() + 4;
    }
    painter.end();
    sheet.save(folder.filePath(QStringLiteral("sheet.png")));
    // Magnified without smoothing, to judge single pixels.
    sheet.scaled(sheet.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(folder.filePath(QStringLiteral("sheet_x3.png")));
    std::printf("%zu renditions written to %s\n", rows.size(), argv[1]);
    return 0;
}
