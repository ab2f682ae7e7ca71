// Tests sweepwav.exe from outside, under Wine on a virtual screen: the
// scenarios of a table, each on windows of its own.
//   window_driver.exe SCENARIOS PROGRAM DATA FOLDER
// SCENARIOS is a comma-separated list of names from the table (or "all"),
// DATA the folder with the expected texts and options written by
// tools/windows-window-checks.sh, FOLDER the output folder the window
// should find. Ends with "N passed, M failed".
#include <cstdio>
#include <exception>
#include <string>

#include "scenarios.h"

namespace {

using namespace sweepwav::driver;

struct Scenario {
    const char* name;
    void (*run)(const Setup&, Checks&);
    bool inAll;
};

constexpr Scenario kScenarios[] = {
    {"start-up", StartUp, true},      {"keyboard", Keyboard, true},       {"refused", Refusals, true},
    {"make-file-name", MakeFileName, true}, {"viewer", ViewerCommandLine, true}, {"show-info", ShowInfo, true}, {"abort", AbortRun, true},
    {"settings", SettingsFiles, true}, {"plan", PlanView, true},       {"frequencies", Frequencies, true},
    {"files", Files, true},           {"form-table", FormTable, true}, {"smallest", SmallestWindow, true},
    {"no-analyser", NoAnalyser, false},
    {"play-heard", PlayHeard, false}, {"play", Playing, false},         {"play-failure", PlayFailure, false},
    {"screenshot", Screenshot, false},
};

bool Chosen(const std::string& list, const Scenario& s) {
    if (list == "all") return s.inAll;
    const std::string name = s.name;
    std::size_t at = 0;
    while ((at = list.find(name, at)) != std::string::npos) {
        const std::size_t end = at + name.size();
        if ((at == 0 || list[at - 1] == ',') && (end == list.size() || list[end] == ',')) return true;
        at = end;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: window_driver SCENARIOS PROGRAM DATA FOLDER\n");
        return 2;
    }
    const Setup setup{argv[2], argv[3], argv[4]};
    Checks checks;
    for (const Scenario& s : kScenarios) {
        if (!Chosen(argv[1], s)) continue;
        const int failedBefore = checks.failed;
        try {
            s.run(setup, checks);
        } catch (const std::exception& e) {
            checks.check(false, s.name, std::string("stopped: ") + e.what());
        }
        std::printf("%-15s %s\n", s.name, checks.failed == failedBefore ? "passed" : "FAILED");
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", checks.passed, checks.failed);
    return checks.failed == 0 && checks.passed > 0 ? 0 : 1;
}
