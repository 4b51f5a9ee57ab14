// The function window (one button per function, its height by the count, the pressed button or
// none) and the panel bootstrap's input window (texts cut to their lengths, Cancel confirmed or
// not) as the drivers reach them through the window program.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "operator/drivers/function_choice.h"
#include "operator/forms/bootstrap_input_dialog.h"
#include "operator/forms/function_dialog.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

using quorvel::forms::BootstrapInputDialog;
using quorvel::forms::FunctionDialog;

class InputWindows : public WindowTest {};

TEST_F(InputWindows, FunctionWindowButtonsAndBootstrapInputTexts) {
    struct Case {
        int functions;
        std::optional<int> press;  // nullopt: the window is closed
    };
    startProgram();
    for (const Case& c : {Case{1, 0}, Case{3, 2}, Case{10, 9}, Case{12, 4}, Case{4, {}}}) {
        QStringList names;
        for (int i = 0; i < c.functions; ++i) names << QString("Function %1").arg(i + 1);
        int buttons = -1, frameHeight = -1, expectedFrame = -1;
        QString caption;
        answerer.expect([&](QDialog& dialog) {
            auto& window = static_cast<FunctionDialog&>(dialog);
            buttons = static_cast<int>(window.buttons().size());
            caption = window.frame()->title();
            frameHeight = window.frame()->minimumHeight();
            expectedFrame = window.pixels(buttons * 600 + 500);
            if (c.press)
                window.buttons()[*c.press]->click();
            else
                window.reject();
        });
        const auto chosen = program->shell().ui().chooseOne(quorvel::kFunctionWindowTitle, names);
        EXPECT_EQ(buttons, std::min(c.functions, 10)) << c.functions;
        EXPECT_EQ(caption, "Please choose function:");
        EXPECT_EQ(frameHeight, expectedFrame);
        EXPECT_EQ(chosen, c.press) << c.functions;
    }
    EXPECT_EQ(answerer.shownTitles(), QStringList(5, "Download Firmware"));
    EXPECT_EQ(answerer.unexpected(), 0);

    // The bootstrap's input window cuts its texts and confirms Cancel.
    auto& ask = program->drivers().askBootstrapValues;
    ASSERT_TRUE(ask);
    int questions = 0;
    auto confirm = [&questions](bool yes) {
        return [&questions, yes] {
            ++questions;
            return yes;
        };
    };

    // Typed texts longer than allowed are cut; Cancel answered No keeps the window open.
    answerer.expect([&](QDialog& dialog) {
        auto& input = static_cast<BootstrapInputDialog&>(dialog);
        EXPECT_EQ(input.windowTitle(), "Urbootloader DVxxA");
        QTest::keyClicks(input.serialNumber(), "SN-1234567890123");
        QTest::keyClicks(input.hardwareRevision(), "2.10b");
        input.reject();
        EXPECT_TRUE(input.isVisible()) << "Cancel answered No";
        input.accept();
    });
    auto values = ask(confirm(false));
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->first, "SN-123456789");
    EXPECT_EQ(values->second, "2.10");
    EXPECT_EQ(questions, 1);

    // Cancel answered Yes: nothing kept; the next window starts empty.
    answerer.expect([&](QDialog& dialog) {
        auto& input = static_cast<BootstrapInputDialog&>(dialog);
        EXPECT_TRUE(input.serialNumber()->text().isEmpty());
        QTest::keyClicks(input.serialNumber(), "42");
        QTest::keyClick(&input, Qt::Key_Escape);
    });
    EXPECT_FALSE(ask(confirm(true)).has_value());
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(answerer.unexpected(), 0);
}

}  // namespace
}  // namespace forms_tests
