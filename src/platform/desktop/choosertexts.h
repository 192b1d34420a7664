// The message both desktop front ends show when the file chosen in the file
// chooser cannot be the output path (code page 932, as every system text).
#pragma once

// Text and caption of the refusal, shown with MB_ICONEXCLAMATION.
inline constexpr char kUnusableChoiceText[] =
    "選択されたファイルは出力先に指定できません。\n\n別のファイルを指定してください。";
inline constexpr char kUnusableChoiceCaption[] = "減価償却";
