#include "window/plan_view.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHeaderView>
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

#include "platform/qt_text.h"

namespace sweepwav {

namespace {


const QColor kFrequencyColour(0x2c, 0x5a, 0x85);
const QColor kLevelColour(0xe5, 0x2b, 0x2b);

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
    : QDialog(parent), csv_(PlanCsv(s)), json_(PlanJson(s)), fileName_(s.sFileName) {
    setObjectName(QStringLiteral("PlanView"));
    setWindowTitle(QStringLiteral("Sweep plan - ") + ToQString(fileName_));
    const std::vector<PlanRow> rows = PlanRows(s);

    chart_ = new QChart;
    chartView_ = new QChartView(chart_, this);
    chartView_->setObjectName(QStringLiteral("PlanChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(640, 320);
    build_chart(rows, s.bLogSteps);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("PlanTable"));
    build_table(rows);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    export_ = buttons->addButton(QStringLiteral("&Export tone plan\u2026"), QDialogButtonBox::ActionRole);
    export_->setObjectName(QStringLiteral("ExportPlanButton"));
    picture_ = buttons->addButton(QStringLiteral("Save chart &picture\u2026"), QDialogButtonBox::ActionRole);
    picture_->setObjectName(QStringLiteral("SavePictureButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(export_, &QPushButton::clicked, this, &PlanView::export_requested);
    connect(picture_, &QPushButton::clicked, this, &PlanView::save_picture_requested);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chartView_, 3);
    layout->addWidget(table_, 2);
    layout->addWidget(buttons);

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
QLineSeries* StepSeries(const QString& name, const QColor& colour, const std::vector<PlanRow>& rows,
                        double PlanRow::*value) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->setPen(QPen(colour, 2));
    for (const PlanRow& r : rows) {
        series->append(r.startSeconds, r.*value);
        series->append(r.startSeconds + r.durationSeconds, r.*value);
    }
    return series;
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
    QLineSeries* frequency = StepSeries(QStringLiteral("Frequency (Hz)"), kFrequencyColour, rows, &PlanRow::frequencyHz);
    QLineSeries* level = StepSeries(QStringLiteral("Level (dBFS)"), kLevelColour, rows, &PlanRow::levelDbfs);
    chart_->addSeries(frequency);
    chart_->addSeries(level);
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

    QValueAxis* levelAxis = ValueAxis(QStringLiteral("Level (dBFS)"), range.lowLevel, range.highLevel, 5);
    levelAxis->setLinePenColor(kLevelColour);
    levelAxis->setLabelsColor(kLevelColour);
    levelAxis->setGridLineVisible(false);
    chart_->addAxis(levelAxis, Qt::AlignRight);

    frequency->attachAxis(time);
    frequency->attachAxis(freqAxis);
    level->attachAxis(time);
    level->attachAxis(levelAxis);
}

void PlanView::build_table(const std::vector<PlanRow>& rows) {
    table_->setColumnCount(static_cast<int>(kPlanColumns.size()));
    table_->setRowCount(static_cast<int>(rows.size()));
    QStringList headers;
    for (std::string_view name : kPlanColumns) {
        headers << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The cells hold the exported texts, so what is shown is what a file
    // holds, to the last digit.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto texts = PlanRowTexts(rows[r]);
        for (std::size_t c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(ToQString(texts[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();
}

}  // namespace sweepwav
