#include "mainwindow/MainWindowServices.h"

#include "forms/Form.h"
#include "forms/WindowFunctions.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "document/Snapshots.h"
#include "platform/Errors.h"

namespace mainwindow {

void MainWindowServices::closePersonEditor()
{
    otherWindows().closePersonEditor();
}

void MainWindowServices::closeChronology()
{
    otherWindows().closeChronology();
}

void MainWindowServices::personFreed(int person)
{
    otherWindows().forgetFreedPerson(person);
}

void MainWindowServices::clearRelationPersonLists()
{
    otherWindows().clearRelationPersonLists();
}

void MainWindowServices::resetRelationEditor()
{
    otherWindows().resetRelationEditor();
}

void MainWindowServices::enableRelationUndo(const std::string& caption)
{
    otherWindows().enableRelationUndo(caption);
}

int MainWindowServices::deleteMarriage(int kou)
{
    return otherWindows().deleteMarriage(kou);
}

void MainWindowServices::clearSelection()
{
    m_window.Clear_Selection();
}

int MainWindowServices::setTopMost(const std::string& windowName, bool topmost)
{
    forms::Form* window = forms::findForm(windowName);
    return window ? forms::SetTopMost(*window, topmost ? 1 : 0) : 0;
}

bool MainWindowServices::isFormLoaded(const std::string& windowName)
{
    return forms::findLoadedForm(windowName) != nullptr;
}

void MainWindowServices::saveUndo()
{
    // The snapshot reports its own failure and the undo button follows what is on disk.
    (void)model::Save_Undo();
}

void MainWindowServices::setUndoEnabled(bool enabled)
{
    m_window.CmdUndo.setEnabled(enabled);
}

void MainWindowServices::disableDropUndo()
{
    m_window.scritem[0].setEnabled(false);
}

void MainWindowServices::disableRelationUndo()
{
    otherWindows().disableRelationUndo();
}

void MainWindowServices::setDisplayChecks()
{
    m_window.setDisplayChecks();
}

void MainWindowServices::loadAfterDisp()
{
    m_window.LoadAfterDisp();
}

void MainWindowServices::resetKouNum()
{
    otherWindows().forgetRelationMarriage();
}

void MainWindowServices::setChartBackColor(int32_t colour)
{
    m_window.Picture1.setBackColor(colour);
}

void MainWindowServices::setChartAcceptsDrops(bool accepts)
{
    m_window.Picture1.setOleDropMode(accepts ? forms::vbOLEDropManual : forms::vbOLEDropNone);
}

void MainWindowServices::setCaption(const std::string& caption)
{
    m_window.setCaption(caption);
}

void MainWindowServices::removeTreeTabs(int count)
{
    forms::Tabs& tabs = m_window.TabStrip1.tabs();
    for (int i = 0; i < count && tabs.count() > 0; ++i)
        tabs.remove(1);
}

std::string MainWindowServices::askSaveAsPath(const std::string& offeredName)
{
    m_window.CommonDialog1.setCancelError(true);
    try {
        return m_window.askSavePath(offeredName);
    } catch (const platform::RuntimeError&) {
        // A cancelled dialog (or one that could not be shown) chooses no path.
        return {};
    }
}

} // namespace mainwindow
