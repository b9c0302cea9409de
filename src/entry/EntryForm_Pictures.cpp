// The face picture boxes of the panel: a click on the icon box opens the icon
// chooser, a click on the bitmap box the picture dialog, a double click (or
// the picture menu's "Change") the file dialog of that box. The choice stays
// in the box and its Tag until the register command stores the file; a file the
// picture loader cannot read is refused at once.

#include "entry/EntryForm.h"

#include "entry/EntryPaths.h"
#include "entry/IconPView.h"

#include "forms/Picture.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

namespace {

// The start folder of a picture dialog: a folder under the program folder, or
// the program folder itself when that folder is missing.
std::string dialogFolder(const char* name)
{
    const std::string folder = platform::joinPath(platform::GetAppPath(), name);
    return platform::dirExists(folder) ? folder : platform::GetAppPath();
}

// The bitmap dialogs' filter: the bitmap first, then every picture kind the
// loader reads, which is stored as a bitmap (entry::facePictureKind).
constexpr const char* BitmapDialogFilter =
    "*.bmp|*.bmp|画像ファイル (*.bmp;*.png;*.jpg;*.jpeg;*.gif)|*.bmp;*.png;*.jpg;*.jpeg;*.gif";

// What a cancelled dialog returns: its own initial name.
bool nothingChosen(const std::string& path)
{
    return path.empty() || path == "*.ico" || path == "*.bmp";
}

} // namespace

void EntryForm::applyChosenPicture(int box, const std::string& path, PictureFit fit)
{
    if (nothingChosen(path))
        return;
    forms::Picture picture;
    try {
        picture = forms::LoadPicture(path);
    } catch (const platform::RuntimeError& e) {
        // A file that is missing or holds no picture changes nothing; the message
        // names it and why.
        platform::MsgBox(platform::failedFileMessage(entry::PictureFileError, e, path), platform::vbOKOnly);
        return;
    }
    forms::PictureBox& target = Picture1[box];
    if (box == 1 && fit == PictureFit::Stretched) {
        target.setPicture(forms::Picture());
        target.paintPicture(picture, 0, 0, target.width(), target.height());
    } else {
        target.setPicture(picture);
    }
    target.setTag(path);
    forms::PictureBox& other = Picture1[box == 0 ? 1 : 0];
    other.setPicture(forms::Picture());
    other.setTag("");
    model::runState().PicMode = entry::facePictureKind(path);
}

void EntryForm::Picture1_Click(int Index)
{
    if (Index == 0) {
        IconPView& chooser = iconpview_form();
        chooser.show(forms::ShowMode::Modal, this);
        const std::string chosen = chooser.Sel_Picture;
        if (chosen.find(entry::ClearCommand) != std::string::npos) {
            // Both boxes empty: the person is registered without a picture.
            model::runState().PicMode = -1;
            clearPictures();
            return;
        }
        if (chosen.find(entry::CancelCommand) != std::string::npos)
            return;
        // The path keeps its letter case: file names are case-sensitive here.
        applyChosenPicture(0, chosen, PictureFit::Stretched);
        return;
    }
    CommonDialog1.setInitDir(dialogFolder("bmp"));
    CommonDialog1.setDialogTitle("画像貼り付け");
    CommonDialog1.setFilter(BitmapDialogFilter);
    CommonDialog1.setFileName("*.bmp");
    CommonDialog1.setCancelError(false);
    CommonDialog1.showOpen();
    applyChosenPicture(1, CommonDialog1.fileName(), PictureFit::Stretched);
}

void EntryForm::choosePictureFile(int box)
{
    const bool bitmap = box == 1;
    CommonDialog1.setInitDir(dialogFolder(bitmap ? "bmp" : "ico"));
    CommonDialog1.setDialogTitle(bitmap ? "Input Bmp" : "Input Icon");
    CommonDialog1.setFilter(bitmap ? BitmapDialogFilter : "*.ico");
    CommonDialog1.setFileName(bitmap ? "*.bmp" : "*.ico");
    CommonDialog1.setCancelError(false);
    CommonDialog1.showOpen();
    applyChosenPicture(box, CommonDialog1.fileName(), PictureFit::AsItIs);
}

void EntryForm::Picture1_DblClick(int Index)
{
    choosePictureFile(Index == 1 ? 1 : 0);
}

// The picture menu's "Change" and "Delete" act on the first picture box.
void EntryForm::chan_Click()
{
    Picture1_DblClick(0);
}

void EntryForm::del_Click()
{
    Picture1[0].setPicture(forms::Picture());
    Picture1[0].setTag("");
}
