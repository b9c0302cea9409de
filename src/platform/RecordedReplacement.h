#pragma once
// What a killed program leaves half done is recorded in the program folder ("TMP"),
// so that the next start puts it right, and only that: a record is acted on only for
// what the program itself records, and the files it names are touched only as far as
// they are still what the program made.
//
// A family file and its bundle replaced together through their partial files: while
// the replacement is under way a record ("TMP/Saving-<n>.<phase>") names the files.
// The record is made before the first partial file is written, and its phase moves
// from "writing" to "renaming" once every partial file is whole on disk, before the
// first rename; it goes once the last rename is done. So a record found later tells
// which pair is whole:
//
//   writing   the partial files may be cut short and no file was replaced: they are
//             removed, and the old files stay as they were;
//   renaming  every partial file is whole and some may be renamed already: the rest
//             are renamed over their files, in order, so the new files are complete.
//
// Every way the program can be killed thus leaves the old files or the new ones, never a
// mix and never a partial file, once the record is settled. Such a record names a
// family file (".kez"), alone or after its bundle of the same stem (".ked"): a record
// that names anything else is not the program's, and the files it names are left
// untouched; so is a partial file that is no regular file.
//
// Every other partial file (platform::PartialFile: a CSV or picture export, a PDF, a
// settings file, a work file) is recorded while it exists in the journal of the run
// that writes it ("TMP/Partials-<n>", one per run, emptied whenever no partial file is
// open): its name when it is begun, which file it is (device and inode) once it is
// made, and its end. So the partial file of a write the program was killed in is
// removed by the next start, and only while it is still the file the program made.

#include <memory>
#include <string>
#include <vector>

namespace platform {

// A record found in the program folder that the program did not write (or that names
// files it never records): the record and the files it names are left as they are.
inline constexpr const char* ForeignRecordMessage =
    "プログラムのフォルダーに、このプログラムのものではない保存の記録があります。"
    "記録にあるファイルには何もしていません。不要でしたら、この記録を削除してください。";
// A save that goes on without its record (a program folder without room for it).
inline constexpr const char* UnrecordedSaveMessage =
    "保存の記録をプログラムのフォルダーに書けないため、記録なしで保存します。"
    "保存の途中でプログラムが止められると、家系図ファイルと画像・音声のファイル（.ked）が"
    "食い違ったり、書きかけのファイル（.part）が残ったりすることがあります。";

class RecordedReplacement {
public:
    // Settles any record left for one of paths, as settleInterruptedReplacementsOf
    // does, then records that the partial files of paths (partialFileName) are about
    // to be written. paths are a family file, alone or after its bundle. A record
    // that cannot be written (a program folder without room) does not stop the
    // replacement: the user is told (UnrecordedSaveMessage, with the record and why)
    // and it goes on unrecorded.
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
    std::vector<std::string> m_targets; // writtenFile of each path, in order
    std::string m_record;               // the record file, "" when there is none
    bool m_replaced = false;            // replace() has begun the renames
};

// The record of one partial file while it exists (PartialFile holds one), in the
// run's journal: begun before the partial file is made, given its identity (device
// and inode) once it is open, and ended with the object. Without a program folder
// decided, or without room in it, nothing is recorded. Never raises.
class PartialFileRecord {
public:
    explicit PartialFileRecord(const std::string& partial);
    ~PartialFileRecord();
    PartialFileRecord(const PartialFileRecord&) = delete;
    PartialFileRecord& operator=(const PartialFileRecord&) = delete;

    // The partial file is made and open as fd (then the test hook's
    // PartialFileMadeStep).
    void identify(int fd);

private:
    unsigned long long m_id = 0; // its number in the journal, 0 when unrecorded
};

// Settles every record a killed program left in the program folder, as the record
// says: a replacement as its phase says, a partial file removed while it is the one
// the program made; a record whose files lie in a folder that cannot be found now (a
// disk not attached) stays for a later start or read. A record that is not the
// program's is named (ForeignRecordMessage) and left with its files. The start-up
// calls it before anything reads a family.
void settleInterruptedReplacements();
// The same for the replacement records that name path among their files (the read of
// a family file calls it before it reads).
void settleInterruptedReplacementsOf(const std::string& path);

// For tests: called with each step of a replacement, so that a test can stop the
// program there as a kill would: 0 the record is written, 1 every partial file is
// written, 2 the record says "renaming", 2 + i the i-th file (from 1) is renamed; and
// PartialFileMadeStep once any partial file is made (PartialFileRecord::identify).
// nullptr (the default) calls nothing.
inline constexpr int PartialFileMadeStep = -1;
void setReplacementStepHookForTesting(void (*hook)(int step));

} // namespace platform
