// View > Sweep plan: the planned tones as a chart (frequency and level
// against time, as steps, under a title that names the file and the sweep)
// and as a table with the columns of the exported plan, headed in words and
// rounded for reading. The view keeps its own copy of the plan, so it stays
// as it was planned while the entries change.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "core/generator_state.h"
#include "commands/outputs.h"

class QChart;
class QChartView;
class QPushButton;
class QTableWidget;
class QHBoxLayout;

namespace sweepwav {

class PlanView : public QDialog {
    Q_OBJECT

public:
    // Shows the plan in s (iCalcResult 1).
    explicit PlanView(const GeneratorState& s, QWidget* parent = nullptr);

    // The plan as an exported file would hold it.
    const std::string& plan_text(PlanFormat format) const;
    // The file the plan is for ("name.wav").
    const std::string& file_name() const { return fileName_; }

    // The chart as a PNG picture.
    QByteArray chart_png();

    QChart* chart() const { return chart_; }
    QTableWidget* table() const { return table_; }
    QPushButton* export_button() const { return export_; }
    QPushButton* picture_button() const { return picture_; }

signals:
    void export_requested();
    void save_picture_requested();

private:
    void build_chart(const std::vector<PlanRow>& rows, bool logSteps);
    void build_table(const std::vector<PlanRow>& rows);
    // Export, Save chart picture and Close, with the Tab order through them.
    QHBoxLayout* build_buttons();

    std::string csv_;
    std::string json_;
    std::string fileName_;
    QChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* picture_ = nullptr;
};

}  // namespace sweepwav
