// View > Sweep plan and File > Export tone plan.
#include <windows.h>

#include <commctrl.h>

#include "scenarios.h"

namespace sweepwav::driver {

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindView(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process == search->process && std::wstring(name) == L"sweepwavPlanView" && IsWindowVisible(window)) {
        search->found = window;
    }
    return TRUE;
}

}  // namespace

void PlanView(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    Apply(w, Trimmed(FileBytes(setup.data + "plan.options")));
    w.menu("SweepPlan");
    Search search{w.process_id(), nullptr};
    WaitFor([&] {
        EnumWindows(FindView, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, std::chrono::seconds(20));
    checks.check(search.found != nullptr, "plan", "View > Sweep plan opens the plan view");
    if (search.found) {
        checks.equal(w.text_of(search.found), "Sweep plan - filename.wav", "plan", "the view's title");
        HWND table = FindWindowExW(search.found, nullptr, WC_LISTVIEWW, nullptr);
        checks.check(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 6, "plan", "a row per tone (6)");
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        checks.check(WaitFor([&] { return !IsWindow(search.found); }, std::chrono::seconds(10)), "plan", "the view closes");
    }
    const std::string plan = setup.data + "plan.json";
    DeleteFileW(Wide(plan).c_str());
    w.menu("ExportPlan");
    HWND dialog = w.dialog("Export tone plan");
    checks.check(dialog != nullptr, "plan", "Export tone plan asks for a file");
    if (dialog) w.choose_file(dialog, plan);
    checks.check(WaitFor([&] { return !FileBytes(plan).empty() && !IsWindow(dialog); }, std::chrono::seconds(20)),
                 "plan", "the plan is written (the shell compares it)");
    w.close();
}

}  // namespace sweepwav::driver
