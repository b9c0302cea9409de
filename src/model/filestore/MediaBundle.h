#pragma once
// The media bundle: the voice memos and face pictures of a family packed into one
// binary file beside the family file (named by kedFileName: "a.KED" beside "a.KEZ",
// "a.ked" beside "a.kez"), and the two work folders "voice" and "face" under the
// program folder that hold the working copies.
//
// Layout, little-endian, no padding: the number of files n (16-bit), n directory
// entries of 268 bytes (kind 16-bit, person 16-bit, the cp932 name in 256 bytes padded
// with blanks, length 32-bit, offset 32-bit), then the data area with the files' bytes.

#include "model/filestore/FileStore.h"

#include <cstdint>
#include <string>

namespace model {

constexpr int MediaNameBytes = 256;
constexpr int MediaEntryBytes = 268;

inline constexpr const char* BundleWriteFailedMessage = "画像情報を読み取れません";
inline constexpr const char* BundleReadFailedMessage = "画像情報を読み込めません";
// A bundle that does not belong to its family file (cut short, missing, saved with
// another family).
inline const std::string BundleMismatchMessage =
    std::string(BundleReadFailedMessage)
    + "\r\n画像と音声のファイル（.ked）がこの家系図ファイルと合わないため、読み込めたものだけを使います。";

// True for a name that stands for a file inside a work folder: not empty, not "." or
// "..", no "/" or backslash and no control character. Media names come from family
// files and bundles, which may hold anything; every place that joins such a name to a
// folder asks this first, so a name one of them accepts is never dropped by another.
bool isPlainFileName(const std::string& name);

// The work folder of a media kind: "voice" for MediaVoice, "face" for any other kind.
std::string mediaFolder(int16_t kind);

// Fills media_buf with the voice memos (persons in slot order), then the face pictures,
// of all used persons, and returns their number. A person whose file is missing from
// its work folder loses the reference (Voice_index or Picture_index := -1), so the
// family file written next records what the bundle really holds.
int16_t collectMedia();

// Writes the bundle of media_buf entries 1..n completely to its partial file
// (platform::partialFileName(path)) and leaves it there for the caller to rename over
// path; path itself is not touched. Raises platform::RuntimeError (the partial file
// removed) on failure.
void writePartialKedFile(const std::string& path, int16_t n);

// Writes the bundle of media_buf entries 1..n. The bundle is written to its partial
// file and renamed over path only when complete, so a failure leaves an older bundle
// whole. On failure shows "画像情報を読み取れません" and returns false.
[[nodiscard]] bool WriteKedFile(const std::string& path, int16_t n);

// Unpacks the bundle at path into the work folders and tells whether it belongs to
// the family in the tables: it holds exactly the expected number of files, none of
// them cut short, and every voice memo and face picture the family refers to. A
// missing or empty bundle holds none. The whole bundle is checked before anything is
// touched (count at most 2048, every entry's position and length not negative, names
// reduced to their last path component and not empty, "." or ".."); a bundle that
// fails these checks shows its description and number, then "画像情報を読み込めません",
// leaves the work folders as they were and returns false. Otherwise the work folders
// are emptied and take every file the bundle holds whole (a file whose bytes lie past
// the end of a bundle cut short is left out), and nothing is written outside them. A
// bundle that does not belong to the family shows BundleMismatchMessage and returns
// false.
bool ReadKedFile(const std::string& path, int16_t expected);

} // namespace model
