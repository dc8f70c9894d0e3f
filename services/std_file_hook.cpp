// ML_SFHook, the hook of every Standard File dialog, and SFCheckNewFile, the replace check a
// host's save dialog asks for.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <string>
#include <vector>

#include "frame/export_guard.h"
#include "services/std_file.h"
#include "services/std_file_glue.h"

namespace tstools::services {

namespace {

constexpr size_t kNameChars = 260;
constexpr size_t kMessageChars = 1024;
constexpr int kCommonReplaceQuestion = 257, kCommonNotFound = 393;  // the common dialog library's strings
constexpr int kOkAreaControl = 1035;

HWND NameField(const DialogBlock &block) {
  HWND field = block.explorer ? GetDlgItem(block.dialog, cmb13) : nullptr;
  return field ? field : GetDlgItem(block.dialog, edt1);
}

std::string WindowText(HWND window, size_t limit = kNameChars) {
  std::vector<char> text(limit, '\0');
  const int n = window ? GetWindowTextA(window, text.data(), static_cast<int>(limit)) : 0;
  return std::string(text.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

bool IsAbsolute(const std::string &name) {
  return (name.size() >= 2 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
}

// The typed name as a path: the Explorer dialog resolves it against its folder; the older one
// works in the current directory.
std::string PathOf(const DialogBlock &block, const std::string &name) {
  if (!block.explorer || IsAbsolute(name)) return name;
  char folder[kNameChars] = {};
  const LRESULT n = SendMessageA(block.dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
  if (n <= 0 || static_cast<size_t>(n) > sizeof folder || !folder[0]) return name;
  std::string path(folder);
  if (path.back() != '\\') path.push_back('\\');
  return path + name;
}

DWORD Attributes(const std::string &path) { return GetFileAttributesA(path.c_str()); }

std::string CommonString(int id, const char *fallback) {
  char text[512] = {};
  HMODULE library = GetModuleHandleA("comdlg32.dll");
  const int n = library ? LoadStringA(library, static_cast<UINT>(id), text, sizeof text) : 0;
  return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string(fallback);
}

// The library's message with the name put where its "%s" is; the text is never used as a
// format, and the result is bounded.
std::string WithName(std::string message, const std::string &name) {
  const size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, name);
  if (message.size() >= kMessageChars) message.resize(kMessageChars - 1);
  return message;
}

void Centre(const DialogBlock &block) {
  RECT dialog;
  if (!GetWindowRect(block.dialog, &dialog)) return;
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetSystemMetrics(SM_CMONITORS) > 1) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HWND nearest = block.owner ? block.owner : block.dialog;
    if (GetMonitorInfoA(MonitorFromWindow(nearest, MONITOR_DEFAULTTONEAREST), &info)) area = info.rcMonitor;
  }
  int x = 0, y = 0;
  CentredOrigin(area.left, area.top, area.right, area.bottom, dialog.right - dialog.left, dialog.bottom - dialog.top,
                x, y);
  SetWindowPos(block.dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The older dialog fills its file list by LB_DIR: the host's filter runs over the fill.
LRESULT CALLBACK FileListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogBlock *block = StdFile().current;
  if (!block || block->fileList != list || !block->fileListProc)
    return DefWindowProcW(list, message, wParam, lParam);
  const LRESULT result = CallWindowProcW(block->fileListProc, list, message, wParam, lParam);
  if (message != LB_DIR || !block->fileFilter) return result;
  Guarded(Nothing, [&] {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
      std::vector<char> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
      if (length > 0) SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      items.emplace_back(text.data());
    }
    const auto rejects = [&](std::string_view name) {
      Str255 mac = {};
      BuildFilterName(mac, name, ToMac);
      SFFilterParam param = {};
      param.fileName = mac;
      return block->fileFilter(&param) != 0;
    };
    for (size_t i : RejectedFileItems(items, rejects)) SendMessageA(list, LB_DELETESTRING, i, 0);
  });
  return result;
}

// The Explorer dialog handles OK itself, out of the hook's sight: the extension goes on first.
LRESULT CALLBACK ExplorerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogBlock *block = StdFile().current;
  if (!block || block->dialog != dialog || !block->dialogProc) return DefWindowProcA(dialog, message, wParam, lParam);
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) ApplyDefaultExtension(*block);
  return CallWindowProcA(block->dialogProc, dialog, message, wParam, lParam);
}

void Initialise(DialogBlock &block, HWND hookWindow) {
  block.hookWindow = hookWindow;
  block.dialog = block.explorer ? GetParent(hookWindow) : hookWindow;
  if (!block.dialog) block.dialog = hookWindow;
  Centre(block);
  UpdateDefaultExtension(block);
  if (block.explorer) {
    block.dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(block.dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ExplorerDialogProc)));
  } else if (block.fileFilter && (block.fileList = GetDlgItem(block.dialog, lst1)) != nullptr) {
    block.fileListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(block.fileList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FileListProc)));
    // The list was filled before the hook could subclass it: fill it again through the filter.
    char pattern[kNameChars] = {};
    GetDlgItemTextA(block.dialog, edt1, pattern, sizeof pattern);
    if (std::string(pattern).find_first_of("*?") != std::string::npos) {
      SendMessageA(block.fileList, LB_RESETCONTENT, 0, 0);
      SendMessageA(block.fileList, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(pattern));
    }
  }
  // A wildcard in the name field is a filter to apply, not a name.
  if (std::string(block.fileName).find_first_of("*?") != std::string::npos)
    PostMessageA(block.dialog, WM_COMMAND, IDOK, 0);
}

}  // namespace

void UpdateDefaultExtension(DialogBlock &block) {
  const std::string ext = block.filters ? block.filters->DefaultExtension(static_cast<int>(block.request.nFilterIndex))
                                        : std::string();
  const size_t n = ext.size() < sizeof block.extension ? ext.size() : 0;
  ext.copy(block.extension, n);
  block.extension[n] = 0;
  if (block.explorer && block.dialog)
    SendMessageA(block.dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(block.extension));
}

void ApplyDefaultExtension(DialogBlock &block) {
  if (!block.extension[0]) return;
  HWND field = NameField(block);
  std::string name = WindowText(field);
  const DWORD attributes = name.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(PathOf(block, name));
  const bool directory = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (AppendDefaultExtension(name, block.extension, directory, IsLead)) SetWindowTextA(field, name.c_str());
}

}  // namespace tstools::services

using namespace tstools::services;

namespace {

UINT_PTR CallHostHook(DialogBlock &block, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  block.inHostHook = TRUE;
  const UINT_PTR answer = block.hostHook(dialog, message, wParam, lParam);
  if (StdFile().current == &block) block.inHostHook = FALSE;
  return answer;
}

}  // namespace

UINT_PTR __stdcall ML_SFHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogBlock *block = StdFile().current;
  // A host's hook chaining to this one: the library's steps run around its call already.
  if (!block || !dialog || block->inHostHook) return 0;
  return tstools::Guarded(UINT_PTR(0), [&]() -> UINT_PTR {
    if (message == WM_INITDIALOG) {
      Initialise(*block, dialog);
      return block->hostHook ? CallHostHook(*block, dialog, message, wParam, lParam) : TRUE;
    }
    if (block->hostHook) {
      if (const UINT_PTR answer = CallHostHook(*block, dialog, message, wParam, lParam)) return answer;
      if (StdFile().current != block) return 0;  // the host's hook ended the dialog
    }
    if (message == WM_NOTIFY && block->explorer && lParam) {
      const UINT code = reinterpret_cast<const NMHDR *>(lParam)->code;
      if (code == CDN_INITDONE) Centre(*block);  // the dialog has its final size only now
      if (code == CDN_TYPECHANGE) UpdateDefaultExtension(*block);
    } else if (message == WM_COMMAND && !block->explorer) {
      if (LOWORD(wParam) == IDOK) ApplyDefaultExtension(*block);
      if (LOWORD(wParam) == cmb1 && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT at = SendDlgItemMessageA(block->dialog, cmb1, CB_GETCURSEL, 0, 0);
        if (at >= 0) block->request.nFilterIndex = static_cast<DWORD>(at + 1);
        UpdateDefaultExtension(*block);
      }
    }
    return 0;
  });
}

short __stdcall SFCheckNewFile(HWND dialog) {
  DialogBlock *block = BlockFor(dialog);
  if (!block || !block->dialog) return 0;
  return tstools::Guarded(short(0), [&]() -> short {
    ApplyDefaultExtension(*block);
    const std::string name = WindowText(NameField(*block));
    const std::string path = PathOf(*block, name);
    const auto exists = [](const std::string &p) {
      // By attributes: a file locked by another program cannot be opened but still exists.
      const DWORD attributes = Attributes(p);
      return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    switch (CheckTypedName(path, exists)) {
      case TypedNameCheck::kRefuse:
        return 0;
      case TypedNameCheck::kReportMissing:
        MessageBoxA(block->dialog, WithName(CommonString(kCommonNotFound, "%s\nFile not found."), name).c_str(),
                    WindowText(block->dialog, 256).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
      case TypedNameCheck::kAskReplace:
        break;
    }
    const std::string title = WindowText(block->dialog, 256);
    const std::string control = WindowText(GetDlgItem(block->dialog, kOkAreaControl), 256);
    const std::string caption = control.empty() ? title : ReplaceCaption(title, control, 256);
    const std::string question =
        WithName(CommonString(kCommonReplaceQuestion, "%s already exists.\nDo you want to replace it?"), name);
    const int answer =
        MessageBoxA(block->dialog, question.c_str(), caption.c_str(), MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION);
    if (StdFile().current != block) return 0;
    block->replaceConfirmed = answer == IDYES;
    if (answer != IDYES) {
      block->request.Flags |= block->requestedFlags & OFN_FILEMUSTEXIST;
      return 0;
    }
    block->request.Flags &= ~static_cast<DWORD>(OFN_FILEMUSTEXIST);  // OK may now take a name to be created
    return 1;
  });
}
