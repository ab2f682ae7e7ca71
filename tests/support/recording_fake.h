// A window and platform that record every call, for asserting the exact
// sequence of status texts, captions, progress positions and messages.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/stored_controls.h"
#include "core/window_look.h"

namespace sweepwav::testing {

struct Box {
    std::string text;
    std::string title;
    Icon icon;
};

class RecordingWindow : public StoredControls {
public:
    void set_text(Control box, const std::string& t) override {
        StoredControls::set_text(box, t);
        log.push_back("text " + std::string(control_name(box)) + "=" + t);
    }
    void set_enabled(Control c, bool on) override {
        StoredControls::set_enabled(c, on);
        log.push_back(std::string(on ? "enable " : "disable ") + std::string(control_name(c)));
    }
    void set_caption(const std::string& c) override {
        caption = c;
        log.push_back("caption " + c);
    }
    void set_label(Control label, const std::string& t) override {
        if (label == Control::Status) statuses.push_back(t);
        log.push_back("label " + std::string(control_name(label)) + "=" + t);
    }
    // Logged in the window's units, as the window would show the line.
    void set_progress(Control line, double fraction, bool redraw) override {
        const float x2 = LineX2(fraction);
        std::ostringstream os;
        os << "x2 " << control_name(line) << "=" << x2 << (redraw ? " redraw" : "");
        log.push_back(os.str());
        if (line == Control::Progress1) progress1.push_back(x2);
        if (line == Control::Progress2) progress2.push_back(x2);
    }
    void do_events() override {
        ++eventServicings;
        log.push_back("events");
        if (onEvents) onEvents(eventServicings);
    }
    void message_box(const std::string& t, const std::string& title, Icon icon) override {
        boxes.push_back({t, title, icon});
        log.push_back("box " + t);
    }

    // Selects a list item by its text; returns false when there is none.
    bool choose(Control list, const std::string& itemText) {
        auto& l = lists[list];
        for (std::size_t i = 0; i < l.items.size(); ++i) {
            if (l.items[i].text == itemText) {
                l.selected = static_cast<int>(i);
                return true;
            }
        }
        return false;
    }

    // Entries of the log that start with prefix.
    std::vector<std::string> logged(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& e : log) {
            if (e.rfind(prefix, 0) == 0) out.push_back(e);
        }
        return out;
    }

    std::string caption;
    std::vector<std::string> statuses;
    std::vector<float> progress1, progress2;
    std::vector<Box> boxes;
    std::vector<std::string> log;
    int eventServicings = 0;
    std::function<void(int)> onEvents;  // called with the servicing count
};

// A file that collects its bytes and shows them under its name only when
// committed.
class RecordingServices;
class RecordingFile : public OutputFile {
public:
    RecordingFile(RecordingServices& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    Status write(std::span<const std::uint8_t> bytes) override;
    Status write_zeros(std::uint64_t count) override;
    Status commit() override;
    std::string description() const override { return FileDestination(path_); }

private:
    RecordingServices& owner_;
    std::string path_;
    std::vector<std::uint8_t> bytes_;
};

class RecordingServices : public Services {
public:
    FolderDefaults folder_defaults() override { return defaults; }
    Result<std::string> read_setting(const std::string& path) override {
        settingReads.push_back(path);
        return setting;
    }
    Result<std::unique_ptr<OutputFile>> create_file(const std::string& path) override {
        if (writeFailure && failAt == FailAt::Open) return Status::Failure(*writeFailure);
        return std::unique_ptr<OutputFile>(std::make_unique<RecordingFile>(*this, path));
    }
    Status write_text_file(const std::string& path, const std::string& text) override {
        if (writeFailure) return Status::Failure(*writeFailure);
        textFiles[path] = text;
        return writeWarning.empty() ? Status() : Status::Warning(writeWarning);
    }
    Result<std::string> read_text_file(const std::string& path) override {
        const auto found = textFiles.find(path);
        if (found == textFiles.end()) return Status::Failure("No such file or directory");
        return found->second;
    }
    Status open_in_viewer(const std::string& path) override {
        viewerOpens.push_back(path);
        return viewerWorks ? Status() : Status::Failure("no viewer");
    }
    Status open_folder(const std::string& path) override {
        folderOpens.push_back(path);
        return folderWorks ? Status() : Status::Failure("no file manager");
    }
    void sleep_ms(int ms) override {
        sleeps.push_back(ms);
        if (sleepLog) sleepLog->push_back("sleep " + std::to_string(ms));
    }
    double clock_seconds() override {
        if (clockReadings.empty()) return 0;
        const double t = clockReadings.front();
        if (clockReadings.size() > 1) clockReadings.erase(clockReadings.begin());
        return t;
    }
    std::uint64_t random_seed() override { return seed; }
    unsigned worker_threads() override { return workers; }

    FolderDefaults defaults{"/opt/analyser", "/User Wavetables/", "/home/user/"};
    Result<std::string> setting{std::string("/data/analyser")};
    std::vector<std::string> settingReads;
    // A write that fails with this reason: when the file is opened, once
    // more than failAfterBytes have been written, or when it is committed.
    std::optional<std::string> writeFailure;
    enum class FailAt { Open, Write, Commit } failAt = FailAt::Open;
    std::uint64_t failAfterBytes = 0;
    // A write that succeeds with this warning (what the old file had that
    // the new one could not keep).
    std::string writeWarning;
    std::map<std::string, std::vector<std::uint8_t>> files;  // committed files
    std::vector<std::size_t> pieceSizes;  // of the last binary file, as written
    std::map<std::string, std::string> textFiles;
    int binaryWrites = 0;
    std::vector<std::string> viewerOpens;
    bool viewerWorks = true;
    std::vector<std::string> folderOpens;
    bool folderWorks = true;
    std::vector<int> sleeps;
    std::vector<std::string>* sleepLog = nullptr;  // e.g. a window's log, to show the pause in order
    std::vector<double> clockReadings{100.0, 101.0};
    std::uint64_t seed = 12345;
    unsigned workers = 2;
};

inline Status RecordingFile::write(std::span<const std::uint8_t> bytes) {
    if (bytes_.empty()) owner_.pieceSizes.clear();
    owner_.pieceSizes.push_back(bytes.size());
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    if (owner_.writeFailure && owner_.failAt == RecordingServices::FailAt::Write &&
        bytes_.size() > owner_.failAfterBytes) {
        return Status::Failure(*owner_.writeFailure);
    }
    return {};
}

inline Status RecordingFile::write_zeros(std::uint64_t count) {
    bytes_.resize(bytes_.size() + count, 0);
    return {};
}

inline Status RecordingFile::commit() {
    if (owner_.writeFailure && owner_.failAt == RecordingServices::FailAt::Commit) {
        return Status::Failure(*owner_.writeFailure);
    }
    owner_.files[path_] = std::move(bytes_);
    ++owner_.binaryWrites;
    return owner_.writeWarning.empty() ? Status() : Status::Warning(owner_.writeWarning);
}

}  // namespace sweepwav::testing
