// The files the analyser's settings are read from, looked at before the
// settings library opens them: it would wait for ever on a FIFO and read a
// device without end, and a value nested deeply enough overflows the stack
// when the library decodes it.
#pragma once

#include <QString>
#include <optional>

namespace sweepwav {

// The largest settings file that is read. Each level of a nested value
// takes at least 11 bytes of the file, so no value in a file of this size
// nests deeper than about 6,000 levels, well within the stack.
constexpr long kLargestSettingsFile = 64 * 1024;

// The first of the files that QSettings(NativeFormat, UserScope,
// organisation, application) reads that must not be read: one that is not
// a regular file, is larger than kLargestSettingsFile or holds a NUL byte
// (which no text file does). Nothing when every one that exists may be
// read.
std::optional<QString> UnreadableSettingsFile(const QString& organisation, const QString& application);

}  // namespace sweepwav
