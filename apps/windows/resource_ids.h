// Resource identifiers shared by the program's resource scripts and code.
#pragma once

#define IDI_QUORVEL 1
#define IDS_DESCRIPTION 1
