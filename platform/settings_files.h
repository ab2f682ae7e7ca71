// The files the analyser's settings are read from, looked at before the
// settings library opens them: it would wait for ever on a FIFO and read a
// device without end, and a value nested deeply enough overflows the stack
// when the library decodes it.
#pragma once

#include <QString>
#include <optional>
#include <string_view>

namespace sweepwav {

// The largest settings file that is read.
constexpr long kLargestSettingsFile = 64 * 1024;

// The deepest nesting of a value stored as another type (@Variant(...))
// that is read. The library decodes such a value level by level on the
// stack, about 400 bytes a level: this many take about 6 KiB, less than the
// rest of a run needs, so that start-up needs no more stack than a plain
// run does (about 28 KiB), however small the stack. A value of the
// analyser's nests a level or two, if at all. Each level holds three NUL
// characters (the high bytes of its type), so a file whose nested values
// hold more than three times as many is not read.
constexpr int kDeepestValue = 16;

// The first of the files that QSettings(NativeFormat, UserScope,
// organisation, application) reads that must not be read: one that is not
// a regular file, is larger than kLargestSettingsFile, holds a NUL byte
// (which no text file does) or a value nested deeper than kDeepestValue.
// Nothing when every one that exists may be read.
std::optional<QString> UnreadableSettingsFile(const QString& organisation, const QString& application);

// How many NUL characters the values of a settings file's text that are
// stored as another type hold, as the library reads them: each escape that
// gives one (\0, \x0, \000, \x10000) after "@Variant(" (itself perhaps
// escaped) in its line, a line that may go on past a line end in quotes or
// after a backslash. Each level of nesting holds at least three.
int NulsInStoredValues(std::string_view text);

}  // namespace sweepwav
