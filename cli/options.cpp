#include "cli/options.h"

#include <charconv>

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

struct ValueOption {
    const char* name;
    enum Kind { Text, List, OutputDir, Seed } kind;
    Control control;
};

constexpr ValueOption kValueOptions[] = {
    {"--start-freq", ValueOption::Text, Control::StartFreq},
    {"--end-freq", ValueOption::Text, Control::EndFreq},
    {"--start-level", ValueOption::Text, Control::StartLevel},
    {"--end-level", ValueOption::Text, Control::EndLevel},
    {"--steps", ValueOption::Text, Control::Steps},
    {"--tone-ms", ValueOption::Text, Control::ToneTime},
    {"--tone-cycles", ValueOption::Text, Control::ToneCycles},
    {"--file", ValueOption::Text, Control::FileName},
    {"--shift-mode", ValueOption::List, Control::Shiftmode},
    {"--rate", ValueOption::List, Control::Samplerate},
    {"--bits", ValueOption::List, Control::Wordlength},
    {"--channels", ValueOption::List, Control::Channels},
    {"--output-dir", ValueOption::OutputDir, Control::Status},
    {"--seed", ValueOption::Seed, Control::Status},
};

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
        const ValueOption* valued = nullptr;
        for (const auto& o : kValueOptions) {
            if (arg == o.name) valued = &o;
        }
        if (valued) {
            std::string value;
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return "option " + arg + " needs a value";
            }
            switch (valued->kind) {
                case ValueOption::Text: out.texts[valued->control] = value; break;
                case ValueOption::List: out.lists[valued->control] = value; break;
                case ValueOption::OutputDir:
                    if (value.empty()) return "option --output-dir needs a folder";
                    out.outputDir = value;
                    break;
                case ValueOption::Seed: {
                    std::uint64_t seed = 0;
                    auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), seed);
                    if (ec != std::errc() || p != value.data() + value.size() || value.empty()) {
                        return "option --seed needs a whole number from 0 to 18446744073709551615, not \"" +
                               value + "\"";
                    }
                    out.seed = seed;
                    break;
                }
            }
            continue;
        }
        if (inlineValue) return "option " + arg + " takes no value";
        if (arg == "--linear") out.checks[Control::Logsteps] = false;
        else if (arg == "--no-dither") out.checks[Control::Dither1] = false;
        else if (arg == "--quiet") out.quiet = true;
        else if (arg == "--help") out.help = true;
        else if (arg == "--version") out.version = true;
        else if (arg == "--info") out.info = true;
        else if (arg == "--auto-name") out.autoName = true;
        else return "unknown option " + arg + " (see --help)";
    }
    return std::nullopt;
}

}  // namespace sweepwav
