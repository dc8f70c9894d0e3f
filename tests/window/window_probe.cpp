// Makes document windows and prints what Windows made of them, as key=value lines; run under
// another Windows version to take the other creation path.
#include <cstdio>
#include <string>

#include "window/mdi_host.h"

using tstools::test::MdiHost;

namespace {

std::string Placement(WindowPtr w, const char *order) {
  RECT r = MdiHost::FrameInClient(w->port.window);
  char text[96];
  std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld %d %s", r.left, r.top, r.right, r.bottom,
                IsWindowVisible(w->port.window) ? 1 : 0, order);
  return text;
}

}  // namespace

int main() {
  MdiHost host;
  TSToolsStartupState state{};
  state.size = sizeof state;
  TSToolsGetStartupState(&state);
  std::printf("new_shell=%d\n", state.hasNewShell);
  WindowPtr visible = host.NewDocument(10, 20, 310, 220);
  WindowPtr invisible = host.NewDocument(100, 50, 400, 300, false);
  if (!visible || !invisible) return 1;
  std::printf("visible=%s\n", Placement(visible, MdiHost::Active() == visible->port.window ? "active" : "-").c_str());
  std::printf("invisible=%s\n",
              Placement(invisible, GetWindow(visible->port.window, GW_HWNDLAST) == invisible->port.window ? "last" : "-")
                  .c_str());
  std::printf("client_edge=%d\n", (GetWindowLongPtrA(visible->port.window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 1 : 0);
  WindowPtr unknown = host.NewDocument(0, 0, 50, 50, true, 0, true, kWindowInFront, "NoSuchClass");
  int children = 0;
  for (HWND c = GetWindow(MdiHost::client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
  std::printf("unknown_class=%d %d\n", unknown ? 1 : 0, children - 2);
  MdiHost::Close(visible);
  MdiHost::Close(invisible);
  return 0;
}
