#pragma once
// Shared set-up of the chart rebuild and chart view tests: an empty family in a
// fresh program folder (the autosave lands there), a window laid out like the main
// window's chart with the real chart view over its controls, the canvas installed
// as every output of the drawing, and window services that act on the window as
// the main window's do (drop mode, tree tabs) and count the selection clears.
// Message boxes are scripted: one the test did not expect fails it.

#include "ChartWindowForm.h"
#include "DrawingFixture.h"
#include "LayoutFamilies.h"

#include "drawing/CanvasChartControls.h"
#include "drawing/CanvasChartElements.h"
#include "drawing/CanvasPersonBoxes.h"
#include "drawing/ChartOutputs.h"
#include "drawing/FormsChartView.h"
#include "drawing/PersonBox.h"
#include "drawing/draw_state.h"
#include "forms/Screen.h"
#include "layout/ChartElements.h"
#include "layout/ChartTrees.h"
#include "layout/ChartView.h"
#include "layout/chart_state.h"
#include "model/WindowServices.h"
#include "model/tables.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace drawing_test {

using Element = forms::ChartCanvas::ElementInfo;

// The main window's side of the model's window services that the rebuild reaches.
class ChartWindowServices : public model::WindowServices {
public:
    ChartWindowServices(ChartWindowForm& form, drawing::FormsChartView& view) : m_form(form), m_view(view) {}
    void clearSelection() override { ++selectionClears; }
    void setChartAcceptsDrops(bool accepts) override { m_form.Picture1.setOleDropMode(accepts ? 1 : 0); }
    void removeTreeTabs(int count) override { m_view.removeTreeTabs(count); }

    int selectionClears = 0;

private:
    ChartWindowForm& m_form;
    drawing::FormsChartView& m_view;
};

class ChartRebuildFixture : public DrawingFixture {
protected:
    static constexpr int16_t Male = layouttest::FamilyBuilder::Male;
    static constexpr int16_t Female = layouttest::FamilyBuilder::Female;

    void SetUp() override
    {
        DrawingFixture::SetUp();
        layouttest::resetAll();
        drawing::drawState() = drawing::DrawState{};
        form.show();
        elements = std::make_unique<drawing::CanvasChartElements>(
            drawing::ChartElementArrays{form.Label11, form.Label12, form.Label13, form.Line1, form.Line7,
                                        form.Image1, form.DPic},
            &form.Text1);
        layout::setChartElements(elements.get());
        boxes = std::make_unique<drawing::CanvasPersonBoxes>(form.DPic);
        drawing::setPersonBoxPictures(boxes.get());
        controls = std::make_unique<drawing::CanvasChartControls>(
            drawing::ChartControlArrays{form.Label11, form.Label12, form.Label13, form.Line1, form.Line7,
                                        form.Image1, form.DPic},
            &form.Picture2);
        drawing::setChartControls(controls.get());

        drawing::ChartViewControls c;
        c.window = &form;
        c.Picture2 = &form.Picture2;
        c.Picture1 = &form.Picture1;
        c.HScroll1 = &form.HScroll1;
        c.VScroll1 = &form.VScroll1;
        c.TabStrip1 = &form.TabStrip1;
        c.Text1 = &form.Text1;
        c.lblFocus = &form.lblFocus;
        c.Frame2 = &form.Frame2;
        c.menus = {&form.filemenu, &form.scrmenu, &form.setmenu, &form.helpmenu};
        c.Tab_ClickSkip = &form.Tab_ClickSkip;
        c.Fullscreen_Flag = &form.Fullscreen_Flag;
        view = std::make_unique<drawing::FormsChartView>(c);
        layout::setChartView(view.get());
        form.HScroll1.onChange = [this] { view->scrollChanged(layout::ScrollAxis::Horizontal); };
        form.VScroll1.onChange = [this] { view->scrollChanged(layout::ScrollAxis::Vertical); };
        services = std::make_unique<ChartWindowServices>(form, *view);
        model::setWindowServices(services.get());
        forms::clearMousePointerChanges();
    }

    void TearDown() override
    {
        model::setWindowServices(nullptr);
        form.HScroll1.onChange = nullptr;
        form.VScroll1.onChange = nullptr;
        view.reset();
        controls.reset();
        boxes.reset();
        elements.reset();
        drawing::drawState() = drawing::DrawState{};
        DrawingFixture::TearDown();
    }

    static layout::ChartState& chart() { return layout::chart(); }
    static model::marry_data& marriage(int k) { return model::tables().kou_buf[static_cast<size_t>(k)]; }

    int16_t titledCouple(const std::string& title)
    {
        const int16_t kou = family.couple();
        marriage(kou).kou_title = title;
        return kou;
    }
    int16_t titledMarriage(int16_t husband, int16_t wife, const std::string& title)
    {
        const int16_t kou = family.marry(husband, wife);
        marriage(kou).kou_title = title;
        return kou;
    }

    std::vector<std::string> tabCaptions()
    {
        std::vector<std::string> captions;
        forms::Tabs& tabs = form.TabStrip1.tabs();
        for (int i = 1; i <= tabs.count(); ++i)
            captions.push_back(tabs.item(i).caption());
        return captions;
    }

    // The user picks a tab: the strip raises Click as for a mouse click.
    void clickTab(int index) { form.TabStrip1.tabs().item(index).setSelected(true); }

    // The visible elements of one array.
    std::vector<Element> shown(const std::string& array) const
    {
        std::vector<Element> result;
        for (const Element& e : form.Picture1.inspectElements()) {
            if (e.name == array && e.visible && e.index >= 2)
                result.push_back(e);
        }
        return result;
    }

    // The persons whose name boxes are on the canvas.
    std::set<int16_t> drawnPersons() const
    {
        std::set<int16_t> persons;
        for (const Element& e : shown("DPic"))
            persons.insert(drawing::drawState().Label12_Per.at(static_cast<size_t>(e.index)));
        return persons;
    }

    // Every person standing in a cell of the tree (grid numbers).
    static std::set<int16_t> personsOfTree(int16_t tree)
    {
        std::set<int16_t> persons;
        const layout::ChartState& c = layout::chart();
        for (int r = 0; r < layout::GridRows; ++r) {
            for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
                const layout::cell_rec& cell = c.cell_buf[static_cast<size_t>(r)][static_cast<size_t>(k)];
                if (cell.tree_no != tree)
                    continue;
                for (int16_t p : {cell.per_a, cell.per_b}) {
                    if (p != -1 && p != model::BlankPartner)
                        persons.insert(p);
                }
            }
        }
        return persons;
    }

    support::TempHome home;
    support::ScriptedResponder answers;
    ChartWindowForm form;
    layouttest::FamilyBuilder family;
    std::unique_ptr<drawing::CanvasChartElements> elements;
    std::unique_ptr<drawing::CanvasPersonBoxes> boxes;
    std::unique_ptr<drawing::CanvasChartControls> controls;
    std::unique_ptr<drawing::FormsChartView> view;
    std::unique_ptr<ChartWindowServices> services;
};

} // namespace drawing_test
