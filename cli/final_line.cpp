#include "cli/final_line.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "commands/outputs.h"
#include "core/text.h"
#include "numbers/number_text.h"

namespace sweepwav {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 text inside the program, whatever the system's own form.
fs::path PathOf(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string TextOf(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string AbsoluteNormalFolder(const std::string& folder) {
    const char separator = static_cast<char>(fs::path::preferred_separator);
#ifdef _WIN32
    // A network folder (\\server\share\...) or one in the long form (\\?\C:\...,
    // \\?\UNC\server\share\...) is absolute already. The C++ library of
    // mingw-w64's GCC 12 sees no root in such paths and would put them on the
    // current drive: kept as given, with the separator after it.
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    if (folder.size() > 2 && isSeparator(folder[0]) && isSeparator(folder[1])) {
        std::string text = folder;
        // In the long form every character is part of a name; else "/" is
        // the system's other separator.
        if (!text.starts_with("\\\\?\\")) std::replace(text.begin(), text.end(), '/', separator);
        return isSeparator(text.back()) ? text : text + separator;
    }
#endif
    std::error_code error;
    const fs::path absolute = fs::absolute(PathOf(folder.empty() ? "." : folder), error);
    if (error) return folder;
    fs::path normal = fs::weakly_canonical(absolute, error);
    if (error) normal = absolute;
    std::string text = TextOf(normal.make_preferred());
    if (!text.ends_with(separator)) text += separator;
    return text;
}

std::string AbsoluteNormalFile(const std::string& path) {
    const fs::path p = PathOf(path);
    return AbsoluteNormalFolder(TextOf(p.parent_path())) + TextOf(p.filename());
}

std::string WrittenLine(const GeneratorState& s, bool toStdout, bool interrupted) {
    const std::string where = toStdout ? std::string("standard output") : ShownName(s.sWrittenPath);
    std::string line;
    if (s.bAbort) {
        line = "aborted at " + LastStepText(s) + "; " +
               where + " written at full length, silent from there";
    } else {
        const std::string size = std::to_string(s.iWrittenBytes) + " bytes";
        const std::string seconds = NumberText(s.dElapsed) + " seconds";
        line = toStdout ? "wrote " + size + " to standard output in " + seconds
                        : "wrote " + where + " (" + size + ") in " + seconds;
    }
    if (interrupted) line += "; interrupted once the file was complete";
    return line;
}

std::string PlayedLine(const GeneratorState& s) {
    if (s.bAbort) return "stopped playing at " + LastStepText(s);
    return "played to the end in " + NumberText(s.dElapsed) + " seconds";
}

}  // namespace sweepwav
