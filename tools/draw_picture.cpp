// Draws the program's picture: a stepped sine sweep, tones of rising
// frequency and falling level, over the staircase of their frequencies.
// Writes a square PNG of SIZE pixels (default 256), or a scalable SVG when
// the output name ends in .svg:
//   draw_picture OUTPUT.png [SIZE]
//   draw_picture OUTPUT.svg
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kGrid = 256;  // the picture is drawn on a 256 x 256 grid
constexpr int kDotsPerMeter = 3780;  // 96 dpi, written into the PNG files

void Draw(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);

    // Rounded tile with a deep blue gradient.
    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(0x27, 0x4b, 0x73));
    tile.setColorAt(1, QColor(0x12, 0x23, 0x38));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    // Faint graticule.
    p.setPen(QPen(QColor(255, 255, 255, 28), 1.5));
    for (int y = 48; y <= 208; y += 40) p.drawLine(QPointF(28, y), QPointF(228, y));

    // Four tones side by side, each a few cycles more than the one before
    // and a little quieter, every one starting on a rising zero crossing.
    const int tones = 4;
    const double left = 30, right = 226, mid = 150;
    const double width = (right - left) / tones;
    QPainterPath wave;
    QPainterPath stairs;
    for (int k = 0; k < tones; ++k) {
        const double x0 = left + k * width;
        const double cycles = 1.0 + k;
        const double amplitude = 44 - 7 * k;
        for (int i = 0; i <= 120; ++i) {
            const double t = i / 120.0;
            const QPointF pt(x0 + t * width, mid - amplitude * std::sin(2 * M_PI * cycles * t));
            if (k == 0 && i == 0) wave.moveTo(pt); else wave.lineTo(pt);
        }
        const double stepY = 82 - 14 * k;
        if (k == 0) stairs.moveTo(x0, stepY); else stairs.lineTo(x0, stepY);
        stairs.lineTo(x0 + width, stepY);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x5c, 0xe1, 0xe6, 60), 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    p.setPen(QPen(QColor(0x7d, 0xf0, 0xf2), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    p.setPen(QPen(QColor(0xff, 0xb3, 0x3b), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(stairs);
}

bool WriteSvg(const QString& file) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(kGrid, kGrid));
    svg.setViewBox(QRect(0, 0, kGrid, kGrid));
    svg.setTitle(QStringLiteral("sweepwav"));
    svg.setDescription(QStringLiteral("A stepped sine sweep over the staircase of its frequencies"));
    QPainter p;
    if (!p.begin(&svg)) return false;
    Draw(p);
    return p.end();
}

bool WritePng(const QString& file, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    QPainter p(&image);
    p.scale(size / double(kGrid), size / double(kGrid));
    Draw(p);
    p.end();
    return image.save(file, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    // No application object: drawing into an image or SVG file without text
    // needs neither a display nor a platform plugin.
    if (argc < 2) {
        std::fprintf(stderr, "usage: draw_picture OUTPUT.png [SIZE] | OUTPUT.svg\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    bool written = false;
    if (file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        written = WriteSvg(file);
    } else {
        const int size = argc > 2 ? std::atoi(argv[2]) : kGrid;
        if (size < 16 || size > 4096) {
            std::fprintf(stderr, "draw_picture: SIZE must be 16 to 4096 pixels\n");
            return 2;
        }
        written = WritePng(file, size);
    }
    if (!written) {
        std::fprintf(stderr, "draw_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
