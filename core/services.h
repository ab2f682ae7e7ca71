// Everything else the engine needs from the system: the analyser's settings,
// file output, the text viewer and the file manager, sleeping, the clock, a
// random seed and the number of threads worth running.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace sweepwav {

// Output folder values that depend on the platform: the installation folder
// assumed before the settings are read, its wavetable sub-folder, and the
// root-level folder used when the analyser cannot be found (the user's home
// folder; empty when the user has none, and then nothing can be written).
struct FolderDefaults {
    std::string appDirectory;
    std::string wavetableFolder;
    std::string fallbackDirectory;
};

// A file being written from start to end. Nothing appears under the file's
// name until commit() succeeds; destroying a file that was not committed
// throws away what was written and leaves an old file of that name as it was.
// (Where the name is a FIFO or standard output, written through, what was
// written stays written.)
class OutputFile {
public:
    virtual ~OutputFile() = default;

    virtual Status write(std::span<const std::uint8_t> bytes) = 0;

    // Appends count zero bytes. Files that can grow without writing them
    // override this; the rest write them, 64 KiB at a time.
    virtual Status write_zeros(std::uint64_t count) {
        static const std::vector<std::uint8_t> zeros(std::size_t(1) << 16, 0);
        while (count > 0) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, zeros.size()));
            if (Status written = write({zeros.data(), n}); !written) return written;
            count -= n;
        }
        return {};
    }

    // Puts the complete file in place of any old one. Every error the system
    // can still report comes before the name changes, so a failure leaves the
    // old file as it was. A success may warn of what the old file had that
    // the new one could not keep (its owner, for one).
    virtual Status commit() = 0;

    // How messages name the destination: FileDestination(path), or another
    // destination such as "to standard output".
    virtual std::string description() const = 0;
};

// The largest file read_text_file reads.
inline constexpr std::uintmax_t kLargestTextFile = std::uintmax_t(1) << 20;

class Services {
public:
    virtual ~Services() = default;

    virtual FolderDefaults folder_defaults() = 0;

    // Reads a settings value by its full registry-style path, for example
    // "HKCU\Software\Corvalis\Olvane\Paths\Application directory": its
    // data as text, or the failure's description.
    virtual Result<std::string> read_setting(const std::string& fullPath) = 0;

    // Starts a new content for the file at path. Only that name changes: a
    // symbolic link there is replaced, never followed, unless it leads to
    // what is not a file (a FIFO, a device, a socket, /dev/stdout), which is
    // never replaced: it is written through or refused.
    virtual Result<std::unique_ptr<OutputFile>> create_file(const std::string& path) = 0;

    // Writes text as single-byte characters, replacing any existing file
    // only once the new one is complete; warns as OutputFile::commit does.
    virtual Status write_text_file(const std::string& path, const std::string& text) = 0;

    // The bytes of a small file that the user chose (a settings file).
    // Anything but a regular file of at most kLargestTextFile bytes fails.
    virtual Result<std::string> read_text_file(const std::string& path) = 0;

    // Opens the file in the system's text viewer without waiting for it.
    virtual Status open_in_viewer(const std::string& path) = 0;

    // Shows the folder in the desktop's file manager without waiting for it.
    // Fails when the folder does not exist or cannot be shown.
    virtual Status open_folder(const std::string& path) = 0;

    virtual void sleep_ms(int milliseconds) = 0;

    // Seconds since midnight, with fractions.
    virtual double clock_seconds() = 0;

    // A fresh seed for the dither of one run.
    virtual std::uint64_t random_seed() = 0;

    // How many threads synthesis may run beside the calling one.
    virtual unsigned worker_threads() = 0;
};

}  // namespace sweepwav
