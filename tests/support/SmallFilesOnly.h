#pragma once
// Runs a piece of a test with files limited to a few bytes, as a full disk would stop
// them: a write beyond the limit fails with EFBIG (works for any user, unlike
// permissions, and tests run as root).

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstddef>
#include <functional>

namespace support {

inline void withSmallFilesOnly(const std::function<void()>& run, std::size_t limitBytes = 16)
{
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(limitBytes);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    run();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
}

} // namespace support
