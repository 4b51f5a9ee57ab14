// Function files of processor firmware directories: every file form, what the operator is shown
// and which function is chosen.
#include <gtest/gtest.h>

#include <fstream>

#include "operator/drivers/function_choice.h"
#include "operator/shell/operator_ui.h"
#include "temp_dir.h"

using namespace quorvel;

namespace {

// "#name",mode,target,version,question,style,count,files...,"##"
std::string record(const std::string& name, const std::string& mode = "-",
                   const std::string& version = "0", const std::string& files = "1,\"a.exe\"") {
    return "\"#" + name + "\"," + mode + ",\"KX\",\"" + version + "\",\"-\",0," + files +
           ",\"##\"\r\n";
}

struct FileRun {
    std::optional<ProcessorFunction> chosen;
    QStringList shown;    // message texts in order
    QStringList buttons;  // names offered when the window was shown
    bool windowShown = false;
};

// Reads the file (written as "kx43.cfg" for the processor: names match without regard to
// case) and chooses, answering questions with `answer` and pressing button `button`.
FileRun run(const std::string& directory, const std::optional<std::string>& content,
            FunctionFileKind kind, const QString& startMode = "",
            const QString& programVersion = "0.2.0", int button = 0, int answer = kAnswerYes) {
    testing_support::TempDir dir;
    const auto folder = dir.path() / directory;
    std::filesystem::create_directories(folder);
    const std::string name = kind == FunctionFileKind::Kx33 ? "KX33.CFG" : "KX43.CFG";
    if (content)
        std::ofstream(folder / (kind == FunctionFileKind::Kx33 ? name : "kx43.cfg"),
                      std::ios::binary)
            << *content;
    FileRun result;
    FunctionWindowUi ui{[&](const QString& prompt, int) {
                            result.shown << prompt;
                            return answer;
                        },
                        [&](const QStringList& names) -> std::optional<int> {
                            result.windowShown = true;
                            result.buttons = names;
                            return button;
                        }};
    const auto file =
        ReadFunctionFile(QString::fromStdString(folder.string()), QString::fromStdString(directory),
                         QString::fromStdString(name), kind);
    result.chosen = ChooseFunction(file, kind, startMode, programVersion, ui);
    return result;
}

const QString kNoFunction = "No function found! Please check configuration file kx43.cfg!";

// Each row: directory, file content (none: no file), the messages shown, the buttons offered
// (none: no window) and the function chosen; then start mode, button pressed and answer given.
struct FileCase {
    std::string directory;
    std::optional<std::string> content;
    QStringList shown;
    QStringList buttons;
    QString chosen;
    QString startMode = "";
    int button = 0;
    int answer = kAnswerYes;
};

TEST(FunctionFileTest, FormsOfTheFile) {
    std::string eleven;
    for (int i = 1; i <= 11; ++i) eleven += record("F" + std::to_string(i));
    const QString question =
        "If this function fails, your KX43 will\rnot be operational anymore!\r\r"
        "Are you sure to download loader1 for KX?";
    const auto none = std::nullopt;
    const FileCase cases[] = {
        // An old directory without a file offers the built-in download; service mode adds the
        // loader-1 download with its question.
        FileCase("KX43P140.S00", none, {}, {"Download KX43 firmware"}, "Download KX43 firmware"),
        FileCase("KX43P140.S00", none, {question},
                 {"Download KX43 firmware", "KX43 Loader1 download"}, "", "S", 1, kAnswerNo),
        FileCase("KX43P210.S00", none,
                 {"KX configuration file kx43.cfg in this directory not found!"}, {}, ""),
        FileCase("KX43P21", record("A"), {"Wrong directory name for KX download!"}, {}, ""),
        // A single visible entry is chosen at once.
        FileCase("KX43P210.S00", record("Only") + record("Hidden", "\"S\""), {}, {}, "Only"),
        FileCase("KX43P210.S00", "\"Download\",-,\"KX\"\r\n" + record("B"),
                 {"Error in KX configuration file kx43.cfg! Abort!"}, {}, ""),
        // A malformed later record keeps the earlier ones and shows the window.
        FileCase("KX43P210.S00", record("A") + "\"#B\",-,\"KX\",\"0\",\"-\",x,1\r\n",
                 {"Error in KX configuration file kx43.cfg! Try to continue."}, {"A"}, "A"),
        // A record running into the next one is malformed.
        FileCase("KX43P210.S00", "\"#A\",-,\"KX\",\"0\",\"-\",0,1,\"a.exe\"\r\n" + record("B"),
                 {"Error in KX configuration file kx43.cfg! Abort!"}, {}, ""),
        // Ten entries are read, the rest ignored.
        FileCase("KX43P210.S00", eleven,
                 {"Maximum function entries in kx configuration file reached! Rest ignored."},
                 {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10"}, "F10", "", 9),
        // A version too high is announced and gets no button.
        FileCase("KX43P210.S00", record("New", "-", "1.0.0") + record("Old"),
                 {"To perform function *New* you need at least Quorlink Version 1.0.0"}, {"Old"},
                 "Old"),
        FileCase("KX43P210.S00", record("New", "-", "9"),
                 {"To perform function *New* you need at least Quorlink Version 9", kNoFunction},
                 {}, ""),
        // A negative file count cancels.
        FileCase("KX43P210.S00", record("Cancel", "-", "0", "-1"), {}, {}, ""),
        // Mode A only in A.
        FileCase("KX43P210.S00", record("Admin", "\"A\""), {kNoFunction}, {}, "", "S"),
        FileCase("KX33P210.S00", none,
                 {"KX33 configuration file kx33.cfg in this directory not found!"}, {}, ""),
        FileCase("KX33P210.S00", "\"#A\",-,\"KX\",\"0 1 2\",\"-\",0,0\r\n",
                 {"Error in KX33 configuration file kx33.cfg! Abort!"}, {}, ""),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory + " " + c.content.value_or("(no file)"));
        const FunctionFileKind kind =
            c.directory.starts_with("KX33") ? FunctionFileKind::Kx33 : FunctionFileKind::Processor;
        const FileRun r =
            run(c.directory, c.content, kind, c.startMode, "0.2.0", c.button, c.answer);
        EXPECT_EQ(r.shown, c.shown);
        EXPECT_EQ(r.buttons, c.buttons);
        EXPECT_EQ(r.windowShown, !c.buttons.isEmpty());
        EXPECT_EQ(r.chosen ? r.chosen->name : QString(), c.chosen);
    }
}

TEST(FunctionFileTest, FieldsOfAnEntry) {
    const FileRun a = run("KX43P210.S00",
                          "  \"#Download, all\" , - ,KX, 0.1 "
                          ",\"Sure?\",36,2,\"a.exe\",b.exe,\"more\",\"##x\",\"##\"\r\n",
                          FunctionFileKind::Processor);
    ASSERT_TRUE(a.chosen);
    EXPECT_EQ(a.shown, QStringList{"Sure?"});
    EXPECT_EQ(a.chosen->name, "Download, all");
    EXPECT_EQ(a.chosen->mode, "");
    EXPECT_EQ(a.chosen->minimumVersion, "0.1");
    EXPECT_EQ(a.chosen->questionStyle, 36);
    EXPECT_EQ(a.chosen->fileCount, 2);
    EXPECT_EQ(a.chosen->files, "#a.exe#b.exe");

    const FileRun b =
        run("KX33P210.S00",
            "\"#Image\",-,\"KX\",\"0.1 k1 k2 k3\",\"-\",0,16,8191,2,\"old.bin\",\"new.bin\",\"##\"",
            FunctionFileKind::Kx33);
    ASSERT_TRUE(b.chosen);
    EXPECT_EQ(b.chosen->minimumVersion, "0.1");
    EXPECT_EQ(b.chosen->versionTokens, (QStringList{"k1", "k2", "k3"}));
    EXPECT_EQ(b.chosen->files, "new.bin");
    EXPECT_EQ(b.chosen->firstBlock, 16);
    EXPECT_EQ(b.chosen->lastBlock, 8191);
}

}  // namespace
