/* Keeps one Wine GUI process alive for a whole test session.
 *
 * Without a long-lived GUI process every test program starts its own desktop
 * process, which holds the test's output pipe open for about a second after
 * the test ends. This program owns the desktop instead: it touches the desktop
 * window, creates one hidden window, says "ready" on its standard output and
 * then waits for messages until the session ends it. */
#include <stdio.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmdLine, int show) {
  (void)prev;
  (void)cmdLine;
  (void)show;
  GetDesktopWindow();
  HWND window = CreateWindowExA(0, "STATIC", "tabrix desktop keeper", WS_POPUP, 0, 0, 1, 1, NULL,
                                NULL, instance, NULL);
  if (window == NULL) {
    fprintf(stderr, "desktop_keeper: CreateWindowEx failed (%lu)\n", GetLastError());
    return 1;
  }
  printf("ready\n");
  fflush(stdout);
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
