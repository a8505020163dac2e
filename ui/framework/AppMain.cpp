// The program's entry: everything else belongs to the application object.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
  return AfxWinMain(hInstance, nCmdShow);
}
