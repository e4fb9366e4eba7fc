// Asks a window to close as a window manager does when the user clicks its close box: a
// WM_DELETE_WINDOW message of the WM_PROTOCOLS kind sent to it. The X server is the one DISPLAY names.
//   cierra_ventana <window id>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: cierra_ventana <ventana>\n");
    return 2;
  }
  Display* servidor = XOpenDisplay(nullptr);
  if (!servidor)
    return 1;
  const Window ventana = std::strtoul(argv[1], nullptr, 0);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = ventana;
  e.xclient.message_type = XInternAtom(servidor, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(XInternAtom(servidor, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  const Status enviado = XSendEvent(servidor, ventana, False, NoEventMask, &e);
  XCloseDisplay(servidor);  // sends what is queued
  return enviado ? 0 : 1;
}
