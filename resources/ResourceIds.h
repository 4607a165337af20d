#pragma once
// Resource ids of Pelvane.exe; read by the resource compiler too, so only
// plain defines here.

// The program icon: 16, 24, 32 and 48 pixels at 4, 8 and 32 bits per pixel.
// The lowest id, so the shell shows it for the file.
#define IDI_PELVANE 1

// 32-bit pictures with alpha outside their rounded panel: the splash (333 x 70)
// and the main window's logo Image1 (157 x 33).
#define IDB_SPLASH 101
#define IDB_LOGO 102
