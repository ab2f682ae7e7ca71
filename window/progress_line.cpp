#include "window/progress_line.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace sweepwav {

ProgressLine::ProgressLine(QWidget* parent) : QWidget(parent) {
    // The widget paints every pixel itself, so a repaint never has to draw
    // the band behind it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressLine::set_color(const QColor& color) {
    color_ = color;
    update();
}

void ProgressLine::set_background(const QColor& color) {
    background_ = color;
    update();
}

int ProgressLine::drawn_length() const {
    const double units = std::max(0.0f, x2_ - kStartX);
    const double devicePixels = width() * devicePixelRatioF();
    return static_cast<int>(std::lround(units / kInnerWidth * devicePixels));
}

double ProgressLine::percent() const {
    return std::clamp((x2_ - kStartX) / kLineSpan * 100.0, 0.0, 100.0);
}

bool ProgressLine::set_x2(float x2, bool redraw) {
    x2_ = x2;
    const int length = drawn_length();
    // A length already asked for needs no second request, unless it is still
    // waiting for the event loop and this one must be seen at once.
    if (length == requestedLength_ && (!redraw || length == paintedLength_)) return false;
    requestedLength_ = length;
    if (redraw) {
        repaint();
    } else {
        update();
    }
    // Assistive tools hear of whole percents only.
    const int whole = static_cast<int>(std::lround(percent()));
    if (whole != announcedPercent_ && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, percent());
        QAccessible::updateAccessibility(&event);
    }
    announcedPercent_ = whole;
    return true;
}

QSize ProgressLine::sizeHint() const { return {240, 6}; }
QSize ProgressLine::minimumSizeHint() const { return {60, 6}; }

void ProgressLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background_);
    // The length is recomputed here so that a resize draws it to scale.
    paintedLength_ = requestedLength_ = drawn_length();
    if (paintedLength_ <= 0) return;
    const double ratio = devicePixelRatioF();
    const double startX = kStartX / kInnerWidth * width();
    const double thickness = std::max(2.0, height() / 2.0);
    const QRectF line(startX, (height() - thickness) / 2.0, paintedLength_ / ratio, thickness);
    p.fillRect(line, color_);
}

}  // namespace sweepwav
