// The analyser's settings when it runs under Wine: Wine keeps the current
// user's registry in the prefix's user.reg, and its drives as links in the
// prefix's dosdevices/ folder (c: -> ../drive_c). Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace sweepwav {

// The text of a value in the content of a user.reg file. key is the path
// below HKEY_CURRENT_USER, with single backslashes
// ("Software\Corvalis\Olvane\Paths"); key and value names match in any
// letter case, as in the registry. An expandable string (str(2):) is taken
// as stored, and so is text Wine wrote as bytes (hex(1):, hex(2):). A
// failure starts with "Invalid" (FailureKind::Missing) when the content is
// not a registry file, or the key or the value is not in it, and with "Type
// mismatch" (FailureKind::Unusable) when the value is not text: a number,
// bytes, a NUL in the text, or text of an odd number of bytes.
Result<std::string> FindUserRegistryText(std::string_view content, std::string_view key, std::string_view value);

// The Linux path of a Windows path ("C:\Program Files\X") in the prefix,
// through its drive's link in dosdevices/, as Wine finds it: "." and empty
// parts dropped, ".." going back one part but never above the drive's
// root, and each part that does not exist as written found in any letter
// case (ASCII letters); a final separator stays. Fails ("Invalid ...") for a
// path without a drive letter or a drive without a link.
Result<std::string> LinuxPathInPrefix(const std::string& prefix, std::string_view windowsPath);

// The largest user.reg that is read. A fresh prefix's is about 24 KiB (and
// its largest registry file, system.reg, about 1.6 MiB); one in long use
// holds a few MiB. A larger file, or anything but a regular file, counts as
// one that cannot be read.
inline constexpr std::uintmax_t kLargestUserReg = std::uintmax_t(32) << 20;

// A settings value by its full path ("HKCU\<key>\<value>") from the
// prefix's user.reg. The analyser's values are Windows paths: the result is
// the Linux path the value names, or the failure of a value that is not
// text. Nothing when the prefix holds no such value: no prefix or user.reg,
// one that cannot be read or is malformed, no key or value, or a drive
// without a link.
std::optional<Result<std::string>> ReadWineSetting(const std::string& prefix, std::string_view fullPath);

// The prefix Wine uses: $WINEPREFIX, else ~/.wine; empty when there is no
// home folder to look in.
std::string WinePrefix();

}  // namespace sweepwav
