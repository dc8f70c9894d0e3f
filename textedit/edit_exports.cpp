// The text record's editing exports: keys, insertion and deletion, the clipboard, drops and
// URLs. Every change of the text goes through one atomic replacement, so a refused insertion
// leaves text, runs, lines and selection as they were.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "frame/export_guard.h"
#include "textedit/selection_rules.h"
#include "textedit/te_view.h"
#include "textedit/typing_rules.h"
#include "tstools/charset.h"
#include "tstools/font.h"
#include "tstools/grafport.h"
#include "tstools/memory.h"
#include "tstools/scrap.h"

using namespace tstools;
using namespace tstools::text;

namespace {

// An OSType holds its four characters in memory in reading order.
constexpr OSType Type(const char (&s)[5]) {
  return OSType(uint8_t(s[0])) | OSType(uint8_t(s[1])) << 8 | OSType(uint8_t(s[2])) << 16 | OSType(uint8_t(s[3])) << 24;
}

// A change of the text by `change` (a core edit given the environment and the layout host),
// the caret then at `caret`, the screen brought up to date from offset `from`.
template <typename Change>
int32_t Apply(QTERecord *r, int32_t from, int32_t caret, Change change) {
  TextCore &c = r->core;
  if (c.inBottomLimit) return kEditRefused;
  TextEnv env = EnvFor(r);
  RecordLayoutHost host(r);
  int32_t oldLines = c.lines.Count(), oldBottom = c.dest.bottom;
  HideSelection(r);
  int32_t result = kEditDone;
  try {
    result = change(env, &host);
  } catch (...) {
    ShowSelection(r);
    throw;
  }
  if (result == kEditDone) {
    // The caret follows the insertion whether or not anything is drawn, so that the next
    // key lands after this one.
    c.selStart = c.selEnd = std::clamp(caret, 0, c.Length());
    c.flags &= ~(kFlagSelection | kFlagMovingStart | kFlagCaretAtLineEnd);
    RedrawChanged(r, from, oldLines, oldBottom);
  }
  if (result != kEditRefused) {
    int32_t before = c.Length();
    FinishEdit(r, result);
    if (c.Length() != before) DrawArea(r, ViewOf(r));  // the bottom limit cut the text
  }
  if (result == kEditDone) FollowSelection(r);
  ShowSelection(r);
  return result;
}

// [a, b) replaced by n bytes, the caret after them.
int32_t Edit(QTERecord *r, int32_t a, int32_t b, const uint8_t *bytes, int32_t n, const InsertSource &source) {
  return Apply(r, a, a + (bytes && n > 0 ? n : 0), [&](const TextEnv &env, LayoutHost *host) {
    return ReplaceRange(r->core, env, host, a, b, bytes, n, source, kMaxTextLength);
  });
}

int32_t Remove(QTERecord *r, int32_t a, int32_t b) {
  if (a >= b) return kEditDone;
  return Edit(r, a, b, nullptr, 0, InsertSource{});
}

// Whether the font at the insertion point can show curly quotes (TrueType or ATM).
bool CurlyFont(const TextCore &c) {
  const TextStyle &style = c.nullStyleValid ? c.nullStyle : c.StyleAt(c.selStart > 0 ? c.selStart - 1 : 0);
  unsigned short type = 0;
  GetFontType(style.font, &type);
  return type == 2 || type == 3;
}

QuoteTable Quotes() {
  const uint8_t *q = textState.cases.quotes;
  QuoteTable t;
  t.straightSingle = q[0], t.leftSingle = q[1], t.rightSingle = q[2];
  t.straightDouble = q[3], t.leftDouble = q[4], t.rightDouble = q[5];
  return t;
}

uint8_t WinToMac(uint8_t c) {
  char b = static_cast<char>(c);
  MapText(&b, 1, 1, 0);
  return static_cast<uint8_t>(b);
}

bool CtrlOrAltDown(const MSG &m) {
  if (m.message == WM_SYSKEYDOWN) return true;
  WPARAM vk = m.wParam;
  return vk == VK_CONTROL || vk == VK_MENU || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_LMENU ||
         vk == VK_RMENU || (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000);
}

// Characters typed ahead, taken from the thread's queue into the batch (Mac encoded).
void CollectTyped(std::vector<uint8_t> &batch) {
  while (batch.size() < size_t(kTypingBatch)) {
    MSG m;
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return;
    switch (m.message) {
      case WM_CHAR:
        if (!JoinsTypingBatch(static_cast<uint32_t>(m.wParam))) return;
        PeekMessageA(&m, m.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
        batch.push_back(WinToMac(static_cast<uint8_t>(m.wParam)));
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        // Navigation and function keys, and shortcuts with Ctrl or Alt, are the host's: they
        // end the batch and stay queued.
        if (EndsTypingBatch(static_cast<uint32_t>(m.wParam)) || CtrlOrAltDown(m)) return;
        PeekMessageA(&m, m.hwnd, m.message, m.message, PM_REMOVE);
        TranslateMessage(&m);
        break;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_DEADCHAR:
      case WM_SYSDEADCHAR:
        PeekMessageA(&m, m.hwnd, m.message, m.message, PM_REMOVE);
        break;
      default:
        return;
    }
  }
}

void CommandKey(QTERecord *r, uint8_t key, uint16_t modifiers) {
  TextCore &c = r->core;
  TextEnv env = EnvFor(r);
  Selection sel{c.selStart, c.selEnd, (c.flags & kFlagMovingStart) != 0, (c.flags & kFlagCaretAtLineEnd) != 0};
  if (key == kClearKey) {
    Remove(r, 0, c.Length());
    return;
  }
  if (key == kBackspaceKey || key == kForwardDeleteKey) {
    Range d = DeleteRange(c, env, sel, key, modifiers);
    Remove(r, d.start, d.end);
    return;
  }
  ArrowResult a = ArrowKey(c, env, sel, key, modifiers);
  if (!a.changed) return;
  ChangeSelection(r, a.selection.start, a.selection.end, a.selection.movingStart, a.selection.caretAtLineEnd);
  c.nullStyleValid = false;
  if (c.flags & kFlagAutoView) {
    FollowSelection(r);
    CallScrollProc(r, false);
  }
}

// The scrap items of a caller's "styl" handle for n inserted bytes.
std::vector<StylElement> CallerStyles(Handle styl, int32_t n) {
  const uint8_t *d;
  size_t size;
  if (!styl || !HandleSpan(styl, &d, &size)) return {};
  return ReadStyl(d, size, n, true);
}

InsertSource SourceOf(const std::vector<StylElement> &styles) {
  return InsertSource{styles.empty() ? nullptr : &styles, nullptr};
}

// A clipboard item read into bytes: its length, or the Scrap Manager's error.
long ReadScrap(void *context, OSType type, std::vector<uint8_t> &out) {
  Handle h = nullptr;
  if (MemNewHandle(&h, 0, 0) != 0 || !h) return -108;
  long n = ML_GetScrap(context, h, type, nullptr);
  const uint8_t *d;
  size_t size;
  if (n > 0 && HandleSpan(h, &d, &size)) out.assign(d, d + std::min<size_t>(size, size_t(n)));
  MemDisposeHandle(h);
  return n;
}

}  // namespace

void WINAPI QTEKey(short key, short modifiers, Boolean batch, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    if (GrafPort *port = DrawPort(record)) ML_ObscureCursor(port->window);
    auto k = static_cast<uint8_t>(key);
    auto mods = static_cast<uint16_t>(modifiers);
    if (k == kBackspaceKey || k == kForwardDeleteKey || (k >= kClearKey && k <= kDownArrow)) {
      CommandKey(record, k, mods);
      return;
    }
    std::vector<uint8_t> typed{k};
    if (batch) CollectTyped(typed);
    if ((c.flags & kFlagSmartQuotes) && !(mods & kCommandKey) && CurlyFont(c)) {
      QuoteTable quotes = Quotes();
      int previous = c.selStart > 0 ? c.Bytes()[c.selStart - 1] : -1;
      for (uint8_t &ch : typed) {
        ch = SmartQuote(ch, previous, quotes);
        previous = ch;
      }
    }
    if (std::find(typed.begin(), typed.end(), uint8_t('\r')) != typed.end()) c.flags &= ~kFlagCaretAtLineEnd;
    Edit(record, c.selStart, c.selEnd, typed.data(), int32_t(typed.size()), InsertSource{});
  });
}

void WINAPI QTEInsert(const char *text, long length, Handle stylHandle, Boolean replaceAll, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    int32_t n = text && length > 0 ? int32_t(std::min<long>(length, INT32_MAX / 2)) : 0;
    int32_t a = replaceAll ? 0 : c.selStart, b = replaceAll ? c.Length() : c.selEnd;
    std::vector<StylElement> styles = CallerStyles(stylHandle, n);
    if (n > 0 || a < b) Edit(record, a, b, reinterpret_cast<const uint8_t *>(text), n, SourceOf(styles));
  });
}

void WINAPI QTEDelete(Boolean all, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    if (all) {
      Remove(record, 0, c.Length());
    } else {
      Remove(record, c.selStart, c.selEnd);
    }
  });
}

Boolean WINAPI QTECopy(QTERecord *record) {
  if (!record) return 0;
  return Guarded(Boolean(0), [&]() -> Boolean {
    TextCore &c = record->core;
    // Copying nothing keeps what the clipboard holds.
    if (c.selStart >= c.selEnd) return 1;
    void *context = textState.scrapContext;
    if (ML_ZeroScrap(context) != 0) return 0;
    if (ML_PutScrapTEXT(context, c.selEnd - c.selStart, c.Bytes() + c.selStart) != 0) return 0;
    std::vector<uint8_t> styl = WriteStyl(CopyStyles(c, EnvFor(record), c.selStart, c.selEnd));
    if (ML_PutScrap(context, long(styl.size()), Type("styl"), styl.data()) != 0) return 0;
    uint16_t x = kXStyValue;
    return ML_PutScrap(context, 2, Type("xSTY"), &x) == 0;
  });
}

Boolean WINAPI QTECut(QTERecord *record) {
  if (!record) return 0;
  if (!QTECopy(record)) return 0;
  QTEDelete(0, record);
  return 1;
}

void WINAPI QTEStylPaste(const QTETextStyle *style, Boolean useStyles, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    void *context = textState.scrapContext;
    std::vector<uint8_t> text;
    long n = ReadScrap(context, Type("TEXT"), text);
    if (n == noTypeErr) {
      Remove(record, c.selStart, c.selEnd);
      return;
    }
    if (n < 0) return;  // the clipboard is busy or unreadable: nothing changes
    std::vector<StylElement> styles;
    if (useStyles) {
      std::vector<uint8_t> styl, tsst;
      if (ReadScrap(context, Type("styl"), styl) > 0) {
        bool extended = ML_TestScrap(context, Type("xSTY")) != 0;
        styles = ReadStyl(styl.data(), styl.size(), int32_t(text.size()), extended);
        if (style && ReadScrap(context, Type("TSST"), tsst) > 0) {
          uint16_t mode = TsstMode(tsst.data(), tsst.size());
          if (mode) ApplyTsst(styles, FromPublic(*style), mode);
        }
      }
    }
    Edit(record, c.selStart, c.selEnd, text.data(), int32_t(text.size()), SourceOf(styles));
  });
}

Boolean WINAPI QTECopyData(QTERecord *record, long start, long end, Handle textHandle, Handle stylHandle,
                           Handle paraScrapHandle) {
  if (!record) return 0;
  return Guarded(Boolean(0), [&]() -> Boolean {
    TextCore &c = record->core;
    int32_t a = std::clamp<long>(start, 0, c.Length()), b = std::clamp<long>(end, 0, c.Length());
    if (a > b) std::swap(a, b);
    bool ok = true;
    if (textHandle) ok = SetHandleBytes(textHandle, std::vector<uint8_t>(c.Bytes() + a, c.Bytes() + b)) && ok;
    if (stylHandle) ok = SetHandleBytes(stylHandle, WriteStyl(CopyStyles(c, EnvFor(record), a, b))) && ok;
    if (paraScrapHandle) ok = SetHandleBytes(paraScrapHandle, WriteParaScrap(CopyParas(c, a, b))) && ok;
    return ok;
  });
}

void WINAPI QTEDrop(const char *text, long length, Handle stylHandle, Boolean drawFlag, Boolean move,
                    QTERecord *record) {
  if (!record || record->dragOffset < 0) return;
  TextCore &c = record->core;
  int32_t drop = record->dragOffset;
  HideDragCaret(record);
  record->dragOffset = -1;
  c.flags &= ~kFlagDragInside;
  uint32_t drawing = c.flags & kFlagDrawing;
  c.flags = drawFlag ? c.flags | kFlagDrawing : c.flags & ~kFlagDrawing;
  Guarded(Nothing, [&] {
    int32_t n = text && length > 0 ? int32_t(std::min<long>(length, INT32_MAX / 2)) : 0;
    bool moving = move && c.selStart < c.selEnd;
    std::optional<int32_t> at = DropOffset(drop, c.selStart, c.selEnd, moving, c.Length());
    if (!at) return;  // onto its own selection: nothing moves
    std::vector<StylElement> styles = CallerStyles(stylHandle, n);
    auto bytes = reinterpret_cast<const uint8_t *>(text);
    if (moving) {
      // Removal and insertion in one step: a failed insertion must not lose the moved text.
      int32_t s = c.selStart, e = c.selEnd, to = *at;
      Apply(record, std::min(s, to), to + n, [&](const TextEnv &env, LayoutHost *host) {
        return MoveRange(c, env, host, s, e, to, bytes, n, SourceOf(styles), kMaxTextLength);
      });
      return;
    }
    ChangeSelection(record, *at, *at, false, false);
    if (n > 0) Edit(record, *at, *at, bytes, n, SourceOf(styles));
  });
  c.flags = (c.flags & ~kFlagDrawing) | drawing;
}

Boolean WINAPI QTEGetURLText(QTERecord *record, Handle handle) {
  if (!record) return 0;
  return Guarded(Boolean(0), [&]() -> Boolean {
    TextCore &c = record->core;
    std::optional<UrlSpan> url = FindUrl(c.Bytes(), c.Length(), c.selStart, c.selEnd);
    if (!url) return 0;
    if (!handle) return 1;
    return SetHandleBytes(handle, std::vector<uint8_t>(c.Bytes() + url->start, c.Bytes() + url->end));
  });
}
