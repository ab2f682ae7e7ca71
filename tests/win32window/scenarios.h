// The driver's scenarios and the checks they count.
#pragma once

#include <map>
#include <string>

#include "driver.h"
#include "settings/catalogue.h"

namespace sweepwav::driver {

// Where a run of the driver finds its program and its data, and where the
// window's files go.
struct Setup {
    std::string program;  // sweepwav.exe
    std::string data;     // the shell's expected texts, and the driver's own files (with a final "\")
    std::string folder;   // the output folder the window should find (with a final "\")
};

// Counts checks and prints each failure with what was seen.
class Checks {
public:
    void check(bool ok, const std::string& scenario, const std::string& what, const std::string& seen = {});
    void equal(const std::string& got, const std::string& want, const std::string& scenario, const std::string& what);
    int passed = 0;
    int failed = 0;
};

// Fills the form from command-line options ("--bits 24 --markers --gap-ms
// 50"): boxes, ticks and lists directly, Write tone markers through the
// menu, the signal options and the frequencies through their dialogs.
void Apply(Window& w, const std::string& options);
// Opens the options dialog of place, fills the given fields and presses OK.
void SetOptions(Window& w, Place place, const std::map<Control, std::string>& values);

// Opens View > Sweep plan; the view's window, or nullptr when none came.
HWND OpenPlanView(Window& w);

// The bytes of a file, or nothing when it cannot be read.
std::string FileBytes(const std::string& path);
// A text without the line ends at its end.
std::string Trimmed(std::string text);

void StartUp(const Setup& setup, Checks& checks);
void Keyboard(const Setup& setup, Checks& checks);
void Files(const Setup& setup, Checks& checks);
void Refusals(const Setup& setup, Checks& checks);
void AbortRun(const Setup& setup, Checks& checks);
void ShowInfo(const Setup& setup, Checks& checks);
void MakeFileName(const Setup& setup, Checks& checks);
void SettingsFiles(const Setup& setup, Checks& checks);
void PlanView(const Setup& setup, Checks& checks);
void ViewerCommandLine(const Setup& setup, Checks& checks);
void Frequencies(const Setup& setup, Checks& checks);
void NoAnalyser(const Setup& setup, Checks& checks);
void Screenshot(const Setup& setup, Checks& checks);
void FormTable(const Setup& setup, Checks& checks);
void SmallestWindow(const Setup& setup, Checks& checks);
void PlayHeard(const Setup& setup, Checks& checks);
void Playing(const Setup& setup, Checks& checks);
void PlayFailure(const Setup& setup, Checks& checks);

}  // namespace sweepwav::driver
