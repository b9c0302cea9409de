#pragma once
// Files replaced together through their partial files (a family file and its bundle)
// such that a program killed at any moment leaves nothing the next start or the next
// read of them cannot put right: while the replacement is under way a record in the
// program folder ("TMP/Saving-<n>.<phase>") names the files. The record is made before
// the first partial file is written, and its phase moves from "writing" to "renaming"
// once every partial file is whole on disk, before the first rename; it goes once the
// last rename is done. So a record found later tells which pair is whole:
//
//   writing   the partial files may be cut short and no file was replaced: they are
//             removed, and the old files stay as they were;
//   renaming  every partial file is whole and some may be renamed already: the rest
//             are renamed over their files, in order, so the new files are complete.
//
// Every way the program can be killed thus leaves the old files or the new ones, never a
// mix and never a partial file, once the record is settled.

#include <string>
#include <vector>

namespace platform {

class RecordedReplacement {
public:
    // Settles any record left for one of paths, as settleInterruptedReplacementsOf
    // does, then records that the partial files of paths (partialFileName) are about
    // to be written. A record that cannot be written (a program folder without room)
    // does not stop the replacement: it goes on unrecorded.
    explicit RecordedReplacement(std::vector<std::string> paths);
    // Without replace(): removes the partial files and the record, leaving every file
    // as it was.
    ~RecordedReplacement();
    RecordedReplacement(const RecordedReplacement&) = delete;
    RecordedReplacement& operator=(const RecordedReplacement&) = delete;

    // Once each partial file has been written whole (writePartialFile flushes it):
    // records that, renames them over their files in the given order
    // (replaceWithPartialFiles) and removes the record. Raises RuntimeError as
    // replaceWithPartialFiles does.
    void replace();

private:
    std::vector<std::string> m_targets; // linkTarget of each path, in order
    std::string m_record;               // the record file, "" when there is none
    bool m_replaced = false;            // replace() has begun the renames
};

// Settles every replacement a killed program left recorded in the program folder, as
// the record's phase says; a record whose files lie in a folder that cannot be found
// now (a disk not attached) stays for a later start or read. The start-up calls it
// before anything reads a family.
void settleInterruptedReplacements();
// The same for the records that name path among their files (the read of a family
// file calls it before it reads).
void settleInterruptedReplacementsOf(const std::string& path);

// For tests: called with each step of a replacement, so that a test can stop the
// program there as a kill would: 0 the record is written, 1 every partial file is
// written, 2 the record says "renaming", 2 + i the i-th file (from 1) is renamed.
// nullptr (the default) calls nothing.
void setReplacementStepHookForTesting(void (*hook)(int step));

} // namespace platform
