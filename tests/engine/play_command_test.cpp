// Play against a simulated device: what it is given, when the window shows
// what, a stop, and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

const std::string kOutput = "/data/analyser/User Wavetables/filename.wav";

// A device with a buffer of `capacity` bytes that plays 4000 bytes at each
// wait (and, as a real one, while a write waits for room). Fails as told.
struct FakeDevice : AudioOutput {
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat& f) override {
        format = AudioFormatText(f);
        if (openFailure) return *openFailure;
        return std::unique_ptr<AudioStream>(std::make_unique<Stream>(*this));
    }
    void play(std::size_t n) {
        const auto end = queued.begin() + static_cast<std::ptrdiff_t>(std::min(n, queued.size()));
        heard.insert(heard.end(), queued.begin(), end);
        queued.erase(queued.begin(), end);
    }

    struct Stream : AudioStream {
        explicit Stream(FakeDevice& d) : d(d) {}
        Status write(std::span<const std::uint8_t> frames) override {
            if (d.failAfterBytes && d.written >= *d.failAfterBytes) return Status::Failure("the device went away");
            d.queued.insert(d.queued.end(), frames.begin(), frames.end());
            d.written += frames.size();
            if (d.queued.size() > d.capacity) d.play(d.queued.size() - d.capacity);
            return {};
        }
        Result<std::uint64_t> unplayed_bytes() override { return static_cast<std::uint64_t>(d.queued.size()); }
        void wait(int) override { d.play(4000); }
        Status drain() override {
            d.play(d.queued.size());
            return {};
        }
        void discard() override {
            d.discarded += d.queued.size();
            d.queued.clear();
        }
        FakeDevice& d;
    };

    std::size_t capacity = 40000;
    std::optional<Status> openFailure;
    std::optional<std::size_t> failAfterBytes;
    std::string format;
    std::vector<std::uint8_t> heard, queued;
    std::size_t written = 0, discarded = 0;
};

// A window that notes how much the device had played when each status text
// was shown.
struct ListeningWindow : RecordingWindow {
    explicit ListeningWindow(const FakeDevice& d) : device(d) {}
    void set_label(Control label, const std::string& t) override {
        RecordingWindow::set_label(label, t);
        if (label == Control::Status) heardAtStatus.push_back(device.heard.size());
    }
    const FakeDevice& device;
    std::vector<std::size_t> heardAtStatus;
};

class PlayCommand : public ::testing::Test {
protected:
    // Tones at 48 kHz of 100 ms (two blocks), stereo, 16 bit, unless the
    // texts say otherwise; returns the file Generate writes for them.
    std::vector<std::uint8_t> Start(const std::vector<std::pair<Control, const char*>>& texts) {
        s = GeneratorState{};
        device = FakeDevice{};
        Form_Load(s, w, sv);
        w.choose(Control::Samplerate, "48kHz");
        w.set_text(Control::ToneTime, "100");
        w.set_text(Control::ToneCycles, "0");
        for (const auto& [box, text] : texts) {
            if (box == Control::Dither1) w.set_checked(box, false);
            else if (!w.choose(box, text)) w.set_text(box, text);
        }
        GeneratorState g = s;
        RecordingWindow quiet = w;
        OK_Click(g, quiet, sv);
        std::vector<std::uint8_t> file = sv.files.at(kOutput);
        sv.files.clear();
        return file;
    }

    GeneratorState s;
    FakeDevice device;
    ListeningWindow w{device};
    RecordingServices sv;
};

TEST_F(PlayCommand, TheDeviceGetsTheFilesAudioAndTheFileIsGeneratesOwn) {
    const struct {
        std::vector<std::pair<Control, const char*>> texts;
        std::string format;
    } cases[] = {
        {{{Control::Steps, "2"}}, "48000 Hz, 16 bit, 2 channels"},
        {{{Control::Wordlength, "20 bit"}, {Control::Channels, "mono"}, {Control::Samplerate, "44.1kHz"}},
         "44100 Hz, 20 bit in 24, 1 channel"},
        {{{Control::Wordlength, "24 bit"}, {Control::Channels, "3 ch"}, {Control::Dither1, "off"}},
         "48000 Hz, 24 bit, 3 channels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const std::vector<std::uint8_t> generated = Start(c.texts);
        Play_Click(s, w, sv, device, true);
        EXPECT_TRUE(w.boxes.empty());
        EXPECT_EQ(device.format, c.format);
        ASSERT_EQ(device.heard.size(), static_cast<std::size_t>(s.iTotalBytes));
        EXPECT_TRUE(std::equal(device.heard.begin(), device.heard.end(), generated.begin() + 44));
        EXPECT_EQ(sv.files.at(kOutput), generated);
        EXPECT_TRUE(s.bPlayed && s.bFileWritten);
    }
}

TEST_F(PlayCommand, TheWindowShowsEachToneWhenItIsHeard) {
    // A buffer of one tone: synthesis runs a tone ahead of the device.
    Start({{Control::Steps, "4"}});
    device.capacity = 19200;
    sv.clockReadings = {100, 101};
    Play_Click(s, w, sv, device);
    std::size_t toneStart = 0, k = 0;
    const std::size_t block = 48000 / 20 * 4;  // the device is asked between blocks
    for (std::size_t i = 0; i < w.statuses.size(); ++i) {
        if (!w.statuses[i].starts_with("Playing sweep step ")) continue;
        EXPECT_EQ(w.statuses[i], "Playing sweep step " + std::to_string(k) + " of 4");
        EXPECT_GE(w.heardAtStatus[i], toneStart);
        EXPECT_LT(w.heardAtStatus[i], toneStart + block);
        toneStart += static_cast<std::size_t>(s.dSamples[k++]) * 4;
    }
    EXPECT_EQ(k, 5u);
    EXPECT_EQ(w.statuses[w.statuses.size() - 2], "Done in 1 seconds");
}

TEST_F(PlayCommand, StopEndsPlayingAtOnceAndTheFileHoldsWhatWasHeard) {
    // Stop seen at the 3rd, 10th and 30th servicing of events.
    for (int at : {3, 10, 30}) {
        SCOPED_TRACE(at);
        const std::vector<std::uint8_t> generated = Start({{Control::Steps, "4"}});
        std::size_t heardAtStop = 0, writtenAtStop = 0;
        w.onEvents = [&](int n) {
            if (n != at) return;
            Abort_Click(s);
            heardAtStop = device.heard.size();
            writtenAtStop = device.written;
        };
        Play_Click(s, w, sv, device, true);
        w.onEvents = nullptr;
        EXPECT_EQ(device.written, writtenAtStop);
        EXPECT_EQ(device.heard.size(), heardAtStop);
        EXPECT_GT(device.discarded, 0u);
        EXPECT_EQ(w.statuses[w.statuses.size() - 2], "Playing stopped");
        const auto& file = sv.files.at(kOutput);
        const auto silence = file.begin() + 44 + static_cast<std::ptrdiff_t>(heardAtStop);
        ASSERT_EQ(file.size(), generated.size());
        EXPECT_TRUE(std::equal(file.begin(), silence, generated.begin()));
        EXPECT_TRUE(std::all_of(silence, file.end(), [](std::uint8_t b) { return b == 0; }));
        // The tone heard last, as the messages name it.
        std::size_t toneEnd = static_cast<std::size_t>(s.dSamples[0]) * 4;
        int tone = 0;
        while (toneEnd < heardAtStop) toneEnd += static_cast<std::size_t>(s.dSamples[++tone]) * 4;
        EXPECT_EQ(s.iLastTone, tone);
    }
}

TEST_F(PlayCommand, FailuresAreToldAndLeaveNoFile) {
    const struct {
        std::optional<Status> openFailure;
        std::optional<std::size_t> failAfterBytes;
        std::string message;
    } cases[] = {
        {Status::Failure(FailureKind::Missing, "no sound server answers (Connection refused)"), std::nullopt,
         "Could not play the sweep: no sound server answers (Connection refused)"},
        {std::nullopt, 9600, "Could not play the sweep: the device went away"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Start({});
        w.boxes.clear();
        device.openFailure = c.openFailure;
        device.failAfterBytes = c.failAfterBytes;
        Play_Click(s, w, sv, device, true);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, c.message);
        EXPECT_TRUE(sv.files.empty());
        EXPECT_FALSE(s.bPlayed || s.bFileWritten || w.enabled[Control::Abort]);
        EXPECT_TRUE(w.enabled[Control::OK]);
        EXPECT_EQ(w.statuses.back(), "Sweep Configuration");
    }
}

}  // namespace
}  // namespace sweepwav
