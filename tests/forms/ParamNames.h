#pragma once
// Readable names for the cases of parameterised tests: GoogleTest and CTest
// show a case by its name instead of the raw bytes of its struct (which hold
// pointers and padding, so they even changed from run to run).

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace forms_test {

// A case name as a test name: every character but ASCII letters and digits
// becomes an underscore.
inline std::string identifierOf(std::string_view text)
{
    std::string name(text);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

// Name generator for INSTANTIATE_TEST_SUITE_P over cases with a `name` member.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        return identifierOf(info.param.name);
    }
};

} // namespace forms_test
