// The demo's application services: the documents its own command line names, through the
// document list, and the NimbusRoman outline downloaded as printer text to font.ps, registered
// in atm.ini first when the font manager's settings do not list it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tstools/app_files.h"
#include "tstools/ps_fonts.h"

namespace {

FILE *fontOut = nullptr;
long piecesSent = 0, charsSent = 0;

void __stdcall WritePiece(unsigned char *piece, long) {
  std::fwrite(piece + 1, 1, piece[0], fontOut);
  ++piecesSent, charsSent += piece[0];
}

// Where the demo finds the outline: Debian's base-35 fonts, seen through Wine's Z: drive.
const char kFontKey[] = "NimbusRoman-Regular";
const char kFontFiles[] = "Z:\\usr\\share\\fonts\\X11\\Type1\\NimbusRoman-Regular.afm,"
                          "Z:\\usr\\share\\fonts\\X11\\Type1\\NimbusRoman-Regular.pfb";

}  // namespace

// Lines (Mac Roman) for the demo to draw: one per document, then the download's outcome.
std::string ShowDocumentsAndFont(const std::string &outDir) {
  std::string text;
  char line[600];
  // What WinMain would get: the command line after the program's own name.
  const char *commandLine = GetCommandLineA();
  bool quoted = *commandLine == '"';
  for (commandLine += quoted; *commandLine && (quoted ? *commandLine != '"' : *commandLine != ' '); ++commandLine) {
  }
  commandLine += *commandLine == '"';
  short print = 0, count = 0;
  ML_CountAppFiles(&print, &count, commandLine);
  std::snprintf(line, sizeof line, "%d document%s to %s\n", count, count == 1 ? "" : "s", print ? "print" : "open");
  text += line;
  for (short i = 1; i <= count; ++i) {
    AppFileRecord record;
    ML_GetAppFiles(i, &record, commandLine);
    if (record.resolved)
      std::snprintf(line, sizeof line, "%d: %.*s in %s\n", i, record.fileName[0], record.fileName + 1, record.directory);
    else
      std::snprintf(line, sizeof line, "%d: not found\n", i);
    text += line;
  }

  char dir[MAX_PATH];
  const std::string ini = std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH)) + "\\atm.ini";
  char value[8];
  if (!GetPrivateProfileStringA("Fonts", kFontKey, "", value, sizeof value, ini.c_str()))
    WritePrivateProfileStringA("Fonts", kFontKey, kFontFiles, ini.c_str());
  const std::string path = outDir + "\\font.ps";
  fontOut = std::fopen(path.c_str(), "wb");
  if (!fontOut) return text + "font.ps cannot be written\n";
  unsigned char name[256] = {sizeof kFontKey - 1};
  std::memcpy(name + 1, kFontKey, sizeof kFontKey - 1);
  piecesSent = charsSent = 0;
  const bool sent = DownloadFont(name, WritePiece);
  std::fclose(fontOut);
  if (sent)
    std::snprintf(line, sizeof line, "%s: %ld pieces, %ld characters to font.ps\n", kFontKey, piecesSent, charsSent);
  else
    std::snprintf(line, sizeof line, "%s: not available\n", kFontKey);
  return text + line;
}
