// The operations the procedures call on the window. The Qt window, the
// command-line front end and the recording fake of the tests implement it.
#pragma once

#include <cstdint>
#include <string>

#include "core/controls.h"

namespace sweepwav {

enum class Icon { None, Information, Exclamation };

class WindowOps {
public:
    virtual ~WindowOps() = default;

    // Text boxes: the text exactly as typed, blanks included.
    virtual std::string text(Control box) = 0;
    virtual void set_text(Control box, const std::string& text) = 0;

    // Check boxes: true when ticked.
    virtual bool checked(Control box) = 0;
    virtual void set_checked(Control box, bool ticked) = 0;

    // Drop-down lists. Positions start at 0; selected_index is -1 when
    // nothing is selected.
    virtual void add_item(Control list, const std::string& text, int position,
                          std::int32_t value) = 0;
    virtual void select_index(Control list, int position) = 0;
    virtual int selected_index(Control list) = 0;
    virtual int item_count(Control list) = 0;
    virtual std::int32_t item_value(Control list, int position) = 0;

    // A disabled control raises no click.
    virtual void set_enabled(Control c, bool enabled) = 0;

    virtual void set_caption(const std::string& caption) = 0;
    virtual void set_label(Control label, const std::string& text) = 0;

    // How far a progress line reaches: 0 empty, 1 full. When redraw is true
    // the line is shown at once, without servicing input.
    virtual void set_progress(Control line, double fraction, bool redraw) = 0;

    // Dispatch pending user input (an Abort click) once.
    virtual void do_events() = 0;

    // Modal message box with an OK button. An empty title means "no title of
    // its own": the box shows the application's name.
    virtual void message_box(const std::string& text, const std::string& title, Icon icon) = 0;

    // A long text the user asked for that could not be shown where it
    // belongs, with a note saying why (the text viewer could not be
    // started). A window shows the text for reading; by default only the
    // note, in a message box with an exclamation icon.
    virtual void show_long_text(const std::string& note, const std::string& text, const std::string& title) {
        (void)text;
        message_box(note, title, Icon::Exclamation);
    }
};

}  // namespace sweepwav
