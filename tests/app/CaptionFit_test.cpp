// Every caption of every window is fully visible: each window is loaded as the
// program loads it, with the largest family the tables hold, and every label,
// button, check box and option button it shows must hold its text in the font
// the control really draws with.

#include "app/AppWindows.h"

#include "drawing/DspOp.h"
#include "entry/CelSet.h"
#include "entry/EntryForm.h"
#include "entry/IconPView.h"
#include "entry/InfoOne.h"
#include "entry/InputNameOne.h"
#include "entry/Voicefm.h"
#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/OptionButton.h"
#include "forms/Printers.h"
#include "mainwindow/EEGG.h"
#include "mainwindow/FrmDebug.h"
#include "mainwindow/FrmQA.h"
#include "mainwindow/MainForm.h"
#include "printing/DispKeizu.h"
#include "printing/FrmPrnSet.h"
#include "printing/PrePrint.h"
#include "relations/CategMakeForm.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/GrpStatForm.h"
#include "relations/InfoChldForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/CsvSet.h"
#include "reports/FrmCsvInStat.h"
#include "reports/csvinset.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include "LayoutFamilies.h"
#include "ProgramFixture.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The text a button shows: a single & marks the access key and is not drawn.
QString shownText(const QString& caption)
{
    QString text;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

// Width and height a text needs in lines of its own, without wrapping.
QSize unwrappedSize(const QFontMetrics& metrics, const QString& text)
{
    return metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, text).size();
}

// Why the caption of a control does not fit, or "" when it does.
std::string clipping(const forms::Control& control)
{
    const QWidget* widget = control.widget();
    if (!widget)
        return {};
    const QFontMetrics metrics(widget->font());
    const QStyle* style = widget->style();
    QString text;
    QSize needed;
    QSize room;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
        // A label wraps its caption at its width and cuts off what falls below it.
        room = label->contentsRect().size();
        needed = metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap | Qt::AlignLeft, text).size();
        needed.setWidth(std::max(needed.width(), 0));
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        text = shownText(button->text());
        needed = unwrappedSize(metrics, text);
        if (dynamic_cast<const forms::CommandButton*>(&control)) {
            const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
            room = QSize(widget->width() - 2 * frame, widget->height() - 2 * frame);
        } else {
            const bool option = dynamic_cast<const forms::OptionButton*>(&control) != nullptr;
            const int indicator = style->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorWidth
                                                            : QStyle::PM_IndicatorWidth, nullptr, widget);
            const int spacing = style->pixelMetric(option ? QStyle::PM_RadioButtonLabelSpacing
                                                          : QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
            room = QSize(widget->width() - indicator - spacing, widget->height());
        }
    } else {
        return {};
    }
    if (text.trimmed().isEmpty() || (needed.width() <= room.width() && needed.height() <= room.height()))
        return {};
    return "\"" + text.toStdString() + "\" needs " + std::to_string(needed.width()) + "x" +
           std::to_string(needed.height()) + " px, has " + std::to_string(room.width()) + "x" +
           std::to_string(room.height()) + " (" + widget->font().family().toStdString() + " " +
           std::to_string(widget->font().pointSizeF()) + " pt)";
}

bool showsCaption(const forms::Control& control)
{
    return dynamic_cast<const forms::Label*>(&control) || dynamic_cast<const forms::CommandButton*>(&control) ||
           dynamic_cast<const forms::CheckBox*>(&control) || dynamic_cast<const forms::OptionButton*>(&control);
}

// A window of the program, by the name of its accessor.
struct Window {
    const char* name;
    forms::Form& (*form)();
};

void PrintTo(const Window& window, std::ostream* out)
{
    *out << window.name;
}

class CaptionFit : public app_test::ProgramFixture<::testing::TestWithParam<Window>> {
protected:
    void SetUp() override
    {
        answers.allowUnusedAnswers();
        ProgramFixture::SetUp();
    }
};

TEST_P(CaptionFit, EveryCaptionOfTheWindowIsFullyVisible)
{
    // The largest family the tables hold: counts and lists show their widest values.
    layouttest::resetAll();
    layouttest::buildFullFamily();
    forms::Form& form = GetParam().form();
    form.load();
    std::vector<std::string> clipped;
    for (const forms::Control* control : form.controls()) {
        if (!showsCaption(*control) || !control->isVisible())
            continue;
        const std::string why = clipping(*control);
        if (!why.empty()) {
            const std::string index = control->index() >= 0 ? "(" + std::to_string(control->index()) + ")" : "";
            clipped.push_back(form.name() + "." + control->name() + index + ": " + why);
        }
    }
    EXPECT_TRUE(clipped.empty()) << [&] {
        std::string all;
        for (const std::string& line : clipped)
            all += line + "\n";
        return all;
    }();
}

INSTANTIATE_TEST_SUITE_P(Windows, CaptionFit,
                         ::testing::Values(
                      Window{"main", []() -> forms::Form& { return main_form(); }},
                      Window{"frmqa", []() -> forms::Form& { return frmqa_form(); }},
                      Window{"dbgmenu", []() -> forms::Form& { return dbgmenu_form(); }},
                      Window{"eegg", []() -> forms::Form& { return eegg_form(); }},
                      Window{"easyctl", []() -> forms::Form& { return easyctl_form(); }},
                      Window{"kakegrpstat", []() -> forms::Form& { return kakegrpstat_form(); }},
                      Window{"categmake", []() -> forms::Form& { return categmake_form(); }},
                      Window{"infochld", []() -> forms::Form& { return infochld_form(); }},
                      Window{"grpstat", []() -> forms::Form& { return grpstat_form(); }},
                      Window{"ctrl", []() -> forms::Form& { return ctrl_form(); }},
                      Window{"dspop", []() -> forms::Form& { return dspop_form(); }},
                      Window{"voicefm", []() -> forms::Form& { return voicefm_form(); }},
                      Window{"iconpview", []() -> forms::Form& { return iconpview_form(); }},
                      Window{"entry", []() -> forms::Form& { return entry_form(); }},
                      Window{"infoone", []() -> forms::Form& { return infoone_form(); }},
                      Window{"inputnameone", []() -> forms::Form& { return inputnameone_form(); }},
                      Window{"celset", []() -> forms::Form& { return celset_form(); }},
                      Window{"dispkeizu", []() -> forms::Form& { return printing::dispkeizu_form(); }},
                      Window{"preprint", []() -> forms::Form& { return printing::preprint_form(); }},
                      Window{"frmprnset", []() -> forms::Form& { return printing::frmprnset_form(); }},
                      Window{"nametb", []() -> forms::Form& { return nametb_form(); }},
                      Window{"csvinset", []() -> forms::Form& { return csvinset_form(); }},
                      Window{"yeartb", []() -> forms::Form& { return yeartb_form(); }},
                      Window{"frmcsvinstat", []() -> forms::Form& { return frmcsvinstat_form(); }},
                      Window{"csvset", []() -> forms::Form& { return csvset_form(); }}),
                         [](const ::testing::TestParamInfo<Window>& info) { return std::string(info.param.name); });

} // namespace
