#include "forms/Testing.h"

#include "forms/Form.h"
#include "forms/FormWindow_p.h"
#include "forms/Printers.h"
#include "forms/Screen.h"
#include "forms/Timer.h"
#include "forms/WindowFunctions.h"

#include <QCoreApplication>
#include <QEvent>

namespace forms {

QWidget* formWidget(const Form& form)
{
    return form.window();
}

void resetFormsForTesting()
{
    const auto loaded = loadedForms();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it)
        (*it)->destroySilently();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    forgetWindowPlaces();
    clearOnShown();
    resetProgramEnd();
    setPopupResponder(nullptr);
    if (screen().mousePointer() != 0)
        screen().setMousePointer(0);
    clearMousePointerChanges();
    clearTopMostChanges();
    resetPrinterList();
    setPrintProgressDelay(-1);
}

} // namespace forms
