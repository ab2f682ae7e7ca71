#include "window/plan_view.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
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
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "commands/window_texts.h"
#include "platform/qt_text.h"

namespace sweepwav {

namespace {


const QColor kFrequencyColour(0x2c, 0x5a, 0x85);
const QColor kLevelColour(0xe5, 0x2b, 0x2b);

std::array<double, kPlanColumns.size()> RowValues(const PlanRow& r) {
    return {static_cast<double>(r.index), static_cast<double>(r.firstFrame), static_cast<double>(r.frames),
            r.startSeconds, r.durationSeconds, r.frequencyHz, r.levelDbfs, r.peakAmplitude, r.cycles};
}

// A value axis over [low, high] with some room either side, on round
// numbers; a single value gets room of its own.
QValueAxis* ValueAxis(const QString& title, double low, double high, double minimumRoom) {
    const double room = std::max((high - low) * 0.05, minimumRoom);
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setRange(low - room, high + room);
    axis->applyNiceNumbers();
    return axis;
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

    // A row of plain buttons rather than a button box, which sets a tab
    // order of its own that leaves Close out.
    export_ = new QPushButton(QStringLiteral("&Export tone plan\u2026"), this);
    export_->setObjectName(QStringLiteral("ExportPlanButton"));
    picture_ = new QPushButton(QStringLiteral("Save chart &picture\u2026"), this);
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

// The span of a plan's frequencies, levels and times.
struct PlanRange {
    double lowFreq = 1000, highFreq = 1000, lowLevel = 0, highLevel = 0, end = 0;
};

PlanRange RangeOf(const std::vector<PlanRow>& rows) {
    PlanRange r;
    if (rows.empty()) return r;
    r.lowFreq = r.highFreq = rows.front().frequencyHz;
    r.lowLevel = r.highLevel = rows.front().levelDbfs;
    for (const PlanRow& row : rows) {
        r.end = row.startSeconds + row.durationSeconds;
        r.lowFreq = std::min(r.lowFreq, row.frequencyHz);
        r.highFreq = std::max(r.highFreq, row.frequencyHz);
        r.lowLevel = std::min(r.lowLevel, row.levelDbfs);
        r.highLevel = std::max(r.highLevel, row.levelDbfs);
    }
    return r;
}

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

// A round step of about a fifth of the span: 1, 2 or 5 times a power of ten.
double TickStep(double span) {
    const double rough = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) return factor * power;
    }
    return 10 * power;
}

// The plan's levels with a small margin, the one above the highest level
// smallest: the axis suggests no level that is not there. A flat sweep gets
// a span of 1 dB below its level. The labels sit on multiples of a round
// step and are written here, so that they read "0" and "-0.6" rather than
// what adding up steps makes of them.
QValueAxis* LevelAxis(double low, double high) {
    const double span = std::max(high - low, 1.0);
    const double bottom = high - span - 0.04 * span;
    const double top = high + 0.02 * span;
    const double step = TickStep(span);
    auto* axis = new QCategoryAxis;
    axis->setTitleText(QStringLiteral("Level (dBFS)"));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(bottom, top);
    axis->setStartValue(bottom);
    for (auto k = static_cast<long>(std::ceil(bottom / step)); k * step <= top; ++k) {
        axis->append(QString::number(static_cast<double>(k) * step, 'g', 6), static_cast<double>(k) * step);
    }
    return axis;
}

QAbstractAxis* FrequencyAxis(const PlanRange& range, bool logSteps) {
    QAbstractAxis* axis = nullptr;
    if (logSteps) {
        auto* log = new QLogValueAxis;
        log->setTitleText(QStringLiteral("Frequency (Hz)"));
        log->setBase(10);
        log->setLabelFormat(QStringLiteral("%g"));
        log->setMinorTickCount(8);
        // Whole decades around the tones.
        log->setRange(std::pow(10.0, std::floor(std::log10(range.lowFreq))),
                      std::pow(10.0, std::ceil(std::log10(range.highFreq * 1.0001))));
        axis = log;
    } else {
        axis = ValueAxis(QStringLiteral("Frequency (Hz)"), range.lowFreq, range.highFreq, 1);
    }
    axis->setLinePenColor(kFrequencyColour);
    axis->setLabelsColor(kFrequencyColour);
    return axis;
}

}  // namespace

void PlanView::build_chart(const std::vector<PlanRow>& rows, bool logSteps) {
    const PlanRange range = RangeOf(rows);
    const std::vector<QLineSeries*> frequency =
        StepSeries(QStringLiteral("Frequency (Hz)"), kFrequencyColour, rows, &PlanRow::frequencyHz);
    const std::vector<QLineSeries*> level =
        StepSeries(QStringLiteral("Level (dBFS)"), kLevelColour, rows, &PlanRow::levelDbfs);
    for (const auto* pieces : {&frequency, &level}) {
        for (std::size_t i = 0; i < pieces->size(); ++i) {
            chart_->addSeries((*pieces)[i]);
            // The legend names each line once.
            if (i > 0) chart_->legend()->markers((*pieces)[i]).constFirst()->setVisible(false);
        }
    }
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));

    // A sweep of tones without frames still gets a time axis.
    auto* time = new QValueAxis;
    time->setTitleText(QStringLiteral("Time (s)"));
    time->setLabelFormat(QStringLiteral("%g"));
    time->setRange(0, std::max(range.end, 1e-3));
    time->applyNiceNumbers();
    chart_->addAxis(time, Qt::AlignBottom);

    QAbstractAxis* freqAxis = FrequencyAxis(range, logSteps);
    chart_->addAxis(freqAxis, Qt::AlignLeft);

    QValueAxis* levelAxis = LevelAxis(range.lowLevel, range.highLevel);
    levelAxis->setLinePenColor(kLevelColour);
    levelAxis->setLabelsColor(kLevelColour);
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
