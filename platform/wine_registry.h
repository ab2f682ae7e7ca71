// The analyser's settings when it runs under Wine: Wine keeps the current
// user's registry in the prefix's user.reg, and its drives as links in the
// prefix's dosdevices/ folder (c: -> ../drive_c). Plain C++, no Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace sweepwav {

// The text of a value in the content of a user.reg file. key is the path
// below HKEY_CURRENT_USER, with single backslashes
// ("Software\Corvalis\Olvane\Paths"); key and value names match in any
// letter case, as in the registry. An expandable string (str(2):) is taken
// as stored. A failure starts with "Invalid" when the content is not a
// registry file, or the key or the value is not in it, and with "Type
// mismatch" when the value is not text.
Result<std::string> FindUserRegistryText(std::string_view content, std::string_view key, std::string_view value);

// The Linux path of a Windows path ("C:\Program Files\X") in the prefix,
// through its drive's link in dosdevices/; the rest of the path is kept as
// it is, backslashes turned into slashes. Fails ("Invalid ...") for a path
// without a drive letter or a drive without a link.
Result<std::string> LinuxPathInPrefix(const std::string& prefix, std::string_view windowsPath);

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
