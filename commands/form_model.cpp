#include "commands/form_model.h"

#include <algorithm>
#include <utility>

#include "commands/commands.h"
#include "commands/frame_pacer.h"
#include "commands/outputs.h"
#include "commands/settings_file.h"
#include "core/forwarding_window.h"
#include "core/result.h"
#include "settings/catalogue.h"

namespace sweepwav {

namespace {

// Play where the window has no sound output.
class NoAudioOutput final : public AudioOutput {
public:
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat&) override {
        return Status::Failure(FailureKind::Missing, "there is no output device");
    }
};

struct NamedCommand {
    std::string_view name;
    FormCommand command;
};
constexpr NamedCommand kMenuCommands[] = {
    {"ExportPlan", FormCommand::ExportPlan},       {"OpenOutputFolder", FormCommand::OpenOutputFolder},
    {"OpenSettings", FormCommand::OpenSettings},   {"SaveSettings", FormCommand::SaveSettings},
    {"RecentSettings", FormCommand::RecentSettings}, {"Quit", FormCommand::Quit},
    {"WriteMarkers", FormCommand::WriteMarkers},   {"SignalOptions", FormCommand::SignalOptions},
    {"Frequencies", FormCommand::Frequencies},     {"SweepPlan", FormCommand::SweepPlan},
    {"About", FormCommand::About},                 {"Presets", FormCommand::Presets},
    {"Reset", FormCommand::Reset},
};

// The folder separators of file names on this system.
#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

bool IsFormControl(Control c) { return static_cast<int>(c) < kFormControlCount; }

std::size_t At(Control c) { return static_cast<std::size_t>(c); }

}  // namespace

std::int64_t FrameNanoseconds(double refreshHz) {
    const double hz = refreshHz > 0 ? std::clamp(refreshHz, 20.0, 240.0) : 60.0;
    return static_cast<std::int64_t>(1e9 / hz);
}

std::optional<FormCommand> FormCommandNamed(std::string_view menuName) {
    for (const NamedCommand& named : kMenuCommands) {
        if (named.name == menuName) return named.command;
    }
    return std::nullopt;
}

std::vector<std::string> Remembered(std::vector<std::string> files, const std::string& path) {
    std::erase(files, path);
    files.insert(files.begin(), path);
    if (files.size() > static_cast<std::size_t>(kRecentCount)) files.resize(kRecentCount);
    return files;
}

RecentFile RecentFileOf(const std::string& path) {
    const auto slash = path.find_last_of(kSeparators);
    if (slash == std::string::npos) return {path, path, {}};
    // A file in the root keeps the root as its folder.
    return {path, path.substr(slash + 1), path.substr(0, std::max<std::size_t>(slash, 1))};
}

std::string SettingsFileName(const std::string& fileNameText) {
    std::string name = fileNameText;
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return (name.empty() ? std::string("sweep") : name) + ".sweep";
}

std::string SuggestedPath(const GeneratorState& s, const std::string& wavName, std::string_view ending) {
    return OutputFolder(s) + wavName.substr(0, wavName.rfind('.')) + std::string(ending);
}

// The window operations the engine's commands get: the view's, with the
// form's locks, its bar and its pacing taken in by the model on the way.
// What the commands lock is shown at the latest when they next show
// something (a message, a status, an event check), so that a run locks and
// unlocks the form in one look each.
class FormModel::Relay final : public ForwardingWindow {
public:
    explicit Relay(FormModel& model) : ForwardingWindow(model.window_), model_(model) {}

    void set_enabled(Control c, bool enabled) override {
        if (!IsFormControl(c)) return;
        model_.asked_[At(c)] = enabled;
        model_.dirty_ = true;
        // Abort is enabled exactly while synthesis runs: the keyboard is
        // then on it (while playing, it stays on Stop), and redraws follow
        // the display's frames.
        if (c != Control::Abort) return;
        if (enabled && !model_.playing_) model_.focus_ = FocusRequest{Control::Abort};
        model_.flush();
    }

    void set_label(Control label, const std::string& text) override {
        model_.flush();
        w_.set_label(label, text);
        // A run reports once its file is on disk: from then on, the hold
        // included, the bar names the file.
        const GeneratorState& s = model_.state_;
        if (!model_.running() || !s.bFileWritten) return;
        const BarText written = WrittenBarText(s.sWrittenPath, s.iWrittenBytes, s.bAbort);
        if (written.whole() == model_.bar_.whole()) return;
        model_.bar_ = written;
        model_.show();
    }

    void set_progress(Control line, double fraction, bool redraw) override {
        if (redraw) model_.flush();
        w_.set_progress(line, fraction, redraw);
    }
    void do_events() override {
        model_.flush();
        w_.do_events();
    }
    void message_box(const std::string& text, const std::string& title, Icon icon) override {
        model_.flush();
        w_.message_box(text, title, icon);
    }
    void show_long_text(const std::string& note, const std::string& text, const std::string& title) override {
        model_.flush();
        w_.show_long_text(note, text, title);
    }

private:
    FormModel& model_;
};

FormModel::FormModel(WindowOps& window, FormView& view, Services& services, RecentStore& recent)
    : window_(window),
      view_(view), services_(services), recent_(recent), relay_(std::make_unique<Relay>(*this)) {
    asked_.fill(true);
    asked_[At(Control::Abort)] = false;
}

FormModel::~FormModel() = default;

WindowOps& FormModel::window() { return *relay_; }

void FormModel::start(bool lookUpFolder) {
    Form_Load(state_, *relay_, services_, lookUpFolder);
    recentFiles_ = recent_.read();
    show_folder();
    focus_ = FocusRequest{Control::StartFreq, true};
    show();
}

bool FormModel::allows(FormCommand command) const {
    if (command == FormCommand::Abort) return running() && !playing_;
    if (command == FormCommand::Play) return !running() || playing_;
    if (!running()) return true;
    // What plans or changes the run, or would hold it up with a box of its
    // own, waits until the run has ended.
    switch (command) {
        case FormCommand::SaveSettings:
        case FormCommand::OpenOutputFolder:
        case FormCommand::About:
        case FormCommand::Quit: return true;
        default: return false;
    }
}

void FormModel::press(FormCommand button) {
    if (!allows(button)) return;
    switch (button) {
        case FormCommand::Generate:
            run_locked(Control::OK, "run", [this] {
                OK_Click(state_, *relay_, services_);
                advise_on_fallback();
            });
            break;
        case FormCommand::ShowInfo:
            show_folder();
            RunGuarded(state_, *relay_, "report", [this] { ShowInfo_Click(state_, *relay_, services_); });
            settle(Control::ShowInfo);
            break;
        case FormCommand::MakeFileName:
            show_folder();
            AutoName_Click(state_, *relay_);
            settle(Control::AutoName);
            break;
        case FormCommand::Abort: Abort_Click(state_); break;
        case FormCommand::Play: play(); break;
        default: break;
    }
}

void FormModel::play() {
    // Pressed while it plays, the button is Stop: playing ends at the next
    // twentieth of a second of audio.
    if (playing_) return Abort_Click(state_);
    static NoAudioOutput none;
    AudioOutput& out = audio_ ? *audio_ : none;
    playing_ = true;
    focus_ = FocusRequest{Control::Play};
    run_locked(Control::Play, "playing", [this, &out] { Play_Click(state_, *relay_, services_, out); });
}

void FormModel::run_locked(Control startedBy, const char* what, const std::function<void()>& command) {
    phase_ = FormPhase::Running;
    show_folder();
    show();
    RunGuarded(state_, *relay_, what, command);
    closeNow_ = phase_ == FormPhase::Closing;
    phase_ = FormPhase::Idle;
    playing_ = false;
    settle(startedBy);
}

void FormModel::settle(Control startedBy) {
    // After a refusal the entry it was about, ready to be typed over; else
    // back to the control that started the command.
    const std::optional<Control> refused = state_.refusedEntry;
    if (refused && IsFormControl(*refused)) {
        focus_ = FocusRequest{*refused, true};
    } else {
        focus_ = FocusRequest{startedBy};
    }
    show();
}

bool FormModel::plan() {
    if (!allows(FormCommand::SweepPlan)) return false;
    show_folder();
    bool planned = false;
    const bool ran = RunGuarded(state_, *relay_, "plan", [&] { planned = PlanFromEntries(state_, *relay_); });
    if (state_.refusedEntry && IsFormControl(*state_.refusedEntry)) focus_ = FocusRequest{*state_.refusedEntry, true};
    show();
    return ran && planned;
}

bool FormModel::close_requested() {
    if (!running()) return true;
    // Synthesis sees the request at its next event check; the file is then
    // written as after an abort, and the window closes after that.
    Abort_Click(state_);
    phase_ = FormPhase::Closing;
    show();
    return false;
}

void FormModel::markers_chosen(bool on) {
    if (!allows(FormCommand::WriteMarkers)) return show();
    state_.markers = on;
    show();
}

void FormModel::options_accepted(const EntryTexts& edited) {
    if (!allows(FormCommand::SignalOptions)) return;
    FillEntries(*relay_, state_, edited);
    for (const auto& [control, text] : edited) typed_[control] = text;
    show();
}

EntryTexts FormModel::entries() {
    EntryTexts values = ReadEntries(*relay_, state_);
    for (const auto& [control, text] : typed_) values[control] = text;
    return values;
}

bool FormModel::open_settings(const std::string& path) {
    if (!allows(FormCommand::OpenSettings)) return false;
    show_folder();
    const bool opened = OpenSettingsFile(state_, *relay_, services_, path);
    if (opened) typed_.clear();
    if (opened && !is_preset(path)) remember(path);
    show();
    return opened;
}

bool FormModel::drop_files(const std::vector<std::string>& paths) {
    if (!allows(FormCommand::OpenSettings) || paths.empty()) return false;
    const std::string refusal = DropRefusalText(paths);
    if (refusal.empty()) return open_settings(paths.front());
    relay_->message_box(refusal, state_.sAppTitle, Icon::Exclamation);
    return false;
}

void FormModel::set_presets(const std::vector<PresetFile>& presets) {
    presets_ = presets;
    for (PresetFile& preset : presets_) {
        const Result<std::string> text = services_.read_text_file(preset.path);
        preset.about = text ? SettingsDescription(text.value()) : std::string();
    }
    show();
}

bool FormModel::open_preset(std::size_t index) {
    return index < presets_.size() && open_settings(presets_[index].path);
}

bool FormModel::is_preset(const std::string& path) const {
    const std::string folder = RecentFileOf(path).folder;
    return std::ranges::any_of(presets_, [&](const PresetFile& p) { return RecentFileOf(p.path).folder == folder; });
}

void FormModel::reset() {
    if (!allows(FormCommand::Reset)) return;
    ResetToStartup(state_, *relay_);
    typed_.clear();
    show_folder();
    show();
}

void FormModel::advise_on_fallback() {
    const GeneratorState& s = state_;
    if (!s.bDataOK || s.iCalcResult != 1 || s.bFileWritten || s.outputFolder.lookup != FolderLookup::NotFound) return;
    relay_->message_box(FallbackFolderAdvice(OutputFolder(s)), s.sAppTitle, Icon::Exclamation);
}

bool FormModel::save_settings(const std::string& path) {
    const bool saved = SaveSettingsFile(state_, *relay_, services_, path);
    if (saved) remember(path);
    show();
    return saved;
}

std::string FormModel::settings_folder() const {
    return recentFiles_.empty() ? std::string() : RecentFileOf(recentFiles_.front()).folder;
}

void FormModel::remember(const std::string& path) {
    recentFiles_ = Remembered(recent_.read(), path);
    recent_.write(recentFiles_);
}

void FormModel::open_output_folder() {
    const std::string folder = OutputFolder(state_);
    if (!services_.open_folder(folder)) {
        relay_->message_box(OpenFolderFailureText(folder), state_.sAppTitle, Icon::Exclamation);
    }
}

void FormModel::export_plan(const std::string& path, bool jsonChosen, const std::string& csv,
                            const std::string& json) {
    // The name's ending decides; for another ending the type chosen does.
    PlanFormat format = PlanFormatOf(path);
    if (format == PlanFormat::None) format = jsonChosen ? PlanFormat::Json : PlanFormat::Csv;
    const Status written = services_.write_text_file(path, format == PlanFormat::Json ? json : csv);
    if (!written) relay_->message_box(FileWriteFailureText(path, written), state_.sAppTitle, Icon::Exclamation);
}

void FormModel::write_file(const std::string& path, const Result<std::vector<std::uint8_t>>& bytes) {
    Status written = bytes.status();
    if (written) {
        Result<std::unique_ptr<OutputFile>> opened = services_.create_file(path);
        written = opened.status();
        if (written) written = opened.value()->write(bytes.value());
        if (written) written = opened.value()->commit();
    }
    if (!written) relay_->message_box(FileWriteFailureText(path, written), state_.sAppTitle, Icon::Exclamation);
}

void FormModel::show_folder() {
    bar_ = FolderBarText(OutputFolder(state_), state_.outputFolder.lookup);
    dirty_ = true;
}

void FormModel::flush() {
    if (dirty_) show();
}

void FormModel::show() {
    look_ = compute();
    focus_.reset();
    closeNow_ = false;
    dirty_ = false;
    view_.show_look(look_);
}

FormLook FormModel::compute() const {
    FormLook look;
    look.phase = phase_;
    const bool followsSteps = state_.toneSpacing == "steps";
    for (int i = 0; i < kFormControlCount; ++i) {
        const auto c = static_cast<Control>(i);
        Greyed why = asked_[At(c)] ? Greyed::No : Greyed::Run;
        // Band centres or a list of frequencies set the tones; the steps
        // and their spacing then have nothing to say.
        if (!followsSteps && (c == Control::Steps || c == Control::Logsteps)) why = Greyed::Spacing;
        // A run locks Play; while the sweep plays Play is its Stop, and
        // Abort has nothing to stop.
        if ((c == Control::Play && running() && !playing_) || (c == Control::Abort && playing_)) why = Greyed::Run;
        look.greyed[At(c)] = why;
        look.enabled[At(c)] = why == Greyed::No;
    }
    for (const NamedCommand& named : kMenuCommands) look.commands[named.name] = allows(named.command);
    look.commands["RecentSettings"] = look.commands["RecentSettings"] && !recentFiles_.empty();
    look.commands["Presets"] = look.commands["Presets"] && !presets_.empty();
    look.markers = state_.markers;
    look.playing = playing_;
    const Entry& play = EntryOf(Control::Play);
    look.playText = playing_ ? kStopText : play.text;
    look.playTooltip = playing_ ? kStopTooltip : play.tooltip;
    look.bar = bar_;
    look.options = OptionsSummary(state_);
    for (const std::string& path : recentFiles_) look.recent.push_back(RecentFileOf(path));
    look.presets = presets_;
    look.pacing = running() && asked_[At(Control::Abort)];
    look.focus = focus_;
    look.closeNow = closeNow_;
    return look;
}

}  // namespace sweepwav
