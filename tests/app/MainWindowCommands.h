#pragma once
// The main window's commands as the user sees them, in screen pixels: its title
// bar (the top 30 pixels of its frame: room to take hold of it), each menu of its
// menu bar, the toolbar's buttons, option buttons and zoom box, and the side
// buttons. Which of them a frame covers, and how few of them a frame of its size
// must cover somewhere on the screen, tried on a grid of every fourth pixel.

#include "forms/Testing.h"
#include "mainwindow/MainForm.h"

#include <QAction>
#include <QMenuBar>
#include <QRect>
#include <QWidget>
#include <QWindow>

#include <string>
#include <utility>
#include <vector>

namespace app_test {

using NamedPlaces = std::vector<std::pair<std::string, QRect>>;

inline QRect placeOnScreen(const QWidget& widget)
{
    return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
}

inline QRect frameOnScreen(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->frameGeometry() : window.frameGeometry();
}

inline NamedPlaces mainWindowCommands()
{
    MainForm& main = main_form();
    const QWidget& window = *forms::formWidget(main);
    const QRect frame = frameOnScreen(window);
    NamedPlaces commands{{"the title bar", QRect(frame.topLeft(), QSize(frame.width(), 30))}};
    const QMenuBar* bar = window.findChild<QMenuBar*>();
    for (QAction* action : bar->actions()) {
        if (action->isVisible())
            commands.emplace_back(action->text().toStdString(),
                                  QRect(bar->mapToGlobal(bar->actionGeometry(action).topLeft()),
                                        bar->actionGeometry(action).size()));
    }
    const auto add = [&](const std::string& name, const forms::Control& control) {
        if (control.widget() && control.widget()->isVisible())
            commands.emplace_back(name, placeOnScreen(*control.widget()));
    };
    main.Command2.forEach(
        [&](forms::CommandButton& button) { add("Command2(" + std::to_string(button.index()) + ")", button); });
    main.optChMode.forEach(
        [&](forms::OptionButton& option) { add("optChMode(" + std::to_string(option.index()) + ")", option); });
    add("Text1", main.Text1);
    for (const auto& [name, button] : std::vector<std::pair<std::string, const forms::Control*>>{
             {"cmdEzCtrl", &main.cmdEzCtrl}, {"cmdChDel", &main.cmdChDel}, {"cmdDispOp", &main.cmdDispOp},
             {"CmdUndo", &main.CmdUndo}, {"cmdCategory", &main.cmdCategory}, {"Command1", &main.Command1}})
        add(name, *button);
    main.cmdChdMov.forEach(
        [&](forms::CommandButton& button) { add("cmdChdMov(" + std::to_string(button.index()) + ")", button); });
    return commands;
}

// The names of the commands the frame covers, each followed by ';'.
inline std::string commandsUnder(const QRect& frame, const NamedPlaces& commands)
{
    std::string found;
    for (const auto& [name, place] : commands) {
        if (frame.intersects(place))
            found += name + ";";
    }
    return found;
}

// How few of the commands a frame of the size covers at best, wholly inside area.
inline int fewestCommandsUnder(const QSize& size, const QRect& area, const NamedPlaces& commands)
{
    int fewest = static_cast<int>(commands.size());
    for (int x = area.left(); x + size.width() <= area.right() + 1 && fewest > 0; x += 4) {
        for (int y = area.top(); y + size.height() <= area.bottom() + 1; y += 4) {
            const QRect frame(QPoint(x, y), size);
            int covered = 0;
            for (const auto& command : commands)
                covered += frame.intersects(command.second) ? 1 : 0;
            fewest = std::min(fewest, covered);
        }
    }
    return fewest;
}

// "" when the frame covers no more of the main window's commands than a frame of
// its size must, else what it covers.
inline std::string coversMoreCommandsThanItMust(const QRect& frame, const QRect& area)
{
    const NamedPlaces commands = mainWindowCommands();
    const std::string under = commandsUnder(frame, commands);
    const auto count = static_cast<int>(std::count(under.begin(), under.end(), ';'));
    const int fewest = fewestCommandsUnder(frame.size(), area, commands);
    if (count <= fewest)
        return "";
    return "covers " + under + " where " + std::to_string(fewest) + " would do;";
}

} // namespace app_test
