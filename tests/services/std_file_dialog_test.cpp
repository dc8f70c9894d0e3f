// Standard File dialogs through TSTOOLS.DLL, driven from a second thread as a user would. The
// Explorer-style dialog runs here; the older one in a copy of this program that Wine tells it
// runs on NT 3.51. A watchdog cancels any dialog a failed step leaves open.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "support/child_process.h"
#include "tstools/host_resource_ids.h"
#include "tstools/tstools.h"

using namespace tstools::test;

namespace {

const bool kExplorer = LOBYTE(GetVersion()) >= 4;
const DWORD kUiThread = GetCurrentThreadId();
SFReply Scribbled() { SFReply r; return std::memset(&r, 0xEE, sizeof r), r; }  // so that a cleared flag shows
struct HostHookState { std::atomic<HWND> hookWindow{nullptr}; std::atomic<int> checked{-1}, nestedGood{-1}; } g;

UINT_PTR __stdcall HostHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) g.hookWindow = window, ML_SFHook(window, message, wParam, lParam);  // chained
  if (message == WM_APP) g.checked = SFCheckNewFile(window);
  SFReply nested = Scribbled();
  if (message == WM_APP + 1) ML_StdFile(0, 0, 0, 0, 0, 0, 0, 0, 0, &nested, 0), g.nestedGood = nested.good;
  return message == WM_APP || message == WM_APP + 1;
}
Boolean __stdcall RejectBad(SFFilterParam *param) {
  return param->fileName[0] >= 3 && _strnicmp(reinterpret_cast<char *>(param->fileName + 1), "bad", 3) == 0;
}

// A visible dialog-class window of the UI thread that match accepts, within ten seconds.
HWND WaitForDialog(const std::function<bool(HWND)> &match) {
  for (int i = 0; i < 400; ++i, Sleep(25))
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;)
      if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == kUiThread && match(w)) return w;
  return nullptr;
}
void WaitFor(const std::atomic<int> &value) { for (int i = 0; i < 400 && value < 0; ++i) Sleep(25); }
std::string Text(HWND w) { char text[300] = {}; return GetWindowTextA(w, text, sizeof text), text; }
HWND NameField(HWND dialog) { return GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1); }
void Type(HWND dialog, const std::string &name) { SetWindowTextA(NameField(dialog), name.c_str()); }
bool Press(HWND window, int id) { return PostMessageA(window, WM_COMMAND, id, 0); }
// Runs ML_StdFile on this thread while script drives it; the watchdog cancels what is left open.
struct Session {
  HWND frame = CreateWindowA("STATIC", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, 0, 0, 0, 0);
  HMODULE resources = LoadLibraryA("TSHOSTRES.DLL");
  std::string dir;
  Session() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    dir = std::string(temp) + "stdfile_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char *name : {"REPORT", "old.txt", "good.txt", "bad.txt"})
      CloseHandle(CreateFileA((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  ~Session() {
    for (const char *name : {"REPORT", "REPORT.txt", "old.txt", "good.txt", "bad.txt"})
      DeleteFileA((dir + name).c_str());
    RemoveDirectoryA(dir.c_str()), DestroyWindow(frame), FreeLibrary(resources);
  }
  SFReply Run(short flags, short templateId, const std::function<void(HWND dialog)> &script,
              ConstStr255Param prompt = reinterpret_cast<ConstStr255Param>("\0"), SFFileFilterProc filter = nullptr,
              SFHookProc hook = HostHook) {
    g.hookWindow = nullptr;
    std::atomic<bool> done{false}, shown{false};
    std::thread driver([&] {
      HWND dialog = WaitForDialog([&](HWND w) { return GetWindow(w, GW_OWNER) == frame; });
      if ((shown = dialog != nullptr)) script(dialog);
    });
    std::thread watchdog([&] {
      for (int ticks = 0; !done; Sleep(50))  // thirty seconds, then every dialog of the test is closed
        for (HWND w = nullptr; ++ticks > 600 && (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;)
          if (GetWindowThreadProcessId(w, nullptr) == kUiThread) Press(w, IDCANCEL), Press(w, IDNO), Press(w, IDOK);
    });
    SFReply reply = Scribbled();
    ML_StdFile(flags, resources, frame, prompt, reinterpret_cast<ConstStr255Param>("\x06REPORT"), filter, 0,
               reinterpret_cast<const char *>(TSRES_FILTER_TEXT), hook, &reply, templateId);
    done = true, driver.join(), watchdog.join();
    EXPECT_TRUE(shown) << "no dialog";
    return reply;
  }
};

std::string Str(const unsigned char *s) { return std::string(reinterpret_cast<const char *>(s + 1), s[0]); }

TEST(StdFileDialog, EveryTemplateRunsWithItsTitleAndLeavesNothingBehind) {
  Session s;
  // 1234 is no template of the host's: the plain layout, titled by the prompt in both styles.
  const struct { short id; const char *explorerTitle; } cases[] = {
      {0, nullptr}, {4000, "Open"}, {4002, "Open or Create"}, {4005, "Save As"}, {5037, "Export a Copy"},
      {1234, "Pick a file"}};
  for (const auto &c : cases) {
    const SFReply reply = s.Run(c.id == 4005 ? sfSaveDialog : 0, c.id, [&](HWND dialog) {
      EXPECT_TRUE((!kExplorer && c.id != 1234) || !c.explorerTitle || Text(dialog) == c.explorerTitle) << c.id;
      EXPECT_EQ(g.hookWindow && GetDlgItem(g.hookWindow, TSRES_SFILE_NOTE), kExplorer && c.id >= 4000)
          << c.id << ": the older dialog takes the host's own template, and the module holds none";
      EXPECT_TRUE(GetPropA(s.frame, "SFProp")) << c.id;
      Press(dialog, IDCANCEL);
    }, reinterpret_cast<ConstStr255Param>(c.id == 1234 ? "\x0BPick a file" : ""));
    EXPECT_TRUE(!reply.good && !GetPropA(s.frame, "SFProp")) << c.id;
  }
  EXPECT_EQ(ML_SFHook(s.frame, WM_INITDIALOG, 0, 0) + SFCheckNewFile(s.frame), 0u) << "no dialog runs";

  Str255 out;
  ML_SFGetFilterText(s.resources, reinterpret_cast<const char *>(TSRES_FILTER_PICTURES), 3, out);
  EXPECT_EQ(Str(out), "All files");
}

TEST(StdFileDialog, SaveAppendsTheExtensionAndAsksBeforeReplacing) {
  Session s;
  g.nestedGood = g.checked = -1;
  int no = -1, yes = -1;
  // Held open without sharing: the replace check must still see that it exists.
  HANDLE locked = CreateFileA((s.dir + "old.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const SFReply reply = s.Run(sfSaveDialog, 4005, [&](HWND dialog) {
    PostMessageA(g.hookWindow, WM_APP + 1, 0, 0);  // ML_StdFile from inside the hook
    WaitFor(g.nestedGood);
    Type(dialog, s.dir + "old");
    for (int *answer : {&no, &yes}) {
      g.checked = -1;
      PostMessageA(g.hookWindow, WM_APP, 0, 0);
      HWND box = WaitForDialog([&](HWND w) { return GetWindow(w, GW_OWNER) == dialog; });
      EXPECT_EQ(Text(box).rfind("Save As", 0), 0u) << "the question's caption begins with the dialog's title";
      Press(box, answer == &no ? IDNO : IDYES);
      WaitFor(g.checked);
      *answer = g.checked;
    }
    EXPECT_EQ(Text(NameField(dialog)), s.dir + "old.txt");
    Type(dialog, s.dir + "REPORT");  // a file REPORT exists: still REPORT.txt
    Press(dialog, IDOK);
  });
  CloseHandle(locked);
  EXPECT_EQ(g.nestedGood * 100 + no * 10 + yes, 1) << "a second dialog refused at once; No gives 0, Yes 1";
  EXPECT_TRUE(reply.good == 1 && Str(reply.fName) == "REPORT.txt" && reply.directory == s.dir) << Str(reply.fName);
}

TEST(StdFileDialog, FilterRejectionThenAWorkingCall) {
  Session s;
  std::string listed;
  const SFReply rejected = s.Run(sfUseFileFilter, 4000, [&](HWND dialog) {
    if (!kExplorer) {  // the older dialog's list is filtered as it is filled
      Type(dialog, s.dir + "*.txt");
      Press(dialog, IDOK), Sleep(500);
      char item[MAX_PATH];
      for (LRESULT i = 0; SendDlgItemMessageA(dialog, lst1, LB_GETTEXT, i, LPARAM(item)) > 0; ++i) listed += item;
    }
    Type(dialog, s.dir + "bad.txt");
    Press(dialog, IDOK);
    HWND box = WaitForDialog([&](HWND w) { return GetWindow(w, GW_OWNER) == s.frame && Text(w) == "bad.txt"; });
    EXPECT_TRUE(box) << "the rejection message, captioned with the name";
    Press(box, IDOK);
  }, nullptr, RejectBad);
  EXPECT_FALSE(rejected.good);
  CharLowerA(&listed[0]);
  EXPECT_TRUE(kExplorer || (listed.find("good.txt") != std::string::npos && listed.find("bad") == std::string::npos))
      << listed;
  const SFReply chosen = s.Run(sfUseFileFilter, 4000, [&](HWND dialog) {
    Type(dialog, s.dir + "good.txt");
    Press(dialog, IDOK);
  }, nullptr, RejectBad, nullptr);
  EXPECT_TRUE(chosen.good && Str(chosen.fName) == "good.txt") << "a working call, without a host hook";
}

// The same tests on the older dialog, in a copy Wine runs as NT 3.51.
TEST(StdFileDialog, OlderDialogUnderNt351) {
  if (!kExplorer) GTEST_SKIP() << "this is the copy";
  const std::string name = "stdfile_nt351.exe",
                    copy = CopyProgramAs(ProgramDirectory() + "services_std_file_dialog_tests.exe", name);
  ASSERT_TRUE(SetWineAppDefault(name, "Version", "nt351") && !copy.empty());
  const ProgramResult result = RunProgram(copy, "--gtest_filter=StdFileDialog.*-*Nt351*", 180000);
  DeleteFileA(copy.c_str());
  EXPECT_NE(result.output.find("[  PASSED  ] 3 tests."), std::string::npos) << result.output;
}

}  // namespace
