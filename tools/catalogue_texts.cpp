// Fills in the bash completion and the command line's manual page from the
// catalogue at build time, so that an option added there reaches both
// without editing them:
//
//   sweepwav_catalogue_texts completion TEMPLATE OUTPUT
//   sweepwav_catalogue_texts manual PAGE OUTPUT
//
// The completion's template holds the branches written by hand (files,
// folders, presets) and three marks the catalogue fills: @CHOICES@ (a
// branch for each list, offering its choices), @NUMBERS@ (the options whose
// value is the user's own) and @OPTIONS@ (every option). The manual page is
// written by hand; an option it does not describe gets a paragraph from its
// --help text, after the paragraph of the option before it in its group.
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/catalogue_texts.h"

namespace {

std::string Read(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "completion" && mode != "manual") {
        std::cerr << "usage: sweepwav_catalogue_texts completion|manual TEMPLATE OUTPUT\n";
        return 2;
    }
    const std::string in = Read(argv[2]);
    const std::string out = mode == "completion" ? sweepwav::CompletionScript(in) : sweepwav::ManualPage(in);
    std::ofstream file(argv[3], std::ios::binary);
    file << out;
    file.close();
    if (!file) {
        std::cerr << "sweepwav_catalogue_texts: could not write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
