#pragma once
// The icon chooser IconPView ("ｱｲｺﾝ選択"): the icons of the library folder
// "icodat" under the program folder as pages of tiles (10 columns of 5) with a
// horizontal scroll bar. Tile 0 is the clear tile "画像解除". Picking a tile or
// "ｷｬﾝｾﾙ" hides the window and leaves the choice in Sel_Picture: the icon's
// full path, the folder followed by "Command:Clear", or "Command:Cancel". The
// library is read once, when the window loads.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/ScrollBar.h"

#include <string>
#include <vector>

namespace entry {

inline constexpr const char* IconPViewCaption = "ｱｲｺﾝ選択";
inline constexpr const char* ClearCommand = "Command:Clear";
inline constexpr const char* CancelCommand = "Command:Cancel";
inline constexpr const char* FileAccessError = "ファイルアクセスエラー";

} // namespace entry

class IconPView : public forms::Form {
public:
    IconPView();

    forms::ControlArray<forms::Image> PicBuf{*this, "PicBuf", {0}};
    forms::HScrollBar HSc{*this, "HSc"};
    forms::CommandButton Command1{*this, "Command1"};

    // The result of the last use (see above).
    std::string Sel_Picture;

    // Shows the page of tiles that begins at tile index start.
    void Disp_PreView(int start);
    // Fills the list of names and the tiles from the folder's files ending in
    // ext: 0 when done, -1 when the folder is missing or a file could not be
    // shown (after "ファイルアクセスエラー"). The clear tile is offered in every case.
    int Load_Picture(const std::string& folder, const std::string& ext);

    // The names of the tiles: entry 0 is the clear tile, then the icons in order.
    const std::vector<std::string>& names() const { return m_names; }
    int pageStart() const { return m_pageStart; }

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void HSc_Change();
    void PicBuf_Click(int Index);
    void Command1_Click();

protected:
    void design() override;

private:
    int lastIndex() const { return static_cast<int>(m_names.size()) - 1; }

    std::vector<std::string> m_names;
    std::string m_folder;
    int m_pageStart = -1;
};

// The one instance of the window.
IconPView& iconpview_form();
