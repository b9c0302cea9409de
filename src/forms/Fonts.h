#pragma once
// Fonts by their Windows names. The program stores and shows the names it was
// given ("ＭＳ Ｐゴシック" stays "ＭＳ Ｐゴシック" in properties, drawing lists and
// the family file); only the QFont handed to Qt uses the installed substitute.

#include <QFont>

#include <string>

namespace forms {

// The family Qt draws for a Windows font name: the four Japanese system fonts
// map to the IPA fonts, every other name is left to fontconfig unchanged.
std::string substituteFontFamily(const std::string& windowsName);

// The Windows name a substitute family stands for ("IPAPGothic" -> "ＭＳ Ｐゴシック");
// a family that is no substitute comes back unchanged.
std::string windowsFontName(const std::string& family);

// A font for drawing or for a widget. Sizes are points and may be fractional; a
// size <= 0 gives 1 pt (callers keep the size as set). Hinting is off on every
// font, so text measured on screen agrees with the printer.
QFont makeFont(const std::string& name, double size, bool bold, bool italic);

// The font every window and control starts with.
inline constexpr const char* DefaultFontName = "ＭＳ Ｐゴシック";
inline constexpr double DefaultFontSize = 9.0;

} // namespace forms
