// Identifiers of the settings window's child controls and resources.
#pragma once

#define IDC_PIC_2 120
#define IDC_HS_SIZE 121
#define IDC_HS_LENGTH 122
#define IDC_HS_SPEED 123
#define IDC_CMD_SET 124
#define IDC_CMD_CAN 125

// In a string block of their own (128..143), apart from the other subsystems' resource numbers.
#define IDS_SETTINGS_SAVE_FAILED 128
