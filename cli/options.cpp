#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <string_view>

#include "commands/form_items.h"
#include "report/plan_export.h"

namespace sweepwav {

const char* const kUsage =
    "Usage: sweepwav-cli [OPTION]...\n"
    "Write a stepped sine sweep as a PCM WAV file into the analyser's wavetable\n"
    "folder, or describe the planned sweep. Each value is read as the window\n"
    "reads the box of the same name.\n"
    "\n"
    "Sweep:\n"
    "      --start-freq HZ    frequency of the first tone (default 20)\n"
    "      --end-freq HZ      frequency of the last tone (default 20000)\n"
    "      --start-level DB   level of the first tone in dBFS (default 0)\n"
    "      --end-level DB     level of the last tone in dBFS (default 0)\n"
    "      --steps N          number of steps, that is tones - 1 (default 10)\n"
    "      --linear           linear frequency steps (default: logarithmic)\n"
    "      --log-steps        logarithmic frequency steps\n"
    "      --tone-ms MS       minimum length of every tone in ms (default 200)\n"
    "      --tone-cycles N    minimum length of every tone in cycles (default 20)\n"
    "      --shift-mode N     0 use frequency and time as entered,\n"
    "                         1 shift frequency to fit time,\n"
    "                         2 shift time to fit frequency (default)\n"
    "\n"
    "File:\n"
    "      --rate HZ          32000, 44100, 48000, 96000 or 192000 (default 44100)\n"
    "      --bits N           16, 18, 20, 22 or 24 (default 16)\n"
    "      --channels N       1, 2, 3, 4, 5, 6, 7 or 8 (default 2)\n"
    "      --no-dither        no TPDF dither (default: dither on)\n"
    "      --dither           TPDF dither\n"
    "      --seed N           fixed dither seed, for reproducible files\n"
    "      --markers          mark every tone in the file with a cue point and\n"
    "                         a labelled region (--no-markers: none)\n"
    "      --file NAME        file name (default filename.wav); - writes the WAV\n"
    "                         to standard output\n"
    "  -o, --output-dir DIR   write into DIR instead of the analyser's wavetable\n"
    "                         folder\n"
    "\n"
    "Commands:\n"
    "      --info             print the report of the planned sweep; write no WAV\n"
    "      --plan FILE        also write the tone plan as CSV (FILE.csv) or JSON\n"
    "                         (FILE.json); - prints CSV on standard output (the\n"
    "                         report of --info then goes to standard error)\n"
    "      --auto-name        propose a file name from the sweep, print it and\n"
    "                         use it\n"
    "\n"
    "Signal (all off by default):\n"
    "      --lead-in-ms MS    silence before the first tone (0 to 60000)\n"
    "      --tail-ms MS       silence after the last tone (0 to 60000)\n"
    "      --gap-ms MS        silence between tones (0 to 60000)\n"
    "      --ramp-ms MS       raised-cosine fades where a tone meets silence\n"
    "                         (0 to 1000, at most half a tone)\n"
    "      --signal-channels LIST|each\n"
    "                         the channels that carry the signal, such as 1,3\n"
    "                         (the others are silent), or each in turn; all by\n"
    "                         default\n"
    "\n"
    "Settings files:\n"
    "      --settings FILE    start from the sweep saved in FILE (.sweep); the\n"
    "                         other options then change single entries\n"
    "      --save-settings FILE\n"
    "                         save the sweep as the options make it into FILE\n"
    "                         and exit; with --info, --file or -o, go on as well\n"
    "\n"
    "Other:\n"
    "  -q, --quiet            print nothing but refusals and failures\n"
    "  -h, --help             show this help and exit\n"
    "  -V, --version          show the version and exit\n"
    "\n"
    "Examples:\n"
    "  sweepwav-cli --start-freq 20 --end-freq 20000 --steps 30 --rate 48000 \\\n"
    "               --bits 24 --file sweep.wav -o .\n"
    "  sweepwav-cli --linear --start-freq 1000 --end-freq 3000 --steps 2 --info \\\n"
    "               --plan plan.csv\n"
    "\n"
    "Exit status: 0 file written, 1 run failed, 2 input refused, 130 aborted.\n";

namespace {

enum class Action {
    Text,       // sets a text box
    Select,     // selects a list item
    Clear,      // clears a check box
    Tick,       // ticks a check box
    File,
    OutputDir,
    Seed,
    Plan,
    Markers,
    NoMarkers,
    Settings,
    SaveSettings,
    SignalMs,        // a signal option in ms
    SignalChannels,
    Quiet,
    Help,
    Version,
    Info,
    AutoName,
};

struct Option {
    std::string_view name;
    Action action;
    std::optional<Control> control = std::nullopt;  // for Text, Select and Clear
    char shortName = 0;
};

constexpr Option kOptions[] = {
    {"--start-freq", Action::Text, Control::StartFreq},
    {"--end-freq", Action::Text, Control::EndFreq},
    {"--start-level", Action::Text, Control::StartLevel},
    {"--end-level", Action::Text, Control::EndLevel},
    {"--steps", Action::Text, Control::Steps},
    {"--tone-ms", Action::Text, Control::ToneTime},
    {"--tone-cycles", Action::Text, Control::ToneCycles},
    {"--file", Action::File, Control::FileName},
    {"--shift-mode", Action::Select, Control::Shiftmode},
    {"--rate", Action::Select, Control::Samplerate},
    {"--bits", Action::Select, Control::Wordlength},
    {"--channels", Action::Select, Control::Channels},
    {"--linear", Action::Clear, Control::Logsteps},
    {"--log-steps", Action::Tick, Control::Logsteps},
    {"--no-dither", Action::Clear, Control::Dither1},
    {"--dither", Action::Tick, Control::Dither1},
    {"--output-dir", Action::OutputDir, std::nullopt, 'o'},
    {"--seed", Action::Seed},
    {"--plan", Action::Plan},
    {"--markers", Action::Markers},
    {"--no-markers", Action::NoMarkers},
    {"--settings", Action::Settings},
    {"--save-settings", Action::SaveSettings},
    {"--lead-in-ms", Action::SignalMs},
    {"--tail-ms", Action::SignalMs},
    {"--gap-ms", Action::SignalMs},
    {"--ramp-ms", Action::SignalMs},
    {"--signal-channels", Action::SignalChannels},
    {"--quiet", Action::Quiet, std::nullopt, 'q'},
    {"--help", Action::Help, std::nullopt, 'h'},
    {"--version", Action::Version, std::nullopt, 'V'},
    {"--info", Action::Info},
    {"--auto-name", Action::AutoName},
};

bool TakesValue(Action a) {
    return a == Action::Text || a == Action::Select || a == Action::File || a == Action::OutputDir ||
           a == Action::Seed || a == Action::Plan || a == Action::Settings || a == Action::SaveSettings ||
           a == Action::SignalMs || a == Action::SignalChannels;
}

const Option* FindLongExactly(std::string_view name) {
    for (const auto& o : kOptions) {
        if (name == o.name) return &o;
    }
    return nullptr;
}

// The long option a name stands for: the option of that name, or the one
// option it abbreviates. Otherwise the options it could abbreviate (none for
// an unknown name).
struct LongMatch {
    const Option* option = nullptr;
    std::vector<std::string_view> candidates;
};

LongMatch FindLong(std::string_view name) {
    LongMatch match;
    for (const auto& o : kOptions) {
        if (name == o.name) return {&o, {}};
        if (name.size() > 2 && o.name.starts_with(name)) match.candidates.push_back(o.name);
    }
    if (match.candidates.size() == 1) match.option = FindLongExactly(match.candidates[0]);
    return match;
}

const Option* FindShort(char c) {
    for (const auto& o : kOptions) {
        if (o.shortName != 0 && o.shortName == c) return &o;
    }
    return nullptr;
}

// What an option names each item of its list by: the item value for the rate
// and the word length, the channel count for channels, the position for the
// shift mode.
struct ListNames {
    std::span<const ListItem> items;
    int firstNumber;  // the number of the first item, when items are numbered
    bool byValue;
};

ListNames NamesOf(Control list) {
    switch (list) {
        case Control::Samplerate: return {kSampleRateItems, 0, true};
        case Control::Wordlength: return {kWordLengthItems, 0, true};
        case Control::Channels: return {kChannelItems, 1, false};
        default: return {kShiftModeItems, 0, false};
    }
}

// The position of the item the value names, or the message refusing it.
std::optional<std::string> SelectItem(std::string_view option, Control list, const std::string& value,
                                      int& position) {
    const ListNames names = NamesOf(list);
    std::string allowed;
    position = -1;
    for (std::size_t i = 0; i < names.items.size(); ++i) {
        const std::string name = names.byValue ? std::to_string(names.items[i].value)
                                               : std::to_string(static_cast<int>(i) + names.firstNumber);
        if (i > 0) allowed.append(i + 1 == names.items.size() ? " or " : ", ");
        allowed.append(name);
        if (name == value && position < 0) position = static_cast<int>(i);
    }
    if (position >= 0) return std::nullopt;
    return std::string(option) + " must be " + allowed + ", not \"" + value + "\"";
}


// Stores one option and its value; returns the message refusing it.
std::optional<std::string> Apply(const Option& option, const std::string& value, CliOptions& out) {
    switch (option.action) {
        case Action::Text: out.texts[*option.control] = value; break;
        case Action::Select: {
            int position = -1;
            if (auto refusal = SelectItem(option.name, *option.control, value, position)) return refusal;
            out.selections[*option.control] = position;
            break;
        }
        case Action::Clear: out.checks[*option.control] = false; break;
        case Action::Tick: out.checks[*option.control] = true; break;
        case Action::File:
            out.toStdout = value == "-";
            if (!out.toStdout) out.texts[*option.control] = value;
            break;
        case Action::OutputDir:
            if (value.empty()) return "--output-dir needs a folder";
            out.outputDir = value;
            break;
        case Action::Seed: {
            std::uint64_t seed = 0;
            const char* end = value.data() + value.size();
            auto [p, ec] = std::from_chars(value.data(), end, seed);
            if (value.empty() || ec != std::errc() || p != end) {
                return "--seed needs a whole number from 0 to 18446744073709551615, not \"" + value + "\"";
            }
            out.seed = seed;
            break;
        }
        case Action::Plan:
            if (value != "-" && PlanFormatFor(value) == PlanFormat::None) {
                return "--plan needs a file name ending in .csv or .json, or - for CSV on standard output, not \"" +
                       value + "\"";
            }
            out.plan = value;
            break;
        case Action::Markers: out.markers = true; break;
        case Action::NoMarkers: out.markers = false; break;
        case Action::Settings:
            if (value.empty()) return "--settings needs a file";
            out.settings = value;
            break;
        case Action::SaveSettings:
            if (value.empty()) return "--save-settings needs a file";
            out.saveSettings = value;
            break;
        case Action::SignalMs: {
            const bool ramp = option.name == "--ramp-ms";
            const double longest = ramp ? kLongestRampMs : kLongestSilenceMs;
            const auto ms = ParseOptionMs(value, longest);
            if (!ms) {
                return std::string(option.name) + " must be a number of milliseconds from 0 to " +
                       (ramp ? "1000" : "60000") + ", not \"" + value + "\"";
            }
            (option.name == "--lead-in-ms" ? out.leadInMs
             : option.name == "--tail-ms" ? out.tailMs
             : option.name == "--gap-ms"  ? out.gapMs
                                          : out.rampMs) = *ms;
            break;
        }
        case Action::SignalChannels: {
            const auto choice = ParseChannelChoice(value);
            if (!choice) {
                return "--signal-channels must be all, each, or channel numbers from 1 to 8 separated by commas "
                       "(1,3), not \"" + value + "\"";
            }
            out.signalChannels = *choice;
            break;
        }
        case Action::Quiet: out.quiet = true; break;
        case Action::Help: out.help = true; break;
        case Action::Version: out.version = true; break;
        case Action::Info: out.info = true; break;
        case Action::AutoName: out.autoName = true; break;
    }
    return std::nullopt;
}

}  // namespace

namespace {

// Edit distance with swapped neighbours as one edit, as typos go.
std::size_t TypingDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

// The known option a mistyped one was most likely meant to be: one within two
// edits, or one the typed name starts with.
std::optional<std::string_view> NearestOption(std::string_view typed) {
    std::optional<std::string_view> nearest;
    std::size_t best = 3;
    for (const auto& o : kOptions) {
        const std::size_t distance = typed.starts_with(o.name) ? 0 : TypingDistance(typed, o.name);
        if (distance < best) {
            best = distance;
            nearest = o.name;
        }
    }
    return nearest;
}

std::string Unknown(std::string_view shown, std::string_view typed) {
    const auto nearest = NearestOption(typed);
    if (!nearest) return "unknown option " + std::string(shown) + " (see --help)";
    return "unknown option " + std::string(shown) + " (did you mean " + std::string(*nearest) + "?)";
}

// Whether an argument reads as an option rather than as a value: "--..." or
// "-" and a letter. A negative number such as -20 or -.5 is a value.
bool LooksLikeOption(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') return false;
    const char c = arg[1];
    return c == '-' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads the arguments one by one; each option takes its value after "=",
// attached to a short option, or from the next argument unless that reads as
// an option. A long option may be abbreviated as long as that is unambiguous;
// "--" ends the options.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& args, CliOptions& out) : args_(args), out_(out) {}

    std::optional<std::string> read_all() {
        bool optionsEnded = false;
        for (; i_ < args_.size(); ++i_) {
            const std::string& arg = args_[i_];
            std::optional<std::string> refusal;
            if (!optionsEnded && arg == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && arg.rfind("--", 0) == 0) {
                refusal = read_long(arg);
            } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
                refusal = read_short_group(arg);
            } else {
                refusal = "unexpected argument \"" + arg + "\" (see --help)";
            }
            if (refusal) return refusal;
        }
        return std::nullopt;
    }

private:
    // The value of an option from "=", attached, or the next argument.
    std::optional<std::string> value_for(std::string_view shown, const Option& option,
                                         const std::optional<std::string>& attached, std::string& value) {
        if (attached) {
            value = *attached;
        } else if (i_ + 1 < args_.size() && !LooksLikeOption(args_[i_ + 1])) {
            value = args_[++i_];
        } else if (i_ + 1 < args_.size()) {
            const std::string& next = args_[i_ + 1];
            return std::string(shown) + " needs a value; " + next + " is an option (write " +
                   std::string(option.name) + "=" + next + " if it is the value)";
        } else {
            return std::string(shown) + " needs a value";
        }
        return std::nullopt;
    }

    std::optional<std::string> read_long(const std::string& arg) {
        const auto eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const LongMatch match = FindLong(name);
        if (match.option == nullptr && match.candidates.empty()) return Unknown(name, name);
        if (match.option == nullptr) return Ambiguous(name, match.candidates);
        const Option& option = *match.option;
        std::optional<std::string> attached;
        if (eq != std::string::npos) attached = arg.substr(eq + 1);
        std::string value;
        if (TakesValue(option.action)) {
            if (auto refusal = value_for(option.name, option, attached, value)) return refusal;
        } else if (attached) {
            return std::string(option.name) + " takes no value";
        }
        return Apply(option, value, out_);
    }

    static std::string Ambiguous(const std::string& name, const std::vector<std::string_view>& candidates) {
        std::string list;
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (i > 0) list += i + 1 == candidates.size() ? " or " : ", ";
            list += candidates[i];
        }
        return "ambiguous option " + name + ": " + list + "?";
    }

    // One or more short options; one that takes a value ends the group.
    std::optional<std::string> read_short_group(const std::string& arg) {
        for (std::size_t j = 1; j < arg.size(); ++j) {
            const std::string shown = std::string("-") + arg[j];
            const Option* option = FindShort(arg[j]);
            if (option == nullptr) {
                // "-start-freq" is most likely a long option with one dash too few.
                const std::string word = arg.substr(0, arg.find('='));
                if (j == 1 && word.size() > 2 && NearestOption("-" + word)) return Unknown(word, "-" + word);
                return Unknown(shown, shown);
            }
            std::string value;
            if (TakesValue(option->action)) {
                std::optional<std::string> attached;
                if (j + 1 < arg.size()) attached = arg.substr(j + 1);
                if (auto refusal = value_for(shown, *option, attached, value)) return refusal;
                return Apply(*option, value, out_);
            }
            if (auto refusal = Apply(*option, value, out_)) return refusal;
        }
        return std::nullopt;
    }

    const std::vector<std::string>& args_;
    CliOptions& out_;
    std::size_t i_ = 0;
};

// Options that cannot go together.
std::optional<std::string> Conflicts(const CliOptions& out) {
    if (out.toStdout && (out.info || out.autoName)) {
        return std::string(out.info ? "--info" : "--auto-name") +
               " prints on standard output; it cannot be used with --file -";
    }
    if (out.toStdout && out.plan == "-") return "--plan - and --file - cannot both use standard output";
    if (out.autoName && out.texts.contains(Control::FileName)) {
        return "--auto-name chooses the file name; it cannot be used with --file";
    }
    if (out.autoName && out.plan == "-") return "--auto-name and --plan - cannot both use standard output";
    return std::nullopt;
}

}  // namespace

std::string_view OptionNameOf(Control box) {
    for (const auto& o : kOptions) {
        if (o.control == box && (o.action == Action::Text || o.action == Action::File)) return o.name;
    }
    return {};
}

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, CliOptions& out) {
    if (auto refusal = ArgumentReader(args, out).read_all()) return refusal;
    return Conflicts(out);
}

}  // namespace sweepwav
