// How the form behaves around its commands, for every window alike: what a
// run locks and what the tones' spacing greys, where the focus goes, the two
// lines of the bar under the form, the recent settings files, and which
// commands may start when. A window is a view of it: it draws the look the
// model gives it (FormLook), turns clicks and keys into the model's events,
// and answers the engine's window operations with its controls.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands/window_texts.h"
#include "core/audio_output.h"
#include "core/generator_state.h"
#include "core/result.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "settings/entry_values.h"

namespace sweepwav {

// Where the form is around a run: waiting, running a command that locks it,
// or running one after the window was asked to close (it closes at the end).
enum class FormPhase { Idle, Running, Closing };

// Why a control of the form is grey: a run locks it, or the tones do not
// follow the form's steps (bands or a list set them).
enum class Greyed { No, Run, Spacing };

// The commands a window forwards: the form's buttons, then the menu bar's
// (by the names of MenuBar()). Play is the Play button, which reads Stop
// and stops playing while the sweep plays.
enum class FormCommand {
    Generate,
    ShowInfo,
    MakeFileName,
    Abort,
    Play,
    ExportPlan,
    SweepPlan,
    OpenSettings,
    RecentSettings,
    Presets,
    Reset,
    SaveSettings,
    WriteMarkers,
    SignalOptions,
    Frequencies,
    OpenOutputFolder,
    About,
    Quit,
};

// The command of a menu command's name; none for another name.
std::optional<FormCommand> FormCommandNamed(std::string_view menuName);

// Where the focus goes, and whether the text of a box there is selected.
struct FocusRequest {
    Control control;
    bool selectText = false;
    bool operator==(const FocusRequest&) const = default;
};

// A recent settings file: its path, and the name and folder its menu line
// shows ("&1 bench.sweep — /home/me/Sweeps").
struct RecentFile {
    std::string path;
    std::string name;
    std::string folder;
    bool operator==(const RecentFile&) const = default;
};

// A preset of the Presets menu: a settings file that comes with the program,
// by its name ("octave-bands") and path, and what its first line says it
// holds (empty when nothing).
struct PresetFile {
    std::string name;
    std::string path;
    std::string about;
    bool operator==(const PresetFile&) const = default;
};

// What a window shows of the form, all decided by the model.
struct FormLook {
    FormPhase phase = FormPhase::Idle;
    // Every control of the form, by its place in Control.
    std::array<bool, kFormControlCount> enabled{};
    std::array<Greyed, kFormControlCount> greyed{};
    // The menu bar's commands by name, and whether each is on.
    std::map<std::string_view, bool> commands;
    bool markers = false;  // Write tone markers ticked
    // The Play button's text and tooltip: Play, or Stop while it plays.
    bool playing = false;
    std::string_view playText;
    std::string_view playTooltip;
    // The bar under the form: where files go, or the file a run wrote; and
    // the options beside the form that are on (empty: the line is hidden).
    BarText bar;
    std::string options;
    std::vector<RecentFile> recent;
    std::vector<PresetFile> presets;
    // Redraws follow the display's frames (while synthesis runs).
    bool pacing = false;
    // Once, with the look that asks for it: move the focus; close the window.
    std::optional<FocusRequest> focus;
    bool closeNow = false;
};

// A window that shows the form as the model decides. (Its controls answer
// the engine's window operations, WindowOps.)
class FormView {
public:
    virtual ~FormView() = default;
    virtual void show_look(const FormLook& look) = 0;
};

// Where a window keeps its recent settings files between sessions (newest
// first).
class RecentStore {
public:
    virtual ~RecentStore() = default;
    virtual std::vector<std::string> read() = 0;
    virtual void write(const std::vector<std::string>& files) = 0;
};

// The recent list with path put first: once, newest first, kRecentCount at
// the most.
std::vector<std::string> Remembered(std::vector<std::string> files, const std::string& path);
// A path's name and folder (the folder without its final separator).
RecentFile RecentFileOf(const std::string& path);
// The name a settings file is offered under: the FileName box's text
// without its ending, "sweep" when that leaves nothing; then ".sweep".
std::string SettingsFileName(const std::string& fileNameText);
// The file beside the output folder's WAV file of that name, with another
// ending (".csv", ".png"): where an exported plan or a picture is offered.
std::string SuggestedPath(const GeneratorState& s, const std::string& wavName, std::string_view ending);

class FormModel {
public:
    FormModel(WindowOps& window, FormView& view, Services& services, RecentStore& recent);
    ~FormModel();
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    GeneratorState& state() { return state_; }
    const FormLook& look() const { return look_; }
    bool running() const { return phase_ != FormPhase::Idle; }
    // The window operations the engine gets when a view runs it itself.
    WindowOps& window();

    // The output Play plays on; without one Play says there is no output
    // device.
    void set_audio_output(AudioOutput& out) { audio_ = &out; }

    // Start-up: the form's values (and, when asked, the analyser's folder),
    // then the focus in the first entry.
    void start(bool lookUpFolder = true);

    // Whether a command may start now: during a run only Abort, Save
    // settings, the output folder, About and Quit; while the sweep plays,
    // Play (as Stop) in Abort's place.
    bool allows(FormCommand command) const;

    // The form's buttons.
    void press(FormCommand button);

    // Export plan and Sweep plan plan from the entries first: true when
    // they may go on with the plan in the state.
    bool plan();

    // The window asks to close: true when it may close now; during a run
    // the run is aborted and the window closes when it has ended.
    bool close_requested();

    // Options > Write tone markers.
    void markers_chosen(bool on);
    // An options dialog closed with OK and the values that were changed.
    void options_accepted(const EntryTexts& edited);
    // The entries as settings files write them, for an options dialog.
    EntryTexts entries();

    // Settings files: opened (the form filled, the file remembered), saved
    // (remembered); false after a message that they were not. path is the
    // file's full path.
    bool open_settings(const std::string& path);
    bool save_settings(const std::string& path);
    // Files dropped on the window: one settings file opens as above; several
    // files, or one that is not a settings file, get a message.
    bool drop_files(const std::vector<std::string>& paths);
    // The presets the Presets menu offers, by name and path (what each
    // holds is read here).
    void set_presets(const std::vector<PresetFile>& presets);
    // A preset opens as a settings file does, but its file is only ever
    // read: it goes into no recent list, so Save settings does not offer
    // its folder. A file opened from the presets' folder any other way is
    // a preset too.
    bool open_preset(std::size_t index);
    // "Reset to start-up values": every entry, the options beside the form
    // and what their dialogs keep as typed.
    void reset();
    // Where the settings dialogs start: the last settings file's folder,
    // empty when there is none.
    std::string settings_folder() const;

    // File > Open output folder, or a click on the bar.
    void open_output_folder();
    // Writes an exported plan (CSV, or JSON when the name ends so or, for
    // another ending, when json is chosen); a message when it fails.
    void export_plan(const std::string& path, bool jsonChosen, const std::string& csv, const std::string& json);
    // A file the window made (a picture), written to path; a message when
    // it could not be made or written.
    void write_file(const std::string& path, const Result<std::vector<std::uint8_t>>& bytes);

private:
    class Relay;
    friend class Relay;

    // Plays the sweep, the form locked as for a run and the Play button
    // its Stop.
    void play();
    // Runs a command that locks the form (a run), through RunGuarded.
    void run_locked(Control startedBy, const char* what, const std::function<void()>& command);
    // After a command: the focus to the refused entry or back to startedBy.
    void settle(Control startedBy);
    void show();
    void flush();
    void show_folder();
    void remember(const std::string& path);
    bool is_preset(const std::string& path) const;
    // After a file could not be written into the fallback folder: how to
    // choose another.
    void advise_on_fallback();
    FormLook compute() const;


    WindowOps& window_;
    FormView& view_;
    Services& services_;
    RecentStore& recent_;
    std::unique_ptr<Relay> relay_;
    GeneratorState state_;
    FormPhase phase_ = FormPhase::Idle;
    // Each control enabled as the commands last asked.
    std::array<bool, kFormControlCount> asked_{};
    std::vector<std::string> recentFiles_;
    std::vector<PresetFile> presets_;
    // The options dialogs' values as typed ("0500", "1, 2"), shown again
    // in place of the values' own text until the entries are replaced.
    EntryTexts typed_;
    BarText bar_;
    std::optional<FocusRequest> focus_;
    bool closeNow_ = false;
    bool dirty_ = false;
    AudioOutput* audio_ = nullptr;
    bool playing_ = false;
    FormLook look_;
};

}  // namespace sweepwav
