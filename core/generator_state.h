// The window's one state object: the settings, the output folder, the tone
// plan, the buffers and the run flags. The procedures read and write it
// directly and report their outcome through its flags.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/sample_format.h"

namespace sweepwav {

// What the start-up lookup of the analyser's folder came to: its folder, the
// fallback after "Couldn't find Olvane installation path", or the start-up
// default kept after any other failure (settings unreadable, value not text);
// NotDone where nothing was looked up (a folder given on the command line).
enum class FolderLookup { NotDone, Found, NotFound, Unreadable };

// Where every file goes: the output folder, ending in a separator (empty
// when there is nowhere to write), and how it was found. Set once, at
// start-up.
struct OutputFolderValue {
    std::string path;
    FolderLookup lookup = FolderLookup::NotDone;
};

// Which channels carry the signal: all of them (no list, not each), a list
// (1-based, in the order given), or each in turn.
struct ChannelChoice {
    std::vector<int> channels;
    bool each = false;

    bool operator==(const ChannelChoice&) const = default;
};

// What the Signal options dialog sets: silence before the first tone,
// between tones and after the last, in ms; the length of the raised-cosine
// ramps where a tone meets silence, in ms; and the channels that carry the
// signal.
struct SignalOptions {
    double leadInMs = 0;
    double gapMs = 0;
    double tailMs = 0;
    double rampMs = 0;
    ChannelChoice channels;

    // Whether any silence comes before, between or after the tones.
    bool silences() const { return leadInMs > 0 || gapMs > 0 || tailMs > 0; }

    bool operator==(const SignalOptions&) const = default;
};

// The signal options in frames, and how often the sweep is played (once, or
// once per channel).
struct SignalFrames {
    std::int32_t leadIn = 0;
    std::int32_t gap = 0;
    std::int32_t tail = 0;
    std::int32_t ramp = 0;
    std::int16_t passes = 1;
};

struct GeneratorState {
    // Settings (copied from the controls on every run).
    double dStartFreq = 0;
    double dEndFreq = 0;
    double dStartLevel = 0;
    double dEndLevel = 0;
    std::int16_t iSteps = 0;
    bool bLogSteps = false;
    double dToneTime = 0;
    std::int32_t iToneCycles = 0;
    std::int16_t iShiftMode = 0;
    bool bDither = false;
    std::int32_t iSampleRate = 0;
    std::int16_t iBits = 0;
    // How the word length's samples are coded and stored: the record its
    // item of the word-length list carries.
    SampleFormat sampleFormat;
    std::int16_t iChannels = 0;
    std::string sFileName;
    bool bDataOK = false;
    // The box whose entry the last refusal of the checks was about, for a
    // front end that points at it; empty when the checks passed.
    std::optional<Control> refusedEntry;
    // Whether the last refusal was of a file too large for its size fields.
    bool refusedAsTooLarge = false;
    // Mark every tone in the file with a cue point and a labelled region
    // (set by the front end; off at start).
    bool markers = false;

    // Options beside the form (all off at start; see SignalOptions).
    SignalOptions signal;
    // Tones at standard frequencies instead of the form's steps (Options >
    // Frequencies...): the spacing, "steps" (the form's) or "bands1" to
    // "bands24" (the centres of 1/N-octave bands from the start to the end
    // frequency) or "list"; the bands at their nominal frequencies rather
    // than their exact centres; the list as typed, in Hz.
    std::string toneSpacing = "steps";
    bool nominalBands = false;
    std::string toneList;

    // Start-up constants.
    std::string sAppTitle;
    double dPi = 0;

    // Output folder.
    std::string sRegistryKey;
    OutputFolderValue outputFolder;

    // The frequencies of the tones when the spacing is not the form's steps;
    // the tone plan takes them in place of its own.
    std::vector<double> listedFreq;

    // Tone plan: one element per tone, indices 0 to iSteps.
    std::vector<double> dFreq;
    std::vector<double> dLevel;
    std::vector<double> dAmplitude;
    std::vector<double> dToneMs;
    std::vector<double> dSamples;
    double dLevelStep = 0;
    std::int32_t iTotalSamples = 0;
    std::int16_t iBytesPerSample = 0;
    std::int32_t iTotalBytes = 0;
    std::int16_t iCalcResult = 0;
    // The signal options in frames at the plan's rate.
    SignalFrames signalFrames;
    // The audio goes to the file as it is made and is never held whole.

    // Synthesis.
    double dPhaseScale = 0;
    std::int32_t iWritePos = 0;
    bool bAbort = false;
    std::int32_t iLastTone = 0;  // the tone synthesis was at when it ended
    int lastPass = 0;            // and its pass (one channel at a time)

    // WAV header: its bytes as they go into the file.
    std::vector<std::uint8_t> bHeader;
    std::int32_t iByteRate = 0;

    // Generation run.
    double dStartTime = 0;
    double dElapsed = 0;
    bool bFileWritten = false;    // true once the last run's file is complete on disk
    std::string sWrittenPath;     // where the last run's file went
    std::int64_t iWrittenBytes = 0;  // its length in bytes

    // Play: true once the last Play has played, to the end or until stopped,
    // and the frames that had been heard when it ended.
    bool bPlayed = false;
    std::int64_t iPlayedFrames = 0;

    // Settings report.
    std::string sReport;
    std::int32_t iFileSize = 0;
};

}  // namespace sweepwav
