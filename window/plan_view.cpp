#include "window/plan_view.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLineItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "commands/window_texts.h"
#include "core/window_look.h"
#include "platform/qt_text.h"

namespace sweepwav {

namespace {

const QColor kFrequencyInk(kFrequencyColour.red, kFrequencyColour.green, kFrequencyColour.blue);
const QColor kLevelInk(kLevelColour.red, kLevelColour.green, kLevelColour.blue);

std::array<double, kPlanColumns.size()> RowValues(const PlanRow& r) {
    return {static_cast<double>(r.index), static_cast<double>(r.firstFrame), static_cast<double>(r.frames),
            r.startSeconds, r.durationSeconds, r.frequencyHz, r.levelDbfs, r.peakAmplitude, r.cycles};
}

}  // namespace

PlanView::PlanView(const GeneratorState& s, QWidget* parent)
    : QDialog(parent), csv_(PlanFileText(s, PlanFormat::Csv)), json_(PlanFileText(s, PlanFormat::Json)), fileName_(s.sFileName) {
    setObjectName(QStringLiteral("PlanView"));
    setWindowTitle(ToQString(PlanViewTitle(fileName_)));
    const std::vector<PlanRow> rows = PlanRows(s);

    chart_ = new QChart;
    // Also in the saved picture, which has nothing else to say what it shows.
    chart_->setTitle(ToQString(PlanTitle(s)));
    chartView_ = new QChartView(chart_, this);
    chartView_->setObjectName(QStringLiteral("PlanChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(640, 320);
    // The chart is in the Tab order: a screen reader reads its name and what
    // it shows.
    chartView_->setAccessibleName(QStringLiteral("Sweep plan chart"));
    chartView_->setAccessibleDescription(chart_->title() +
                                         QStringLiteral(": frequency and level of each tone over time"));
    build_chart(rows, s.bLogSteps);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("PlanTable"));
    table_->setAccessibleName(QStringLiteral("Tone plan table"));
    table_->setAccessibleDescription(QStringLiteral("One row per tone, with the columns of the exported plan"));
    // Tab leaves the table for the buttons; the arrow keys move in it.
    table_->setTabKeyNavigation(false);
    build_table(rows);

    QHBoxLayout* buttons = build_buttons();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chartView_, 3);
    layout->addWidget(table_, 2);
    layout->addLayout(buttons);

    // Wide enough for every column of the table, as far as the screen allows.
    int tableWidth = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < table_->columnCount(); ++c) tableWidth += table_->columnWidth(c);
    const QMargins margins = layout->contentsMargins();
    resize(std::clamp(tableWidth + margins.left() + margins.right(), 900, 1240), 720);
}

QHBoxLayout* PlanView::build_buttons() {
    // A row of plain buttons rather than a button box, which sets a tab
    // order of its own that leaves Close out.
    export_ = new QPushButton(QStringLiteral("&Export tone plan\u2026"), this);
    export_->setObjectName(QStringLiteral("ExportPlanButton"));
    picture_ = new QPushButton(ToQString(std::string(kSavePictureButton)), this);
    picture_->setObjectName(QStringLiteral("SavePictureButton"));
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(export_);
    buttons->addWidget(picture_);
    buttons->addStretch();
    buttons->addWidget(close);
    // Tab goes round the chart, the table and the buttons, in their order on the screen.
    QWidget::setTabOrder(chartView_, table_);
    QWidget::setTabOrder(table_, export_);
    QWidget::setTabOrder(export_, picture_);
    QWidget::setTabOrder(picture_, close);
    connect(export_, &QPushButton::clicked, this, &PlanView::export_requested);
    connect(picture_, &QPushButton::clicked, this, &PlanView::save_picture_requested);
    return buttons;
}

const std::string& PlanView::plan_text(PlanFormat format) const {
    return format == PlanFormat::Json ? json_ : csv_;
}

QByteArray PlanView::chart_png() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    chartView_->grab().save(&buffer, "PNG");
    return bytes;
}

namespace {

// Each tone is a level stretch from its start to its end; the next tone
// starts where it ends, so the line rises or falls there as a step.
// Silence between tones (a signal option) breaks the line: each run of
// tones that follow one another is a piece of its own.
std::vector<QLineSeries*> StepSeries(const QString& name, const QColor& colour, const std::vector<PlanRow>& rows,
                                     double PlanRow::*value) {
    std::vector<QLineSeries*> pieces;
    std::int64_t nextFrame = -1;
    for (const PlanRow& r : rows) {
        if (pieces.empty() || r.firstFrame != nextFrame) {
            auto* series = new QLineSeries;
            series->setName(name);
            series->setPen(QPen(colour, 2));
            pieces.push_back(series);
        }
        pieces.back()->append(r.startSeconds, r.*value);
        pieces.back()->append(r.startSeconds + r.durationSeconds, r.*value);
        nextFrame = r.firstFrame + r.frames;
    }
    if (pieces.empty()) {
        pieces.push_back(new QLineSeries);
        pieces.back()->setName(name);
        pieces.back()->setPen(QPen(colour, 2));
    }
    return pieces;
}

// An axis showing the ticks of shown: a label and a grid line at each
// labelled tick, the rest left to MinorGrid. A logarithmic axis is shown
// over the logarithms of its values; its series go on a hidden axis of
// their own (LogScale) that maps them to the same places.
QCategoryAxis* ShownAxis(const ChartAxis& shown, const QColor& colour) {
    const auto place = [&shown](double value) { return shown.log ? std::log10(value) : value; };
    auto* axis = new QCategoryAxis;
    axis->setTitleText(ToQString(shown.title));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(place(shown.low), place(shown.high));
    axis->setStartValue(place(shown.low));
    for (const ChartTick& tick : shown.ticks) {
        if (!tick.label.empty()) axis->append(ToQString(tick.label), place(tick.value));
    }
    if (colour.isValid()) {
        axis->setLinePenColor(colour);
        axis->setLabelsColor(colour);
    }
    return axis;
}

QLogValueAxis* LogScale(const ChartAxis& shown) {
    auto* axis = new QLogValueAxis;
    axis->setBase(10);
    axis->setRange(shown.low, shown.high);
    axis->setVisible(false);
    return axis;
}

// The grid lines of a vertical axis's ticks without labels (between the
// decades of a logarithmic axis), drawn with the minor grid's pen across
// the plot area, beneath the lines of the plan, and kept in place as the
// plot area moves.
void MinorGrid(QChart* chart, const ChartAxis& axis, const QPen& pen) {
    std::vector<std::pair<QGraphicsLineItem*, double>> lines;
    for (const ChartTick& tick : axis.ticks) {
        if (!tick.label.empty()) continue;
        auto* line = new QGraphicsLineItem(chart);
        line->setPen(pen);
        line->setZValue(0);
        lines.emplace_back(line, axis.fraction(tick.value));
    }
    QObject::connect(chart, &QChart::plotAreaChanged, chart, [lines](const QRectF& plot) {
        for (const auto& [line, fraction] : lines) {
            const double y = plot.bottom() - fraction * plot.height();
            line->setLine(plot.left(), y, plot.right(), y);
        }
    });
}

}  // namespace

void PlanView::build_chart(const std::vector<PlanRow>& rows, bool logSteps) {
    const std::vector<QLineSeries*> frequency =
        StepSeries(QStringLiteral("Frequency (Hz)"), kFrequencyInk, rows, &PlanRow::frequencyHz);
    const std::vector<QLineSeries*> level =
        StepSeries(QStringLiteral("Level (dBFS)"), kLevelInk, rows, &PlanRow::levelDbfs);
    for (const auto* pieces : {&frequency, &level}) {
        for (std::size_t i = 0; i < pieces->size(); ++i) {
            chart_->addSeries((*pieces)[i]);
            // The legend names each line once.
            if (i > 0) chart_->legend()->markers((*pieces)[i]).constFirst()->setVisible(false);
        }
    }
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));

    const PlanChart axes = PlanChartAxes(rows, logSteps);
    QCategoryAxis* time = ShownAxis(axes.time, QColor());
    chart_->addAxis(time, Qt::AlignBottom);
    QCategoryAxis* freqShown = ShownAxis(axes.frequency, kFrequencyInk);
    chart_->addAxis(freqShown, Qt::AlignLeft);
    QAbstractAxis* freqAxis = freqShown;
    if (axes.frequency.log) {
        freqAxis = LogScale(axes.frequency);
        chart_->addAxis(freqAxis, Qt::AlignLeft);
    }
    MinorGrid(chart_, axes.frequency, freqShown->minorGridLinePen());
    QCategoryAxis* levelAxis = ShownAxis(axes.level, kLevelInk);
    levelAxis->setGridLineVisible(false);
    chart_->addAxis(levelAxis, Qt::AlignRight);

    for (QLineSeries* piece : frequency) {
        piece->attachAxis(time);
        piece->attachAxis(freqAxis);
    }
    for (QLineSeries* piece : level) {
        piece->attachAxis(time);
        piece->attachAxis(levelAxis);
    }
}

void PlanView::build_table(const std::vector<PlanRow>& rows) {
    const std::span<const PlanColumn> columns = PlanColumns();
    table_->setColumnCount(static_cast<int>(columns.size()));
    table_->setRowCount(static_cast<int>(rows.size()));
    QStringList headers;
    for (const PlanColumn& column : columns) headers << ToQString(std::string(column.heading));
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto values = RowValues(rows[r]);
        const auto exact = PlanRowTexts(rows[r]);
        for (std::size_t c = 0; c < values.size(); ++c) {
            auto* item = new QTableWidgetItem(ToQString(PlanCellText(values[c], columns[c].decimals)));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (columns[c].decimals > 0) item->setToolTip(ToQString(exact[c]));
            table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();
}

}  // namespace sweepwav
