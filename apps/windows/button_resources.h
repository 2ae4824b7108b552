// Resource IDs of the Command button's skins, in the order of quorvel::Skin.
#pragma once

#define IDB_SKIN_NORMAL 110
#define IDB_SKIN_HIGHLIGHT 111
#define IDB_SKIN_PRESSED 112
#define IDB_SKIN_SELECTED 113
#define IDB_SKIN_HIGHLIGHTSELECT 114
#define IDB_SKIN_DISABLE 115
