// The resource and control numbers of the Win32 window, shared by its
// dialog templates (sweepwav.rc), its code and the test driver. A form
// control's number is 1000 + its place in Control; the invisible label
// that names it for screen readers, right before it in the focus order,
// is 1100 + that place.
#pragma once

#define IDI_SWEEPWAV 1
#define IDD_FORM1 100

#define IDC_StartFreq 1000
#define IDC_EndFreq 1001
#define IDC_StartLevel 1002
#define IDC_EndLevel 1003
#define IDC_Steps 1004
#define IDC_Logsteps 1005
#define IDC_ToneTime 1006
#define IDC_ToneCycles 1007
#define IDC_Dither1 1008
#define IDC_Shiftmode 1009
#define IDC_Samplerate 1010
#define IDC_Wordlength 1011
#define IDC_Channels 1012
#define IDC_ShowInfo 1013
#define IDC_AutoName 1014
#define IDC_FileName 1015
#define IDC_OK 1016
#define IDC_Play 1017
#define IDC_Abort 1018
#define IDC_Status 1019
#define IDC_Progress1 1020
#define IDC_Progress2 1021

#define IDC_NAME_StartFreq 1100
#define IDC_NAME_EndFreq 1101
#define IDC_NAME_StartLevel 1102
#define IDC_NAME_EndLevel 1103
#define IDC_NAME_Steps 1104
#define IDC_NAME_ToneTime 1106
#define IDC_NAME_ToneCycles 1107
#define IDC_NAME_Shiftmode 1109
#define IDC_NAME_Samplerate 1110
#define IDC_NAME_Wordlength 1111
#define IDC_NAME_Channels 1112
#define IDC_NAME_FileName 1115
#define IDC_NAME_Progress1 1120
#define IDC_NAME_Progress2 1121

// The form's plain labels, by their names in the catalogue.
#define IDC_Image1 1200
#define IDC_titletext 1201
#define IDC_Label16 1202
#define IDC_FreqLabel 1203
#define IDC_FreqToLabel 1204
#define IDC_FreqUnitLabel 1205
#define IDC_LevelLabel 1206
#define IDC_LevelToLabel 1207
#define IDC_LevelUnitLabel 1208
#define IDC_StepsLabel 1209
#define IDC_DurationLabel 1210
#define IDC_DurationOrLabel 1211
#define IDC_CyclesLabel 1212
#define IDC_DitherLabel 1213
#define IDC_ShiftLabel 1214
#define IDC_ParamsHeading 1215
#define IDC_AudioDataLabel 1216
#define IDC_FileNameLabel 1217

// Under the form: where files go, and the signal options that are on.
#define IDC_OutputBar 1300
#define IDC_SignalOptions 1301

// The options dialogs, laid out at run time from the catalogue: an entry's
// field is IDC_OPTION_FIELD + its place in Control, the label of its row
// IDC_OPTION_LABEL + that place, the invisible label right before the field
// that names it for screen readers IDC_OPTION_NAME + that place, and the
// unit after it IDC_OPTION_UNIT + that place (OptionsIdsOf); then the
// channel list, its name, and the complaint.
#define IDC_OPTION_FIELD 1400
#define IDC_OPTION_LABEL 1500
#define IDC_OPTION_NAME 1600
#define IDC_OPTION_UNIT 1700
#define IDC_SignalChannelList 1800
#define IDC_NAME_SignalChannelList 1801
#define IDC_OptionsProblem 1802

// Menu commands: 2000 + their place in the menu bar's table; the recent
// settings files 2100 and up, the presets 2200 and up.
#define IDM_FIRST 2000
#define IDM_RECENT_FIRST 2100
#define IDM_PRESET_FIRST 2200
#define IDM_PRESET_END 2300
