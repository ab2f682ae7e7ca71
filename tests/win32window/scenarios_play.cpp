// Play in the window, through Wine's sound driver to the sound server that
// tools/windows-window-checks.sh starts (whose null sink it captures): the
// short sweep of play.options played to the end (play-heard); a long one
// stopped from the keyboard, and without a sound output the message (play);
// and the message of a failure the checks arranged on that server
// (play-failure).
#include <cstdio>
#include <cstdlib>

#include "scenarios.h"

namespace sweepwav::driver {

namespace {

const std::string kTitle = "Sweep WAV generation";

bool Locked(const Window& w) {
    bool locked = !w.enabled(Control::Abort);
    for (Control c : kInputControls) locked = locked && !w.enabled(c);
    return locked;
}

// Idle again, the button reading Play again and the keyboard on it.
void CheckIdleOnPlay(Window& w, Checks& checks, const std::string& after) {
    checks.check(w.wait_idle(std::chrono::seconds(30)) && !Locked(w) && w.text(Control::Play) == "&Play" &&
                     w.focus() == w.control(Control::Play),
                 "play", after + ": the form unlocked and the focus back on Play", w.text(Control::Play));
}

}  // namespace

void PlayHeard(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    Apply(w, Trimmed(FileBytes(setup.data + "play.options")));
    HWND status = w.control(Control::Status);
    w.press(Control::Play);
    const bool heard = WaitFor([&] { return w.caption(status).starts_with("Playing sweep step "); },
                               std::chrono::seconds(30));
    checks.check(heard && Locked(w) && w.enabled(Control::Play) && w.text(Control::Play) == "&Stop" &&
                     w.focus() == w.control(Control::Play),
                 "play", "while it plays: the form locked, Play reading Stop with the focus", w.caption(status));
    checks.check(WaitFor([&] { return w.caption(status).starts_with("Done in "); }, std::chrono::seconds(30)),
                 "play", "played to the end", w.caption(status));
    CheckIdleOnPlay(w, checks, "played");
    checks.check(w.close() == 0, "play", "the window closes and the program ends with 0");
}

void Playing(const Setup& setup, Checks& checks) {
    {
        Window w(setup.program, "");
        Apply(w, "--steps 400 --tone-ms 2000");
        HWND status = w.control(Control::Status);
        w.press(Control::Play);
        WaitFor([&] { return w.caption(status) == "Playing sweep step 0 of 400"; }, std::chrono::seconds(30));
        // Space on the button that has the focus, now Stop.
        const auto pressed = std::chrono::steady_clock::now();
        w.key(VK_SPACE);
        checks.check(WaitFor([&] { return w.caption(status) == "Playing stopped"; }, std::chrono::seconds(10)),
                     "play", "Space on Stop stops playing", w.caption(status));
        std::printf("Stop: playing stopped %lld ms after Space\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                               std::chrono::steady_clock::now() - pressed).count()));
        CheckIdleOnPlay(w, checks, "stopped");
        w.close();
    }
    {
        // Wine's sound drivers are looked up at the first Play.
        NoSoundOutput none;
        Window w(setup.program, "");
        w.press(Control::Play);
        const std::optional<Box> box = w.take_box();
        checks.check(box && box->text.starts_with("Could not play the sweep: there is no output device (") &&
                         box->title == kTitle && box->icon == "exclamation",
                     "play", "without a sound output: the message", box ? box->text + " | " + box->icon : "no box");
        CheckIdleOnPlay(w, checks, "without a sound output");
        w.close();
    }
}

// Ten seconds of sweep on a server that refuses its format or is killed
// while it plays: one exclamation box beginning with SWEEPWAV_PLAY_FAILURE,
// then the form unlocked with the keyboard on Play.
void PlayFailure(const Setup& setup, Checks& checks) {
    const char* failure = std::getenv("SWEEPWAV_PLAY_FAILURE");
    Window w(setup.program, "");
    Apply(w, "--rate 48000 --channels 2 --no-dither --steps 4 --tone-ms 2000");
    w.press(Control::Play);
    const std::optional<Box> box = w.take_box(std::chrono::seconds(60));
    checks.check(failure && box && box->text.starts_with(failure) && box->title == kTitle && box->icon == "exclamation",
                 "play-failure", std::string("the message ") + (failure ? failure : "(SWEEPWAV_PLAY_FAILURE unset)"),
                 box ? box->text + " | " + box->icon : "no box");
    CheckIdleOnPlay(w, checks, "after the message");
    w.close();
}

}  // namespace sweepwav::driver
