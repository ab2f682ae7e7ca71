#include "wav/generation_run.h"

#include <cmath>

#include "numbers/number_text.h"
#include "settings/output_folder.h"
#include "platform/window_look.h"
#include "synth/synthesis.h"
#include "wav/binary_writer.h"
#include "wav/wav_header.h"

namespace sweepwav {

namespace {

constexpr double kSecondsPerDay = 86400;

}  // namespace

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
    Generate_Audio_Data(s, w, sv.random_seed());
    w.set_label(Control::Status, "Writing data to file...");

    const std::string path = OutputFolder(s) + s.sFileName;
    const auto failure =
        WriteBinary(sv, path, std::span<const std::uint8_t>(s.bHeader.data(), 44),
                    std::span<const std::uint8_t>(s.bAudio.data(),
                                                  static_cast<std::size_t>(s.iTotalBytes)));
    if (failure) {
        w.message_box("Could not write the file " + path + ": " + *failure, s.sAppTitle,
                      Icon::Exclamation);
        Show_idle_look(w);
        return;
    }
    s.bFileWritten = true;

    double elapsed = static_cast<float>(sv.clock_seconds()) - s.dStartTime;
    if (elapsed < 0) elapsed += kSecondsPerDay;  // the run passed midnight
    s.dElapsed = RoundDecimals(elapsed, 1);

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
