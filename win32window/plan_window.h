// View > Sweep plan: the planned tones as a chart (frequency and level
// against time, as steps, under a title that names the file and the sweep)
// drawn with GDI, and as a table with the columns of the exported plan. The
// view keeps its own copy of the plan, so it stays as it was planned while
// the entries change. It lives beside the form, without holding it up, and
// deletes itself when closed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "commands/outputs.h"
#include "core/generator_state.h"

namespace sweepwav {

class PlanWindow {
public:
    enum class Request { Export, Closed };
    using Handler = std::function<void(PlanWindow&, Request)>;

    // Opens a view of the plan in s (iCalcResult 1); nullptr when no window
    // could be made.
    static PlanWindow* Open(HINSTANCE instance, HWND owner, const GeneratorState& s, Handler handler);

    // Keyboard use inside the view (Tab, Return, Escape).
    bool translate(MSG& message);
    void close();
    // Export is unavailable while a file is being generated.
    void enable_commands(bool enabled);

    const std::string& plan_text(PlanFormat format) const { return format == PlanFormat::Json ? json_ : csv_; }
    const std::string& file_name() const { return fileName_; }
    HWND handle() const { return window_; }

private:
    PlanWindow(const GeneratorState& s, Handler handler);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam);
    void build(HINSTANCE instance);
    void fill_table();
    void lay_out();
    void paint_chart(HDC dc, const RECT& area) const;

    std::string csv_, json_, fileName_, title_;
    std::vector<PlanRow> rows_;
    bool logSteps_ = false;
    Handler handler_;
    HWND window_ = nullptr;
    HWND chart_ = nullptr;
    HWND table_ = nullptr;
    HWND export_ = nullptr;
    HWND close_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace sweepwav
