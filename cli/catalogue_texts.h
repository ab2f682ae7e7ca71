#pragma once
// The bash completion and the command line's manual page, filled in from the
// catalogue at build time (tools/catalogue_texts.cpp), so that an option
// added to the catalogue reaches both without editing them.
#include <span>
#include <string>

#include "settings/catalogue.h"

namespace sweepwav {

// The completion from its template: the branches written by hand kept, and
// @CHOICES@ (a branch for each list option not branched by hand, offering
// its choices), @NUMBERS@ (the labels of the other options that take a
// value) and @OPTIONS@ (every option's names) filled in.
std::string CompletionScript(const std::string& script, std::span<const Option> options = Options());

// The manual page with a paragraph from --help's text for each option its
// OPTIONS section does not describe, after the option before it in its
// group (or before the one after it).
std::string ManualPage(const std::string& page, std::span<const Option> options = Options());

}  // namespace sweepwav
