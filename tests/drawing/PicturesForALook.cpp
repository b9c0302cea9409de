#include "PicturesForALook.h"

#include "forms/ImageSurface.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QTemporaryDir>

namespace drawing_test {

namespace {

// One folder for the BMPs of this process, gone with it.
const QTemporaryDir& ownFolder()
{
    static const QTemporaryDir folder;
    return folder;
}

} // namespace

QImage pictureOf(const forms::ImageSurface& surface)
{
    const QString bmp = ownFolder().filePath("picture.bmp");
    surface.savePicture(bmp.toStdString());
    QImage picture(bmp);
    QFile::remove(bmp);
    return picture;
}

bool keepForALook(const QImage& picture, const std::string& stem)
{
    const QString folder = QStringLiteral(TEVORA_DRAWING_PICTURE_DIR);
    if (picture.isNull() || !QDir().mkpath(folder))
        return false;
    // QSaveFile writes beside the target under a unique name and renames it over.
    QSaveFile file(folder + "/" + QString::fromStdString(stem) + ".png");
    return file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit();
}

} // namespace drawing_test
