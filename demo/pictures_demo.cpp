// The demo's pictures: a JPEG and a GIF imported as PICT, the JPEG again reduced and
// quantised to the library's palette, shapes recorded as a metafile and drawn with
// ML_DrawMetaFile, and that metafile converted to PICT; pictures.png.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "tstools/tstools.h"

namespace {

PicHandle jpeg = nullptr, jpegReduced = nullptr, gif = nullptr, metaAsPict = nullptr;
PicHandle recorded = nullptr;  // a PicMeta

Handle FileHandle(const std::string &name) {
  std::ifstream in(std::string(TSTOOLS_DEMO_DIR) + "/convert-inputs/" + name, std::ios::binary);
  std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
  Handle h = nullptr;
  if (!bytes.empty()) PtrToHand(bytes.data(), &h, Size(bytes.size()));
  return h;
}

void RecordShapes(GrafPtr port) {
  Rect frame{0, 0, 160, 120};
  recorded = ML_OpenPicture(port, &frame);
  if (!recorded) return;
  Rect box{8, 8, 152, 112}, oval{30, 20, 130, 100};
  ML_PenSize(port, 4, 4);
  ML_FrameRect(port, &box);
  Pattern gray{{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
  ML_FillOval(port, &oval, &gray);
  ML_PenSize(port, 1, 1);
  ML_MoveTo(port, 40, 64);
  const unsigned char words[] = "\x08" "Recorded";
  ML_DrawString(port, words);
  ML_ClosePicture(port, recorded);
}

PicHandle MetafileAsPict(PicHandle picMeta) {
  HGLOBAL meta = nullptr;
  if (!picMeta || ML_PicMetaToMeta(0, *picMeta, &meta, 1) != noErr || !meta) return nullptr;
  PicHandle pict = nullptr;
  MemNewHandle(&pict, 0, 0);
  auto *mfp = static_cast<METAFILEPICT *>(GlobalLock(meta));
  if (pict && ML_MetaToPict(nullptr, mfp, pict) != noErr) MemDisposeHandle(pict), pict = nullptr;
  DeleteMetaFile(mfp->hMF);
  GlobalUnlock(meta);
  GlobalFree(meta);
  return pict;
}

void Caption(GrafPtr port, short h, short v, const char *text) {
  unsigned char s[64];
  s[0] = static_cast<unsigned char>(std::strlen(text));
  std::memcpy(s + 1, text, s[0]);
  ML_MoveTo(port, h, v);
  ML_DrawString(port, s);
}

void DrawAt(GrafPtr port, PicHandle picture, short h, short v, const char *caption) {
  Rect cell{h, v, short(h + 160), short(v + 120)};
  if (picture) ML_DrawPicture(port, picture, &cell);
  Caption(port, h, short(v + 134), caption);
}

}  // namespace

void PreparePictures(GrafPtr documentPort) {
  if (Handle file = FileHandle("baseline.jpg")) {
    jpeg = JPEGtoPICT(file, nullptr, nullptr);
    Rect half{0, 0, 80, 60};
    short depth = 8;
    jpegReduced = JPEGtoPICT(file, &half, &depth);
    MemDisposeHandle(file);
  }
  if (Handle file = FileHandle("interlaced.gif")) {
    gif = GIFtoPICT(file);
    MemDisposeHandle(file);
  }
  RecordShapes(documentPort);
  metaAsPict = MetafileAsPict(recorded);
  std::printf("pictures:        JPEG %s, GIF %s, recorded %s, metafile as PICT %s\n", jpeg ? "imported" : "failed",
              gif ? "imported" : "failed", recorded ? "yes" : "failed", metaAsPict ? "made" : "failed");
}

void DrawPicturesDocument(GrafPtr port) {
  Rect r;
  GetPortRect(port, &r);
  ML_EraseRect(port, &r);
  ML_TextSize(port, 10);
  DrawAt(port, jpeg, 10, 10, "JPEGtoPICT");
  DrawAt(port, gif, 180, 10, "GIFtoPICT (interlaced)");
  Rect metaAt{350, 10, 510, 130};
  if (recorded) ML_DrawMetaFile(port, reinterpret_cast<const PicMeta *>(*recorded), &metaAt);
  Caption(port, 350, 144, "ML_DrawMetaFile");
  DrawAt(port, metaAsPict, 10, 160, "ML_MetaToPict");
  Rect reducedAt{180, 160, 340, 280};
  if (jpegReduced) ML_DrawPicture(port, jpegReduced, &reducedAt);
  Caption(port, 180, 294, "JPEG 1/2, 8 bits (CLUT256)");
}

void DisposePictures(GrafPtr documentPort) {
  for (PicHandle *p : {&jpeg, &jpegReduced, &gif, &metaAsPict})
    if (*p) MemDisposeHandle(*p), *p = nullptr;
  if (recorded) ML_KillPicture(documentPort, recorded), recorded = nullptr;
}
