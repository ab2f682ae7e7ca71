#include "win32window/form_ids.h"

#include "commands/window_texts.h"
#include "win32window/control_ids.h"

namespace sweepwav {

namespace {

struct LabelId {
    std::string_view name;
    int id;
};
constexpr LabelId kLabelIds[] = {
    {"titletext", IDC_titletext},       {"Label16", IDC_Label16},           {"Status", IDC_Status},
    {"FreqLabel", IDC_FreqLabel},       {"FreqToLabel", IDC_FreqToLabel},   {"FreqUnitLabel", IDC_FreqUnitLabel},
    {"LevelLabel", IDC_LevelLabel},     {"LevelToLabel", IDC_LevelToLabel}, {"LevelUnitLabel", IDC_LevelUnitLabel},
    {"StepsLabel", IDC_StepsLabel},     {"DurationLabel", IDC_DurationLabel},
    {"DurationOrLabel", IDC_DurationOrLabel}, {"CyclesLabel", IDC_CyclesLabel}, {"DitherLabel", IDC_DitherLabel},
    {"ShiftLabel", IDC_ShiftLabel},     {"ParamsHeading", IDC_ParamsHeading}, {"AudioDataLabel", IDC_AudioDataLabel},
    {"FileNameLabel", IDC_FileNameLabel}, {"Progress1", IDC_NAME_Progress1}, {"Progress2", IDC_NAME_Progress2},
};

struct FieldIds {
    Control entry;
    OptionsIds ids;
};
constexpr FieldIds kOptionsFields[] = {
    {Control::LeadInMs, {IDC_LeadInMs, IDC_LABEL_LeadInMs, IDC_NAME_LeadInMs}},
    {Control::GapMs, {IDC_GapMs, IDC_LABEL_GapMs, IDC_NAME_GapMs}},
    {Control::TailMs, {IDC_TailMs, IDC_LABEL_TailMs, IDC_NAME_TailMs}},
    {Control::RampMs, {IDC_RampMs, IDC_LABEL_RampMs, IDC_NAME_RampMs}},
    {Control::SignalChannels, {IDC_SignalChannels, IDC_LABEL_SignalChannels, IDC_NAME_SignalChannels}},
    {Control::Spacing, {IDC_Spacing, IDC_LABEL_Spacing, IDC_NAME_Spacing}},
    {Control::NominalBands, {IDC_NominalBands, 0, 0}},
    {Control::FrequencyList, {IDC_FrequencyList, IDC_LABEL_FrequencyList, IDC_NAME_FrequencyList}},
};

// The form's controls are numbered by their place in Control.
static_assert(IDC_StartFreq + static_cast<int>(Control::Abort) == IDC_Abort);
static_assert(IDC_StartFreq + static_cast<int>(Control::Progress2) == IDC_Progress2);
static_assert(IDC_NAME_StartFreq + static_cast<int>(Control::FileName) == IDC_NAME_FileName);

}  // namespace

OptionsIds OptionsIdsOf(Control entry) {
    for (const FieldIds& f : kOptionsFields) {
        if (f.entry == entry) return f.ids;
    }
    return {};
}

int FormLabelId(std::string_view name) {
    for (const LabelId& label : kLabelIds) {
        if (label.name == name) return label.id;
    }
    return 0;
}

int MenuCommandId(std::string_view name) {
    int id = IDM_FIRST;
    for (const Menu& menu : MenuBar()) {
        for (const MenuCommand& command : menu.commands) {
            if (!name.empty() && command.name == name) return id;
            ++id;
        }
    }
    return 0;
}

std::string_view MenuCommandName(int id) {
    int next = IDM_FIRST;
    for (const Menu& menu : MenuBar()) {
        for (const MenuCommand& command : menu.commands) {
            if (next++ == id) return command.name;
        }
    }
    return {};
}

}  // namespace sweepwav
