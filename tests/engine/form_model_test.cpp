// The form model on its own: the scenario table every window is also
// driven through (tests/support/form_scenario.h), then the rules it keeps
// for the windows: which commands may start when, the recent files, the
// options dialogs' choices and the frame pacing.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <utility>

#include "commands/form_model.h"
#include "commands/frame_pacer.h"
#include "commands/options_form.h"
#include "support/files.h"
#include "support/form_scenario.h"
#include "support/quiet_device.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::FormAct;
using testing::FormStep;
using testing::SeenForm;

// A window that keeps what the model shows it.
struct FakeForm : testing::RecordingWindow, FormView {
    void show_look(const FormLook& shown) override {
        look = shown;
        if (shown.focus) focus = *shown.focus;
        if (shown.closeNow) closed = model->close_requested();
    }
    FormLook look;
    std::optional<FocusRequest> focus;
    bool closed = false;
    FormModel* model = nullptr;
};

struct MemoryRecent : RecentStore {
    std::vector<std::string> read() override { return files; }
    void write(const std::vector<std::string>& written) override { files = written; }
    std::vector<std::string> files;
};

// Files that are counted, not kept: a long run is hundreds of megabytes.
struct CountingFile : OutputFile {
    Status write(std::span<const std::uint8_t> bytes) override { return size += bytes.size(), Status(); }
    Status write_zeros(std::uint64_t count) override { return size += count, Status(); }
    Status commit() override { return {}; }
    std::string description() const override { return "a counted file"; }
    std::uint64_t size = 0;
};
struct CountingServices : testing::RecordingServices {
    Result<std::unique_ptr<OutputFile>> create_file(const std::string&) override {
        if (writeFailure) return Status::Failure(*writeFailure);
        return std::unique_ptr<OutputFile>(std::make_unique<CountingFile>());
    }
};

struct FormRun {
    FakeForm view;
    CountingServices services;
    MemoryRecent recent;
    testing::QuietDevice device;
    FormModel model{view, view, services, recent};
    std::size_t boxesBefore = 0;

    // With one preset installed.
    FormRun() {
        view.model = &model;
        model.set_audio_output(device);
        services.textFiles["/presets/octave-bands.sweep"] = testing::ReadAll(SWEEPWAV_PRESETS "/octave-bands.sweep");
        model.set_presets({{"octave-bands", "/presets/octave-bands.sweep", ""}});
    }

    // "open 2.sweep", "recent 3.sweep", "drop 1.sweep 2.sweep", "preset octave-bands".
    void open(std::string_view how) {
        std::vector<std::string> words = testing::Words(how), paths;
        for (std::size_t i = 1; i < words.size(); ++i) paths.push_back("/sweeps/" + words[i]);
        if (words[0] == "drop") model.drop_files(paths);
        if (words[0] == "open" || words[0] == "recent") model.open_settings(paths[0]);
        if (words[0] == "preset") model.open_preset(0);
    }

    SeenForm seen() {
        SeenForm s;
        if (view.focus) s.focus = view.focus->control, s.selected = view.focus->selectText;
        for (Control c : testing::kScenarioInputs) {
            if (!view.look.enabled[static_cast<std::size_t>(c)]) s.grey.insert(c);
        }
        s.abortOn = view.look.enabled[static_cast<std::size_t>(Control::Abort)];
        s.play = testing::PlayButton(view.look.enabled[static_cast<std::size_t>(Control::Play)],
                                     std::string(view.look.playText));
        s.bar = view.look.bar.whole();
        s.options = view.look.options;
        s.boxes = static_cast<int>(view.boxes.size() - boxesBefore);
        s.suggested = SettingsFileName(view.text(Control::FileName));
        for (const RecentFile& file : view.look.recent) s.recent.push_back(file.name);
        s.fileName = view.text(Control::FileName);
        s.closed = view.closed;
        return s;
    }

    // The step; for a run left going, the next step too, while it runs.
    // Returns what was seen after each.
    std::vector<SeenForm> act(const FormStep& step, const FormStep* next) {
        boxesBefore = view.boxes.size();
        switch (step.act) {
            case FormAct::Start:  // again after closing: the window opened anew, on a settings file
                view.closed = false;
                device.missing = testing::WithoutSound(step);
                model.start();
                if (!testing::StartedOn(step).empty()) model.open_settings("/sweeps/" + std::string(testing::StartedOn(step)));
                break;
            case FormAct::Open: open(step.text); break;
            case FormAct::Reset: model.reset(); break;
            case FormAct::Type: view.set_text(step.control, std::string(step.text)); break;
            case FormAct::Press: model.press(CommandOf(step.control)); break;
            case FormAct::Options: {
                EntryTexts values;
                for (const auto& [c, value] : testing::OptionValues(step.text)) values[c] = value;
                model.options_accepted(values);
                break;
            }
            case FormAct::SaveSettings:
                for (const std::string& name : testing::Words(step.text)) model.save_settings("/sweeps/" + name + ".sweep");
                break;
            default: return run_watched(step, next);
        }
        return {seen()};
    }

    static FormCommand CommandOf(Control button) {
        switch (button) {
            case Control::OK: return FormCommand::Generate;
            case Control::ShowInfo: return FormCommand::ShowInfo;
            case Control::Play: return FormCommand::Play;
            case Control::Abort: return FormCommand::Abort;
            default: return FormCommand::MakeFileName;
        }
    }

    std::vector<SeenForm> run_watched(const FormStep& step, const FormStep* next) {
        std::vector<SeenForm> seenDuring;
        view.onEvents = [&](int) {
            // Once the first tone is under way (for Play: heard).
            if (!seenDuring.empty() || view.statuses.empty() || view.statuses.back().find(" sweep step ") == std::string::npos) {
                return;
            }
            seenDuring.push_back(seen());
            boxesBefore = view.boxes.size();
            if (next->act == FormAct::Close) {
                EXPECT_FALSE(model.close_requested());
            } else {
                model.press(CommandOf(next->control));
            }
        };
        model.press(CommandOf(step.control));
        view.onEvents = nullptr;
        EXPECT_EQ(seenDuring.size(), 1u) << "the run never serviced events";
        seenDuring.push_back(seen());
        return seenDuring;
    }
};

TEST(FormModel, ScenarioTable) {
    FormRun run;
    const std::size_t steps = std::size(testing::kFormScenario);
    for (std::size_t i = 0; i < steps; ++i) {
        const FormStep& step = testing::kFormScenario[i];
        const std::vector<SeenForm> seen = run.act(step, i + 1 < steps ? &testing::kFormScenario[i + 1] : nullptr);
        for (std::size_t k = 0; k < seen.size(); ++k) {
            for (const std::string& difference : testing::Differences(testing::kFormScenario[i + k], seen[k])) {
                ADD_FAILURE() << "step " << i + k << ": " << difference;
            }
        }
        i += seen.size() - 1;
    }
}

// Without the analyser a message comes first; the focus is then in the
// first entry all the same.
TEST(FormModel, StartUpFocusAfterAMessage) {
    FormRun run;
    run.services.setting = Status::Failure(FailureKind::Missing, "no such key");
    run.model.start();
    ASSERT_EQ(run.view.boxes.size(), 1u);
    EXPECT_EQ(run.view.focus, (FocusRequest{Control::StartFreq, true}));
}

// Idle, every command but Abort may start; during a run only these, and
// while the sweep plays the same with Play (its Stop) for Abort.
TEST(FormModel, CommandsDuringARun) {
    const std::set<FormCommand> duringARun = {FormCommand::Abort, FormCommand::SaveSettings,
                                              FormCommand::OpenOutputFolder, FormCommand::About, FormCommand::Quit};
    const auto allowed = [](const FormModel& model) {
        std::set<FormCommand> commands;
        for (int c = 0; c <= static_cast<int>(FormCommand::Quit); ++c) {
            if (model.allows(static_cast<FormCommand>(c))) commands.insert(static_cast<FormCommand>(c));
        }
        return commands;
    };
    for (const FormCommand started : {FormCommand::Generate, FormCommand::Play}) {
        const FormCommand stop = started == FormCommand::Play ? FormCommand::Play : FormCommand::Abort;
        std::set<FormCommand> during = duringARun;
        during.erase(FormCommand::Abort);
        during.insert(stop);
        FormRun run;
        run.model.start();
        EXPECT_EQ(allowed(run.model).size(), static_cast<std::size_t>(FormCommand::Quit));
        EXPECT_FALSE(run.model.allows(FormCommand::Abort));
        bool checked = false;
        run.view.onEvents = [&](int) {
            if (std::exchange(checked, true)) return;
            EXPECT_EQ(allowed(run.model), during);
            // The menu shows the same, Recent settings only once there are files.
            EXPECT_FALSE(run.view.look.commands.at("RecentSettings") || run.view.look.commands.at("SweepPlan"));
            EXPECT_TRUE(run.view.look.commands.at("SaveSettings"));
            run.model.press(stop);
        };
        run.model.press(started);
        EXPECT_TRUE(checked);
        EXPECT_TRUE(run.model.state().bAbort) << "the run went on to its end";
        EXPECT_TRUE(run.view.look.commands.at("SweepPlan"));
    }
}

TEST(FormModel, RecentFilesAndNames) {
    std::vector<std::string> files;
    for (const char* path : {"/a", "/b", "/c", "/d", "/e", "/f", "/d"}) files = Remembered(files, path);
    EXPECT_EQ(files, (std::vector<std::string>{"/d", "/f", "/e", "/c", "/b"}));

    const struct {
        const char* path;
        RecentFile file;
    } paths[] = {
        {"/home/me/bench.sweep", {"/home/me/bench.sweep", "bench.sweep", "/home/me"}},
        {"/top.sweep", {"/top.sweep", "top.sweep", "/"}},
        {"plain.sweep", {"plain.sweep", "plain.sweep", ""}},
    };
    for (const auto& p : paths) EXPECT_EQ(RecentFileOf(p.path), p.file) << p.path;

    const std::pair<const char*, const char*> names[] = {
        {"bench.wav", "bench.sweep"}, {"a.b.wav", "a.b.sweep"}, {".wav", ".wav.sweep"}, {"", "sweep.sweep"},
        {"take", "take.sweep"}};
    for (const auto& [typed, offered] : names) EXPECT_EQ(SettingsFileName(typed), offered) << typed;
}

TEST(FormModel, OptionsDialogChoicesAndRefusals) {
    OptionsForm frequencies(Place::FrequenciesDialog, {{Control::Spacing, "steps"}});
    EXPECT_EQ(frequencies.title(), "Frequencies");
    // "These frequencies:" needs a frequency, at OK.
    const std::tuple<const char*, const char*, bool> lists[] = {
        {"list", "", false}, {"list", " \t", false}, {"list", "1000", true}, {"bands3", "", true}};
    for (const auto& [spacing, list, accepted] : lists) {
        frequencies.choose(Control::Spacing, ItemPosition(EntryOf(Control::Spacing), spacing).value());
        frequencies.set_text(Control::FrequencyList, list);
        EXPECT_EQ(frequencies.accept().has_value(), accepted) << spacing << " \"" << list << "\"";
    }
    EXPECT_EQ(frequencies.refusal().field, Control::FrequencyList);
    EXPECT_EQ(frequencies.refusal().problem,
              "Please give the frequencies in Hz, separated by commas, such as 100,1000,10000.");
    const std::tuple<const char*, bool, bool> spacings[] = {
        {"steps", false, false}, {"bands1", true, false}, {"bands24", true, false}, {"list", false, true}};
    for (const auto& [name, nominal, list] : spacings) {
        frequencies.choose(Control::Spacing, ItemPosition(EntryOf(Control::Spacing), name).value());
        EXPECT_EQ(frequencies.counts(Control::NominalBands), nominal) << name;
        EXPECT_EQ(frequencies.counts(Control::FrequencyList), list) << name;
    }

    OptionsForm signal(Place::SignalDialog, {{Control::GapMs, "12.50"}, {Control::SignalChannels, "1, 3"}});
    EXPECT_EQ(signal.fields().front().unit, "ms");
    EXPECT_TRUE(signal.channel_list_counts());
    // Left as opened, a value is kept to the last digit; a changed one must do.
    EXPECT_EQ(signal.accept(), EntryTexts{});
    signal.set_text(Control::GapMs, "60001");
    EXPECT_FALSE(signal.accept());
    EXPECT_EQ(signal.refusal().field, Control::GapMs);
    EXPECT_EQ(signal.refusal().problem, "Gap between tones must be a number from 0 to 60000 ms.");
    signal.set_text(Control::GapMs, "60000");
    // The list takes channel numbers, each once, and nothing else.
    for (const char* list : {"1,1", "each", "all", "9", ""}) {
        signal.set_text(Control::SignalChannels, list);
        EXPECT_FALSE(signal.accept()) << list;
        EXPECT_TRUE(signal.refusal().channelList) << list;
    }
    signal.set_text(Control::SignalChannels, "\t2, 4 ");
    EXPECT_EQ(signal.accept(), (EntryTexts{{Control::GapMs, "60000"}, {Control::SignalChannels, "\t2, 4 "}}));
    for (const auto mode : {OptionsForm::kAllChannels, OptionsForm::kEachChannel, OptionsForm::kChannelList}) {
        signal.choose(Control::SignalChannels, mode);
        EXPECT_EQ(signal.channel_list_counts(), mode == OptionsForm::kChannelList) << mode;
    }
    signal.choose(Control::SignalChannels, OptionsForm::kEachChannel);
    EXPECT_EQ(signal.accept(), (EntryTexts{{Control::GapMs, "60000"}, {Control::SignalChannels, "each"}}));
}

// The options dialogs open with their values as typed, until the entries
// are replaced: by a settings file, or by the start-up values.
TEST(FormModel, OptionsComeBackAsTyped) {
    FormRun run;
    run.model.start();
    const EntryTexts typed{{Control::GapMs, "0500"}, {Control::RampMs, "1e1"}, {Control::SignalChannels, "1, 2"}};
    run.model.options_accepted(typed);
    for (const auto& [c, text] : typed) EXPECT_EQ(run.model.entries()[c], text);
    run.model.save_settings("/sweeps/typed.sweep");
    run.model.reset();
    EXPECT_EQ(run.model.entries()[Control::GapMs], "0");
    run.model.options_accepted(typed);
    run.model.open_settings("/sweeps/typed.sweep");
    EXPECT_EQ(run.model.entries()[Control::GapMs], "500");
}

// After a failed write into the folder files fell back to, how to choose
// another; not where the analyser was found or its setting was unusable
// (files then go to the start-up folder), nor after a refusal.
TEST(FormModel, AdviceAfterAFailedWriteIntoTheFallbackFolder) {
    using Kind = std::optional<FailureKind>;  // how reading the analyser's setting failed; none: found
    const std::tuple<Kind, const char*, bool> runs[] = {{FailureKind::Missing, "2", true},
                                                        {std::nullopt, "2", false},
                                                        {FailureKind::Unusable, "2", false},
                                                        {FailureKind::Missing, "x", false}};
    for (const auto& [lookup, steps, advised] : runs) {
        FormRun run;
        if (lookup) run.services.setting = Status::Failure(*lookup, "no such key");
        run.model.start();
        run.services.writeFailure = "Permission denied";
        run.model.press(FormCommand::Generate);  // a failed write first
        run.view.set_text(Control::Steps, steps);
        run.model.press(FormCommand::Generate);
        EXPECT_EQ(run.view.boxes.back().text.starts_with("The analyser's folder was not found"), advised) << steps;
    }
}

TEST(FormModel, FrameLengths) {
    const std::pair<double, std::int64_t> rates[] = {
        {0, 16'666'666}, {-5, 16'666'666}, {10, 50'000'000}, {144, 6'944'444}, {1000, 4'166'666}};
    for (const auto& [hz, ns] : rates) EXPECT_EQ(FrameNanoseconds(hz), ns) << hz;

}

}  // namespace
}  // namespace sweepwav
