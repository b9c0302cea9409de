#pragma once
// Reads back what the PDF printer wrote: the page objects of a PDF file and
// their paper sizes, what the pages draw, and the first page as a viewer shows
// it, for tests that check a printout by its file.

#include "platform/FileSystem.h"

#include <QImage>

#include <string>
#include <vector>

namespace support {

// The MediaBox of every page object in the file, in file order, as its text
// ("0 0 595.000000 842.000000" for A4 portrait); empty when the file is missing.
inline std::vector<std::string> pdfPageSizes(const std::string& path)
{
    std::vector<std::string> sizes;
    if (!platform::fileExists(path))
        return sizes;
    const std::string bytes = platform::readWholeFile(path);
    const std::string marker = "/Type /Page";
    for (size_t at = bytes.find(marker); at != std::string::npos; at = bytes.find(marker, at + 1)) {
        if (bytes.compare(at, marker.size() + 1, marker + "s") == 0)
            continue;
        const size_t end = bytes.find(">>", at);
        const size_t box = bytes.find("/MediaBox [", at);
        if (box == std::string::npos || box > end) {
            sizes.emplace_back();
            continue;
        }
        const size_t open = box + 11;
        sizes.push_back(bytes.substr(open, bytes.find(']', open) - open));
    }
    return sizes;
}

// The number of page objects in the file.
inline int pdfPageCount(const std::string& path)
{
    return static_cast<int>(pdfPageSizes(path).size());
}

inline constexpr const char* PdfA4Portrait = "0 0 595.000000 842.000000";

// The drawing operators of every page (its content stream, uncompressed), in
// file order.
std::vector<std::string> pdfPageDrawings(const std::string& path);

// The straight segments of a page's drawing shorter than `length` in its own
// units: a dot drawn as a line of no length, which a printing chain drops.
int pdfShortSegments(const std::string& drawing, double length);

// Whether PDF pages can be rendered here: poppler's pdftoppm is installed.
bool canRenderPdfPages();

// The top left `width` x `height` pixels of the first page rendered in grey at
// this resolution as a viewer shows it (by pdftoppm); a null image on failure.
QImage renderPdfPage(const std::string& path, int dotsPerInch, int width, int height);

} // namespace support
