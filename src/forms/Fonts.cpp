#include "forms/Fonts.h"

#include <QString>

#include <array>
#include <map>
#include <tuple>
#include <utility>

namespace forms {

namespace {

// The Windows Japanese system fonts and the IPA fonts that stand in for them
// (same proportional or fixed pitch, same Gothic or Mincho design).
const std::array<std::pair<const char*, const char*>, 4> SubstituteTable = {{
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"ＭＳ 明朝", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
}};

} // namespace

std::string substituteFontFamily(const std::string& windowsName)
{
    for (const auto& [windows, family] : SubstituteTable) {
        if (windowsName == windows)
            return family;
    }
    return windowsName;
}

std::string windowsFontName(const std::string& family)
{
    for (const auto& [windows, substitute] : SubstituteTable) {
        if (family == substitute)
            return windows;
    }
    return family;
}

QFont makeFont(const std::string& name, double size, bool bold, bool italic)
{
    // A window makes the fonts of its controls by the hundred, nearly all alike:
    // each font is made once and shared.
    constexpr size_t MaxFonts = 64;
    using Key = std::tuple<std::string, double, bool, bool>;
    static auto* const fonts = new std::map<Key, QFont>();
    Key key(name, size, bold, italic);
    const auto found = fonts->find(key);
    if (found != fonts->end())
        return found->second;
    if (fonts->size() >= MaxFonts)
        fonts->clear();
    QFont font(QString::fromStdString(substituteFontFamily(name)));
    font.setPointSizeF(size > 0 ? size : 1.0);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    fonts->emplace(std::move(key), font);
    return font;
}

} // namespace forms
