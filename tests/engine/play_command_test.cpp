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

// A device with a buffer of `capacity` bytes that plays `bytesPerWait` at
// each wait (and, as a real one, while a write waits for room). Fails as
// told.
class FakeDevice : public AudioOutput, public AudioStream {
public:
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat& f) override {
        format = f;
        if (openFailure) return *openFailure;
        return std::unique_ptr<AudioStream>(std::make_unique<Handle>(*this));
    }
    Status write(std::span<const std::uint8_t> frames) override {
        if (failAfterBytes && heard.size() + queued.size() >= *failAfterBytes) {
            return Status::Failure("the device went away");
        }
        queued.insert(queued.end(), frames.begin(), frames.end());
        written += frames.size();
        if (queued.size() > capacity) play(queued.size() - capacity);
        return {};
    }
    Result<std::uint64_t> unplayed_bytes() override { return static_cast<std::uint64_t>(queued.size()); }
    void wait(int) override { play(bytesPerWait); }
    Status drain() override {
        play(queued.size());
        return {};
    }
    void discard() override {
        discarded += queued.size();
        queued.clear();
    }

    void play(std::size_t n) {
        n = std::min(n, queued.size());
        heard.insert(heard.end(), queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(n));
        queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(n));
    }

    std::size_t capacity = 40000;
    std::size_t bytesPerWait = 4000;
    std::optional<Status> openFailure;
    std::optional<std::size_t> failAfterBytes;
    AudioFormat format;
    std::vector<std::uint8_t> heard, queued;
    std::size_t written = 0, discarded = 0;

private:
    struct Handle : AudioStream {
        explicit Handle(FakeDevice& d) : d(d) {}
        Status write(std::span<const std::uint8_t> f) override { return d.write(f); }
        Result<std::uint64_t> unplayed_bytes() override { return d.unplayed_bytes(); }
        void wait(int ms) override { d.wait(ms); }
        Status drain() override { return d.drain(); }
        void discard() override { d.discard(); }
        FakeDevice& d;
    };
};

// A window that notes how much the device had played when each status text
// was shown.
class ListeningWindow : public RecordingWindow {
public:
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
    // Three 10 ms tones at 48 kHz unless the texts say otherwise.
    void Start(const std::vector<std::pair<Control, const char*>>& texts) {
        s = GeneratorState{};
        sv.files.clear();
        Form_Load(s, w, sv);
        w.choose(Control::Samplerate, "48kHz");
        for (const auto& [box, text] : std::vector<std::pair<Control, const char*>>{
                 {Control::Steps, "2"}, {Control::ToneTime, "10"}, {Control::ToneCycles, "0"}}) {
            w.set_text(box, text);
        }
        for (const auto& [box, text] : texts) {
            if (box == Control::Dither1) w.set_checked(box, std::string(text) == "on");
            else if (!w.choose(box, text)) w.set_text(box, text);
        }
    }

    // What Generate writes for the same entries.
    std::vector<std::uint8_t> GeneratedFile() {
        GeneratorState g = s;
        RecordingWindow quiet = w;
        OK_Click(g, quiet, sv);
        return sv.files.at(kOutput);
    }

    GeneratorState s;
    FakeDevice device;
    ListeningWindow w{device};
    RecordingServices sv;
};

TEST_F(PlayCommand, TheDeviceGetsTheFilesAudioAndTheFileIsGeneratesOwn) {
    const struct {
        std::vector<std::pair<Control, const char*>> texts;
        AudioFormat format;
    } cases[] = {
        {{{Control::ToneTime, "100"}}, {48000, 16, 16, 2}},
        {{{Control::Wordlength, "20 bit"}, {Control::Channels, "mono"}, {Control::Samplerate, "44.1kHz"},
          {Control::ToneTime, "100"}},
         {44100, 20, 24, 1}},
        {{{Control::Wordlength, "24 bit"}, {Control::Channels, "3 ch"}, {Control::Dither1, "off"}}, {48000, 24, 24, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format.rate + c.format.bits + c.format.channels);
        Start(c.texts);
        const std::vector<std::uint8_t> generated = GeneratedFile();
        sv.files.clear();
        device.heard.clear();
        Play_Click(s, w, sv, device, true);
        EXPECT_TRUE(w.boxes.empty());
        EXPECT_EQ(device.format.rate, c.format.rate);
        EXPECT_EQ(device.format.bits, c.format.bits);
        EXPECT_EQ(device.format.containerBits, c.format.containerBits);
        EXPECT_EQ(device.format.channels, c.format.channels);
        ASSERT_EQ(device.heard.size(), static_cast<std::size_t>(s.iTotalBytes));
        EXPECT_TRUE(std::equal(device.heard.begin(), device.heard.end(), generated.begin() + 44));
        EXPECT_EQ(sv.files.at(kOutput), generated);
        EXPECT_TRUE(s.bPlayed && s.bFileWritten);
        EXPECT_EQ(w.statuses.back(), "Sweep Configuration");
    }
}

TEST_F(PlayCommand, TheWindowShowsEachToneWhenItIsHeard) {
    // A buffer of about one tone: synthesis runs a tone ahead of the device.
    Start({{Control::Steps, "4"}, {Control::ToneTime, "100"}});
    device.capacity = 19200;
    Play_Click(s, w, sv, device);
    ASSERT_TRUE(w.boxes.empty());
    std::size_t toneStart = 0;
    int k = 0;
    const std::size_t block = 48000 / 20 * 4;  // the device is asked between blocks
    for (std::size_t i = 0; i < w.statuses.size(); ++i) {
        if (!w.statuses[i].starts_with("Playing sweep step ")) continue;
        SCOPED_TRACE(w.statuses[i]);
        EXPECT_EQ(w.statuses[i], "Playing sweep step " + std::to_string(k) + " of 4");
        EXPECT_GE(w.heardAtStatus[i], toneStart);
        EXPECT_LT(w.heardAtStatus[i], toneStart + block);
        toneStart += static_cast<std::size_t>(s.dSamples[static_cast<std::size_t>(k++)]) * 4;
    }
    EXPECT_EQ(k, 5);
    EXPECT_EQ(w.statuses[w.statuses.size() - 2], "Done in 1 seconds");
}

TEST_F(PlayCommand, StopEndsPlayingWithinABlockAndTheFileHoldsWhatWasHeard) {
    // Stop seen at the 3rd, 10th and 30th servicing of events.
    for (int at : {3, 10, 30}) {
        SCOPED_TRACE(at);
        Start({{Control::Steps, "4"}, {Control::ToneTime, "100"}});
        const std::vector<std::uint8_t> generated = GeneratedFile();
        sv.files.clear();
        device = FakeDevice{};
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
        EXPECT_EQ(s.iPlayedFrames * 4, static_cast<std::int64_t>(heardAtStop));
        EXPECT_EQ(w.statuses[w.statuses.size() - 2], "Playing stopped");
        const auto& file = sv.files.at(kOutput);
        ASSERT_EQ(file.size(), generated.size());
        EXPECT_TRUE(std::equal(file.begin(), file.begin() + 44 + static_cast<std::ptrdiff_t>(heardAtStop),
                               generated.begin()));
        EXPECT_TRUE(std::all_of(file.begin() + 44 + static_cast<std::ptrdiff_t>(heardAtStop), file.end(),
                                [](std::uint8_t b) { return b == 0; }));
        // The tone heard last, as the messages name it.
        std::size_t toneEnd = 0;
        int tone = 0;
        while ((toneEnd += static_cast<std::size_t>(s.dSamples[static_cast<std::size_t>(tone)]) * 4) < heardAtStop) {
            ++tone;
        }
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
        device = FakeDevice{};
        device.openFailure = c.openFailure;
        device.failAfterBytes = c.failAfterBytes;
        Play_Click(s, w, sv, device, true);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, c.message);
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_TRUE(sv.files.empty());
        EXPECT_FALSE(s.bPlayed || s.bFileWritten);
        EXPECT_FALSE(w.enabled[Control::Abort]);
        EXPECT_TRUE(w.enabled[Control::OK]);
        EXPECT_EQ(w.statuses.back(), "Sweep Configuration");
    }
}

}  // namespace
}  // namespace sweepwav
