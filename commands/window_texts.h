// The texts both windows show around the form, kept once so that the Qt
// window and the Win32 window cannot drift apart: the menu bar, the bar
// under the form, the dialogs' titles and file types, the plan view's
// columns and the About box.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// The program's name, the title of a message box that has none of its own.
inline constexpr std::string_view kApplicationName = "sweepwav";

// A menu of the menu bar and its commands. A command's keys are written as
// "Ctrl+Shift+E" (none: no keys); Recent settings is the File menu's
// submenu of the last settings files; an empty name is a separator.
struct MenuCommand {
    std::string_view name;
    std::string_view text;
    std::string_view keys;
};
struct Menu {
    std::string_view name;
    std::string_view title;
    std::span<const MenuCommand> commands;
};
std::span<const Menu> MenuBar();
const MenuCommand& MenuCommandNamed(std::string_view name);

// How many settings files Recent settings keeps.
inline constexpr int kRecentCount = 5;
// A recent file's line in the menu: "&1 bench.sweep — C:\Sweeps", its
// name first, then its folder ("&" in them doubled, so that they show).
std::string RecentFileText(int position, const std::string& name, const std::string& folder);
// A preset's line in the Presets menu: what it holds, or its name when its
// file does not say ("&" doubled).
std::string PresetMenuText(const std::string& name, const std::string& about);

// The message for files dropped on the window that it does not open: more
// than one, or one that is not a settings file; empty for one settings file.
std::string DropRefusalText(const std::vector<std::string>& paths);

// How the user sets the analyser's folder (on Windows the registry value,
// elsewhere the line of its settings file), after "set the analyser's
// folder ".
extern const char* const kAnalyserFolderSetting;
// The window's advice after a file could not be written into the folder
// files fall back to when the analyser's folder was not found.
std::string FallbackFolderAdvice(const std::string& folder);

// Dialog titles and the file types they offer.
inline constexpr std::string_view kExportTitle = "Export tone plan";
inline constexpr std::string_view kOpenSettingsTitle = "Open settings";
inline constexpr std::string_view kSaveSettingsTitle = "Save settings";
inline constexpr std::string_view kSignalOptionsTitle = "Signal options";
inline constexpr std::string_view kFrequenciesTitle = "Frequencies";
inline constexpr std::string_view kAboutTitle = "About sweepwav";
struct FileType {
    std::string_view name;     // "CSV files (*.csv)"
    std::string_view ending;   // "csv"
};
inline constexpr FileType kCsvType{"CSV files (*.csv)", "csv"};
inline constexpr FileType kJsonType{"JSON files (*.json)", "json"};
inline constexpr FileType kPngType{"PNG pictures (*.png)", "png"};
inline constexpr FileType kSweepType{"Sweep settings (*.sweep)", "sweep"};

// The Play button while the sweep plays: it then stops it.
inline constexpr std::string_view kStopText = "&Stop";
inline constexpr std::string_view kStopTooltip = "Stop playing the sweep";

// The About box: version, what the program does, the licence.
std::string AboutText(std::string_view version);

// The bar under the form, in three pieces: the text before the path, the
// path, and the text after it.
struct BarText {
    std::string before;
    std::string path;
    std::string after;
    std::string whole() const { return before + path + after; }
};
// "Output folder: <folder> (<how it was found>)".
BarText FolderBarText(const std::string& folder, FolderLookup lookup);
// "Wrote <path> (<size>)", and after an abort that the rest is silent.
BarText WrittenBarText(const std::string& path, std::int64_t bytes, bool aborted);
// How the lookup's outcome reads after the folder.
std::string LookupText(FolderLookup lookup);
// "1234 bytes", "2.41 KB, 2468 bytes", "96.68 MB, 101376044 bytes".
std::string SizeText(std::int64_t bytes);
// The bar's tooltip, for its whole text.
std::string BarToolTip(const std::string& whole);

// The message when the output folder cannot be shown.
std::string OpenFolderFailureText(const std::string& folder);

// The options dialogs' complaint about a channel list, and about a number
// of theirs that is not one in its range.
inline constexpr std::string_view kChannelListProblem =
    "Please give the channels as numbers from 1 to 8, each once, such as 1,3.";
inline constexpr std::string_view kFrequencyListProblem =
    "Please give the frequencies in Hz, separated by commas, such as 100,1000,10000.";
std::string LengthProblemText(Control length);

// The plan view's table: the columns of the exported plan, headed in words,
// with the decimals shown (a cell's tooltip has the value in full).
struct PlanColumn {
    std::string_view heading;
    int decimals;
};
std::span<const PlanColumn> PlanColumns();
// The plan view's button that saves its chart as a picture, and the title
// of the question where to.
inline constexpr std::string_view kSavePictureButton = "Save chart &picture\u2026";
inline constexpr std::string_view kSavePictureTitle = "Save chart picture";
// A value to a fixed number of decimals; what rounds to zero shows no sign.
std::string PlanCellText(double value, int decimals);
// The plan view's title: "Sweep plan - name.wav".
std::string PlanViewTitle(const std::string& fileName);

}  // namespace sweepwav
