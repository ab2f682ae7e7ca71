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

}  // namespace

void SetOptions(Window& w, Place place, const std::map<Control, std::string>& values) {
    const bool signal = place == Place::SignalDialog;
    w.menu(signal ? "SignalOptions" : "Frequencies");
    HWND dialog = w.dialog(signal ? "Signal options" : "Frequencies");
    if (!dialog) throw std::runtime_error("the options dialog did not open");
    for (const auto& [control, value] : values) {
        const Entry& e = EntryOf(control);
        HWND field = GetDlgItem(dialog, OptionsIdsOf(control).field);
        if (!field) throw std::runtime_error("the options dialog has no field for " + std::string(control_name(control)));
        if (e.kind == EntryKind::Tick) {
            SendMessageW(field, BM_SETCHECK, value == "yes" ? BST_CHECKED : BST_UNCHECKED, 0);
        } else if (e.kind == EntryKind::List || e.kind == EntryKind::Channels) {
            const int channelMode = value == "all" ? 0 : value == "each" ? 2 : 1;
            const int position = e.kind == EntryKind::List ? ItemPosition(e, value).value_or(-1) : channelMode;
            SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), CBN_SELCHANGE), reinterpret_cast<LPARAM>(field));
            if (e.kind == EntryKind::Channels && position == 1) {
                SetWindowTextW(GetDlgItem(dialog, IDC_SignalChannelList), Wide(value).c_str());
            }
        } else {
            SetWindowTextW(field, Wide(value).c_str());
        }
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitFor([dialog] { return !IsWindow(dialog); }, std::chrono::seconds(10));
    // The window applies the options after the dialog has gone; a message
    // sent to it returns only once it is back in its message loop.
    SendMessageTimeoutW(w.form(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
}

void Apply(Window& w, const std::string& options) {
    std::istringstream in(options);
    const std::vector<std::string> words{std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
    std::map<Place, std::map<Control, std::string>> dialogs;
    bool markers = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Option* o = FindOption(words[i]);
        if (!o) throw std::runtime_error("no option " + words[i]);
        const std::string value = o->valueName.empty() || i + 1 >= words.size() ? std::string() : words[++i];
        if (!o->entry) continue;  // the window's own seed, and options of the command line alone
        const Entry& e = EntryOf(*o->entry);
        const bool on = o->action == OptionAction::Tick;
        if (e.place == Place::SignalDialog || e.place == Place::FrequenciesDialog) {
            auto& fields = dialogs[e.place];
            fields[e.control] = on ? "yes" : o->action == OptionAction::Clear ? "no" : std::string(o->valuePrefix) + value;
            if (o->alsoSets) fields[*o->alsoSets] = o->alsoValue;
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
    for (const auto& [place, values] : dialogs) SetOptions(w, place, values);
}

}  // namespace sweepwav::driver
