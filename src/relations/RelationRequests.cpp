#include "relations/RelationRequests.h"

#include "forms/Form.h"
#include "model/WindowServices.h"

namespace relations {

namespace {

RelationRequests* installedRequests = nullptr;

} // namespace

void RelationRequests::closePersonEditor()
{
    model::windowServices().closePersonEditor();
}

void RelationRequests::raiseMainWindow()
{
    // Only a loaded main window: touching an unloaded one would start the program anew.
    if (forms::Form* main = forms::findLoadedForm("main"))
        main->zOrder(0);
}

void setRelationRequests(RelationRequests* requests)
{
    installedRequests = requests;
}

RelationRequests& relationRequests()
{
    static RelationRequests defaults;
    return installedRequests ? *installedRequests : defaults;
}

} // namespace relations
