#include "wxdialogfont.h"

#include <wx/fontenum.h>
#include <wx/settings.h>

#include "wxscreentext.h"

namespace {

// Proportional Japanese gothic faces that stand in for a missing face, best
// first.
const char* const kFallbackFaces[] = {"IPAPGothic", "Noto Sans CJK JP", "VL PGothic",
                                      "TakaoPGothic", "IPAGothic"};

}  // namespace

wxFont DialogFont(const std::string& face_cp932, int points) {
  wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  font.SetPointSize(points);
  wxString face = ScreenText(face_cp932);
  if (!face.empty() && wxFontEnumerator::IsValidFacename(face)) {
    font.SetFaceName(face);
    return font;
  }
  for (const char* fallback : kFallbackFaces) {
    if (wxFontEnumerator::IsValidFacename(fallback)) {
      font.SetFaceName(fallback);
      return font;
    }
  }
  return font;
}
