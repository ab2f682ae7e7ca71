// "Play": the sweep from the same synthesis as a file, streamed to the
// output device as it is made; with a file, written from the same samples.
#include <algorithm>
#include <optional>
#include <vector>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "commands/played_window.h"
#include "numbers/number_text.h"
#include "core/window_look.h"
#include "plan/signal_layout.h"
#include "synth/synthesis.h"
#include "wav/binary_writer.h"
#include "wav/generation_run.h"
#include "wav/marker_chunks.h"
#include "wav/wav_format.h"
#include "wav/wav_header.h"

namespace sweepwav {

namespace {

// The device takes the audio a twentieth of a second at a time, and between
// two such blocks a press of Stop is seen.
constexpr int kBlocksPerSecond = 20;
// While the device plays out its buffer, how often it is asked how far it
// got, and how many answers without progress end the asking.
constexpr int kWaitMs = 20;
constexpr int kIdleWaits = 5;

// The samples as the file's header describes them.
AudioFormat PlayFormatOf(const GeneratorState& s) {
    const WavFormat f = FormatOf(s);
    return {static_cast<std::int32_t>(f.sampleRate), s.iBits, static_cast<std::int16_t>(f.bitsPerSample),
            static_cast<std::int16_t>(f.channels)};
}

// Feeds the device and shows on the window what it has played.
class Player {
public:
    Player(GeneratorState& s, WindowOps& w, AudioStream& stream)
        : s_(s), w_(w), stream_(stream), shown_(w, s, PlayFormatOf(s).frameBytes()),
          blockBytes_(static_cast<std::size_t>(PlayFormatOf(s).frameBytes()) *
                      static_cast<std::size_t>(std::max(1, s.iSampleRate / kBlocksPerSecond))) {}

    // The window synthesis reports to.
    WindowOps& display() { return shown_; }

    std::uint64_t heard() const { return heard_; }

    // Passes bytes on a block at a time; after Stop, takes no more.
    Status play(std::span<const std::uint8_t> bytes) {
        shown_.show_heard(heard_);
        for (std::size_t at = 0; at < bytes.size() && !s_.bAbort; at += blockBytes_) {
            const auto block = bytes.subspan(at, std::min(blockBytes_, bytes.size() - at));
            if (Status written = stream_.write(block); !written) return written;
            written_ += block.size();
            if (Status shown = show_heard(); !shown) return shown;
            w_.do_events();
        }
        return {};
    }

    // After synthesis: plays out what is queued, or after Stop drops it.
    // While the device moves on, the window follows it; once it stays put
    // (a device that waits for more audio before it begins stays put) or
    // little is left, the rest is played out in one go.
    Status finish() {
        for (int idle = 0; !s_.bAbort && written_ - heard_ > blockBytes_ && idle < kIdleWaits;) {
            const std::uint64_t before = heard_;
            stream_.wait(kWaitMs);
            if (Status shown = show_heard(); !shown) return shown;
            w_.do_events();
            idle = heard_ > before ? 0 : idle + 1;
        }
        if (s_.bAbort) {
            stop();
            return {};
        }
        if (Status drained = stream_.drain(); !drained) return drained;
        heard_ = written_;
        shown_.show_heard(heard_);
        return {};
    }

    // Ends playing at once: what was not heard is neither played nor shown.
    void stop() {
        if (show_heard().ok()) stream_.discard();
        shown_.forget_unheard();
    }

private:
    Status show_heard() {
        const Result<std::uint64_t> unplayed = stream_.unplayed_bytes();
        if (!unplayed) return unplayed.status();
        heard_ = std::max(heard_, written_ - std::min(unplayed.value(), written_));
        shown_.show_heard(heard_);
        return {};
    }

    GeneratorState& s_;
    WindowOps& w_;
    AudioStream& stream_;
    PlayedWindow shown_;
    std::size_t blockBytes_;
    std::uint64_t written_ = 0;
    std::uint64_t heard_ = 0;
};

// The file beside the device: the header, then the audio as it is heard,
// so that after a stop it holds what was played and silence from there on.
// What the device has queued waits here meanwhile.
struct FileBeside {
    std::vector<std::uint8_t> markers;
    std::optional<BinaryWriter> writer;
    std::vector<std::uint8_t> unheard;
    std::uint64_t audioBytes = 0;  // in the file
    bool failed = false;           // the last failure was the file's

    Status open(GeneratorState& s, Services& sv, const std::string& path) {
        markers = s.markers ? ToneMarkerChunks(s) : std::vector<std::uint8_t>();
        Generate_WAV_Header(s, FileSizeOf(s, markers.size()));
        Result<BinaryWriter> opened = BinaryWriter::Open(sv, path);
        if (!opened) return opened.status();
        writer.emplace(std::move(opened).value());
        return writer->append(s.bHeader);
    }

    void hold(std::span<const std::uint8_t> bytes) {
        if (writer) unheard.insert(unheard.end(), bytes.begin(), bytes.end());
    }

    // Writes the audio up to heardBytes.
    Status write_heard(std::uint64_t heardBytes) {
        if (!writer || heardBytes <= audioBytes) return {};
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(heardBytes - audioBytes, unheard.size()));
        Status written = writer->append({unheard.data(), n});
        failed = !written.ok();
        unheard.erase(unheard.begin(), unheard.begin() + static_cast<std::ptrdiff_t>(n));
        audioBytes += n;
        return written;
    }

    // The silence after a stop, the pad byte and the markers.
    Status complete(const GeneratorState& s) {
        if (!writer) return {};
        unheard.clear();
        Status written = writer->append_zeros(static_cast<std::uint64_t>(s.iTotalBytes) - audioBytes);
        if (written) written = writer->pad_to_even();
        if (written && !markers.empty()) written = writer->append(markers);
        failed = !written.ok();
        return written;
    }
};

void ReportFailure(const GeneratorState& s, WindowOps& w, const std::string& message) {
    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    w.message_box(message, s.sAppTitle, Icon::Exclamation);
    ShowIdleLook(w);
}

std::string PlayFailureText(const Status& failure) { return "Could not play the sweep: " + failure.reason(); }

// Synthesis into the device (and the file), then the device played out.
Status PlayThrough(GeneratorState& s, Services& sv, Player& player, FileBeside& file) {
    Status outcome = Generate_Audio_Data(s, player.display(), sv.random_seed(), sv.worker_threads(),
                                         [&](std::span<const std::uint8_t> bytes) {
                                             file.hold(bytes);
                                             if (Status played = player.play(bytes); !played) return played;
                                             return file.write_heard(player.heard());
                                         });
    if (outcome) outcome = player.finish();
    if (outcome) outcome = file.write_heard(player.heard());
    if (outcome) outcome = file.complete(s);
    if (!outcome) player.stop();
    return outcome;
}

// Where playing ended: the frames heard, and after a stop the tone (and
// pass) heard last, as the messages name it.
void NoteHeard(GeneratorState& s, const Player& player) {
    s.iPlayedFrames = static_cast<std::int64_t>(player.heard() / static_cast<std::uint64_t>(PlayFormatOf(s).frameBytes()));
    if (!s.bAbort) return;
    s.iLastTone = 0;
    s.lastPass = 0;
    for (const Segment& segment : SignalSegments(s)) {
        if (segment.first >= s.iPlayedFrames) break;
        if (segment.tone < 0) continue;
        s.iLastTone = segment.tone;
        s.lastPass = segment.pass;
    }
}

// Played to the end or stopped: the outcome on the status line for two
// seconds, then the idle look.
void ReportPlayed(GeneratorState& s, WindowOps& w, Services& sv, const Player& player) {
    s.bPlayed = true;
    NoteHeard(s, player);
    s.dElapsed = RoundDecimals(ElapsedSeconds(s.dStartTime, sv.clock_seconds()), 1);
    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    if (s.bAbort) {
        w.set_label(Control::Status, "Playing stopped");
    } else {
        w.set_label(Control::Status, DoneText(s.dElapsed));
        w.set_progress(Control::Progress2, 1, true);
    }
    sv.sleep_ms(2000);
    ShowIdleLook(w);
}

void PlaySweep(GeneratorState& s, WindowOps& w, Services& sv, AudioOutput& out, const std::string* path) {
    s.dStartTime = sv.clock_seconds();
    Result<std::unique_ptr<AudioStream>> opened = out.open(PlayFormatOf(s));
    if (!opened) return ReportFailure(s, w, PlayFailureText(opened.status()));
    FileBeside file;
    if (path) {
        if (Status started = file.open(s, sv, *path); !started) {
            return ReportFailure(s, w, file.writer ? WriteFailureText(file.writer->description(), started.reason())
                                                   : FileWriteFailureText(*path, started));
        }
    }
    Player player(s, w, *opened.value());
    Status outcome = PlayThrough(s, sv, player, file);
    opened.value().reset();  // the device is let go before anything is shown
    bool fileFailed = file.failed;
    if (outcome && file.writer) {
        outcome = file.writer->commit();
        fileFailed = !outcome.ok();
    }
    if (!outcome) {
        return ReportFailure(s, w, fileFailed ? WriteFailureText(file.writer->description(), outcome.reason())
                                              : PlayFailureText(outcome));
    }
    if (file.writer) {
        if (!outcome.warning().empty()) w.message_box(outcome.warning(), s.sAppTitle, Icon::Exclamation);
        s.bFileWritten = true;
        s.sWrittenPath = *path;
        s.iWrittenBytes = static_cast<std::int64_t>(file.writer->length());
    }
    ReportPlayed(s, w, sv, player);
}

}  // namespace

void Play_Click(GeneratorState& s, WindowOps& w, Services& sv, AudioOutput& out, bool writeFile) {
    s.bFileWritten = false;
    s.bPlayed = false;
    s.iPlayedFrames = 0;
    Enable_form(w, false);
    if (PlanFromEntries(s, w)) {
        const std::string path = DestinationPath(s);
        PlaySweep(s, w, sv, out, writeFile ? &path : nullptr);
    }
    Enable_form(w, true);
}

}  // namespace sweepwav
