#include "wav/generation_run.h"

#include <cmath>
#include <vector>

#include "numbers/number_text.h"
#include "core/window_look.h"
#include "settings/output_folder.h"
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

void Generate_WAV_File(GeneratorState& s, WindowOps& w, Services& sv) {
    s.bFileWritten = false;
    s.dStartTime = sv.clock_seconds();
    Generate_WAV_Header(s);
    // Tone markers follow the data chunk; the RIFF size then counts them and
    // the data's pad byte. The header is otherwise the same.
    const std::vector<std::uint8_t> markers = s.bMarkers ? ToneMarkerChunks(s) : std::vector<std::uint8_t>();
    if (!markers.empty()) {
        const std::uint32_t riffSize = RiffSizeWithMarkers(s.iTotalBytes, markers.size());
        for (int j = 0; j < 4; ++j) s.bHeader[static_cast<std::size_t>(4 + j)] = static_cast<std::uint8_t>(riffSize >> (8 * j));
    }

    const std::string path = OutputFolder(s) + s.sFileName;
    BinaryWriter writer(sv, path);
    const auto fail = [&](const std::string& reason) {
        w.message_box(writer.failure_text(reason), s.sAppTitle, Icon::Exclamation);
        Show_idle_look(w);
    };
    if (const auto& reason = writer.open_failure()) return fail(*reason);
    if (auto reason = writer.append(std::span<const std::uint8_t>(s.bHeader.data(), 44))) {
        return fail(*reason);
    }
    // The audio goes to the file as it is made.
    const auto failure = Generate_Audio_Data(
        s, w, sv.random_seed(), sv.worker_threads(),
        [&writer](std::span<const std::uint8_t> bytes) { return writer.append(bytes); });
    if (failure) return fail(*failure);

    w.set_label(Control::Status, "Writing data to file...");
    // After an abort the rest of the planned data is silence.
    const auto rest = static_cast<std::uint64_t>(s.iTotalBytes) - static_cast<std::uint64_t>(s.iWritePos);
    std::optional<std::string> reason = writer.append_zeros(rest);
    if (!reason) reason = writer.pad_to_even();
    if (!reason && !markers.empty()) reason = writer.append(markers);
    if (!reason) reason = writer.commit();
    if (reason) return fail(*reason);
    s.bFileWritten = true;
    s.sWrittenPath = path;
    s.iWrittenBytes = static_cast<std::int64_t>(writer.length());

    s.dElapsed = RoundDecimals(ElapsedSeconds(s.dStartTime, sv.clock_seconds()), 1);
    if (s.bAbort) {
        w.set_label(Control::Status, "Calculations aborted");
    } else {
        w.set_label(Control::Status, DoneText(s.dElapsed));
        w.set_line_x2(Control::Progress2, kLineFull, true);
    }
    sv.sleep_ms(2000);
    Show_idle_look(w);
}

}  // namespace sweepwav
