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

struct HostHookState {
  std::atomic<HWND> hookWindow{nullptr};
  std::atomic<int> checked{-1}, nestedGood{-1};
} g;

UINT_PTR __stdcall HostHook(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) g.hookWindow = window;
  if (message == WM_APP) g.checked = SFCheckNewFile(window);
  if (message == WM_APP + 1) {
    SFReply nested;
    std::memset(&nested, 0xFF, sizeof nested);
    ML_StdFile(0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &nested, 0);
    g.nestedGood = nested.good;
  }
  return message == WM_APP || message == WM_APP + 1;
}

Boolean __stdcall RejectBad(SFFilterParam *param) {
  return param->fileName[0] >= 3 && _strnicmp(reinterpret_cast<char *>(param->fileName + 1), "bad", 3) == 0;
}

// A visible dialog-class window of the UI thread that match accepts, within ten seconds.
HWND WaitForDialog(const std::function<bool(HWND)> &match) {
  struct Search { const std::function<bool(HWND)> *match; HWND found; } search{&match, nullptr};
  for (int i = 0; i < 400 && !search.found; ++i) {
    EnumThreadWindows(kUiThread, [](HWND w, LPARAM p) -> BOOL {
      auto *s = reinterpret_cast<Search *>(p);
      char cls[16] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (IsWindowVisible(w) && !std::strcmp(cls, "#32770") && (*s->match)(w)) s->found = w;
      return !s->found;
    }, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(25);
  }
  return search.found;
}
HWND OwnedBy(HWND owner) { return WaitForDialog([=](HWND w) { return GetWindow(w, GW_OWNER) == owner; }); }
bool WaitFor(const std::atomic<int> &value) {
  for (int i = 0; i < 400 && value < 0; ++i) Sleep(25);
  return value >= 0;
}
std::string Text(HWND w) {
  char text[300] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}
HWND NameField(HWND dialog) { return GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1); }
void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }
void Answer(HWND box, int id) { if (box) Press(box, id); }

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
    for (const char *name : {"REPORT", "old.txt", "good.txt", "bad.txt"}) {
      HANDLE f = CreateFileA((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(f);
    }
  }
  ~Session() {
    for (const char *name : {"REPORT", "REPORT.txt", "old.txt", "good.txt", "bad.txt"}) DeleteFileA((dir + name).c_str());
    RemoveDirectoryA(dir.c_str());
    DestroyWindow(frame);
    FreeLibrary(resources);
  }
  SFReply Run(short flags, short templateId, const std::function<void(HWND dialog)> &script,
              ConstStr255Param prompt = reinterpret_cast<ConstStr255Param>("\0"), SFFileFilterProc filter = nullptr,
              SFHookProc hook = HostHook) {
    g.hookWindow = nullptr;
    std::atomic<bool> done{false};
    std::thread driver([&] {
      HWND dialog = WaitForDialog([&](HWND w) { return GetWindow(w, GW_OWNER) == frame; });
      if (dialog) script(dialog);
    });
    std::thread watchdog([&] {
      for (int i = 0; i < 600 && !done; ++i) Sleep(50);
      while (!done) {
        EnumThreadWindows(kUiThread, [](HWND w, LPARAM) {
          for (int id : {IDCANCEL, IDNO, IDOK}) PostMessageA(w, WM_COMMAND, id, 0);
          return TRUE;
        }, 0);
        Sleep(500);
      }
    });
    SFReply reply;
    std::memset(&reply, 0xEE, sizeof reply);
    ML_StdFile(flags, resources, frame, prompt, reinterpret_cast<ConstStr255Param>("\x06REPORT"), filter, 0,
               reinterpret_cast<const char *>(TSRES_FILTER_TEXT), hook, &reply, templateId);
    done = true;
    driver.join();
    watchdog.join();
    return reply;
  }
};

std::string Name(const SFReply &r) { return std::string(reinterpret_cast<const char *>(r.fName + 1), r.fName[0]); }

TEST(StdFileDialog, EveryTemplateRunsWithItsTitleAndLeavesNothingBehind) {
  Session s;
  const struct { short id; const char *explorerTitle; bool note; } cases[] = {
      {0, nullptr, false}, {4000, "Open", true}, {4002, "Open or Create", true}, {4005, "Save As", true},
      {5037, "Export a Copy", true}, {1234, nullptr, false}};
  for (const auto &c : cases) {
    std::string title;
    bool property = false, note = false;
    const SFReply reply = s.Run(c.id == 4005 ? sfSaveDialog : 0, c.id, [&](HWND dialog) {
      title = Text(dialog);
      property = GetPropA(s.frame, "SFProp") != nullptr;
      note = g.hookWindow && GetDlgItem(g.hookWindow, TSRES_SFILE_NOTE);
      Press(dialog, IDCANCEL);
    });
    EXPECT_TRUE(property && !reply.good) << c.id;
    EXPECT_FALSE(GetPropA(s.frame, "SFProp")) << c.id;
    if (kExplorer && c.explorerTitle) {
      EXPECT_EQ(title, c.explorerTitle) << c.id;
    }
    EXPECT_EQ(note, kExplorer && c.note) << c.id << ": the older dialog takes the host's own template, none here";
  }
  const SFReply prompted = s.Run(0, 4000, [&](HWND dialog) {
    EXPECT_EQ(Text(dialog), "Pick a file");
    Press(dialog, IDCANCEL);
  }, reinterpret_cast<ConstStr255Param>("\x0BPick a file"), nullptr, nullptr);
  EXPECT_FALSE(prompted.good) << "without a host hook";
  EXPECT_EQ(ML_SFHook(s.frame, WM_INITDIALOG, 0, 0) + SFCheckNewFile(s.frame), 0u) << "no dialog runs";
}

TEST(StdFileDialog, SaveAppendsTheExtensionAndAsksBeforeReplacing) {
  Session s;
  g.nestedGood = g.checked = -1;
  int no = -1, yes = -1;
  // Held open without sharing: the replace check must still see that it exists.
  HANDLE locked = CreateFileA((s.dir + "old.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string typedAfterCheck, caption;
  const SFReply reply = s.Run(sfSaveDialog, 4005, [&](HWND dialog) {
    HWND hook = g.hookWindow;
    PostMessageA(hook, WM_APP + 1, 0, 0);  // ML_StdFile from inside the hook
    WaitFor(g.nestedGood);
    SetWindowTextA(NameField(dialog), (s.dir + "old").c_str());
    for (int *answer : {&no, &yes}) {
      g.checked = -1;
      PostMessageA(hook, WM_APP, 0, 0);
      HWND box = OwnedBy(dialog);
      if (caption.empty()) caption = Text(box);
      Answer(box, answer == &no ? IDNO : IDYES);
      WaitFor(g.checked);
      *answer = g.checked;
    }
    typedAfterCheck = Text(NameField(dialog));
    SetWindowTextA(NameField(dialog), (s.dir + "REPORT").c_str());  // a file REPORT exists: still REPORT.txt
    Press(dialog, IDOK);
  });
  CloseHandle(locked);
  EXPECT_EQ(g.nestedGood, 0) << "a second dialog is refused at once";
  EXPECT_EQ(no * 10 + yes, 1) << "No gives 0, Yes 1";
  EXPECT_EQ(typedAfterCheck, s.dir + "old.txt");
  EXPECT_EQ(caption.rfind("Save As", 0), 0u) << "the dialog's title: " << caption;
  ASSERT_EQ(reply.good, 1);
  EXPECT_EQ(Name(reply), "REPORT.txt");
  EXPECT_EQ(std::string(reply.directory), s.dir);
  EXPECT_EQ(reply.zero1 * 100 + reply.one270 * 10 + reply.zero271, 10);
}

TEST(StdFileDialog, FilterRejectionThenAWorkingCall) {
  Session s;
  std::string rejectedCaption, listed;
  const SFReply rejected = s.Run(sfUseFileFilter, 4000, [&](HWND dialog) {
    if (!kExplorer) {  // the older dialog's list is filtered as it is filled
      SetWindowTextA(NameField(dialog), (s.dir + "*.txt").c_str());
      Press(dialog, IDOK);
      Sleep(500);
      HWND list = GetDlgItem(dialog, lst1);
      for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
        char item[MAX_PATH] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        listed += std::string(item) + ";";
      }
    }
    SetWindowTextA(NameField(dialog), (s.dir + "bad.txt").c_str());
    Press(dialog, IDOK);
    HWND box = WaitForDialog([&](HWND w) { return GetWindow(w, GW_OWNER) == s.frame && Text(w) == "bad.txt"; });
    rejectedCaption = Text(box);
    Answer(box, IDOK);
  }, nullptr, RejectBad);
  EXPECT_FALSE(rejected.good);
  EXPECT_EQ(rejectedCaption, "bad.txt");
  if (!kExplorer) {
    EXPECT_NE(CharLowerA(&listed[0]), nullptr);
    EXPECT_TRUE(listed.find("good.txt") != std::string::npos && listed.find("bad.txt") == std::string::npos) << listed;
  }
  const SFReply chosen = s.Run(sfUseFileFilter, 4000, [&](HWND dialog) {
    SetWindowTextA(NameField(dialog), (s.dir + "good.txt").c_str());
    Press(dialog, IDOK);
  }, nullptr, RejectBad);
  EXPECT_TRUE(chosen.good && Name(chosen) == "good.txt") << Name(chosen);
}

TEST(StdFileDialog, FilterTextFromTheHostsList) {
  HMODULE resources = LoadLibraryA("TSHOSTRES.DLL");
  Str255 out;
  const auto text = [&](const char *list, short index) {
    std::memset(out, 0xEE, sizeof out);
    ML_SFGetFilterText(resources, list, index, out);
    return std::string(reinterpret_cast<char *>(out + 1), out[0]);
  };
  const char *pictures = reinterpret_cast<const char *>(TSRES_FILTER_PICTURES);
  EXPECT_EQ(text(pictures, 1) + "|" + text(pictures, 3) + "|" + text(pictures, 4) + "|" + text(pictures, 0),
            "Pictures|All files||");
  EXPECT_EQ(text(reinterpret_cast<const char *>(99), 1), "") << "no such resource";
  EXPECT_EQ(text("(*.c)\0*.c\0Text files (*.txt)\0*.txt\0\0", 1) + "|" + text("(*.c)\0*.c\0T (*.t)\0*.t\0\0", 2), "|T");
  FreeLibrary(resources);
}

// The same tests on the older dialog, in a copy Wine runs as NT 3.51.
TEST(StdFileDialog, OlderDialogUnderNt351) {
  if (!kExplorer) GTEST_SKIP() << "this is the copy";
  const std::string name = "stdfile_nt351.exe";
  const std::string copy = CopyProgramAs(ProgramDirectory() + "services_std_file_dialog_tests.exe", name);
  ASSERT_TRUE(SetWineAppDefault(name, "Version", "nt351") && !copy.empty());
  const ProgramResult result = RunProgram(copy, "--gtest_filter=StdFileDialog.*-*Nt351*", 180000);
  DeleteFileA(copy.c_str());
  EXPECT_TRUE(result.exitCode == 0 && !result.timedOut && result.output.find("[  PASSED  ] 4") != std::string::npos)
      << result.output;
}

}  // namespace
