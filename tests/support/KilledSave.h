#pragma once
// Runs save_file of the family in the tables in a child process that is killed with
// SIGKILL at one step of the save's replacement (platform::RecordedReplacement: 0 the
// record made, 1 the partial files written, 2 "renaming" recorded, 2 + i the i-th file
// renamed), as a kill of the program at that moment would leave the files.

#include "model/filestore/FamilyFile.h"
#include "platform/RecordedReplacement.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace support {

inline int& stepToKillAt()
{
    static int step = -1;
    return step;
}

inline void saveKilledAt(const std::string& path, int step)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        stepToKillAt() = step;
        platform::setReplacementStepHookForTesting([](int reached) {
            if (reached == stepToKillAt())
                ::raise(SIGKILL);
        });
        (void)model::save_file(path);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the save ended before step " << step;
}

} // namespace support
