#include "wav/generation_run.h"

#include <cmath>
#include <vector>

#include "numbers/number_text.h"
#include "core/window_look.h"
#include "synth/synthesis.h"
#include "wav/binary_writer.h"
#include "wav/marker_chunks.h"
#include "wav/wav_header.h"

namespace sweepwav {

namespace {

constexpr double kSecondsPerDay = 86400;

}  // namespace

double ElapsedSeconds(double start, double end) {
    double elapsed = static_cast<float>(end) - start;
    if (elapsed < -kSecondsPerDay / 2) {
        elapsed += kSecondsPerDay;  // the run passed midnight
    } else if (elapsed < 0) {
        elapsed = 0;  // the end, rounded to single precision, fell before the start
    }
    return elapsed;
}

std::string DoneText(double dElapsed) {
    if (dElapsed > 60) {
        const double minutes = std::floor(dElapsed / 60);
        const double seconds = std::fmod(RoundHalfEven(dElapsed), 60);
        return "Done in " + NumberText(minutes) + "min " + NumberText(seconds) + " seconds";
    }
    return "Done in " + NumberText(dElapsed) + " seconds";
}

namespace {

// A write that failed: its message, then the idle look. The old file stays.
void ReportWriteFailure(const GeneratorState& s, WindowOps& w, const std::string& message) {
    w.message_box(message, s.sAppTitle, Icon::Exclamation);
    ShowIdleLook(w);
}

// Header, audio as it is synthesised, the silence after an abort, the pad
// byte and the markers, then the file takes its name.
Status WriteFile(GeneratorState& s, WindowOps& w, Services& sv, BinaryWriter& writer,
                 std::span<const std::uint8_t> markers) {
    if (Status written = writer.append(s.bHeader); !written) return written;
    const Status synthesised =
        Generate_Audio_Data(s, w, sv.random_seed(), sv.worker_threads(),
                            [&writer](std::span<const std::uint8_t> bytes) { return writer.append(bytes); });
    if (!synthesised) return synthesised;

    w.set_label(Control::Status, "Writing data to file...");
    const auto rest = static_cast<std::uint64_t>(s.iTotalBytes) - static_cast<std::uint64_t>(s.iWritePos);
    Status written = writer.append_zeros(rest);
    if (written) written = writer.pad_to_even();
    if (written && !markers.empty()) written = writer.append(markers);
    if (written) written = writer.commit();
    return written;
}

// The run time, or the abort, on the status line for two seconds.
void ReportOutcome(GeneratorState& s, WindowOps& w, Services& sv) {
    s.dElapsed = RoundDecimals(ElapsedSeconds(s.dStartTime, sv.clock_seconds()), 1);
    if (s.bAbort) {
        w.set_label(Control::Status, "Calculations aborted");
    } else {
        w.set_label(Control::Status, DoneText(s.dElapsed));
        w.set_progress(Control::Progress2, 1, true);
    }
    sv.sleep_ms(2000);
    ShowIdleLook(w);
}

}  // namespace

void Generate_WAV_File(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path) {
    s.bFileWritten = false;
    s.dStartTime = sv.clock_seconds();
    // Tone markers follow the audio; the header's RIFF size counts them.
    const std::vector<std::uint8_t> markers = s.markers ? ToneMarkerChunks(s) : std::vector<std::uint8_t>();
    Generate_WAV_Header(s, FileSizeOf(s, markers.size()));

    Result<BinaryWriter> opened = BinaryWriter::Open(sv, path);
    if (!opened) return ReportWriteFailure(s, w, FileWriteFailureText(path, opened.status()));
    BinaryWriter& writer = opened.value();
    const Status written = WriteFile(s, w, sv, writer, markers);
    if (!written) return ReportWriteFailure(s, w, WriteFailureText(writer.description(), written.reason()));
    // Written, but without something the old file had: said, and the run goes on.
    if (!written.warning().empty()) w.message_box(written.warning(), s.sAppTitle, Icon::Exclamation);
    s.bFileWritten = true;
    s.sWrittenPath = path;
    s.iWrittenBytes = static_cast<std::int64_t>(writer.length());
    ReportOutcome(s, w, sv);
}

}  // namespace sweepwav
