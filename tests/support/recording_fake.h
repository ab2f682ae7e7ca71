// A window and platform that record every call, for asserting the exact
// sequence of status texts, captions, progress positions and messages.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/window_ops.h"

namespace sweepwav::testing {

struct Box {
    std::string text;
    std::string title;
    Icon icon;
};

class RecordingWindow : public WindowOps {
public:
    std::string text(Control box) override { return texts[box]; }
    void set_text(Control box, const std::string& t) override {
        texts[box] = t;
        log.push_back("text " + std::string(control_name(box)) + "=" + t);
    }
    bool checked(Control box) override { return checks[box]; }
    void set_checked(Control box, bool ticked) override { checks[box] = ticked; }
    void add_item(Control list, const std::string& t, int position, std::int32_t value) override {
        auto& items = lists[list].items;
        items.insert(items.begin() + position, {t, value});
    }
    void select_index(Control list, int position) override { lists[list].selected = position; }
    int selected_index(Control list) override { return lists[list].selected; }
    int item_count(Control list) override { return static_cast<int>(lists[list].items.size()); }
    std::int32_t item_value(Control list, int position) override {
        auto& items = lists[list].items;
        if (position < 0 || position >= static_cast<int>(items.size())) return 0;
        return items[static_cast<std::size_t>(position)].second;
    }
    void set_enabled(Control c, bool on) override {
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
    void set_line_x2(Control line, float x2, bool redraw) override {
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
            if (l.items[i].first == itemText) {
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

    struct List {
        std::vector<std::pair<std::string, std::int32_t>> items;
        int selected = -1;
    };
    std::map<Control, std::string> texts;
    std::map<Control, bool> checks;
    std::map<Control, List> lists;
    std::string caption;
    std::vector<std::string> statuses;
    std::vector<float> progress1, progress2;
    std::vector<Box> boxes;
    std::vector<std::string> log;
    int eventServicings = 0;
    std::function<void(int)> onEvents;  // called with the servicing count
};

class RecordingServices : public Services {
public:
    FolderDefaults folder_defaults() override { return defaults; }
    SettingRead read_setting(const std::string& path) override {
        settingReads.push_back(path);
        return setting;
    }
    std::optional<std::string> write_binary_file(
        const std::string& path, const std::vector<std::span<const std::uint8_t>>& pieces) override {
        if (writeFailure) return writeFailure;
        std::vector<std::uint8_t>& file = files[path];
        file.clear();
        pieceStarts.clear();
        for (auto p : pieces) {
            file.insert(file.end(), p.begin(), p.end());
            pieceStarts.push_back(p.data());
        }
        ++binaryWrites;
        return std::nullopt;
    }
    std::optional<std::string> write_text_file(const std::string& path, const std::string& text) override {
        if (writeFailure) return writeFailure;
        textFiles[path] = text;
        return std::nullopt;
    }
    bool open_in_viewer(const std::string& path) override {
        viewerOpens.push_back(path);
        return viewerWorks;
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

    FolderDefaults defaults{"/opt/analyser", "/User Wavetables/", "/home/user/"};
    SettingRead setting{true, "/data/analyser", {}};
    std::vector<std::string> settingReads;
    std::optional<std::string> writeFailure;
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<const std::uint8_t*> pieceStarts;  // of the last binary write
    std::map<std::string, std::string> textFiles;
    int binaryWrites = 0;
    std::vector<std::string> viewerOpens;
    bool viewerWorks = true;
    std::vector<int> sleeps;
    std::vector<std::string>* sleepLog = nullptr;  // e.g. a window's log, to show the pause in order
    std::vector<double> clockReadings{100.0, 101.0};
    std::uint64_t seed = 12345;
};

}  // namespace sweepwav::testing
