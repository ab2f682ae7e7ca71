#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <exception>

#include "app/commands.h"
#include "app/progress_line.h"
#include "platform/window_look.h"
#include "report/info_report.h"
#include "settings/auto_name.h"
#include "ui_form1.h"

// The picture lives in this library's resources; a static library needs
// them registered by hand.
static void InitWindowResources() { Q_INIT_RESOURCE(resources); }

namespace sweepwav {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// Colours of the header box and the three bands.
constexpr const char* kStyle = R"(
QFrame#Header { background: #eef3f8; border: 1px solid #c7d2de; border-radius: 8px; }
QFrame#Header QLabel { background: transparent; border: none; }
QLabel#titletext { color: #1b3a5c; }
QLabel#Label16 { color: #4b6077; }
QFrame#StatusBand, QFrame#ParamsBand { background: #2c5a85; }
QFrame#StatusBand QLabel, QFrame#ParamsBand QLabel { color: #ffffff; background: transparent; }
QFrame#ProgressBand { background: #1c2a38; }
)";

const QColor kProgressBand(0x1c, 0x2a, 0x38);

}  // namespace

Form1::Form1(Services& services, MessageHook messageHook, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::Form1>()),
      services_(services),
      messageHook_(std::move(messageHook)) {
    InitWindowResources();
    ui_->setupUi(this);
    // The procedures address controls by name; the form's widgets carry the
    // same names.
    for (int i = 0; i < kControlCount; ++i) {
        const std::string_view name = control_name(static_cast<Control>(i));
        widgets_[static_cast<std::size_t>(i)] = findChild<QWidget*>(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        Q_ASSERT(widgets_[static_cast<std::size_t>(i)] != nullptr);
    }
    applyLook();

    connect(ui_->OK, &QPushButton::clicked, this, &Form1::OK_clicked);
    connect(ui_->ShowInfo, &QPushButton::clicked, this, &Form1::ShowInfo_clicked);
    connect(ui_->AutoName, &QPushButton::clicked, this, &Form1::AutoName_clicked);
    connect(ui_->Abort, &QPushButton::clicked, this, &Form1::Abort_clicked);

    Form_Load(state_, *this, services_);
    ui_->StartFreq->setFocus(Qt::OtherFocusReason);
}

Form1::~Form1() = default;

void Form1::applyLook() {
    setStyleSheet(QString::fromLatin1(kStyle));

    // The named faces where the system has them, close relatives otherwise.
    QFont heading = ui_->Status->font();
    heading.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    heading.setBold(true);
    heading.setPointSizeF(font().pointSizeF() + 1);
    ui_->Status->setFont(heading);
    ui_->ParamsHeading->setFont(heading);

    QFont title = ui_->titletext->font();
    title.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Arial"),
                       QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    title.setWeight(QFont::Black);
    title.setPointSizeF(font().pointSizeF() * 1.7);
    ui_->titletext->setFont(title);

    // Title and subtitle sit together in the middle of the header box.
    ui_->titleLayout->insertStretch(0);
    ui_->titleLayout->addStretch();
    ui_->OK->setMinimumWidth(ui_->OK->sizeHint().width() + 24);
    ui_->Abort->setMinimumWidth(ui_->OK->minimumWidth());

    ui_->Progress1->setColor(Qt::white);
    ui_->Progress2->setColor(QColor(0xe5, 0x2b, 0x2b));
    ui_->Progress1->setBackground(kProgressBand);
    ui_->Progress2->setBackground(kProgressBand);

    // The caption column of both sections has one width, so the boxes line up.
    const int captionWidth = std::max(ui_->sweepLayout->itemAtPosition(0, 0)->sizeHint().width(),
                                      ui_->paramsLayout->itemAtPosition(0, 0)->sizeHint().width());
    int widest = captionWidth;
    for (QLabel* caption : {ui_->FreqLabel, ui_->LevelLabel, ui_->StepsLabel, ui_->DurationLabel,
                            ui_->DitherLabel, ui_->ShiftLabel, ui_->AudioDataLabel,
                            ui_->FileNameLabel}) {
        widest = std::max(widest, caption->sizeHint().width());
    }
    ui_->sweepLayout->setColumnMinimumWidth(0, widest);
    ui_->paramsLayout->setColumnMinimumWidth(0, widest);
}

QWidget* Form1::control(Control c) const { return widgets_[static_cast<std::size_t>(c)]; }

QLineEdit* Form1::box(Control c) const { return qobject_cast<QLineEdit*>(control(c)); }
QAbstractButton* Form1::checkBox(Control c) const { return qobject_cast<QAbstractButton*>(control(c)); }
QComboBox* Form1::list(Control c) const { return qobject_cast<QComboBox*>(control(c)); }
ProgressLine* Form1::line(Control c) const { return qobject_cast<ProgressLine*>(control(c)); }

std::string Form1::text(Control c) {
    QLineEdit* b = box(c);
    return b ? S(b->text()) : std::string();
}

void Form1::set_text(Control c, const std::string& text) {
    if (QLineEdit* b = box(c)) b->setText(Q(text));
}

bool Form1::checked(Control c) {
    QAbstractButton* b = checkBox(c);
    return b && b->isChecked();
}

void Form1::set_checked(Control c, bool ticked) {
    if (QAbstractButton* b = checkBox(c)) b->setChecked(ticked);
}

void Form1::add_item(Control c, const std::string& text, int position, std::int32_t value) {
    if (QComboBox* l = list(c)) l->insertItem(position, Q(text), QVariant(value));
}

void Form1::select_index(Control c, int position) {
    if (QComboBox* l = list(c)) l->setCurrentIndex(position);
}

int Form1::selected_index(Control c) {
    QComboBox* l = list(c);
    return l ? l->currentIndex() : -1;
}

int Form1::item_count(Control c) {
    QComboBox* l = list(c);
    return l ? l->count() : 0;
}

std::int32_t Form1::item_value(Control c, int position) {
    QComboBox* l = list(c);
    if (!l || position < 0 || position >= l->count()) return 0;
    return l->itemData(position).toInt();
}

void Form1::set_enabled(Control c, bool enabled) {
    if (QWidget* w = control(c)) w->setEnabled(enabled);
}

void Form1::set_caption(const std::string& caption) { setWindowTitle(Q(caption)); }

void Form1::set_label(Control c, const std::string& text) {
    QLabel* label = qobject_cast<QLabel*>(control(c));
    if (!label) return;
    label->setText(Q(text));
    // Outside synthesis nothing services events (the write, the two-second
    // hold), so the status line is painted at once.
    label->repaint();
}

void Form1::set_line_x2(Control c, float x2, bool redraw) {
    if (ProgressLine* l = line(c)) l->setX2(x2, redraw);
}

void Form1::do_events() { QCoreApplication::processEvents(); }

void Form1::message_box(const std::string& text, const std::string& title, Icon icon) {
    if (messageHook_) {
        messageHook_(text, title, icon);
        return;
    }
    QMessageBox::Icon kind = QMessageBox::NoIcon;
    if (icon == Icon::Information) kind = QMessageBox::Information;
    if (icon == Icon::Exclamation) kind = QMessageBox::Warning;
    QString shown = Q(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QString boxTitle =
        title.empty() ? QGuiApplication::applicationDisplayName() : Q(title);
    QMessageBox box(kind, boxTitle, shown, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Synthesis sees the request at its next event check; the file is
        // then written as after an abort, and the window closes after that.
        Abort_Click(state_);
        closeRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

void Form1::OK_clicked() {
    if (running_) return;
    running_ = true;
    try {
        OK_Click(state_, *this, services_);
    } catch (const std::exception& e) {
        // A fault the procedures do not handle themselves (memory for a very
        // large sweep): say so and return to the idle look.
        message_box("The run stopped: " + Fault_reason(e), state_.sAppTitle,
                    Icon::Exclamation);
        Enable_form(*this, true);
        set_enabled(Control::Abort, false);
        set_caption(state_.sAppTitle);
        Show_idle_look(*this);
    }
    running_ = false;
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    }
}

void Form1::ShowInfo_clicked() {
    try {
        ShowInfo_Click(state_, *this, services_);
    } catch (const std::exception& e) {
        message_box("The report stopped: " + Fault_reason(e), state_.sAppTitle,
                    Icon::Exclamation);
        Show_idle_look(*this);
    }
}

void Form1::AutoName_clicked() { AutoName_Click(state_, *this); }

void Form1::Abort_clicked() { Abort_Click(state_); }

}  // namespace sweepwav
