#include "operator/forms/colour_scheme.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <optional>

namespace quorvel::forms {
namespace {

struct Desktop {
    QString style;
    QPalette palette;
};

std::optional<Desktop>& desktop() {
    static std::optional<Desktop> saved;
    return saved;
}

bool& dark() {
    static bool inUse = false;
    return inUse;
}

// Fusion draws every control from the palette, so that no part keeps light colours.
QPalette darkPalette() {
    QPalette p;
    const QColor text(230, 230, 230);
    const QColor disabled(150, 150, 150);  // still readable on the dark grounds
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(60, 60, 65));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Link, QColor(110, 170, 255));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(90, 90, 95));
    p.setColor(QPalette::Midlight, QColor(70, 70, 75));
    p.setColor(QPalette::Mid, QColor(40, 40, 43));
    p.setColor(QPalette::Dark, QColor(25, 25, 27));
    p.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::Base, QColor(40, 40, 43));
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(50, 50, 54));
    return p;
}

}  // namespace

void UseDarkPalette(bool on) {
    if (on == dark()) return;
    if (!desktop()) desktop() = Desktop{QApplication::style()->name(), QApplication::palette()};
    if (on) {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(darkPalette());
    } else {
        QApplication::setStyle(QStyleFactory::create(desktop()->style));
        QApplication::setPalette(desktop()->palette);
    }
    dark() = on;
}

bool DarkPaletteInUse() { return dark(); }

}  // namespace quorvel::forms
