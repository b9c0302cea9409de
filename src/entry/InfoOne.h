#pragma once
// The person card InfoOne ("個人情報画面"): one person of per_buf at a glance,
// names, sex, dates, age, address and contact texts, remarks and the face
// picture. It edits nothing. Callers show it not modal and set InfoOne_Open to
// 1 (showPersonCard does both), then call Show_Person_Info; "戻る" hides it,
// closing it by its frame unloads it.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"

namespace entry {

inline constexpr const char* InfoOneCaption = "個人情報画面";
inline constexpr const char* NoSuchPersonMessage = "この方は存在しません。";
inline constexpr const char* CardPictureError = "アイコンファイルが開けません";

// The remarks as the card shows them: each line break, held in per_buf as two
// line feeds, becomes CR LF; a single line feed is dropped.
std::string cardRemarks(const std::string& biko);

} // namespace entry

class InfoOne : public forms::Form {
public:
    InfoOne();

    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
    forms::ControlArray<forms::TextBox> Text1{*this, "Text1", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}};
    forms::ControlArray<forms::OptionButton> Option1{*this, "Option1", {0, 1}};
    forms::ControlArray<forms::PictureBox> Picture1{*this, "Picture1", {0, 1}};
    forms::CommandButton CMDEND{*this, "CMDEND"};

    // Fills the card with the person in slot index. A slot not in use shows a
    // message and leaves the texts of the previous person.
    void Show_Person_Info(int index);

    // The callers' protocol: shows the card not modal (InfoOne_Open := 1) or
    // brings the open card to the front, then shows the person.
    void showPersonCard(int person);
    // While the card is open it shows the person; otherwise nothing happens.
    void showPersonIfOpen(int person);
    // The family was replaced (New, a load, a restore): the open card shows its
    // person as now stored, or closes as "戻る" does when his slot holds nobody.
    void showCurrentFamily();

    void CMDEND_Click();
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

protected:
    void design() override;

private:
    // When the picture's file cannot be shown, the message that names it and why
    // ("" when shown).
    std::string showPicture(const std::string& faceFolder, int index);

    // The person the card shows; -1 none.
    int m_person = -1;
};

// The one instance of the window.
InfoOne& infoone_form();
