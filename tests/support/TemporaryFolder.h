#pragma once
// A folder of the test's own in the temporary folder (TMPDIR, else /tmp).

#include <string>

namespace support {

// Makes the folder "<prefix>-XXXXXX" there and returns its path; "" when it could
// not be made.
std::string makeTemporaryFolder(const std::string& prefix);

} // namespace support
