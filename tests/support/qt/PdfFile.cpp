#include "support/qt/PdfFile.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace support {

std::vector<std::string> pdfPageDrawings(const std::string& path)
{
    std::vector<std::string> drawings;
    if (!platform::fileExists(path))
        return drawings;
    const std::string bytes = platform::readWholeFile(path);
    const std::string contents = "/Contents ";
    for (size_t at = bytes.find(contents); at != std::string::npos; at = bytes.find(contents, at + 1)) {
        const std::string object = "\n" + std::to_string(std::atoi(bytes.c_str() + at + contents.size())) + " 0 obj";
        const size_t start = bytes.find(object);
        const size_t stream = bytes.find("stream\n", start);
        const size_t end = bytes.find("endstream", stream);
        if (start == std::string::npos || stream == std::string::npos || end == std::string::npos)
            continue;
        const std::string data = bytes.substr(stream + 7, end - stream - 7);
        if (bytes.find("/FlateDecode", start) > stream) {
            drawings.push_back(data);
            continue;
        }
        // qUncompress reads the zlib data after a size it takes as a first guess.
        QByteArray compressed("\0\0\x10\0", 4);
        compressed.append(data.data(), static_cast<qsizetype>(data.size()));
        drawings.push_back(qUncompress(compressed).toStdString());
    }
    return drawings;
}

int pdfShortSegments(const std::string& drawing, double length)
{
    std::istringstream operators(drawing);
    std::vector<double> operands;
    double x = 0.0;
    double y = 0.0;
    int found = 0;
    for (std::string word; operators >> word;) {
        char* end = nullptr;
        const double number = std::strtod(word.c_str(), &end);
        if (end && *end == '\0') {
            operands.push_back(number);
            continue;
        }
        if ((word == "m" || word == "l") && operands.size() >= 2) {
            const double toX = operands[operands.size() - 2];
            const double toY = operands.back();
            if (word == "l" && std::hypot(toX - x, toY - y) < length)
                ++found;
            x = toX;
            y = toY;
        }
        operands.clear();
    }
    return found;
}

namespace {

QString pdfRenderer()
{
    return QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
}

} // namespace

bool canRenderPdfPages()
{
    return !pdfRenderer().isEmpty();
}

QImage renderPdfPage(const std::string& path, int dotsPerInch, int width, int height)
{
    QTemporaryDir folder;
    if (!canRenderPdfPages() || !folder.isValid())
        return QImage();
    QProcess process;
    process.start(pdfRenderer(), {QStringLiteral("-r"), QString::number(dotsPerInch), QStringLiteral("-f"),
                                  QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                  QStringLiteral("-W"), QString::number(width), QStringLiteral("-H"),
                                  QString::number(height), QStringLiteral("-gray"), QStringLiteral("-png"),
                                  QStringLiteral("-singlefile"), QString::fromStdString(path),
                                  folder.filePath(QStringLiteral("page"))});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QImage();
    return QImage(folder.filePath(QStringLiteral("page.png")));
}

} // namespace support
