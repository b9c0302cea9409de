#pragma once
// File-system functions. Paths are native (UTF-8, "/" separated). Failures
// throw RuntimeError with a classic number (53 not found, 61 disk full,
// 70 permission denied, 75 path/file access error, 76 path not found) and
// the errno text as description.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

bool fileExists(const std::string& path); // a regular file (or link to one)
bool dirExists(const std::string& path);
// True when the folder holds at least one regular file ("folder/*.*").
bool dirHasFiles(const std::string& dir);
// Creates the folder; an existing folder is no error. The parent must exist (76).
void makeDir(const std::string& path);
// Creates the folder and any missing parents.
void makeDirs(const std::string& path);
// Deletes a file; a missing file is no error.
void deleteFile(const std::string& path);
// Deletes every regular file of the folder (not sub-folders). A missing folder is no error.
void deleteAllFiles(const std::string& dir);
// Removes a folder and everything below it; a missing folder is no error.
void removeTree(const std::string& dir);
// Names (not paths) of the regular files matching a pattern such as "*.kez",
// "*.*", "*" or "ab?.txt"; the match is case-insensitive for ASCII letters.
// Returned in directory order, unsorted. A missing folder gives an empty list.
std::vector<std::string> listFiles(const std::string& dir, const std::string& pattern);
// True when name matches the wildcard pattern ("*", "?", case-insensitive ASCII;
// "*.*" matches every name, also one without a point).
bool matchesPattern(const std::string& name, const std::string& pattern);
// Copies a file, replacing the target as writeWholeFile does (53 when the source is
// missing).
void copyFile(const std::string& from, const std::string& to);
int64_t fileLength(const std::string& path);
// What tells one version of a file from another without reading it: where it lives
// on disk, its length and its modification time. Equal stamps mean the file has not
// been replaced or written since.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t length = 0;
    int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp& other) const
    {
        return device == other.device && inode == other.inode && length == other.length
               && modifiedNanoseconds == other.modifiedNanoseconds;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
// The stamp of a file; raises RuntimeError when it cannot be looked at (53 missing).
FileStamp fileStamp(const std::string& path);
// The most bytes a file is read whole: 3 GiB. The largest file the program reads whole
// is a family file, and the largest family file the tables can hold stays below it
// (model/filestore/load_file.cpp works it out); a CSV file, a voice memo, a picture
// or a settings file of the program is smaller still.
inline constexpr uint64_t MostBytesReadWhole = uint64_t{3} << 30;
// Reads a regular file (or the one a link leads to) in full. Anything else is refused
// with RuntimeError (75, its reason in a word) without a byte read: a folder, and a
// named pipe, a device or a socket, whose read could wait for ever or never end. So is
// a file of more than maxBytes, also one that grows past it while it is read. The
// open never waits.
std::string readWholeFile(const std::string& path, uint64_t maxBytes = MostBytesReadWhole);
// Opens a file for reading on the terms of readWholeFile and returns its descriptor,
// which the caller closes; refuses as readWholeFile does a file that is not regular or
// is longer than maxBytes. BinaryFile opens its files to read through here.
int openToRead(const std::string& path, uint64_t maxBytes = MostBytesReadWhole);
// Writes the bytes as the file's whole content: they go to its partial file, which is
// renamed over the file once whole, so a failure (a full disk) leaves the file as it
// was and no partial file behind. Nothing is flushed to disk (writeFileAtomically
// does that).
void writeWholeFile(const std::string& path, const std::string& bytes);
// Renames, replacing an existing target.
void renameFile(const std::string& from, const std::string& to);

// The program folder (decidedAppPath) is the program's own: there, nothing is
// written, made or removed through a symbolic link, so nothing the program writes for
// itself (snapshots, records, work folders, settings) ever lands outside the folder
// or on anything but a file of its own. A symbolic link, a named pipe, a device or a
// socket standing where the program writes a file or needs a folder there is removed
// as a name (what it leads to is never touched) and named in a message
// (StrayNameRemovedMessage). Every write, folder creation and removal of this file
// clears the way so (PartialFile, replaceThroughSpare, makeDir, makeDirs,
// deleteFile, deleteAllFiles, removeTree, renameFile). In every other folder a write
// goes through a link to the file it leads to (writtenFile). A file the user chose
// (a family file) is the file its links lead to wherever it lies: its commands take
// linkTarget of it first.
inline constexpr const char* StrayNameRemovedMessage =
    "プログラムのフォルダーに、プログラムのファイルではない次のものがあったため、その名前を取り除きました"
    "（リンクの先などには手を加えていません）。";
// True when path lies inside the program folder (it once decided; any spelling of
// the path that names it through its own name, relative or with "." and "..").
bool inProgramFolder(const std::string& path);
// Clears the way for a file of the program's own at path, as a write there does,
// without writing: afterwards path is a regular file, a folder or nothing. Does
// nothing outside the program folder. A reader of such a file (a snapshot) calls it
// first, so that it never reads what a link leads to.
void clearProgramFileName(const std::string& path);

// The file a symbolic link at path leads to (link after link; a relative link is read
// from the link's folder), or path itself when it is no link.
std::string linkTarget(const std::string& path);
// The file a write of path changes: path itself in the program folder, else
// linkTarget(path). Every write that replaces a file through a temporary one replaces
// this file, with the temporary beside it, so a link written through keeps pointing to
// the file that now holds the new content.
std::string writtenFile(const std::string& path);
// The one temporary file of every complete write of path: writtenFile(path) +
// ".part", beside it. Its name is fixed and recorded in the program folder while it
// exists (PartialFileRecord), so a write that was interrupted (the program killed)
// leaves at most this one file, which the next start removes. A name too long for
// the folder to take with ".part" added keeps its beginning and a hash of the whole
// name before the ending.
std::string partialFileName(const std::string& path);

// Whether a finished partial file is flushed to disk before it is put in place.
enum class Flush { No, ToDisk };

class PartialFileRecord;

// The one way every complete write goes (writeWholeFile, writePartialFile,
// writeFileAtomically, the bundle, a picture written row by row, the PDF printer's
// output): the bytes are written in pieces to partialFileName(path), made afresh with
// the permissions of path (a new file the usual ones) and recorded in the program
// folder (PartialFileRecord) while it exists; path itself is untouched until replace()
// renames the whole file over it. An object left without keep() or replace() (a
// failure, an exception) removes its partial file. Failures raise RuntimeError naming
// path; a path that is a folder, a device, a pipe or a socket is refused before
// anything is written (in the program folder such a name, or a link, is cleared
// away as inProgramFolder says), and so is a file its owner made read-only.
class PartialFile {
public:
    explicit PartialFile(const std::string& path);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // The partial file, for a writer that fills it by its name (the PDF printer).
    const std::string& partialPath() const { return m_partial; }
    void write(std::string_view bytes);
    // Closes the partial file and leaves it for replaceWithPartialFiles. From here a
    // RecordedReplacement of path covers it, and its own record goes.
    void keep(Flush flush);
    // Closes the partial file and renames it over path (writtenFile(path)); with
    // Flush::ToDisk the content and the rename are made durable.
    void replace(Flush flush);

private:
    void close(Flush flush);

    std::string m_path;
    std::string m_partial;
    int m_fd = -1;
    bool m_kept = false;
    std::unique_ptr<PartialFileRecord> m_record;
};

// Writes the bytes completely to partialFileName(path), with the permissions of
// path (a new file the usual ones), and flushes it to disk; path itself is not
// touched. On failure the partial file is removed. For a RecordedReplacement's files
// (PartialFile::keep).
void writePartialFile(const std::string& path, std::string_view bytes);
// Makes the renames and removals done in a folder ("" the current one) durable. A
// failure is not reported: they are done all the same, only not yet safe from a crash
// of the system.
void flushFolderToDisk(const std::string& dir);
// Renames the partial file of each path over it (its writtenFile), in the given order and back to
// back, then makes the renames durable. A rename that fails removes its partial file
// and those of the paths after it (which keep their old files) and throws. renamed, when
// given, is called after each rename with the number of files renamed so far.
void replaceWithPartialFiles(const std::vector<std::string>& paths,
                             const std::function<void(size_t renamed)>& renamed = nullptr);
// writePartialFile, then replaceWithPartialFiles: on any failure the old file stays
// intact and no temporary file is left.
void writeFileAtomically(const std::string& path, std::string_view bytes);
// For a file of the program's own rewritten after every edit (a snapshot in the
// program folder): writes the bytes over a spare file kept beside it
// (spareFileName), then exchanges the two names in one step, so every reader, also
// after the program was killed, sees the old or the new file whole, and the old
// file's disk space is reused by the next write instead of being given up and taken
// again. Neither name is written through a link: the way is cleared as in the
// program folder (inProgramFolder), and a spare that is not a regular file of the
// program's own alone (one with a second name, or another owner) is removed as a
// name, named, and made afresh. Nothing is flushed to disk: the content outlives the
// program, not a crash of the system. On failure the file stays intact.
void replaceThroughSpare(const std::string& path, std::string_view bytes);
// The spare file of replaceThroughSpare: "." + the file's name + ".spare", beside it.
std::string spareFileName(const std::string& path);
std::string currentDirectory();
void setCurrentDirectory(const std::string& path);

// True when a and b name the same file however they are spelt: both reach one
// existing file (through links, ".." or a letter case the file system ignores), or,
// when either has no file, both are the same absolute path up to ASCII letter case
// (a file system that ignores case would make them one file).
bool isSameFile(const std::string& a, const std::string& b);

// The folder part of a path ("" for a bare name, "/" for a file in the root).
std::string parentPath(const std::string& path);
// The last component of a path.
std::string fileNameOf(const std::string& path);

} // namespace platform
