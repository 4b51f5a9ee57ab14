// Seeded random operator input over the main window: clicks on every kind of control, menu
// entries, keys and resizes, with every dialog closed by Escape and only the simulated rack
// reachable. The program must neither crash nor hang, and must end unlocked.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <functional>
#include <random>

#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kSteps = 120;
// Entries that end the session or only open the desktop's own windows.
const QStringList kSkippedEntries = {"mnuFileExit"};

class RandomInput : public WindowTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    void step(std::mt19937& random) {
        const std::function<void()> actions[] = {
            [&] { clickSomeWidget(random); }, [&] { triggerSomeEntry(random); },
            [&] { pressSomeKey(random); },
            [&] { window().resize(200 + int(random() % 900), 150 + int(random() % 900)); },
            [&] { clickSomeBox(random); }};
        actions[random() % std::size(actions)]();
        QApplication::processEvents();
    }

    void clickSomeWidget(std::mt19937& random) {
        const auto widgets = window().findChildren<QWidget*>();
        QWidget* target = widgets[static_cast<qsizetype>(random() % widgets.size())];
        if (!target->isVisible()) return;
        const QPoint point(int(random() % std::max(1, target->width())),
                           int(random() % std::max(1, target->height())));
        const Qt::MouseButton button = random() % 4 == 0 ? Qt::RightButton : Qt::LeftButton;
        if (random() % 3 == 0) {
            QTest::mouseDClick(target, button, {}, point);
        } else {
            QTest::mouseClick(target, button, {}, point);
        }
    }

    void triggerSomeEntry(std::mt19937& random) {
        QList<QAction*> actions;
        for (QAction* action : window().findChildren<QAction*>()) {
            if (action->isVisible() && action->isEnabled() && !action->isSeparator() &&
                !kSkippedEntries.contains(action->objectName()) && !action->menu()) {
                actions << action;
            }
        }
        if (!actions.isEmpty())
            actions[static_cast<qsizetype>(random() % actions.size())]->trigger();
    }

    void pressSomeKey(std::mt19937& random) {
        static const Qt::Key keys[] = {Qt::Key_Tab,  Qt::Key_Space, Qt::Key_Return,  Qt::Key_Escape,
                                       Qt::Key_Down, Qt::Key_Up,    Qt::Key_Backtab, Qt::Key_F1};
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window();
        QTest::keyClick(focus, keys[random() % std::size(keys)]);
    }

    void clickSomeBox(std::mt19937& random) {
        const int which = int(random() % (quorvel::DeviceInventory::kSlots + 2));
        if (which == 0) return click(kProcessor);
        if (which == 1) return click(kPanel);
        click(Slot(which - 2));
    }
};

TEST_P(RandomInput, WindowStaysUsableAndEndsUnlocked) {
    startAndScan();
    answerer.rejectEverything(true);
    std::mt19937 random(GetParam());
    for (int i = 0; i < kSteps; ++i) step(random);
    EXPECT_FALSE(window().isLocked());
    EXPECT_FALSE(state().Busy);
    EXPECT_TRUE(window().menuBar()->isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInput, ::testing::Values(1u, 7u, 42u));

}  // namespace
}  // namespace forms_tests
