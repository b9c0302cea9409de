#include "printing/DispKeizu.h"

namespace printing {

DispKeizuForm::DispKeizuForm() : PagePreviewForm("DispKeizu", {0, 1}) {}

void DispKeizuForm::design()
{
    PagePreviewForm::design();
    setCaption(DispKeizuCaption);
    Text1.setText("１00");
    Picture4.move(120, 1200, 1900, 1500);
    Picture4.setVisible(false);
    Picture3[0].setVisible(false);
}

DispKeizuForm& dispkeizu_form()
{
    static DispKeizuForm form;
    return form;
}

} // namespace printing
