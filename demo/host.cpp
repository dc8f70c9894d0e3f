// The demo host: a small Mac-style application on TSTOOLS.DLL. It loads our host resource
// module, reports what the library detected, then opens an MDI frame with two document
// windows made by ML_NewWindow: one plays the host's "PICT" 128 when updated, the other draws
// shapes in a pattern from a pattern list, a string from a string list and the host's icon,
// beside a scroll bar. It selects one, invalidates part of the other, prints what the Window
// Manager reports, and saves the screen to demo.png in the build directory.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "demo/sheets/png_writer.h"
#include "tstools/tstools.h"

namespace {

HMODULE resources = nullptr;
HWND mdiClient = nullptr;
enum DocumentKind : long { kPictureDocument = 1, kShapesDocument = 2, kPicturesDocument = 3, kSoundDocument = 4,
                          kTextDocument = 5, kServicesDocument = 6 };
std::string servicesReport;  // what the document list and the font download said

const char *PlatformName(const TSToolsStartupState &s) {
  if (s.isWin32s) return "Win32s";
  if (s.isWin9x) return s.isWin98Family ? "Windows 98 family" : "Windows 95";
  if (s.isNT) return s.isNT5 ? "Windows NT 5 or later" : "Windows NT";
  return "unknown";
}

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char *>(s + 1), s[0]); }

void DrawPictureDocument(WindowPtr w) {
  Rect r;
  GetPortRect(&w->port, &r);
  ML_EraseRect(&w->port, &r);
  Handle picture = ML_GetPicture(resources, TSRES_PICT_SAMPLE);
  if (!picture) return;
  Rect frame{20, 20, static_cast<short>(r.right - 20), static_cast<short>(r.bottom - 20)};
  ML_DrawPicture(&w->port, picture, &frame);
  ML_FrameRect(&w->port, &frame);
  MemDisposeHandle(picture);
}

void DrawShapesDocument(WindowPtr w) {
  Rect r;
  GetPortRect(&w->port, &r);
  ML_EraseRect(&w->port, &r);
  Pattern pattern{};
  ML_GetIndPattern(resources, &pattern, TSRES_PAT_LIST_SAMPLE, 2);
  Rect oval{20, 20, 170, 120}, box{190, 20, 290, 120};
  ML_FillOval(&w->port, &oval, &pattern);
  ML_FrameOval(&w->port, &oval);
  ML_GetIndPattern(resources, &pattern, 0, 3);  // the library's own list
  ML_FillRect(&w->port, &box, &pattern);
  ML_FrameRect(&w->port, &box);
  Str255 message{};
  ML_GetIndString(resources, message, TSRES_STR_LIST_MESSAGES, 1, TSRES_TYPE_STR_LIST);
  ML_TextSize(&w->port, 14);
  ML_MoveTo(&w->port, 20, 150);
  ML_DrawString(&w->port, message);
  Rect iconAt{20, 165, 52, 197};
  ML_PlotIcon(&w->port, &iconAt, ML_GetIcon(resources, TSRES_ICON_HOST));
}

// Themed controls, then the document list and the font download, a line each.
void DrawServicesDocument(WindowPtr w) {
  Rect r;
  GetPortRect(&w->port, &r);
  ML_EraseRect(&w->port, &r);
  DrawThemedControls(&w->port, 20, 20);
  ML_TextSize(&w->port, 12);
  short v = 80;
  for (size_t start = 0, end; (end = servicesReport.find('\n', start)) != std::string::npos; start = end + 1) {
    Str255 line{};
    line[0] = static_cast<unsigned char>(std::min<size_t>(end - start, 255));
    servicesReport.copy(reinterpret_cast<char *>(line + 1), line[0], start);
    ML_MoveTo(&w->port, 20, v);
    ML_DrawString(&w->port, line);
    v = static_cast<short>(v + 18);
  }
}

LRESULT CALLBACK DocumentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      auto create = reinterpret_cast<CREATESTRUCTA *>(lParam);
      auto w = reinterpret_cast<WindowPtr>(reinterpret_cast<MDICREATESTRUCTA *>(create->lpCreateParams)->lParam);
      w->port.window = window;
      ML_OpenPort(&w->port);
      return 0;
    }
    case WM_SIZE:
      if (WindowPtr w = GetWindowPtr(window)) UpdateGrafPort(&w->port);
      break;
    case WM_PAINT:
      if (WindowPtr w = GetWindowPtr(window)) {
        BeginUpdate(w);
        if (w->refCon == kPictureDocument) DrawPictureDocument(w);
        if (w->refCon == kShapesDocument) DrawShapesDocument(w);
        if (w->refCon == kPicturesDocument) DrawPicturesDocument(&w->port);
        if (w->refCon == kSoundDocument) DrawSoundDocument(&w->port);
        if (w->refCon == kTextDocument) DrawTextDocument(&w->port);
        if (w->refCon == kServicesDocument) DrawServicesDocument(w);
        EndUpdate(w);
        return 0;
      }
      break;
  }
  return DefMDIChildProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (FrameMenuMessage(message, lParam)) return TRUE;
  if (FrameClipboardMessage(window, message, wParam, lParam)) return 0;
  return DefFrameProcA(window, mdiClient, message, wParam, lParam);
}

}  // namespace

void Pump(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

// The frame window as it is on the screen, as a PNG.
bool SaveScreenshot(HWND frame, const std::string &path) {
  RECT r;
  GetWindowRect(frame, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    ok = tstools::sheets::WritePng(path, static_cast<const uint32_t *>(bits), w, h);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

namespace {

int ReportPlatform() {
  TSToolsStartupState state = {};
  state.size = sizeof state;
  TSToolsGetStartupState(&state);
  char name[64] = {};
  LoadStringA(resources, 10000, name, sizeof name);
  std::printf("TSTOOLS.DLL loaded (%d-bit)\n", static_cast<int>(sizeof(void *) * 8));
  std::printf("platform:        %s (id %lu, version %lu.%lu)\n", PlatformName(state), state.platformId,
              state.majorVersion, state.minorVersion);
  std::printf("flags:           win32s=%d win9x=%d win98family=%d nt=%d newshell=%d nt5=%d\n", state.isWin32s,
              state.isWin9x, state.isWin98Family, state.isNT, state.hasNewShell, state.isNT5);
  std::printf("character set:   %u (code set %d)\n", GetDefaultSystemCharSet(), state.defaultCodeSet);
  std::printf("resource module: %s (settings section \"%s\")\n",
              state.resourceInstance == resources ? "TSHOSTRES.DLL" : "not set", name);
  return 0;
}

// Brings the document to the front, lets it paint, and saves the frame as `file` in the build
// directory; false when the screenshot could not be written.
bool ShowDocument(HWND frame, WindowPtr document, const char *file) {
  SelectWindow(document);
  ML_InvalRect(document, &document->port.portRect);
  Pump(500);
  std::string path = std::string(TSTOOLS_DEMO_DIR) + "/" + file;
  bool shot = SaveScreenshot(frame, path);
  std::printf("screenshot:      %s%s\n", path.c_str(), shot ? "" : " could not be written");
  return shot;
}

void CloseDocument(WindowPtr document) {
  HWND window = document->port.window;
  DisposeWindow(document);
  SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
}

}  // namespace

int main() {
  resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!resources) {
    std::printf("TSHOSTRES.DLL not found beside the host\n");
    return 1;
  }
  if (!SetTSToolsResourceInstance(resources)) {
    std::printf("another copy of the host is running\n");
    return 1;
  }
  InitToolUtil();
  ReportPlatform();

  MemInitZone();
  QDrawCacheInit();
  InitFonts();
  ML_InitWindows();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA frameClass{};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = instance;
  frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  frameClass.lpszClassName = "TSAPP3DemoFrame";
  RegisterClassA(&frameClass);
  WNDCLASSA documentClass = frameClass;
  documentClass.style = CS_OWNDC;
  documentClass.lpfnWndProc = DocumentProc;
  documentClass.hbrBackground = nullptr;  // documents erase through their ports
  documentClass.hIcon = ML_GetIcon(resources, TSRES_ICON_HOST);
  documentClass.lpszClassName = "TSDemoDocument";
  RegisterClassA(&documentClass);
  HWND frame = CreateWindowA("TSAPP3DemoFrame", "TSTOOLS demo host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                             0, 0, 820, 560, nullptr, CreateMenu(), instance, nullptr);
  CLIENTCREATESTRUCT clientCreate{nullptr, 1000};
  RECT area;
  GetClientRect(frame, &area);
  mdiClient = CreateWindowA("MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, area.right,
                            area.bottom, frame, nullptr, instance, &clientCreate);

  const unsigned char pictureTitle[] = "\x0D" "Picture \xA5 128";  // Mac Roman bullet
  const unsigned char shapesTitle[] = "\x0E" "Shapes & Words";
  WindowPtr picture = ML_NewWindow(instance, "TSDemoDocument", nullptr, 10, 10, 390, 330, mdiClient, pictureTitle,
                                   true, true, 0, kWindowInFront, kPictureDocument);
  WindowPtr shapes = ML_NewWindow(instance, "TSDemoDocument", nullptr, 400, 40, 790, 320, mdiClient, shapesTitle,
                                  true, true, 0, kWindowInFront, kShapesDocument);
  if (!picture || !shapes) {
    std::printf("the document windows could not be made\n");
    return 1;
  }
  RECT content;
  GetClientRect(shapes->port.window, &content);
  HWND bar = CreateWindowA("SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, content.right - 16, 0, 16,
                           content.bottom, shapes->port.window, nullptr, instance, nullptr);
  SetScrollPage(bar, 10);
  SetCtlMax(bar, 100);
  SetCtlValue(bar, 30);
  Pump(500);

  SelectWindow(picture);
  const Rect part{40, 40, 200, 160};
  ML_InvalRect(shapes, &part);
  RECT pending{};
  GetUpdateRect(shapes->port.window, &pending, FALSE);
  Str255 title{};
  WindowPtr front = ML_FrontWindow(mdiClient);
  GetWTitle(front, title);
  std::printf("documents:       2 made by ML_NewWindow, front \"%s\" (the one selected: %s)\n", Text(title).c_str(),
              front == picture ? "yes" : "no");
  GetWTitle(GetNextWindowPtr(front), title);
  std::printf("next window:     \"%s\"\n", Text(title).c_str());
  std::printf("invalidated:     local (40,40)-(200,160) of the shapes document; Windows will update "
              "(%ld,%ld)-(%ld,%ld), update pending %ld\n",
              pending.left, pending.top, pending.right, pending.bottom, shapes->port.updatePending);
  RECT barOnScreen;
  GetWindowRect(bar, &barOnScreen);
  WindowPtr found = nullptr;
  ML_FindWindow(nullptr, Point{static_cast<short>(barOnScreen.left + 8), static_cast<short>(barOnScreen.top + 40)},
                &found);
  std::printf("under the scroll bar: %s; its value %ld of %ld..%ld\n",
              found == shapes ? "the shapes document" : "something else", GetCtlValue(bar), GetCtlMin(bar),
              GetCtlMax(bar));
  Str255 message{};
  OSErr err = ML_GetIndString(resources, message, TSRES_STR_LIST_MESSAGES, 1, TSRES_TYPE_STR_LIST);
  std::printf("string list 128: \"%s\" (%d)\n", Text(message).c_str(), err);
  Pump(500);

  std::string path = std::string(TSTOOLS_DEMO_DIR) + "/demo.png";
  bool saved = SaveScreenshot(frame, path);
  std::printf("screenshot:      %s%s\n", path.c_str(), saved ? "" : " could not be written");
  saved = ShowMenus(frame, shapes->port.window) && saved;

  // The pictures document: imports, a recorded metafile and its conversion (pictures.png).
  const unsigned char picturesTitle[] = "\x12" "Imports & Metafile";
  WindowPtr pictures = ML_NewWindow(instance, "TSDemoDocument", nullptr, 120, 60, 660, 420, mdiClient,
                                    picturesTitle, true, true, 0, kWindowInFront, kPicturesDocument);
  if (pictures) {
    PreparePictures(&pictures->port);
    saved = ShowDocument(frame, pictures, "pictures.png") && saved;
    DisposePictures(&pictures->port);
    // Closed before the next document, which would otherwise share the screen with it.
    CloseDocument(pictures);
    pictures = nullptr;
  }

  // Sounds, the clipboard and the movie bridge (sound.png).
  const unsigned char soundTitle[] = "\x11" "Sound & Clipboard";
  WindowPtr sound = ML_NewWindow(instance, "TSDemoDocument", nullptr, 30, 20, 790, 480, mdiClient, soundTitle,
                                 true, true, 0, kWindowInFront, kSoundDocument);
  if (sound) {
    PrepareSoundAndClipboard(frame, sound->port.window, resources);
    saved = ShowDocument(frame, sound, "sound.png") && saved;
    DisposeSoundAndClipboard();
    CloseDocument(sound);
    sound = nullptr;
  }

  // The styled text engine's layout, measurers, words and case (text.png).
  const unsigned char textTitle[] = "\x0B" "Styled Text";
  WindowPtr styled = ML_NewWindow(instance, "TSDemoDocument", nullptr, 50, 30, 790, 500, mdiClient, textTitle,
                                  true, true, 0, kWindowInFront, kTextDocument);
  if (styled) {
    PrepareTextDocument(&styled->port, resources);
    saved = ShowDocument(frame, styled, "text.png") && saved;
    DisposeTextDocument();
  }

  // Application services: themed controls, the documents of the command line and a font
  // downloaded to font.ps (services.png), then a Standard File dialog (stdfile.png).
  if (styled) CloseDocument(styled), styled = nullptr;
  const unsigned char servicesTitle[] = "\x08" "Services";
  WinUiInit();
  servicesReport = ShowDocumentsAndFont(TSTOOLS_DEMO_DIR);
  std::printf("%s", servicesReport.c_str());
  WindowPtr services = ML_NewWindow(instance, "TSDemoDocument", nullptr, 60, 40, 720, 400, mdiClient, servicesTitle,
                                    true, true, 0, kWindowInFront, kServicesDocument);
  if (services) saved = ShowDocument(frame, services, "services.png") && saved;
  const std::string dialogShot = std::string(TSTOOLS_DEMO_DIR) + "/stdfile.png";
  bool dialog = CaptureStdFileDialog(frame, resources, dialogShot);
  std::printf("screenshot:      %s%s\n", dialogShot.c_str(), dialog ? "" : " could not be written");
  saved = dialog && saved;
  WinUiClose();

  // A styled text field typed into through the input queue (demo_text.png).
  const std::string fieldShot = std::string(TSTOOLS_DEMO_DIR) + "/demo_text.png";
  saved = RunTextEditDemo(resources, fieldShot) && saved;

  for (WindowPtr w : {picture, shapes, sound, styled, services}) {
    if (w) CloseDocument(w);
  }
  DestroyWindow(frame);
  QDrawCacheClose();
  FreeLibrary(resources);
  return saved ? 0 : 1;
}
