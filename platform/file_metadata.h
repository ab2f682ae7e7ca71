// What a replaced file passes on to the file that takes its place.
#pragma once

#ifndef _WIN32

#include <string>

namespace sweepwav {

// Gives the new file (newFd) what the old one (oldFd, open for reading or
// writing) has: its owner and group where the system allows, its access
// control list and extended attributes as a preserving copy keeps them,
// and its permission bits, but never more than they granted before: the
// set-id bits go when the owner or group could not be kept, and the group's
// bits shrink to those of others when the group or the access control list
// could not be kept. Returns one line that says what could not be kept
// ("Could not keep the owner of <destination>: Operation not permitted"),
// or an empty text when all was kept.
std::string KeepWhatTheOldFileHad(int oldFd, int newFd, const std::string& destination);

}  // namespace sweepwav

#endif  // _WIN32
