#pragma once
// The main window's menus as data: every entry in order with its control name, caption, whether
// it is hidden until the start mode shows it, and whether it carries a check mark.
#include <QString>
#include <vector>

namespace quorvel::forms {

struct MenuEntry {
    QString name;     // the control name the drivers and the shell use ("mnuTransferDown")
    QString caption;  // empty: a separator
    bool hidden = false;
    bool checkable = false;
};

struct Menu {
    QString name;
    QString caption;
    std::vector<MenuEntry> entries;
};

const std::vector<Menu>& MainMenus();

struct ToolbarButton {
    QString key;      // "ConfigurePort"
    QString caption;  // text under the icon
    QString toolTip;
    QString
        icon;  // theme icon name; the shipped picture ":/icons/<key>.svg" when the theme lacks it
};

const std::vector<ToolbarButton>& ToolbarButtons();

}  // namespace quorvel::forms
