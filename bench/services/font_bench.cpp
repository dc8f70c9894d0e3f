// Sending a 133 KB Type 1 outline as printer pieces: the portable core on bytes in memory and,
// on Windows, DownloadFont from atm.ini to the host's routine next to one plain read of the
// same file. scripts/bench.sh times t1ascii, the same conversion as a process, beside it.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/support/bench.h"
#include "services/font_file.h"

#ifdef _WIN32
#include <windows.h>

#include "tstools/ps_fonts.h"
#endif

namespace {

size_t sent = 0;

struct CountingSink : tstools::services::PieceSink {
  void Piece(unsigned char *piece) override { sent += piece[0]; }
};

#ifdef _WIN32
void __stdcall CountPiece(unsigned char *piece, long) { sent += piece[0]; }

std::string WinePath(std::string unix) {
  for (char &c : unix) c = c == '/' ? '\\' : c;
  return "Z:" + unix;
}
#endif

}  // namespace

int main() {
  using tstools::bench::Measure;
  std::ifstream in(TSTOOLS_BENCH_PFB, std::ios::binary);
  const std::vector<uint8_t> font{std::istreambuf_iterator<char>(in), {}};
  if (font.empty()) {
    std::printf("services_bench: %s not found\n", TSTOOLS_BENCH_PFB);
    return 0;
  }
  std::printf("NimbusRoman-Regular.pfb, %zu bytes\n", font.size());
  CountingSink sink;
  Measure("SendFontFile core, bytes in memory (per font)", [&] {
    tstools::services::SendFontFile(font.data(), font.size(), sink);
  });
#ifdef _WIN32
  char dir[MAX_PATH];
  const std::string ini = std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH)) + "\\atm.ini";
  const std::string path = WinePath(TSTOOLS_BENCH_PFB);
  WritePrivateProfileStringA("Fonts", "TsBench NimbusRoman", ("x.afm," + path).c_str(), ini.c_str());
  const unsigned char name[] = "\x13TsBench NimbusRoman";
  const double download = Measure("DownloadFont, atm.ini to the host's routine (per font)", [&] {
    if (!DownloadFont(name, CountPiece)) std::printf("DownloadFont failed\n");
  });
  std::vector<char> bytes(font.size());
  const double read = Measure("CreateFile, one ReadFile, CloseHandle of it (per file)", [&] {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    tstools::bench::KeepAlive(got);
  });
  WritePrivateProfileStringA("Fonts", "TsBench NimbusRoman", nullptr, ini.c_str());
  std::printf("%-58s %12.2f x\n", "DownloadFont / read", download / read);
#endif
  tstools::bench::KeepAlive(sent);
  return 0;
}
