#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "core/text.h"
#include "numbers/number_text.h"
#include "commands/outputs.h"
#include "settings/catalogue.h"

namespace sweepwav {

namespace {

constexpr std::string_view kUsageStart =
    "Usage: sweepwav-cli [OPTION]...\n"
    "Write a stepped sine sweep as a PCM WAV file into the analyser's wavetable\n"
    "folder, or describe the planned sweep. Each value is read as the window\n"
    "reads the box of the same name.\n";

// --help's examples, each a command line and, where it is long, the rest
// of it for a second line.
constexpr std::string_view kExamples[][2] = {
    {"sweepwav-cli --start-freq 20 --end-freq 20000 --steps 30 --rate 48000", "--bits 24 --file sweep.wav -o ."},
    {"sweepwav-cli --linear --start-freq 1000 --end-freq 3000 --steps 2 --info", "--plan plan.csv"},
    {"sweepwav-cli --preset octave-bands -o .", ""},
};

constexpr std::string_view kExitStatus =
    "Exit status: 0 file written, 1 run failed, 2 input refused, 130 aborted.\n";

std::string Examples(Shell shell) {
    std::string text = "Examples:\n";
    for (const auto& [line, rest] : kExamples) {
        text.append("  ").append(line);
        if (!rest.empty()) text.append(shell == Shell::Posix ? " \\\n               " : " ").append(rest);
        text += "\n";
    }
    return text;
}

// The headings of --help's groups, in the order of OptionGroup.
constexpr std::string_view kGroupHeadings[] = {
    "Sweep:", "File:", "Commands:", "Signal (all off by default):", "Settings files:", "Other:",
};

// Where an option's description starts on its line of --help.
constexpr std::size_t kHelpColumn = 25;

void ReplaceAll(std::string& text, std::string_view what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

// A list's items with their names, one a line: "0 use frequency and time as
// entered," ... and "(default)" after the start-up item.
std::string ItemLines(const Entry& list) {
    std::string lines;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (i > 0) lines += ",\n";
        lines += ItemNameAt(list, i) + " " + list.items[i].text;
        if (ItemNameAt(list, i) == list.startup) lines += " (default)";
    }
    return lines;
}

std::string HelpLines(const Option& o) {
    std::string left = o.shortName ? std::string("  -") + o.shortName + ", " : std::string(6, ' ');
    left.append(o.name);
    if (!o.valueName.empty()) left.append(" ").append(o.valueName);
    left += left.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - left.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    std::string text = HelpText(o);
    ReplaceAll(text, "\n", "\n" + std::string(kHelpColumn, ' '));
    return left + text + "\n";
}

}  // namespace

std::string HelpText(const Option& o) {
    std::string text(o.help);
    if (!o.entry) return text;
    const Entry& e = EntryOf(*o.entry);
    ReplaceAll(text, "{default}", std::string(e.startup));
    ReplaceAll(text, "{range}", NumberText(e.low) + " to " + NumberText(e.high));
    ReplaceAll(text, "{choices}", ItemNames(e, o.valuePrefix));
    ReplaceAll(text, "{items}", ItemLines(e));
    return text;
}

std::string UsageText(Shell shell) {
    std::string usage(kUsageStart);
    for (std::size_t g = 0; g < std::size(kGroupHeadings); ++g) {
        usage.append("\n").append(kGroupHeadings[g]).append("\n");
        for (const Option& o : Options()) {
            if (!o.help.empty() && static_cast<std::size_t>(o.group) == g) usage += HelpLines(o);
        }
    }
    return usage.append("\n").append(Examples(shell)).append("\n").append(kExitStatus);
}

namespace {

bool TakesValue(const Option& o) { return !o.valueName.empty(); }

// The long option a name stands for: the option of that name, or the one
// option it abbreviates. Otherwise the options it could abbreviate (none for
// an unknown name). Names from other tools take part: one typed in full is
// unknown (and answered with the option meant), and a beginning of one is
// no abbreviation of another option: --freq and --fr are not --frequencies.
struct LongMatch {
    const Option* option = nullptr;
    std::vector<std::string_view> candidates;
};

LongMatch FindLong(std::string_view name) {
    LongMatch match;
    std::vector<const Option*> begun;
    for (const Option* o : OptionsInMatchOrder()) {
        if (name == o->name) return {o, {}};
        if (name.size() > 2 && o->name.starts_with(name)) begun.push_back(o);
    }
    // Of the options the name begins, only those that came first.
    int first = std::numeric_limits<int>::max();
    for (const Option* o : begun) first = std::min(first, o->since);
    for (const Option* o : begun) {
        if (o->since == first) match.candidates.push_back(o->name);
    }
    if (match.candidates.size() != 1) return match;
    for (const OptionAlias& alias : OptionAliases()) {
        if (name == alias.typed) return {};
        if (!alias.typed.starts_with(name)) continue;
        for (std::string_view meant : SplitAt(alias.meant, " or ")) {
            if (std::ranges::find(match.candidates, meant) == match.candidates.end()) {
                match.candidates.push_back(meant);
            }
        }
    }
    if (match.candidates.size() == 1) match.option = FindLong(match.candidates[0]).option;
    return match;
}

const Option* FindShort(char c) {
    for (const Option& o : Options()) {
        if (o.shortName != 0 && o.shortName == c) return &o;
    }
    return nullptr;
}

// What an option's value must be, for the message refusing it.
std::string Expected(const Option& o, const Entry& e) {
    switch (e.kind) {
        case EntryKind::List: return ItemNames(e, o.valuePrefix);
        case EntryKind::OptionNumber:
            return "a number of " + std::string(e.unitName) + " from " + NumberText(e.low) + " to " + NumberText(e.high);
        case EntryKind::Name: return "a file name without control characters, \"/\" or \"\\\", and not \"..\"";
        case EntryKind::Tick: return "yes or no";
        default:
            return "all, each, or channel numbers from " + NumberText(e.low) + " to " + NumberText(e.high) +
                   " separated by commas (1,3)";
    }
}

// The message for an option given without its value.
std::string MissingValue(const Option& option, std::string_view shown) {
    if (option.action == OptionAction::Preset) {
        return std::string(shown) + " needs the name of a preset (--list-presets lists them)";
    }
    return std::string(shown) + " needs a value";
}

// Stores the value an option gives its entry; returns the message refusing it.
std::optional<std::string> SetEntry(const Option& option, const std::string& value, CliOptions& out) {
    const Entry& e = EntryOf(*option.entry);
    if (e.kind == EntryKind::Name) {
        out.toStdout = value == "-";
        if (out.toStdout) return std::nullopt;
    }
    auto checked = CheckedValue(e, std::string(option.valuePrefix) + value);
    if (const auto twice = e.kind == EntryKind::Channels ? RepeatedChannel(value) : std::nullopt) {
        return std::string(option.name) + " names channel " + std::to_string(*twice) + " twice\n" +
               std::string(option.name) + " \"" + value + "\" must be " + Expected(option, e) + ", each channel once";
    }
    if (!checked) return std::string(option.name) + " must be " + Expected(option, e) + ", not " + ShownValue(value);
    // Band centres and a list of frequencies are two ways of placing the tones.
    const bool bands = e.control == Control::Spacing, list = e.control == Control::FrequencyList;
    if ((bands && out.values.contains(Control::FrequencyList)) ||
        (list && out.values.contains(Control::Spacing) && out.values[Control::Spacing] != "list")) {
        return std::string("--bands and --frequencies cannot go together");
    }
    out.values[e.control] = std::move(*checked);
    if (option.alsoSets) out.values[*option.alsoSets] = option.alsoValue;
    return std::nullopt;
}

// Stores one option and its value; returns the message refusing it.
std::optional<std::string> Apply(const Option& option, const std::string& value, CliOptions& out) {
    switch (option.action) {
        case OptionAction::Set: return SetEntry(option, value, out);
        case OptionAction::Tick: out.values[*option.entry] = "yes"; break;
        case OptionAction::Clear: out.values[*option.entry] = "no"; break;
        case OptionAction::OutputDir:
            if (value.empty()) return "--output-dir needs a folder";
            out.outputDir = value;
            break;
        case OptionAction::Seed: {
            std::uint64_t seed = 0;
            const char* end = value.data() + value.size();
            auto [p, ec] = std::from_chars(value.data(), end, seed);
            if (value.empty() || ec != std::errc() || p != end) {
                return "--seed needs a whole number from 0 to 18446744073709551615, not " + ShownValue(value);
            }
            out.seed = seed;
            break;
        }
        case OptionAction::Plan:
            if (value != "-" && PlanFormatOf(value) == PlanFormat::None) {
                return "--plan needs a file name ending in .csv or .json, or - for CSV on standard output, not " +
                       ShownValue(value);
            }
            out.plan = value;
            break;
        case OptionAction::Settings:
            if (value.empty()) return "--settings needs a file";
            if (out.settings) return "--settings can be given once: the sweep starts from one settings file";
            out.settings = value;
            break;
        case OptionAction::SaveSettings:
            if (value.empty()) return "--save-settings needs a file";
            if (out.saveSettings) return "--save-settings can be given once";
            out.saveSettings = value;
            break;
        case OptionAction::Preset:
            if (value.empty()) return MissingValue(option, option.name);
            if (out.preset) return "--preset can be given once: the sweep starts from one preset";
            out.preset = value;
            break;
        case OptionAction::ListPresets: out.listPresets = true; break;
        case OptionAction::Quiet: out.quiet = true; break;
        case OptionAction::Help: out.help = true; break;
        case OptionAction::Version: out.version = true; break;
        case OptionAction::Info: out.info = true; break;
        case OptionAction::AutoName: out.autoName = true; break;
        case OptionAction::Play: out.play = true; break;
    }
    return std::nullopt;
}

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
    for (const Option* o : OptionsInMatchOrder()) {
        const std::size_t distance = typed.starts_with(o->name) ? 0 : TypingDistance(typed, o->name);
        if (distance < best) {
            best = distance;
            nearest = o->name;
        }
    }
    return nearest;
}

std::string Unknown(std::string_view shown, std::string_view typed) {
    const std::string unknown = "unknown option " + ShownName(shown);
    for (const OptionAlias& alias : OptionAliases()) {
        if (typed == alias.typed) return unknown + " (did you mean " + std::string(alias.meant) + "?)";
    }
    const auto nearest = NearestOption(typed);
    if (!nearest) return unknown + " (see --help)";
    return unknown + " (did you mean " + std::string(*nearest) + "?)";
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
                refusal = "unexpected argument " + ShownValue(arg) + " (see --help)";
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
            return std::string(shown) + " needs a value; " + ShownName(next) + " is an option (write " +
                   ShownName(std::string(option.name) + "=" + next) + " if it is the value)";
        } else {
            return MissingValue(option, shown);
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
        if (TakesValue(option)) {
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
            if (TakesValue(*option)) {
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
    if (out.preset && out.settings) {
        return "--preset and --settings cannot go together: each starts the sweep from a settings file";
    }
    if (out.toStdout && (out.info || out.autoName)) {
        return std::string(out.info ? "--info" : "--auto-name") +
               " prints on standard output; it cannot be used with --file -";
    }
    if (out.toStdout && out.plan == "-") return "--plan - and --file - cannot both use standard output";
    if (out.autoName && out.values.contains(Control::FileName)) {
        return "--auto-name chooses the file name; it cannot be used with --file";
    }
    if (out.autoName && out.plan == "-") return "--auto-name and --plan - cannot both use standard output";
    // --info and --save-settings describe or keep the sweep and run nothing.
    for (const auto& [taken, other] : {std::pair{out.info, "--info"}, {out.saveSettings.has_value(), "--save-settings"}}) {
        if (out.play && taken) return std::string("--play and ") + other + " cannot go together: " + other + " runs nothing";
    }
    if (out.saveSettings == "-") {
        for (const auto& [taken, other] : {std::pair{out.info, "--info"}, {out.plan == "-", "--plan -"},
                                           {out.autoName, "--auto-name"}}) {
            if (taken) return std::string("--save-settings - and ") + other + " cannot both use standard output";
        }
    }
    return std::nullopt;
}

}  // namespace

std::string AcceptedValues(Control entry) {
    for (const Option& o : Options()) {
        if (o.entry == entry && o.action == OptionAction::Set) return Expected(o, EntryOf(entry));
    }
    return Expected(Option{}, EntryOf(entry));
}

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, CliOptions& out) {
    if (auto refusal = ArgumentReader(args, out).read_all()) return refusal;
    return Conflicts(out);
}

}  // namespace sweepwav
