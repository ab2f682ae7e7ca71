#include "commands/window_texts.h"

#include <array>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "core/text.h"
#include "numbers/number_text.h"
#include "report/plan_export.h"
#include "settings/catalogue.h"

namespace sweepwav {

namespace {

constexpr MenuCommand kFileCommands[] = {
    {"ExportPlan", "&Export tone plan\u2026", "Ctrl+Shift+E"},
    {"OpenOutputFolder", "&Open output folder", "Ctrl+Shift+O"},
    {"", "", ""},
    {"OpenSettings", "O&pen settings\u2026", "Ctrl+O"},
    {"SaveSettings", "&Save settings as\u2026", "Ctrl+S"},
    {"RecentSettings", "&Recent settings", ""},
    {"Presets", "Prese&ts", ""},
    {"Reset", "Reset to start-&up values", ""},
    {"", "", ""},
    {"Quit", "&Quit", "Ctrl+Q"},
};
// Write tone markers takes its text from the catalogue's entry.
constexpr MenuCommand kOptionsCommands[] = {
    {"WriteMarkers", "", ""},
    {"SignalOptions", "&Signal options\u2026", ""},
    {"Frequencies", "&Frequencies\u2026", ""},
};
constexpr MenuCommand kViewCommands[] = {
    {"SweepPlan", "&Sweep plan\u2026", "Ctrl+Shift+P"},
};
constexpr MenuCommand kHelpCommands[] = {
    {"About", "&About sweepwav", ""},
};
constexpr Menu kMenus[] = {
    {"FileMenu", "&File", kFileCommands},
    {"OptionsMenu", "&Options", kOptionsCommands},
    {"ViewMenu", "&View", kViewCommands},
    {"HelpMenu", "&Help", kHelpCommands},
};

const MenuCommand kWriteMarkers{"WriteMarkers", EntryOf(Control::WriteMarkers).text, ""};

constexpr PlanColumn kPlanHeadings[] = {
    {"Tone", 0},           {"First frame", 0},    {"Frames", 0},
    {"Start (s)", 6},      {"Duration (s)", 6},   {"Frequency (Hz)", 3},
    {"Level (dBFS)", 3},   {"Peak (codes)", 1},   {"Cycles", 3},
};

std::string Fixed(double value, int decimals) {
    std::array<char, 400> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, decimals).ptr;
    return std::string(buffer.data(), end);
}

}  // namespace

std::span<const Menu> MenuBar() { return kMenus; }

const MenuCommand& MenuCommandNamed(std::string_view name) {
    if (name == kWriteMarkers.name) return kWriteMarkers;
    for (const Menu& menu : kMenus) {
        for (const MenuCommand& command : menu.commands) {
            if (command.name == name) return command;
        }
    }
    throw std::out_of_range("no menu command " + std::string(name));
}

namespace {

// A text as a menu shows it: "&" doubled, so that it is no Alt letter.
std::string MenuShown(const std::string& text) {
    std::string doubled;
    for (char c : text) doubled += c == '&' ? std::string("&&") : std::string(1, c);
    return doubled;
}

}  // namespace

std::string RecentFileText(int position, const std::string& name, const std::string& folder) {
    std::string text = "&";
    text += std::to_string(position + 1);
    text += ' ';
    return text + MenuShown(name) + " \u2014 " + MenuShown(folder);
}

std::string PresetMenuText(const std::string& name, const std::string& about) {
    return MenuShown(about.empty() ? name : about);
}

std::string DropRefusalText(const std::vector<std::string>& paths) {
    if (paths.size() > 1) {
        return "sweepwav opens one settings file at a time, and " + std::to_string(paths.size()) +
               " files were dropped on the window.";
    }
    std::string ending = paths.front().substr(std::min(paths.front().size(), paths.front().rfind('.')));
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == ".sweep") return {};
    return ShownName(paths.front()) + " is not a settings file: the window opens a dropped file when its name ends "
                                      "in .sweep.";
}

#ifdef _WIN32
const char* const kAnalyserFolderSetting =
    "with: reg add \"HKCU\\Software\\Corvalis\\Olvane\\Paths\" /v \"Application directory\" /t REG_SZ /d "
    "\"D:\\Analyser\" /f (your folder in place of D:\\Analyser)";
#else
const char* const kAnalyserFolderSetting =
    "in ~/.config/Corvalis/Olvane.conf: a line \"Application%20directory=/path\" under [Paths] (your folder in "
    "place of /path)";
#endif

std::string FallbackFolderAdvice(const std::string& folder) {
    return "The analyser's folder was not found, so files go into " + ShownName(folder) +
           ". Write them elsewhere with sweepwav-cli -o DIR, or set the analyser's folder " + kAnalyserFolderSetting +
           " and start sweepwav again.";
}

std::string AboutText(std::string_view version) {
    return "sweepwav " + std::string(version) +
           "\n\nWrites stepped sine-sweep test signals as PCM WAV files for an audio analyser.\n\n"
           "Released under the MIT licence.";
}

std::string LookupText(FolderLookup lookup) {
    switch (lookup) {
        case FolderLookup::Found: return "analyser folder";
#ifdef _WIN32
        case FolderLookup::NotFound: return "drive root: analyser not found";
#else
        case FolderLookup::NotFound: return "home folder: analyser not found";
#endif
        case FolderLookup::Unreadable: return "default folder: analyser settings unreadable";
        case FolderLookup::NotDone: break;
    }
    return {};
}

std::string SizeText(std::int64_t bytes) {
    const std::string exact = std::to_string(bytes) + " bytes";
    if (bytes >= 1048576) return Fixed(static_cast<double>(bytes) / 1048576.0, 2) + " MB, " + exact;
    if (bytes >= 1024) return Fixed(static_cast<double>(bytes) / 1024.0, 2) + " KB, " + exact;
    return exact;
}

BarText FolderBarText(const std::string& folder, FolderLookup lookup) {
    const std::string how = LookupText(lookup);
    return {"Output folder: ", folder, how.empty() ? std::string() : " (" + how + ")"};
}

BarText WrittenBarText(const std::string& path, std::int64_t bytes, bool aborted) {
    std::string after = " (" + SizeText(bytes) + ")";
    if (aborted) after += ", silent from the abort on";
    return {"Wrote ", path, after};
}

std::string BarToolTip(const std::string& whole) {
    return whole + "\nClick to open the folder (File > Open output folder).";
}

std::string OpenFolderFailureText(const std::string& folder) {
    return "Could not open " + folder + " in the file manager.";
}

std::string LengthProblemText(Control length) {
    const Entry& e = EntryOf(length);
    return std::string(e.caption) + " must be a number from " + NumberText(e.low) + " to " + NumberText(e.high) + " " +
           std::string(e.unit) + ".";
}

std::span<const PlanColumn> PlanColumns() {
    static_assert(std::size(kPlanHeadings) == kPlanColumns.size(), "one heading per column of the plan");
    return kPlanHeadings;
}

std::string PlanCellText(double value, int decimals) {
    std::string text = Fixed(value, decimals);
    if (text.find_first_not_of("-0.") == std::string::npos) text = Fixed(0.0, decimals);
    return text;
}

std::string PlanViewTitle(const std::string& fileName) { return "Sweep plan - " + fileName; }

}  // namespace sweepwav
