// One line of the progress display: a horizontal line from X = 60 to X2,
// both in the window's units (the window's inner width is 4740 units), drawn
// across the full width of the widget. Assistive tools see it as a progress
// indicator named by its accessible name, valued 0 to 100 (percent).
#pragma once

#include <QColor>
#include <QWidget>

#include "core/window_look.h"

namespace sweepwav {

class ProgressLine : public QWidget {
    Q_OBJECT

public:
    static constexpr float kStartX = kLineEmpty;
    static constexpr float kInnerWidth = 4740;

    explicit ProgressLine(QWidget* parent = nullptr);

    void set_color(const QColor& color);
    void set_background(const QColor& color);

    // Moves the right end. With redraw the line is painted at once, but only
    // when its drawn length in device pixels differs from the one on screen;
    // without, the event loop paints it. Returns whether a paint was asked for.
    bool set_x2(float x2, bool redraw);
    float x2() const { return x2_; }

    // How far the line reaches, 0 (X2 = 60) to 100 (X2 = 4660).
    double percent() const;

    // The drawn length in device pixels for the current X2 and width.
    int drawn_length() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_{Qt::white};
    QColor background_{Qt::black};
    float x2_ = kStartX;
    int paintedLength_ = 0;    // as last painted
    int requestedLength_ = 0;  // as last asked for, painted or waiting for the event loop
    int announcedPercent_ = 0;
};

}  // namespace sweepwav
