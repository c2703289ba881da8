#include "wingui/fonts.h"

#include <initializer_list>

namespace wingui {
namespace {

HFONT MakeFont(const wchar_t* face, int height, int weight, BYTE charset) {
  LOGFONTW font = {};
  font.lfHeight = -height;  // the character height, without the internal leading
  font.lfWeight = weight;
  font.lfCharSet = charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

// The first face that shows Cyrillic; the last one whatever it shows.
HFONT FirstWithCyrillic(std::initializer_list<const wchar_t*> faces, int height, int weight,
                        BYTE charset) {
  HFONT font = nullptr;
  for (const wchar_t* face : faces) {
    if (font)
      DeleteObject(font);
    font = MakeFont(face, height, weight, charset);
    if (font && ShowsCyrillic(font))
      return font;
  }
  return font;
}

}  // namespace

WindowFonts MakeWindowFonts(const Scale& scale) {
  // "MS Shell Dlg 2" is the system's own alias for its dialog face (Tahoma).
  const auto text_faces = {L"MS Sans Serif", L"Tahoma", L"MS Shell Dlg 2"};
  WindowFonts fonts;
  fonts.text = FirstWithCyrillic(text_faces, scale(11), FW_NORMAL, DEFAULT_CHARSET);
  fonts.bold = FirstWithCyrillic(text_faces, scale(11), FW_BOLD, DEFAULT_CHARSET);
  fonts.headline = FirstWithCyrillic({L"Arial", L"Tahoma"}, scale(16), FW_BOLD, RUSSIAN_CHARSET);
  return fonts;
}

void DeleteWindowFonts(WindowFonts& fonts) {
  for (HFONT* font : {&fonts.text, &fonts.bold, &fonts.headline}) {
    if (*font)
      DeleteObject(*font);
    *font = nullptr;
  }
}

std::wstring FaceOf(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  DeleteDC(dc);
  return face;
}

bool ShowsCyrillic(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  FONTSIGNATURE signature = {};
  const bool cyrillic = GetTextCharsetInfo(dc, &signature, 0) != DEFAULT_CHARSET &&
                        (signature.fsCsb[0] & FS_CYRILLIC) != 0;
  SelectObject(dc, old);
  DeleteDC(dc);
  return cyrillic;
}

}  // namespace wingui
