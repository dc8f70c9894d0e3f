// ML_StdFile: the common open or save dialog set up from the host's Standard File request, and
// its answer written back as a Toolbox reply record.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "font/charset.h"
#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "services/std_file.h"
#include "services/std_file_glue.h"
#include "tstools/host_resource_ids.h"

namespace tstools::services {

namespace dflags = dialog_flags;
static_assert(dflags::kOverwritePrompt == OFN_OVERWRITEPROMPT && dflags::kHideReadOnly == OFN_HIDEREADONLY &&
                  dflags::kEnableHook == OFN_ENABLEHOOK && dflags::kEnableTemplate == OFN_ENABLETEMPLATE &&
                  dflags::kPathMustExist == OFN_PATHMUSTEXIST && dflags::kFileMustExist == OFN_FILEMUSTEXIST &&
                  dflags::kCreatePrompt == OFN_CREATEPROMPT && dflags::kExplorer == OFN_EXPLORER,
              "dialog flags");
static_assert(kFilterNameSize == sizeof(Str255) && kReplySize == sizeof(SFReply), "record sizes");

StdFileState &StdFile() {
  static StdFileState state;
  return state;
}

DialogBlock *BlockFor(HWND window) {
  DialogBlock *block = StdFile().current;
  if (!block || !window) return nullptr;
  if (window == block->dialog || window == block->hookWindow) return block;
  if (block->owner && window == block->owner && GetPropA(window, kBlockProperty) == block) return block;
  return nullptr;
}

HINSTANCE ResourceModule(HINSTANCE module) { return module ? module : frameState.resourceInstance; }

FilterList LoadFilterList(HINSTANCE module, const char *filterList) {
  if (reinterpret_cast<uintptr_t>(filterList) >= 0x10000) return FilterList::FromHostText(filterList);
  HINSTANCE from = ResourceModule(module);
  HRSRC found = filterList && from ? FindResourceA(from, filterList, "FILTER_LIST") : nullptr;
  HGLOBAL loaded = found ? LoadResource(from, found) : nullptr;
  const void *data = loaded ? LockResource(loaded) : nullptr;
  return data ? FilterList::Parse(data, SizeofResource(from, found)) : FilterList();
}

void ToMac(uint8_t *text, size_t length) {
  MapTextInPlace(text, static_cast<long>(length), 1, frameState.defaultCodeSet);
}
void ToWindows(uint8_t *text, size_t length) {
  MapTextInPlace(text, static_cast<long>(length), 0, frameState.defaultCodeSet);
}
bool IsLead(uint8_t byte) { return IsDBCSLeadByte(byte) != 0; }

namespace {

// Copies text into a fixed field, cut to fit with its terminator.
template <size_t N>
void CopyField(char (&field)[N], const std::string &text) {
  const size_t n = text.size() < N ? text.size() : N - 1;
  std::memcpy(field, text.data(), n);
  field[n] = 0;
}

std::string LoadModuleString(HINSTANCE module, UINT id) {
  char text[256] = {};
  const int n = module ? LoadStringA(module, id, text, sizeof text) : 0;
  return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

std::string FromStr255(ConstStr255Param s) {
  return s ? std::string(reinterpret_cast<const char *>(s + 1), s[0]) : std::string();
}

// A template the module does not hold would make the dialog fail at once, every request
// reported as cancelled: the plain dialog is shown instead.
bool HasDialog(HINSTANCE module, int id) {
  return module && id > 0 && FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
}

// The whole life of one dialog: the block, the property and the current-dialog pointer go
// together whichever way the call ends.
class RunningDialog {
 public:
  explicit RunningDialog(HWND owner) {
    block_ = static_cast<DialogBlock *>(LocalAlloc(LPTR, sizeof(DialogBlock)));
    if (!block_) return;
    block_->owner = owner && IsWindow(owner) ? owner : nullptr;
    StdFile().current = block_;
    if (block_->owner) SetPropA(block_->owner, kBlockProperty, block_);
  }
  ~RunningDialog() { End(); }
  void End() {
    if (!block_) return;
    if (block_->owner && GetPropA(block_->owner, kBlockProperty) == block_) RemovePropA(block_->owner, kBlockProperty);
    if (StdFile().current == block_) StdFile().current = nullptr;
    LocalFree(block_);
    block_ = nullptr;
  }
  DialogBlock *get() const { return block_; }

 private:
  DialogBlock *block_ = nullptr;
};

bool FilterRejects(SFFileFilterProc filter, const std::string &windowsName) {
  Str255 name = {};
  BuildFilterName(name, windowsName, ToMac);
  SFFilterParam param = {};
  param.fileName = name;
  return filter(&param) != 0;
}

void RunStdFile(short flags, HINSTANCE module, HWND owner, ConstStr255Param prompt, ConstStr255Param defaultName,
                SFFileFilterProc fileFilter, short filterIndex, const char *filterList, SFHookProc hook,
                SFReply *reply, short templateId) {
  uint8_t *out = reinterpret_cast<uint8_t *>(reply);
  WriteCancelledReply(out);
  if (StdFile().current) return;  // one dialog at a time: a call from its hook gets no dialog

  // Everything that may fail to allocate comes before the dialog becomes current.
  const bool save = flags & sfSaveDialog;
  const bool explorer = platform.hasNewShell;
  const FilterList filters = LoadFilterList(module, filterList);
  const std::string filterText = filters.DialogText();
  const int index = InitialFilterIndex(filterIndex);
  const std::string promptText = FromStr255(prompt);
  const HINSTANCE resources = ResourceModule(module);
  const DialogTemplate chosen = TemplateFor(templateId, explorer);
  std::string title;
  if (explorer)
    title = promptText.empty() ? LoadModuleString(resources, static_cast<UINT>(templateId)) : promptText;
  else if (templateId != 0)
    title = promptText;
  const std::string initialName = save ? InitialFileName(defaultName, ToWindows) : std::string();
  const bool hasTemplate = explorer || templateId != 0;
  const bool templateFound = hasTemplate && HasDialog(resources, chosen.resource);

  RunningDialog running(owner);
  DialogBlock *block = running.get();
  if (!block) return;
  block->hostHook = hook;
  block->fileFilter = fileFilter;
  block->filters = &filters;
  block->explorer = explorer;
  CopyField(block->fileName, initialName);
  CopyField(block->title, title);
  CopyField(block->extension, filters.DefaultExtension(index));

  OPENFILENAMEA &r = block->request;
  // The 4.0 record of this build: its size differs between the 32- and 64-bit builds, and a
  // size the dialog does not know fails every request.
  r.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  r.hwndOwner = block->owner;
  r.hInstance = resources;
  r.lpstrFilter = filters.Count() ? filterText.c_str() : nullptr;
  r.nFilterIndex = static_cast<DWORD>(index);
  r.lpstrFile = block->fileName;
  r.nMaxFile = sizeof block->fileName;
  r.lpstrFileTitle = block->fileTitle;
  r.nMaxFileTitle = sizeof block->fileTitle;
  r.lpstrTitle = block->title[0] ? block->title : nullptr;
  r.Flags = block->requestedFlags = RequestFlags(save, explorer, templateFound, chosen);
  r.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(ML_SFHook);
  if (templateFound) r.lpTemplateName = MAKEINTRESOURCEA(chosen.resource);

  const bool chose = (save ? GetSaveFileNameA(&r) : GetOpenFileNameA(&r)) != FALSE;
  const std::string path(block->fileName, strnlen(block->fileName, sizeof block->fileName));
  std::string fileTitle(block->fileTitle, strnlen(block->fileTitle, sizeof block->fileTitle));
  running.End();
  if (!chose) return;

  if (fileTitle.empty()) {
    const size_t split = path.find_last_of("\\/:");
    fileTitle = split == std::string::npos ? path : path.substr(split + 1);
  }
  if ((flags & sfUseFileFilter) && fileFilter && FilterRejects(fileFilter, fileTitle)) {
    const std::string message = LoadModuleString(resources, TSRES_STR_FILE_REJECTED);
    MessageBoxA(owner && IsWindow(owner) ? owner : nullptr, message.c_str(), fileTitle.c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  WriteStdFileReply(out, path, IsLead, ToMac);
}

}  // namespace
}  // namespace tstools::services

using namespace tstools::services;

void __stdcall ML_StdFile(short flags, HINSTANCE module, HWND owner, ConstStr255Param prompt,
                          ConstStr255Param defaultName, SFFileFilterProc fileFilter, short filterIndex,
                          const char *filterList, SFHookProc hook, SFReply *reply, short templateId) {
  if (!reply) return;  // nowhere to answer: no dialog
  tstools::Guarded(tstools::Nothing, [&] {
    RunStdFile(flags, module, owner, prompt, defaultName, fileFilter, filterIndex, filterList, hook, reply,
               templateId);
  });
}

void __stdcall ML_SFGetFilterText(HINSTANCE module, const char *filterList, short index, StringPtr out) {
  if (!out) return;
  out[0] = 0;
  tstools::Guarded(tstools::Nothing, [&] { StoreStr255(out, LoadFilterList(module, filterList).MenuText(index)); });
}
