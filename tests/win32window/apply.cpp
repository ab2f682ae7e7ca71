#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

#include "scenarios.h"
#include "settings/catalogue.h"
#include "win32window/control_ids.h"
#include "win32window/form_ids.h"

namespace sweepwav::driver {

void Checks::check(bool ok, const std::string& scenario, const std::string& what, const std::string& seen) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAIL %s: %s%s%s\n", scenario.c_str(), what.c_str(), seen.empty() ? "" : "; seen: ", seen.c_str());
    std::fflush(stdout);
}

void Checks::equal(const std::string& got, const std::string& want, const std::string& scenario,
                   const std::string& what) {
    check(got == want, scenario, what + " is \"" + want + "\"", "\"" + got + "\"");
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(Wide(path)), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

namespace {

const Option* FindOption(const std::string& name) {
    for (const Option& o : Options()) {
        if (o.name == name) return &o;
    }
    return nullptr;
}

// The Signal options dialog: each length given, and the channels.
void SetSignalOptions(Window& w, const std::map<Control, std::string>& values) {
    w.menu("SignalOptions");
    HWND dialog = w.dialog("Signal options");
    if (!dialog) return;
    for (const auto& [control, value] : values) {
        HWND field = GetDlgItem(dialog, SignalFieldId(control));
        if (!field) throw std::runtime_error("the Signal options dialog has no field for " + std::string(control_name(control)));
        if (control != Control::SignalChannels) {
            SetWindowTextW(field, Wide(value).c_str());
            continue;
        }
        const int mode = value == "all" ? 0 : value == "each" ? 2 : 1;
        SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SignalChannels, CBN_SELCHANGE), reinterpret_cast<LPARAM>(field));
        if (mode == 1) SetWindowTextW(GetDlgItem(dialog, IDC_SignalChannelList), Wide(value).c_str());
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitFor([dialog] { return !IsWindow(dialog); }, std::chrono::seconds(10));
}

}  // namespace

void Apply(Window& w, const std::string& options) {
    std::istringstream in(options);
    const std::vector<std::string> words{std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
    std::map<Control, std::string> signal;
    bool markers = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Option* o = FindOption(words[i]);
        if (!o) throw std::runtime_error("no option " + words[i]);
        const std::string value = o->valueName.empty() || i + 1 >= words.size() ? std::string() : words[++i];
        if (!o->entry) continue;  // the window's own seed, and options of the command line alone
        const Entry& e = EntryOf(*o->entry);
        const bool on = o->action == OptionAction::Tick;
        if (o->action == OptionAction::Set && e.place == Place::SignalDialog) {
            signal[e.control] = value;
        } else if (o->action == OptionAction::Set && e.kind == EntryKind::List) {
            w.choose(e.control, ItemPosition(e, value).value_or(-1));
        } else if (o->action == OptionAction::Set) {
            w.type(e.control, value);
        } else if (e.control == Control::WriteMarkers) {
            if (on != markers) w.menu("WriteMarkers");
            markers = on;
        } else {
            w.tick(e.control, on);
        }
    }
    if (!signal.empty()) SetSignalOptions(w, signal);
}

}  // namespace sweepwav::driver
