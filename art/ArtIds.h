#pragma once
// Resource ids of the program's pictures (shared by the resource script and the code).

#define IDB_TRAY 101
#define IDB_GLYPH_OK 102
#define IDB_GLYPH_CANCEL 103
#define IDB_HEADER_KEY 104
#define IDB_LOGO 105
#define IDB_ICON_WEB 106
#define IDB_ICON_MAIL 107
#define IDR_BANNER 110
#define IDR_SKIN 111
