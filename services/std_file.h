// Portable pieces of the Standard File dialogs: which dialog template a request maps to, the
// reply record the host reads, and the caption of the replace question.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tstools::services {

using LeadTest = std::function<bool(uint8_t)>;
using MacConverter = std::function<void(uint8_t *text, size_t length)>;

struct DialogTemplate {
  int resource = 0;          // dialog template id; 0 for the plain system dialog
  bool offerCreate = false;  // an open dialog that offers to create a missing file
};

// The host's template argument (4002 asks for the create offer) for the Explorer-style
// dialog when explorerStyle is set, else for the older dialog, which takes it as its own id.
DialogTemplate TemplateFor(int requested, bool explorerStyle);

// The common dialog's request flags, by their documented values (the glue checks them
// against the platform headers).
namespace dialog_flags {
constexpr uint32_t kOverwritePrompt = 0x2, kHideReadOnly = 0x4, kEnableHook = 0x20, kEnableTemplate = 0x40,
                   kPathMustExist = 0x800, kFileMustExist = 0x1000, kCreatePrompt = 0x2000,
                   kExplorer = 0x80000;
}  // namespace dialog_flags

// Flags for a save or open request: saves need an existing directory and confirm overwriting,
// opens need an existing file unless the template offers to create one. hasTemplate: the
// dialog is built from a template of the host's or the library's.
uint32_t RequestFlags(bool save, bool explorerStyle, bool hasTemplate, const DialogTemplate &t);

// Top-left corner that centres a w x h dialog on the area (the screen or the owner's
// monitor), kept inside it when the dialog is larger.
void CentredOrigin(int areaLeft, int areaTop, int areaRight, int areaBottom, int w, int h, int &x, int &y);

// The name handed to the host's file filter (through the pointer of its parameter record): the
// candidate's Windows name as a Str255 in the Mac set, cut at 255 bytes.
constexpr size_t kFilterNameSize = 256;
void BuildFilterName(uint8_t *name, std::string_view windowsName, const MacConverter &toMac);

// The older dialog fills its file list from the directory itself, so the host's filter runs
// after the fill. Directories come listed as "[name]" and drives as "[-x-]": only plain file
// items go to the filter. Returns the indices to delete, highest first so that deleting them
// in order leaves the remaining indices valid.
bool IsFileItem(std::string_view item);
std::vector<size_t> RejectedFileItems(const std::vector<std::string> &items,
                                      const std::function<bool(std::string_view)> &rejects);

// The reply record: good flag at 0, Str255 name at 6, directory from 272 (NUL-terminated).
constexpr size_t kReplyNameOffset = 6;
constexpr size_t kReplyDirectoryOffset = 272;
constexpr size_t kReplyDirectoryChars = 260;
constexpr size_t kReplySize = kReplyDirectoryOffset + kReplyDirectoryChars;

// Fills the reply for a chosen full path: the directory is the path up to its last
// separator, the name the rest converted to the Mac set. A path whose name does not fit a
// Str255 or whose directory does not fit its field is reported as cancelled. Returns the
// good flag written.
bool WriteStdFileReply(uint8_t *reply, std::string_view chosenPath, const LeadTest &isLead,
                       const MacConverter &toMac);
// A cancelled (or refused) dialog writes only the cleared good flag.
inline void WriteCancelledReply(uint8_t *reply) { reply[0] = 0; }

// "Title - Save As" from the dialog title and the OK-area control's text, its mnemonic
// ampersands removed ("&&" keeps one), cut to fit a buffer of `limit` bytes with terminator.
std::string ReplaceCaption(std::string_view title, std::string_view controlText, size_t limit);

// A save dialog's initial file name: the host's Str255 default name copied into the dialog's
// own buffer and converted there (the host's string is never changed), at most 259 bytes.
std::string InitialFileName(const uint8_t *defaultName, const MacConverter &toWindows);

// What the replace check does with the name typed in a save dialog.
enum class TypedNameCheck {
  kRefuse,       // a wildcard pattern: never accepted as a file
  kAskReplace,   // the file exists: ask before replacing it
  kReportMissing // no such file
};
// exists tests the name by its attributes, so a locked or read-only file still exists.
TypedNameCheck CheckTypedName(const std::string &name, const std::function<bool(const std::string &)> &exists);

// The filter the dialog opens on: the host's, or the first when it passes 0.
inline int InitialFilterIndex(int requested) { return requested == 0 ? 1 : requested; }

}  // namespace tstools::services
