// Times one "Generate file" click for the large sweep (192 kHz, 24 bit,
// 8 channels, 11 tones of exactly 2000 ms, dither on, unless told
// otherwise), in one of two front ends, both timed the same way: in-process,
// from the click to the end of the command, after start-up.
//
//   sweepwav_window_bench window|cli DIR [STEPS TONE_MS CHANNELS]
//
// "window" clicks the Qt window (offscreen unless QT_QPA_PLATFORM says
// otherwise, such as xcb on a virtual X display), once it is on screen;
// "cli" runs the command line's front end. Both write
// DIR/filename.wav and skip the two-second hold. Prints one line:
// "<front end> <wall seconds> <cpu seconds>".
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/commands.h"
#include "window/form1.h"
#include "cli/cli_window.h"
#include "platform/system_services.h"

namespace {

// Writes straight into the given folder and does not hold the final status.
class BenchServices : public sweepwav::SystemServices {
public:
    explicit BenchServices(std::string dir) : dir_(std::move(dir)) {}
    sweepwav::FolderDefaults folder_defaults() override { return {dir_, "/", dir_ + "/"}; }
    sweepwav::Result<std::string> read_setting(const std::string&) override { return dir_; }
    void sleep_ms(int) override {}

private:
    std::string dir_;
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Sweep {
    std::string steps = "10", toneMs = "2000";
    int channels = 8;
};

// The entries of the sweep, as a user would make them.
void Enter(sweepwav::WindowOps& w, const Sweep& sweep) {
    using sweepwav::Control;
    w.select_index(Control::Samplerate, 4);  // 192kHz
    w.select_index(Control::Wordlength, 4);  // 24 bit
    w.select_index(Control::Channels, sweep.channels - 1);
    w.select_index(Control::Shiftmode, 0);   // as entered
    w.set_text(Control::Steps, sweep.steps);
    w.set_text(Control::ToneTime, sweep.toneMs);
    w.set_text(Control::ToneCycles, "0");
}

template <typename Click>
bool Time(const char* name, Click click) {
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const bool written = click();
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    std::printf("%s %.4f %.4f\n", name, wall.count(), CpuSeconds() - cpu);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: sweepwav_window_bench window|cli DIR [STEPS TONE_MS CHANNELS]\n");
        return 2;
    }
    const std::string mode = argv[1];
    BenchServices services(argv[2]);
    Sweep sweep;
    if (argc > 5) sweep = {argv[3], argv[4], std::atoi(argv[5])};

    if (mode == "cli") {
        sweepwav::GeneratorState state;
        sweepwav::CliWindow window(state, sweepwav::CliWindow::Chatter::Quiet);
        sweepwav::Form_Load(state, window, services, false);
        state.outputFolder.path = std::string(argv[2]) + "/";
        Enter(window, sweep);
        return Time("cli", [&] {
                   sweepwav::OK_Click(state, window, services);
                   return state.bFileWritten;
               })
                   ? 0
                   : 1;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool failed = false;
    sweepwav::Form1 form(services, [&failed](const std::string& text, const std::string&, sweepwav::Icon) {
        std::fprintf(stderr, "sweepwav_window_bench: %s\n", text.c_str());
        failed = true;
    });
    form.show();
    // On a display server the window is mapped and painted before the clock
    // starts (a second at most).
    for (int i = 0; i < 100 && !(form.windowHandle() && form.windowHandle()->isExposed()); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    QApplication::processEvents();
    Enter(form, sweep);
    QPushButton* ok = form.findChild<QPushButton*>(QStringLiteral("OK"));
    return Time("window", [&] {
               ok->click();
               return form.state().bFileWritten && !failed;
           })
               ? 0
               : 1;
}
