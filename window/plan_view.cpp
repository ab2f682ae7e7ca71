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

void PlanView::build_chart(const std::vector<PlanRow>& rows, bool logSteps) {
    // Each tone is a level stretch from its start to its end; the next tone
    // starts where it ends, so the lines rise or fall there as steps.
    auto* frequency = new QLineSeries;
    frequency->setName(QStringLiteral("Frequency (Hz)"));
    frequency->setPen(QPen(kFrequencyColour, 2));
    auto* level = new QLineSeries;
    level->setName(QStringLiteral("Level (dBFS)"));
    level->setPen(QPen(kLevelColour, 2));
    double end = 0;
    double lowFreq = rows.empty() ? 1000 : rows.front().frequencyHz, highFreq = lowFreq;
    double lowLevel = rows.empty() ? 0 : rows.front().levelDbfs, highLevel = lowLevel;
    for (const PlanRow& r : rows) {
        end = r.startSeconds + r.durationSeconds;
        frequency->append(r.startSeconds, r.frequencyHz);
        frequency->append(end, r.frequencyHz);
        level->append(r.startSeconds, r.levelDbfs);
        level->append(end, r.levelDbfs);
        lowFreq = std::min(lowFreq, r.frequencyHz);
        highFreq = std::max(highFreq, r.frequencyHz);
        lowLevel = std::min(lowLevel, r.levelDbfs);
        highLevel = std::max(highLevel, r.levelDbfs);
    }
    chart_->addSeries(frequency);
    chart_->addSeries(level);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));

    // A sweep of tones without frames still gets a time axis.
    auto* time = new QValueAxis;
    time->setTitleText(QStringLiteral("Time (s)"));
    time->setLabelFormat(QStringLiteral("%g"));
    time->setRange(0, std::max(end, 1e-3));
    time->applyNiceNumbers();
    chart_->addAxis(time, Qt::AlignBottom);

    QAbstractAxis* freqAxis = nullptr;
    if (logSteps) {
        auto* axis = new QLogValueAxis;
        axis->setTitleText(QStringLiteral("Frequency (Hz)"));
        axis->setBase(10);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(8);
        // Whole decades around the tones.
        axis->setRange(std::pow(10.0, std::floor(std::log10(lowFreq))),
                       std::pow(10.0, std::ceil(std::log10(highFreq * 1.0001))));
        freqAxis = axis;
    } else {
        freqAxis = ValueAxis(QStringLiteral("Frequency (Hz)"), lowFreq, highFreq, 1);
    }
    freqAxis->setLinePenColor(kFrequencyColour);
    freqAxis->setLabelsColor(kFrequencyColour);
    chart_->addAxis(freqAxis, Qt::AlignLeft);

    QValueAxis* levelAxis = ValueAxis(QStringLiteral("Level (dBFS)"), lowLevel, highLevel, 5);
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
