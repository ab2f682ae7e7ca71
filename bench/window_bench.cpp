// Times a "Generate file" click in the window for the large sweep: 192 kHz,
// 24 bit, 8 channels, 10 steps (11 tones) of exactly 2000 ms, dither on, as
// bench/run.sh asks of sweepwav-cli. The window runs on the
// offscreen platform and the two-second hold after the run is skipped.
//
//   sweepwav_window_bench DIR [REPEATS]
//
// Writes DIR/filename.wav and prints one line per run: "window <seconds>".
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/form1.h"
#include "platform/system_services.h"

namespace {

// Writes straight into the given folder and does not hold the final status.
class BenchServices : public sweepwav::SystemServices {
public:
    explicit BenchServices(std::string dir) : dir_(std::move(dir)) {}
    sweepwav::FolderDefaults folder_defaults() override { return {dir_, "/", dir_ + "/"}; }
    sweepwav::SettingRead read_setting(const std::string&) override { return {true, dir_, {}}; }
    void sleep_ms(int) override {}

private:
    std::string dir_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sweepwav_window_bench DIR [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;

    BenchServices services(argv[1]);
    bool failed = false;
    sweepwav::Form1 form(services, [&failed](const std::string& text, const std::string&, sweepwav::Icon) {
        std::fprintf(stderr, "sweepwav_window_bench: %s\n", text.c_str());
        failed = true;
    });
    form.show();
    QApplication::processEvents();

    form.findChild<QComboBox*>(QStringLiteral("Samplerate"))->setCurrentIndex(4);  // 192kHz
    form.findChild<QComboBox*>(QStringLiteral("Wordlength"))->setCurrentIndex(4);  // 24 bit
    form.findChild<QComboBox*>(QStringLiteral("Channels"))->setCurrentIndex(7);    // 8 ch
    form.findChild<QComboBox*>(QStringLiteral("Shiftmode"))->setCurrentIndex(0);   // as entered
    form.findChild<QLineEdit*>(QStringLiteral("ToneTime"))->setText(QStringLiteral("2000"));
    form.findChild<QLineEdit*>(QStringLiteral("ToneCycles"))->setText(QStringLiteral("0"));
    QPushButton* ok = form.findChild<QPushButton*>(QStringLiteral("OK"));

    for (int i = 0; i < repeats && !failed; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ok->click();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!form.state().bFileWritten) failed = true;
        std::printf("window %.3f\n", elapsed.count());
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
