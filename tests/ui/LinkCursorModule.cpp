// A module that holds cursor 106, as the Windows directory's winhlp32.exe
// does. The link cursor test puts it there when the system has none; it is
// only ever loaded, never run.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
