#pragma once
// The model's requests as the main window answers them: its own controls where a
// request concerns the main window (caption, undo button, Settings menu marks,
// chart canvas, tabs, the Save As dialog), the other windows through
// OtherWindows, and the window functions through the forms layer.

#include "model/WindowServices.h"

#include <cstdint>
#include <string>

class MainForm;

namespace mainwindow {

class MainWindowServices : public model::WindowServices {
public:
    explicit MainWindowServices(MainForm& window) : m_window(window) {}

    void closePersonEditor() override;
    void closeChronology() override;
    void personFreed(int person) override;
    void clearRelationPersonLists() override;
    void resetRelationEditor() override;
    void enableRelationUndo(const std::string& caption) override;
    int deleteMarriage(int kou) override;
    void clearSelection() override;
    int setTopMost(const std::string& windowName, bool topmost) override;
    bool isFormLoaded(const std::string& windowName) override;
    void saveUndo() override;

    void setUndoEnabled(bool enabled) override;
    void disableDropUndo() override;
    void disableRelationUndo() override;
    void setDisplayChecks() override;
    void loadAfterDisp() override;
    void resetKouNum() override;
    void setChartBackColor(int32_t colour) override;
    void setChartAcceptsDrops(bool accepts) override;
    void setCaption(const std::string& caption) override;
    void removeTreeTabs(int count) override;
    std::string askSaveAsPath(const std::string& offeredName) override;

private:
    MainForm& m_window;
};

} // namespace mainwindow
