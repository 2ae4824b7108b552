// Resource identifiers of the saver window: the two sprite sheets, carried as BMP files.
#pragma once

#define IDR_SHEET_CYAN 101
#define IDR_SHEET_GREEN 102
