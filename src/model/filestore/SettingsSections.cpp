// The header and the settings sections of the family file: writer and reader, both
// driven by the field tables below, which list the lines in file order.

#include "model/filestore/FileRecords.h"

#include "platform/Conversions.h"

namespace model::filestore {

namespace {

using S = Settings;

// "[Header]", "", then these lines, then "".
constexpr std::string_view VersionKey = "ver";          // line 4: always "6.00"
constexpr std::string_view FixedVersion = "6.00";
constexpr std::string_view DisplayModeKey = "dispmode"; // line 8: always 1
const Field<S> HeaderFields[] = {
    {"filetype", Form::Text, Reading::Text, &S::filetype},          // line 3
    {"font", Form::Text, Reading::Text, &S::font},                  // line 5
    {"fontsize", Form::Signed, Reading::Strict, &S::fontsize},      // line 6
    {"write_state", Form::Signed, Reading::Lenient, &S::write_state}, // line 7
};

// "[SystemStatus_section]" and its 9 lines.
const Field<S> SystemStatusFields[] = {
    {"Dispmode_Death", Form::Signed, Reading::Guarded, &S::Dispmode_Death},       // 1
    {"Dispmode_Manwoman", Form::Signed, Reading::Guarded, &S::Dispmode_Manwoman}, // 2
    {"Dispmode_Nengo", Form::Signed, Reading::Guarded, &S::Dispmode_Nengo},       // 3 (32-bit)
    {"Dispmode_Icon", Form::Signed, Reading::Guarded, &S::Dispmode_Icon},         // 4
    {"Dispmode_Fname", Form::Signed, Reading::Guarded, &S::Dispmode_Fname},       // 5
    {"Dispmode_BGcolor", Form::Signed, Reading::Guarded, &S::Dispmode_BGcolor},   // 6 (32-bit)
    {"Dispmode_BGmap", Form::Signed, Reading::Guarded, &S::Dispmode_BGmap},       // 7
    {"Dispmode_Tyokei", Form::Signed, Reading::Guarded, &S::Dispmode_Tyokei},     // 8
    {"Dispmode_Flip", Form::Signed, Reading::Guarded, &S::Dispmode_Flip},         // 9
};

// "", "[Array_section]", these 2 lines and the 14 DispFactor lines.
const Field<S> ArrayFields[] = {
    {"Array_SortMode", Form::Signed, Reading::Guarded, &S::Array_SortMode}, // 1
    {"Sort_factor", Form::Signed, Reading::Guarded, &S::Sort_factor},       // 2
};
// Lines 3 to 16: " DispFactor_01=" .. " DispFactor_14=" (always two digits), bool form.
constexpr std::string_view DispFactorKey = "DispFactor_";
constexpr std::string_view DispFactorKeyUpper = "DISPFACTOR_";
constexpr int FirstSavedFactor = 1;
constexpr int LastSavedFactor = 14;

// "", "[Nenpyo_section]" and its line.
const Field<S> NenpyoFields[] = {
    {"Nenpyo_SortMode", Form::Signed, Reading::Guarded, &S::Nenpyo_SortMode},
};

// "", "[Print_section]" and its 4 lines.
const Field<S> PrintFields[] = {
    {"Print_Scale", Form::Signed, Reading::Guarded, &S::Print_Scale},       // 1 (Single)
    {"Print_TateYoko", Form::Signed, Reading::Guarded, &S::Print_TateYoko}, // 2
    {"Print_Allmode", Form::Signed, Reading::Guarded, &S::Print_Allmode},   // 3
    {"Print_BGmap", Form::Signed, Reading::Guarded, &S::Print_BGmap},       // 4
};

constexpr std::string_view Blank = " ";
constexpr std::string_view NoPrefix = "";

template <class Table>
void writeAll(FileText& out, const Table& table, std::string_view prefix, const Settings& settings)
{
    for (const auto& field : table)
        writeField(out, prefix, field, settings);
}

template <class Table>
bool readFrom(const Table& table, std::string_view key, std::string_view value, Settings& settings)
{
    const int i = findField(table, key);
    if (i < 0)
        return false;
    readField(table[i], settings, value);
    return true;
}

// A key holding "DISPFACTOR_": the up to two characters after it name the entry;
// only entries 1..14 are read, as written.
bool readDispFactor(std::string_view rawKey, std::string_view value, Settings& settings)
{
    const std::string key = platform::UCase(rawKey);
    const size_t at = key.find(DispFactorKeyUpper);
    if (at == std::string_view::npos)
        return false;
    const std::string number = key.substr(at + DispFactorKeyUpper.size(), 2);
    if (!platform::IsNumeric(number))
        return true;
    const double entry = platform::CDbl(number);
    if (entry <= 0 || entry >= LastSavedFactor + 1)
        return true;
    readInto(Reading::StrictTruth, platform::Trim(value), settings.DispFactor[platform::CInt(entry)]);
    return true;
}

} // namespace

void writeHeader(FileText& out, const Settings& settings)
{
    out.line("[Header]");
    out.line("");
    writeField(out, NoPrefix, HeaderFields[0], settings);
    out.line(std::string(VersionKey) + "=" + std::string(FixedVersion));
    for (size_t i = 1; i < std::size(HeaderFields); ++i)
        writeField(out, NoPrefix, HeaderFields[i], settings);
    // The file always records display mode 1; the live value is left as the user set it.
    out.value(NoPrefix, DisplayModeKey, Form::Signed, int16_t(1));
    out.line("");
}

void writeSettingsSections(FileText& out, const Settings& settings)
{
    out.line("[SystemStatus_section]");
    writeAll(out, SystemStatusFields, Blank, settings);
    out.line("");
    out.line("[Array_section]");
    writeAll(out, ArrayFields, Blank, settings);
    for (int k = FirstSavedFactor; k <= LastSavedFactor; ++k)
        out.value(Blank, std::string(DispFactorKey) + platform::Format(k, 2), Form::Bool, settings.DispFactor[k]);
    out.line("");
    out.line("[Nenpyo_section]");
    writeAll(out, NenpyoFields, Blank, settings);
    out.line("");
    out.line("[Print_section]");
    writeAll(out, PrintFields, Blank, settings);
}

bool readSettingsKey(Section section, std::string_view key, std::string_view value, Settings& settings)
{
    switch (section) {
    case Section::Header:
        if (keyMatches(key, VersionKey))
            return true; // read and of no effect
        if (keyMatches(key, DisplayModeKey)) {
            settings.dispmode = 1;
            return true;
        }
        return readFrom(HeaderFields, key, value, settings);
    case Section::SystemStatus:
        return readFrom(SystemStatusFields, key, value, settings);
    case Section::Array:
        return readFrom(ArrayFields, key, value, settings) || readDispFactor(key, value, settings);
    case Section::Nenpyo:
        return readFrom(NenpyoFields, key, value, settings);
    case Section::Print:
        return readFrom(PrintFields, key, value, settings);
    default:
        return false;
    }
}

} // namespace model::filestore
