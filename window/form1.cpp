#include "window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cstdint>
#include <exception>
#include <span>
#include <vector>

#include "commands/commands.h"
#include "window/accessibility.h"
#include "window/output_bar.h"
#include "window/plan_view.h"
#include "window/progress_line.h"
#include "window/options_dialog.h"
#include "window/qt_audio_output.h"
#include "core/window_look.h"
#include "platform/qt_text.h"
#include "commands/outputs.h"
#include "commands/window_texts.h"
#include "settings/catalogue.h"
#include "sweepwav_version.h"
#include "ui_form1.h"

// The picture lives in this library's resources; a static library needs
// them registered by hand.
static void InitWindowResources() { Q_INIT_RESOURCE(resources); }

namespace sweepwav {

namespace {


QColor ToQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

// Colours of the header box and the three bands.
QString StyleSheet() {
    const auto name = [](Rgb c) { return ToQColor(c).name(); };
    return QStringLiteral(R"(
QFrame#Header { background: %1; border: 1px solid %2; border-radius: 8px; }
QFrame#Header QLabel { background: transparent; border: none; }
QLabel#titletext { color: %3; }
QLabel#Label16 { color: %4; }
QFrame#StatusBand, QFrame#ParamsBand { background: %5; }
QFrame#StatusBand QLabel, QFrame#ParamsBand QLabel { color: %6; background: transparent; }
QFrame#ProgressBand { background: %7; }
)")
        .arg(name(kHeaderColour), name(kHeaderBorderColour), name(kTitleColour), name(kSubtitleColour),
             name(kBandColour), name(kBandTextColour), name(kProgressBandColour));
}

const QString kCsvFilter = ToQString(std::string(kCsvType.name));
const QString kJsonFilter = ToQString(std::string(kJsonType.name));
const QString kPngFilter = ToQString(std::string(kPngType.name));

// Return and Enter press the button that has the focus, as Space does; a
// button's Alt+letter presses it at once. (Qt's own mnemonic first shows the
// button pressed for a moment, and during synthesis that moment would end
// only at the next tone's event check, an Abort seen a tone late.)
class ButtonKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled()) return false;
        if (event->type() == QEvent::Shortcut) {
            if (static_cast<QShortcutEvent*>(event)->isAmbiguous()) return false;
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
            return true;
        }
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        if (!key->isAutoRepeat()) button->click();
        return true;
    }
};

// The ending a name filter such as "CSV files (*.csv)" stands for: "csv".
QString FilterSuffix(const QString& filter) {
    const qsizetype from = filter.indexOf(QLatin1String("(*.")) + 3;
    const qsizetype to = filter.indexOf(QLatin1Char(')'), from);
    return from < 3 || to < 0 ? QString() : filter.mid(from, to - from);
}

}  // namespace

Form1::Form1(Services& services, MessageHook messageHook, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::Form1>()),
      messageHook_(std::move(messageHook)),
      audio_(QtAudioOutput()),
      model_(*this, *this, services, recentStore_),
      pacer_(MakeWidgetPacer()) {
    InitWindowResources();
    InstallAccessibleInterfaces();
    ui_->setupUi(this);
    // The procedures address controls by name; the form's widgets carry the
    // same names.
    for (int i = 0; i < kFormControlCount; ++i) {
        const std::string_view name = control_name(static_cast<Control>(i));
        widgets_[static_cast<std::size_t>(i)] = findChild<QWidget*>(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        Q_ASSERT(widgets_[static_cast<std::size_t>(i)] != nullptr);
    }
    apply_catalogue();
    apply_look();
    model_.set_audio_output(*audio_);

    connect(ui_->OK, &QPushButton::clicked, this, &Form1::OK_clicked);
    connect(ui_->Play, &QPushButton::clicked, this, &Form1::Play_clicked);
    connect(ui_->ShowInfo, &QPushButton::clicked, this, &Form1::ShowInfo_clicked);
    connect(ui_->AutoName, &QPushButton::clicked, this, &Form1::AutoName_clicked);
    connect(ui_->Abort, &QPushButton::clicked, this, &Form1::Abort_clicked);
    build_menu_bar();
    build_output_bar();
    wire_keys();
    setAcceptDrops(true);
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);
    use_presets(FindPresets(PresetFolders(ProgramFolder())));

    model_.start();
}

Form1::~Form1() = default;

void Form1::build_menu_bar() {
    // Above the form, outside its margins: the form itself keeps its size,
    // look and focus order.
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MenuBar"));
    ui_->formLayout->setMenuBar(menuBar_);

    const auto add = [](QMenu* menu, const char* name, const QString& text,
                        const QKeySequence& keys) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        return action;
    };
    const auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar_->addMenu(title);
        m->setObjectName(QLatin1String(name));
        return m;
    };

    QMenu* file = menu("FileMenu", QStringLiteral("&File"));
    exportPlan_ = add(file, "ExportPlan", QStringLiteral("&Export tone plan\u2026"),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    connect(exportPlan_, &QAction::triggered, this, &Form1::ExportPlan_triggered);
    QAction* folder = add(file, "OpenOutputFolder", QStringLiteral("&Open output folder"),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connect(folder, &QAction::triggered, this, &Form1::OpenOutputFolder_triggered);
    file->addSeparator();
    build_settings_menu(file);
    file->addSeparator();
    QAction* quit = add(file, "Quit", QStringLiteral("&Quit"), {});
    quit->setShortcuts(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* options = menu("OptionsMenu", QStringLiteral("&Options"));
    const Entry& markers = EntryOf(Control::WriteMarkers);
    writeMarkers_ = add(options, "WriteMarkers", ToQString(std::string(markers.text)), {});
    writeMarkers_->setToolTip(ToQString(std::string(markers.tooltip)));
    writeMarkers_->setCheckable(true);
    connect(writeMarkers_, &QAction::toggled, this, &Form1::WriteMarkers_toggled);
    signalOptions_ = add(options, "SignalOptions", QStringLiteral("&Signal options\u2026"), {});
    connect(signalOptions_, &QAction::triggered, this, &Form1::SignalOptions_triggered);
    frequencies_ = add(options, "Frequencies", QStringLiteral("&Frequencies\u2026"), {});
    connect(frequencies_, &QAction::triggered, this, &Form1::Frequencies_triggered);

    QMenu* view = menu("ViewMenu", QStringLiteral("&View"));
    sweepPlan_ = add(view, "SweepPlan", QStringLiteral("&Sweep plan\u2026"),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(sweepPlan_, &QAction::triggered, this, &Form1::SweepPlan_triggered);

    QMenu* help = menu("HelpMenu", QStringLiteral("&Help"));
    QAction* about = add(help, "About", QStringLiteral("&About sweepwav"), {});
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &Form1::About_triggered);
}

void Form1::build_output_bar() {
    // Below the form, outside its margins, like the menu bar above it.
    outputBar_ = new OutputBar(this);
    ui_->formLayout->addWidget(outputBar_);
    connect(outputBar_, &OutputBar::open_folder_requested, this, &Form1::OpenOutputFolder_triggered);
    outputBar_->show_options(QString());
}

void Form1::wire_keys() {
    auto* keys = new ButtonKeys(this);
    for (QAbstractButton* button : {ui_->ShowInfo, ui_->AutoName, ui_->OK, ui_->Play, ui_->Abort}) {
        button->installEventFilter(keys);
    }
}

void Form1::apply_catalogue() {
    for (const FormLabel& label : FormLabels()) {
        auto* widget = findChild<QWidget*>(ToQString(std::string(label.name)));
        Q_ASSERT(widget != nullptr);
        if (auto* text = qobject_cast<QLabel*>(widget)) {
            text->setText(ToQString(std::string(label.text)));
        } else {
            widget->setAccessibleName(ToQString(std::string(label.text)));
        }
    }
    for (const Entry& e : Entries()) {
        if (e.place != Place::Form) continue;
        QWidget* widget = control(e.control);
        widget->setToolTip(ToQString(std::string(e.tooltip)));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(ToQString(std::string(e.text)));
        if (e.kind != EntryKind::Button) widget->setAccessibleName(ToQString(std::string(e.caption)));
    }
}

void Form1::apply_look() {
    setStyleSheet(StyleSheet());

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
    ui_->Play->setMinimumWidth(ui_->OK->minimumWidth());

    ui_->Progress1->set_color(ToQColor(kProgress1Colour));
    ui_->Progress2->set_color(ToQColor(kProgress2Colour));
    ui_->Progress1->set_background(ToQColor(kProgressBandColour));
    ui_->Progress2->set_background(ToQColor(kProgressBandColour));

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

QWidget* Form1::control(Control c) const {
    const auto i = static_cast<std::size_t>(c);
    return i < widgets_.size() ? widgets_[i] : nullptr;  // the options beside the form have no widget here
}

QLineEdit* Form1::box(Control c) const { return qobject_cast<QLineEdit*>(control(c)); }
QAbstractButton* Form1::check_box(Control c) const { return qobject_cast<QAbstractButton*>(control(c)); }
QComboBox* Form1::list(Control c) const { return qobject_cast<QComboBox*>(control(c)); }
ProgressLine* Form1::line(Control c) const { return qobject_cast<ProgressLine*>(control(c)); }

std::string Form1::text(Control c) {
    QLineEdit* b = box(c);
    return b ? ToUtf8(b->text()) : std::string();
}

void Form1::set_text(Control c, const std::string& text) {
    if (QLineEdit* b = box(c)) b->setText(ToQString(text));
}

bool Form1::checked(Control c) {
    QAbstractButton* b = check_box(c);
    return b && b->isChecked();
}

void Form1::set_checked(Control c, bool ticked) {
    if (QAbstractButton* b = check_box(c)) b->setChecked(ticked);
}

void Form1::add_item(Control c, const std::string& text, int position, std::int32_t value) {
    if (QComboBox* l = list(c)) l->insertItem(position, ToQString(text), QVariant(value));
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

void Form1::set_caption(const std::string& caption) { setWindowTitle(ToQString(caption)); }

void Form1::set_label(Control c, const std::string& text) {
    QLabel* label = qobject_cast<QLabel*>(control(c));
    if (!label) return;
    label->setText(ToQString(text));
    // Outside synthesis nothing services events (the write, the two-second
    // hold), so the status line is painted at once there; during synthesis
    // with the next frame.
    pacer_.redraw(label);
}

void Form1::set_progress(Control c, double fraction, bool redraw) {
    ProgressLine* l = line(c);
    if (!l) return;
    // The new end counts at once; only its painting may wait for the frame.
    const bool paced = redraw && pacer_.pacing();
    if (l->set_x2(LineX2(fraction), redraw && !paced) && paced) pacer_.redraw(l);
}

void Form1::do_events() {
    pacer_.flush();
    QCoreApplication::processEvents();
}

void Form1::message_box(const std::string& text, const std::string& title, Icon icon) {
    if (messageHook_) {
        messageHook_(text, title, icon);
        return;
    }
    QMessageBox::Icon kind = QMessageBox::NoIcon;
    if (icon == Icon::Information) kind = QMessageBox::Information;
    if (icon == Icon::Exclamation) kind = QMessageBox::Warning;
    QString shown = ToQString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QString boxTitle =
        ToQString(std::string(title.empty() ? kApplicationName : std::string_view(title)));
    QMessageBox box(kind, boxTitle, shown, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Form1::show_long_text(const std::string& note, const std::string& text, const std::string& title) {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("LongTextDialog"));
    dialog.setWindowTitle(ToQString(title));
    auto* why = new QLabel(ToQString(note), &dialog);
    why->setWordWrap(true);
    auto* shown = new QPlainTextEdit(&dialog);
    shown->setObjectName(QStringLiteral("LongText"));
    shown->setReadOnly(true);
    shown->setPlainText(ToQString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    shown->setAccessibleName(QStringLiteral("Report"));
    shown->setMinimumSize(520, 360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(why);
    layout->addWidget(shown);
    layout->addWidget(buttons);
    shown->setFocus();
    dialog.exec();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!model_.close_requested()) {
        event->ignore();
        return;
    }
    // Left open, they would keep the program running without its window.
    if (planView_) planView_->close();
    if (aboutBox_) aboutBox_->close();
    event->accept();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) { accept_drag(event); }

void Form1::accept_drag(QDropEvent* event) {
    if (event->mimeData()->hasUrls() && model_.allows(FormCommand::OpenSettings)) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        paths.push_back(ToUtf8(url.isLocalFile() ? QFileInfo(url.toLocalFile()).absoluteFilePath() : url.toString()));
    }
    event->acceptProposedAction();
    // Opened once the drop has ended, so that a message does not hold up
    // the program the file came from.
    QMetaObject::invokeMethod(this, [this, paths] { model_.drop_files(paths); }, Qt::QueuedConnection);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) ||
        !static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
        return QWidget::eventFilter(watched, event);
    }
    if (type == QEvent::Drop) {
        dropEvent(static_cast<QDropEvent*>(event));
    } else {
        accept_drag(static_cast<QDropEvent*>(event));
    }
    return true;
}

void Form1::show_look(const FormLook& look) {
    for (int i = 0; i < kFormControlCount; ++i) set_enabled(static_cast<Control>(i), look.enabled[static_cast<std::size_t>(i)]);
    show_commands(look);
    show_play(look);
    writeMarkers_->setChecked(look.markers);
    if (ToQString(look.bar.whole()) != outputBar_->text()) {
        outputBar_->show_bar(look.bar);
        // Outside synthesis nothing services events (the write, the hold).
        outputBar_->repaint();
    }
    outputBar_->show_options(ToQString(look.options));
    // While synthesis runs, redraws follow the display's frames; outside it
    // every redraw is immediate.
    if (look.pacing && !pacer_.pacing() && screen()) pacer_.set_frame_rate(screen()->refreshRate());
    pacer_.set_pacing(look.pacing);
    if (look.focus) show_focus(*look.focus);
    if (look.closeNow) close();
}

void Form1::show_commands(const FormLook& look) {
    for (QAction* action : menuBar_->findChildren<QAction*>()) {
        const auto on = look.commands.find(ToUtf8(action->objectName()));
        if (on != look.commands.end()) action->setEnabled(on->second);
    }
    if (!recentFilled_ || look.recent != recentShown_) fill_recent_menu(look.recent);
    recentMenu_->setEnabled(look.commands.at("RecentSettings"));
    if (look.presets != presetsShown_) fill_presets_menu(look.presets);
    presetsMenu_->setEnabled(look.commands.at("Presets"));
    if (planView_) {
        planView_->export_button()->setEnabled(look.commands.at("ExportPlan"));
        planView_->picture_button()->setEnabled(look.commands.at("ExportPlan"));
    }
}

void Form1::show_play(const FormLook& look) {
    const QString text = ToQString(std::string(look.playText));
    if (ui_->Play->text() == text) return;
    ui_->Play->setText(text);
    ui_->Play->setToolTip(ToQString(std::string(look.playTooltip)));
    // Outside synthesis nothing services events (planning, the hold).
    ui_->Play->repaint();
}

void Form1::show_focus(const FocusRequest& focus) {
    QWidget* target = control(focus.control);
    if (!target) return;
    target->setFocus(Qt::OtherFocusReason);
    if (auto* text = qobject_cast<QLineEdit*>(target); text && focus.selectText) text->selectAll();
}

void Form1::OK_clicked() { model_.press(FormCommand::Generate); }

void Form1::ShowInfo_clicked() { model_.press(FormCommand::ShowInfo); }

void Form1::AutoName_clicked() { model_.press(FormCommand::MakeFileName); }

void Form1::Abort_clicked() { model_.press(FormCommand::Abort); }

void Form1::Play_clicked() { model_.press(FormCommand::Play); }

void Form1::ExportPlan_triggered() {
    if (!model_.plan()) return;
    const GeneratorState& s = model_.state();
    export_plan(PlanFileText(s, PlanFormat::Csv), PlanFileText(s, PlanFormat::Json), s.sFileName);
}

void Form1::OpenOutputFolder_triggered() { model_.open_output_folder(); }

void Form1::WriteMarkers_toggled(bool on) { model_.markers_chosen(on); }

void Form1::SignalOptions_triggered() { ask_options(Place::SignalDialog); }

void Form1::Frequencies_triggered() { ask_options(Place::FrequenciesDialog); }

void Form1::ask_options(Place place) {
    if (!model_.allows(FormCommand::SignalOptions)) return;
    OptionsDialog dialog(OptionsForm(place, model_.entries()), this);
    if (dialog.exec() == QDialog::Accepted) model_.options_accepted(dialog.edited());
}

void Form1::SweepPlan_triggered() { show_plan_view(); }

PlanView* Form1::show_plan_view() {
    if (!model_.plan()) return nullptr;
    // One view at a time, showing the latest plan.
    if (planView_) planView_->close();
    auto* view = new PlanView(model_.state(), this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    connect(view, &PlanView::export_requested, this, [this, view] {
        export_plan(view->plan_text(PlanFormat::Csv), view->plan_text(PlanFormat::Json),
                   view->file_name());
    });
    connect(view, &PlanView::save_picture_requested, this, [this, view] { save_plan_picture(*view); });
    planView_ = view;
    view->show();
    return view;
}

void Form1::About_triggered() {
    if (aboutBox_) {
        aboutBox_->raise();
        aboutBox_->activateWindow();
        return;
    }
    const QString text = ToQString(AboutText(SWEEPWAV_VERSION));
    // Modeless, so that an Abort stays within reach during a run.
    auto* box = new QMessageBox(QMessageBox::NoIcon, ToQString(std::string(kAboutTitle)), text,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setTextFormat(Qt::PlainText);
    box->setIconPixmap(windowIcon().pixmap(64, 64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    aboutBox_ = box;
    box->show();
}

void Form1::export_plan(const std::string& csv, const std::string& json, const std::string& wavName) {
    QString filter;
    const QString path = ask_save_file_name(ToQString(std::string(kExportTitle)),
                                         ToQString(SuggestedPath(model_.state(), wavName, ".csv")),
                                         {kCsvFilter, kJsonFilter}, &filter);
    if (!path.isEmpty()) model_.export_plan(ToUtf8(path), filter == kJsonFilter, csv, json);
}

void Form1::save_plan_picture(PlanView& view) {
    QString filter;
    const QString path = ask_save_file_name(ToQString(std::string(kSavePictureTitle)),
                                         ToQString(SuggestedPath(model_.state(), view.file_name(), ".png")),
                                         {kPngFilter}, &filter);
    if (path.isEmpty()) return;
    const QByteArray png = view.chart_png();
    model_.write_file(ToUtf8(path), std::vector<std::uint8_t>(png.begin(), png.end()));
}

QString Form1::ask_save_file_name(const QString& caption, const QString& suggestion,
                               const QStringList& filters, QString* selectedFilter) {
    QFileDialog dialog(this, caption, suggestion);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(FilterSuffix(filters.value(0)));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (selectedFilter) *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

}  // namespace sweepwav
