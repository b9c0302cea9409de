#include "mainwindow/CsvFileName.h"

#include "platform/Conversions.h"

namespace mainwindow {

std::string csvFileName(const std::string& name)
{
    const std::string ending = platform::Right(platform::RTrim(name), 4);
    if (ending == ".csv" || ending == ".CSV")
        return name;
    const size_t separator = name.find_last_of("\\/");
    const size_t fileStart = separator == std::string::npos ? 0 : separator + 1;
    const size_t dot = name.find('.', fileStart);
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".csv";
}

} // namespace mainwindow
