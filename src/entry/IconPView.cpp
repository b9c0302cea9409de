#include "entry/IconPView.h"

#include "forms/ListOrder.h"
#include "forms/Picture.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <algorithm>

namespace {

// Where the first tile stands and how a page is laid out, in twips.
constexpr double FirstTileLeft = 120;
constexpr double FirstTileTop = 120;
constexpr double TileSize = 510;
// A page shows the tiles start .. start + PageSpan.
constexpr int PageSpan = 49;
constexpr int TilesPerColumn = 5;

} // namespace

IconPView::IconPView() : Form("IconPView")
{
    HSc.onChange = [this] { HSc_Change(); };
    PicBuf.onClick = [this](int index) { PicBuf_Click(index); };
    Command1.onClick = [this] { Command1_Click(); };
}

IconPView& iconpview_form()
{
    static IconPView instance;
    return instance;
}

void IconPView::design()
{
    setCaption(entry::IconPViewCaption);
    setBorderStyle(forms::vbFixedDialog);
    move(2500, 2500, 5475, 3840);
    PicBuf[0].move(120, 2940, TileSize, TileSize);
    HSc.move(120, 2670, 5100, 255);
    Command1.move(4170, 3030, 1035, 345);
    Command1.setCaption("ｷｬﾝｾﾙ");
}

void IconPView::Form_Load()
{
    m_names.clear();
    m_pageStart = -1;
    m_folder = platform::joinPath(platform::GetAppPath(), "icodat");
    (void)Load_Picture(m_folder, ".ico");
    Disp_PreView(0);
}

void IconPView::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    // Closed through its frame: the editor must not take the choice of an earlier use.
    Sel_Picture = entry::CancelCommand;
}

int IconPView::Load_Picture(const std::string& folder, const std::string& ext)
{
    // The clear tile is offered whatever the folder holds, even without the folder.
    m_names.assign(1, entry::ClearCommand);
    PicBuf[0].setPicture(forms::Picture());
    PicBuf[0].setToolTipText("画像解除");
    std::vector<std::string> files;
    int result = platform::dirExists(folder) ? 0 : -1;
    if (result == 0) {
        try {
            files = platform::listFiles(folder, "*" + ext);
        } catch (const platform::RuntimeError&) {
            platform::MsgBox(entry::FileAccessError, platform::vbOKOnly);
            result = -1;
        }
    }
    // Ascending without regard to letter case, as a sorted list box keeps them.
    std::stable_sort(files.begin(), files.end(),
                     [](const std::string& a, const std::string& b) { return forms::compareListText(a, b) < 0; });
    m_names.insert(m_names.end(), files.begin(), files.end());

    for (int k = 1; k <= lastIndex(); ++k) {
        if (!PicBuf.exists(k))
            PicBuf.load(k);
        try {
            PicBuf[k].setPicture(forms::LoadPicture(platform::joinPath(folder, m_names[static_cast<size_t>(k)])));
        } catch (const platform::RuntimeError&) {
            // The failing icon and those after it are not offered; the clear
            // tile and the scroll bar still are.
            PicBuf.unload(k);
            m_names.resize(static_cast<size_t>(k));
            platform::MsgBox(entry::FileAccessError, platform::vbOKOnly);
            result = -1;
            break;
        }
        PicBuf[k].setToolTipText(m_names[static_cast<size_t>(k)]);
    }

    const int last = lastIndex();
    HSc.setMin(0);
    HSc.setMax(last - 0.9 * PageSpan > 1 ? last - 44 : last);
    HSc.setSmallChange(TilesPerColumn);
    HSc.setLargeChange(39);
    return result;
}

void IconPView::Disp_PreView(int start)
{
    if (start == m_pageStart)
        return;
    for (int i = 0; i <= lastIndex(); ++i)
        PicBuf[i].setVisible(false);
    double x = FirstTileLeft;
    double y = FirstTileTop;
    int row = 0;
    for (int i = start; i <= start + PageSpan; ++i) {
        if (i < 0 || i > lastIndex())
            break;
        PicBuf[i].move(x, y);
        PicBuf[i].setVisible(true);
        y += TileSize;
        if (++row == TilesPerColumn) {
            row = 0;
            y = FirstTileTop;
            x += TileSize;
        }
    }
    m_pageStart = start;
}

void IconPView::HSc_Change()
{
    Disp_PreView(HSc.value() / TilesPerColumn * TilesPerColumn);
}

void IconPView::PicBuf_Click(int Index)
{
    if (Index < 0 || Index > lastIndex())
        return;
    Sel_Picture = platform::joinPath(m_folder, m_names[static_cast<size_t>(Index)]);
    hide();
}

void IconPView::Command1_Click()
{
    Sel_Picture = entry::CancelCommand;
    hide();
}
