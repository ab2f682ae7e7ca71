// View > Sweep plan: the planned tones as a chart (frequency and level
// against time, as steps, under a title that names the file and the sweep,
// on the engine's axes with their labels and grid) drawn with GDI, and as a
// table with the columns of the exported plan, each as wide as its heading
// and its numbers. The
// view keeps its own copy of the plan, so it stays as it was planned while
// the entries change. It lives beside the form, without holding it up, and
// deletes itself when closed.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commands/outputs.h"
#include "core/generator_state.h"
#include "core/result.h"

namespace sweepwav {

class PlanWindow {
public:
    enum class Request { Export, SavePicture, Closed };
    using Handler = std::function<void(PlanWindow&, Request)>;

    // Opens a view of the plan in s (iCalcResult 1); nullptr when no window
    // could be made.
    static PlanWindow* Open(HINSTANCE instance, HWND owner, const GeneratorState& s, Handler handler);

    // Keyboard use inside the view (Tab, Return, Escape).
    bool translate(MSG& message);
    void close();
    // Export and Save chart picture are unavailable while a file is being
    // generated.
    void enable_commands(bool enabled);
    // The chart as a PNG picture, as large as it is on the screen.
    Result<std::vector<std::uint8_t>> chart_png() const;

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
    void size_columns();
    void lay_out();
    void paint_chart(HDC dc, const RECT& area) const;

    std::string csv_, json_, fileName_, title_;
    std::vector<PlanRow> rows_;
    PlanChart axes_;
    Handler handler_;
    HWND window_ = nullptr;
    HWND chart_ = nullptr;
    HWND table_ = nullptr;
    // Export plan…, Save chart picture… and Close, from left to right.
    std::array<HWND, 3> buttons_{};
    HFONT font_ = nullptr;
    HFONT titleFont_ = nullptr;    // the axes' names: bold
    HFONT uprightFont_ = nullptr;  // the same, written upwards
};

}  // namespace sweepwav
