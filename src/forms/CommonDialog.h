#pragma once
// The common dialog control: open, save, colour and font dialogs whose
// properties persist between uses of the same control (CancelError and Flags
// included). The font properties are the control's Font.
//
// Filter: "description|pattern" pairs ("BMP files( *.bmp )|*.bmp"), patterns
// separated by ";", or a bare pattern ("*.KEZ") that is its own description.
// Patterns match case-insensitively. No extension is appended to the chosen
// name. A name holding "*" or "?" is a pattern, never a file: as the preset
// FileName it filters the list and leaves the name box empty, and typed there it
// filters the list. An open dialog takes only a file that exists, so the flag
// &H2000 (confirm creating a file that does not exist) never has to ask; 2
// confirms overwriting (save). An InitDir that does not exist starts in the
// program folder. Cancel raises 32755 with CancelError set; otherwise FileName,
// Color and the font keep their values.
//
// Tests answer every dialog through a DialogResponder instead of Qt dialogs.

#include "forms/Control.h"

#include <string>
#include <vector>

namespace forms {

enum class DialogKind { Open, Save, Color, Font };

// What a dialog is asked to show.
struct DialogRequest {
    DialogKind kind = DialogKind::Open;
    std::string title;
    std::string filter;
    std::string fileName;        // preset shown in the name box
    std::string startDirectory;  // where the dialog starts
    int flags = 0;
    long color = 0;
    std::string fontName;
    double fontSize = 0;
    bool fontBold = false;
    bool fontItalic = false;
};

// What the user chose.
struct DialogAnswer {
    bool accepted = false;
    std::string fileName;
    long color = 0;
    std::string fontName;
    double fontSize = 0;
    bool fontBold = false;
    bool fontItalic = false;

    static DialogAnswer cancelled() { return DialogAnswer(); }
    static DialogAnswer file(std::string path);
    static DialogAnswer colour(long colour);
    static DialogAnswer font(std::string name, double size, bool bold = false, bool italic = false);
};

class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    virtual DialogAnswer respond(const DialogRequest& request) = 0;
};

// Installs a responder (not owned) that answers every common dialog; nullptr
// returns to the real Qt dialogs.
void setDialogResponder(DialogResponder* responder);

// The Qt name filters for a Filter property ("desc (*.kez)", ...). The dialog
// shows only each filter's description and matches the patterns in any letter
// case.
std::vector<std::string> qtNameFilters(const std::string& filter);

class Form;

// An open or save dialog over owner for a window without a dialog control: the
// request as given (startDirectory included), answered like the control's
// dialogs, by the installed responder when there is one.
DialogAnswer askFile(Form& owner, const DialogRequest& request);

// Flags bits.
constexpr int cdlOFNOverwritePrompt = 0x2;
constexpr int cdlOFNCreatePrompt = 0x2000;

class CommonDialog : public Control {
public:
    CommonDialog(Container& container, std::string name);

    bool cancelError() const;
    void setCancelError(bool cancelError);
    const std::string& dialogTitle() const;
    void setDialogTitle(const std::string& title);
    const std::string& fileName() const;
    void setFileName(const std::string& fileName);
    const std::string& filter() const;
    void setFilter(const std::string& filter);
    int flags() const;
    void setFlags(int flags);
    const std::string& initDir() const;
    void setInitDir(const std::string& folder);
    long color() const;
    void setColor(long colour);

    void showOpen();
    void showSave();
    void showColor();
    void showFont();

protected:
    QWidget* createWidget(QWidget*) override { return nullptr; }
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyGeometry() override {}
    void applyVisible() override {}
    void applyEnabled() override {}
    void applyToolTip() override {}
    void applyFont() override {}
    void applyZOrder(int) override {}
    void applyTabStop() override {}

private:
    struct Properties {
        bool cancelError = false;
        std::string dialogTitle;
        std::string fileName;
        std::string filter;
        int flags = 0;
        std::string initDir;
        long color = 0;
    };
    DialogRequest request(DialogKind kind) const;
    DialogAnswer ask(const DialogRequest& request);
    void finish(const DialogAnswer& answer, DialogKind kind);

    Properties m_props;
};

} // namespace forms
