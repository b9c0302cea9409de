#pragma once
// Shared set-up of the printing tests: a fresh program folder, scripted answers
// to message boxes and file dialogs, one PDF printer, and the family, document
// settings, chart state and drawing lists put back after every test. Helpers record a small
// chart into the drawing lists the way the print command's recording pass does.

#include "drawing/draw_state.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "forms/Screen.h"
#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/DispStat.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "printing/DispKeizu.h"
#include "printing/FrmPrnSet.h"
#include "printing/PrePrint.h"
#include "support/ScriptedResponder.h"
#include "support/qt/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/qt/UnloadWindows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace printing_test {

class PrintingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tables = std::make_unique<model::Tables>(model::tables());
        m_backup = std::make_unique<layout::BackupBufs>(layout::backupBufs());
        m_settings = model::settings();
        m_runState = model::runState();
        m_chart = std::make_unique<layout::ChartState>(layout::chart());
        m_draw = std::make_unique<drawing::DrawState>(drawing::drawState());
        forms::setPrinterList({forms::PdfPrinterName});
        forms::resetCurrentPrinter();
        forms::clearMousePointerChanges();
        drawing::resetDrawingLists();
        model::settings().Print_Scale = 1.0f;
        model::tables().Cur_FilePath = home.path() + "/family.KEZ";
    }

    void TearDown() override
    {
        support::unloadWindows({&printing::preprint_form(), &printing::dispkeizu_form(), &printing::frmprnset_form()});
        forms::setPropertiesDialogHandler(nullptr);
        forms::resetCurrentPrinter();
        forms::resetPrinterList();
        model::tables() = *m_tables;
        layout::backupBufs() = *m_backup;
        model::settings() = m_settings;
        model::runState() = m_runState;
        layout::chart() = *m_chart;
        drawing::drawState() = *m_draw;
    }

    static void addBox(double left, double top, double right, double bottom, int16_t markF = 0, int32_t colour = 0)
    {
        drawing::BoxRec box;
        box.Left = left;
        box.Top = top;
        box.Right = right;
        box.Bottom = bottom;
        box.MarkF = markF;
        box.Color = colour;
        box.PersonF = -1;
        drawing::appendBox(box);
    }

    static void addLine(double x1, double y1, double x2, double y2, int16_t style = 1)
    {
        drawing::LineRec line;
        line.X1 = x1;
        line.Y1 = y1;
        line.X2 = x2;
        line.Y2 = y2;
        line.Style = style;
        drawing::appendLine(line);
    }

    static void addCaption(const std::string& text, double x, double y, double width, double height,
                           int16_t fontSize, int16_t vertF = 0)
    {
        drawing::TextRec rec;
        rec.Text = text;
        rec.FontName = "ＭＳ Ｐゴシック";
        rec.FontSize = fontSize;
        rec.X = x;
        rec.Y = y;
        rec.Width = width;
        rec.Height = height;
        rec.VertF = vertF;
        drawing::appendText(rec);
    }

    // One person in slot `slot` with the default display block.
    static void addPerson(int slot, const std::string& familyName, const std::string& name)
    {
        model::personal_data& p = model::tables().per_buf[static_cast<size_t>(slot)];
        p = model::personal_data();
        p.InUse = model::SlotUsed;
        p.F_name = familyName;
        p.Name = name;
        p.Disp = model::defaultDispStat();
    }

    // The name box of a person as the recording pass writes it: a box record
    // (not drawn from the box list) and a text record standing for the box.
    static void addPersonBox(int slot, double x, double y, double width, double height)
    {
        drawing::BoxRec box;
        box.Left = x;
        box.Top = y;
        box.Right = x + width;
        box.Bottom = y + height;
        box.PersonF = 0;
        drawing::appendBox(box);
        drawing::TextRec rec;
        rec.X = x;
        rec.Y = y;
        rec.PerIdx = static_cast<int16_t>(slot);
        rec.BoxW = width;
        rec.BoxH = height;
        drawing::appendText(rec);
    }

    TempHome home;
    support::ScriptedResponder answers;
    support::ScriptedDialogs dialogs;

private:
    std::unique_ptr<model::Tables> m_tables;
    std::unique_ptr<layout::BackupBufs> m_backup;
    model::Settings m_settings;
    model::RunState m_runState;
    std::unique_ptr<layout::ChartState> m_chart;
    std::unique_ptr<drawing::DrawState> m_draw;
};

} // namespace printing_test
