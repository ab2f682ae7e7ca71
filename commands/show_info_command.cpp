#include "commands/commands.h"
#include "report/info_report.h"
#include "commands/outputs.h"

namespace sweepwav {

void ShowInfo_Click(GeneratorState& s, WindowOps& w, Services& sv) {
    if (!PlanFromEntries(s, w)) return;
    BuildInfoReport(s);
    if (s.sReport.size() <= kLongestBoxReport) {
        w.message_box(s.sReport, s.sAppTitle + " - file info", Icon::Information);
        return;
    }
    // A long report goes to a file that replaces the last one, opened in the
    // text viewer without waiting for it.
    const std::string path = OutputFolder(s) + "wav_info.txt";
    const Status written = sv.write_text_file(path, s.sReport);
    if (!written) {
        w.message_box(FileWriteFailureText(path, written), s.sAppTitle, Icon::Exclamation);
        return;
    }
    if (!written.warning().empty()) w.message_box(written.warning(), s.sAppTitle, Icon::Exclamation);
    if (!sv.open_in_viewer(path)) w.show_long_text("Could not open " + ShownName(path) + " in a text viewer.", s.sReport, s.sAppTitle);
}

}  // namespace sweepwav
