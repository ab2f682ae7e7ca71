// The Qt window's sound output from the command line, for the capture
// tests: the entries as sweepwav-cli's options give them; with --play the
// sweep is played through Qt Multimedia as the window plays it (and written
// too with --file), else the file is written. Exit status 0 when it did.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "commands/commands.h"
#include "core/stored_controls.h"
#include "platform/system_services.h"
#include "settings/entry_values.h"
#include "window/qt_audio_output.h"

namespace {

class QuietWindow : public sweepwav::StoredControls {
public:
    void set_caption(const std::string&) override {}
    void set_label(sweepwav::Control, const std::string&) override {}
    void set_progress(sweepwav::Control, double, bool) override {}
    void do_events() override { QCoreApplication::processEvents(); }
    void message_box(const std::string& text, const std::string&, sweepwav::Icon) override {
        std::fprintf(stderr, "qt_play_probe: %s\n", text.c_str());
    }
};

class NoPause : public sweepwav::SystemServices {
public:
    void sleep_ms(int) override {}
};

}  // namespace

int main(int argc, char** argv) {
    using namespace sweepwav;
    QCoreApplication app(argc, argv);
    CliOptions options;
    if (auto refusal = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fprintf(stderr, "qt_play_probe: %s\n", refusal->c_str());
        return 2;
    }
    GeneratorState s;
    QuietWindow w;
    NoPause sv;
    Form_Load(s, w, sv, false);
    s.outputFolder.path = options.outputDir.value_or(".") + "/";
    FillEntries(w, s, options.values);
    if (!options.play) {
        OK_Click(s, w, sv);
        return s.bFileWritten ? 0 : 1;
    }
    Play_Click(s, w, sv, *QtAudioOutput(), options.values.contains(Control::FileName));
    return s.bPlayed ? 0 : 1;
}
