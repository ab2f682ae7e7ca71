#include "win32window/form_ids.h"

#include "commands/window_texts.h"
#include "settings/catalogue.h"
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

// The form's controls are numbered by their place in Control.
static_assert(IDC_StartFreq + static_cast<int>(Control::Abort) == IDC_Abort);
static_assert(IDC_StartFreq + static_cast<int>(Control::Progress2) == IDC_Progress2);
static_assert(IDC_NAME_StartFreq + static_cast<int>(Control::FileName) == IDC_NAME_FileName);

}  // namespace

OptionsIds OptionsIdsOf(Control entry) {
    const Entry* e = FindEntry(entry);
    if (!e || (e->place != Place::SignalDialog && e->place != Place::FrequenciesDialog)) return {};
    const int at = static_cast<int>(entry);
    const bool tick = e->kind == EntryKind::Tick;
    return {IDC_OPTION_FIELD + at, tick ? 0 : IDC_OPTION_LABEL + at, tick ? 0 : IDC_OPTION_NAME + at,
            e->kind == EntryKind::OptionNumber ? IDC_OPTION_UNIT + at : 0};
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
