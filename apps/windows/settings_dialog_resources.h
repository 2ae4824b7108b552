// Identifiers of the settings window's child controls.
#pragma once

#define IDC_PIC_2 120
#define IDC_HS_SIZE 121
#define IDC_HS_LENGTH 122
#define IDC_HS_SPEED 123
#define IDC_CMD_SET 124
#define IDC_CMD_CAN 125
