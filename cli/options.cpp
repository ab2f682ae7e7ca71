#include "cli/options.h"

#include <charconv>
#include <span>
#include <string_view>

#include "app/form_items.h"

namespace sweepwav {

const char* const kUsage =
    "Usage: sweepwav-cli [options]\n"
    "Writes a stepped sine sweep as a PCM WAV file.\n"
    "\n"
    "Sweep:\n"
    "  --start-freq T     start frequency in Hz (default 20)\n"
    "  --end-freq T       end frequency in Hz (default 20000)\n"
    "  --start-level T    start level in dBFS (default 0)\n"
    "  --end-level T      end level in dBFS (default 0)\n"
    "  --steps T          number of steps, tones - 1 (default 10)\n"
    "  --linear           linear frequency steps (default: logarithmic)\n"
    "  --tone-ms T        minimum tone duration in ms (default 200)\n"
    "  --tone-cycles T    minimum tone duration in cycles (default 20)\n"
    "  --shift-mode M     0 use frequency and time as entered,\n"
    "                     1 shift frequency to fit time,\n"
    "                     2 shift time to fit frequency (default)\n"
    "File:\n"
    "  --no-dither        no TPDF dither (default: dither on)\n"
    "  --rate R           32000, 44100, 48000, 96000 or 192000 (default 44100)\n"
    "  --bits B           16, 18, 20, 22 or 24 (default 16)\n"
    "  --channels C       1 to 8 (default 2)\n"
    "  --file T           file name (default filename.wav)\n"
    "  --output-dir DIR   write into DIR instead of the analyser's wavetable folder\n"
    "  --seed N           fixed dither seed, for reproducible files\n"
    "Commands:\n"
    "  --info             print the report of the planned sweep, write nothing\n"
    "  --auto-name        propose a file name from the sweep and use it\n"
    "Other:\n"
    "  --quiet            no status output\n"
    "  --help             this text\n"
    "  --version          the program's version\n"
    "\n"
    "Exit status: 0 file written, 2 input refused, 1 run failed, 130 aborted.\n";

namespace {

enum class Action {
    Text,       // sets a text box
    Select,     // selects a list item
    Clear,      // clears a check box
    OutputDir,
    Seed,
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
};

constexpr Option kOptions[] = {
    {"--start-freq", Action::Text, Control::StartFreq},
    {"--end-freq", Action::Text, Control::EndFreq},
    {"--start-level", Action::Text, Control::StartLevel},
    {"--end-level", Action::Text, Control::EndLevel},
    {"--steps", Action::Text, Control::Steps},
    {"--tone-ms", Action::Text, Control::ToneTime},
    {"--tone-cycles", Action::Text, Control::ToneCycles},
    {"--file", Action::Text, Control::FileName},
    {"--shift-mode", Action::Select, Control::Shiftmode},
    {"--rate", Action::Select, Control::Samplerate},
    {"--bits", Action::Select, Control::Wordlength},
    {"--channels", Action::Select, Control::Channels},
    {"--linear", Action::Clear, Control::Logsteps},
    {"--no-dither", Action::Clear, Control::Dither1},
    {"--output-dir", Action::OutputDir},
    {"--seed", Action::Seed},
    {"--quiet", Action::Quiet},
    {"--help", Action::Help},
    {"--version", Action::Version},
    {"--info", Action::Info},
    {"--auto-name", Action::AutoName},
};

bool TakesValue(Action a) {
    return a == Action::Text || a == Action::Select || a == Action::OutputDir || a == Action::Seed;
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

}  // namespace

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, CliOptions& out) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.erase(eq);
            }
        }
        const Option* option = nullptr;
        for (const auto& o : kOptions) {
            if (arg == o.name) option = &o;
        }
        if (option == nullptr) return "unknown option " + arg + " (see --help)";

        std::string value;
        if (TakesValue(option->action)) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return "option " + arg + " needs a value";
            }
        } else if (inlineValue) {
            return "option " + arg + " takes no value";
        }

        switch (option->action) {
            case Action::Text: out.texts[*option->control] = value; break;
            case Action::Select: {
                int position = -1;
                if (auto refusal = SelectItem(option->name, *option->control, value, position)) return refusal;
                out.selections[*option->control] = position;
                break;
            }
            case Action::Clear: out.checks[*option->control] = false; break;
            case Action::OutputDir:
                if (value.empty()) return "option --output-dir needs a folder";
                out.outputDir = value;
                break;
            case Action::Seed: {
                std::uint64_t seed = 0;
                const char* end = value.data() + value.size();
                auto [p, ec] = std::from_chars(value.data(), end, seed);
                if (value.empty() || ec != std::errc() || p != end) {
                    return "option --seed needs a whole number from 0 to 18446744073709551615, not \"" +
                           value + "\"";
                }
                out.seed = seed;
                break;
            }
            case Action::Quiet: out.quiet = true; break;
            case Action::Help: out.help = true; break;
            case Action::Version: out.version = true; break;
            case Action::Info: out.info = true; break;
            case Action::AutoName: out.autoName = true; break;
        }
    }
    return std::nullopt;
}

}  // namespace sweepwav
