// The configuration files in every format and every broken form.
#include "operator/shell/config_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "operator/shell/config_fields.h"
#include "operator/shell/message_service.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace quorvel;

namespace operator_tests {
namespace {

class ConfigFilesTest : public ::testing::Test {
  protected:
    ConfigFilesTest() {
        log.setFileName(QDir(directory.path()).filePath("log"));
        log.setActive(true);
    }

    void write(const QString& name, const QByteArray& content) {
        testing_support::writeFile(QDir(directory.path()).filePath(name).toStdString(),
                                   content.toStdString());
    }
    ConfigReadContext context(const QString& startMode = {}) {
        return {directory.path(), startMode, messages, log};
    }
    QStringList prompts() const {
        QStringList list;
        for (const auto& m : ui.messages) list << m.prompt;
        return list;
    }

    QTemporaryDir directory;
    ScriptedUi ui;
    ProtocolLog log{[] { return QDateTime(QDate(2026, 1, 1), QTime(0, 0)); }};
    MessageService messages{ui, log};
};

// Fields split at commas and line ends, quoted commas kept, each with the line it is on; a field is
// a number only when it is a whole one.
TEST(ConfigFieldReader, SplitsAtCommasAndLineEndsAndCountsLinesAndNumbersAreWhole) {
    ConfigFieldReader reader(" 12 , \"a, b\",x\r\n\r\n\"\",,last,\n");
    QStringList fields;
    QList<int> lines;
    while (auto field = reader.next()) {
        fields << field->text;
        lines << field->line;
    }
    EXPECT_EQ(fields, QStringList({"12", "a, b", "x", "", "", "last", ""}));
    EXPECT_EQ(lines, QList<int>({1, 1, 1, 3, 3, 3, 3}));

    EXPECT_EQ(FieldNumber("16384"), 16384);
    EXPECT_EQ(FieldNumber("-3"), -3);
    EXPECT_FALSE(FieldNumber("12a"));
    EXPECT_FALSE(FieldNumber(""));
    EXPECT_FALSE(FieldNumber("0x10"));
}

TEST_F(ConfigFilesTest, AmplifierTableWithHeaderHasSixColumns) {
    write("WS.CFG",
          "QTX,V1\r\n0,0,\"-\",0,\"none\",\"\"\r\n12,31,\"RA56\",16384,\"RA56\",\"RA56N\"\r\n");
    std::vector<AmplifierRow> rows;
    ReadAmplifierTable(context(), rows);
    ASSERT_EQ(rows.size(), 2u);
    const AmplifierRow& r = rows[1];
    EXPECT_EQ((QStringList{QString::number(r.amtNumber), QString::number(r.ampCode), r.typePrefix,
                           QString::number(r.startAddress), r.typeName, r.secondTypePrefix}),
              (QStringList{"12", "31", "RA56", "16384", "RA56", "RA56N"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(log.pending().endsWith("WS.cfg configuration file V1 found."));
}

// A comma at a line end is an empty last field only when the record needs one; version V2 is not
// supported.
TEST_F(ConfigFilesTest, AmplifierTableWithoutHeaderHasFiveColumnsAndARecordMaySpanLines) {
    write("ws.cfg", "12,31,RA56,16384,RA56\r\n7,12,RA77\r\n16384,RA77\r\n");
    std::vector<AmplifierRow> rows;
    ReadAmplifierTable(context(), rows);
    ASSERT_EQ(rows.size(), 2u);  // a record may span lines
    EXPECT_EQ(rows[0].secondTypePrefix, "");
    EXPECT_EQ(rows[1].typeName, "RA77");

    write("ws.cfg", "2,3,ra14,9216,RA14,\r\n12,16,ra51,73728,RA51,\r\n");
    ReadAmplifierTable(context(), rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].typeName, "RA51");
    write("ws.cfg", "QTX,V1\r\n2,3,ra14,9216,RA14,\r\n12,16,ra51,73728,RA51,ra51n\r\n");
    ReadAmplifierTable(context(), rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].secondTypePrefix, "");
    EXPECT_EQ(rows[1].secondTypePrefix, "ra51n");
    EXPECT_TRUE(ui.messages.empty());

    write("ws.cfg", "QTX,V2\r\n12,31,RA56,16384,RA56,X\r\n");
    ReadAmplifierTable(context(), rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(prompts(), QStringList({"Amplifier configuration file ws.cfg version not supported!\r"
                                      "Please check setup of Quorlink or update Quorlink!"}));
    EXPECT_EQ(ui.messages[0].style, kIconExclamation | kSystemModal);
}

TEST_F(ConfigFilesTest, MissingFilesAreEachReportedOnceAndModuleCodesByExactTypeName) {
    ConfigTables tables;
    ReadConfigurationFiles(context(), tables);
    EXPECT_EQ(prompts(), QStringList({"Amplifier configuration file ws.cfg does not exist!\r"
                                      "Please check setup of Quorlink!",
                                      "NODEPOD configuration file NodePod.cfg does not exist!\r"
                                      "Please check setup of Quorlink!",
                                      "KXxx configuration file kx.cfg does not exist!"}));
    EXPECT_EQ(tables.controllers.size(), 13u);
    EXPECT_TRUE(tables.amplifiers.empty());
    // A module code is found by the exact type name.
    tables.amplifiers = {{1, 10, "A", 0, "RA50", ""}, {2, 20, "B", 0, "RA50B", ""}};
    EXPECT_EQ(ModuleCodeByTypeName(tables, "RA50B"), 20);
    EXPECT_EQ(ModuleCodeByTypeName(tables, "ra50"), 0);
}

TEST_F(ConfigFilesTest, RefusedRecordsAreNamedWithFileAndLine) {
    write("ws.cfg",
          "QTX,V1\r\n12,31,RA56,16384,RA56,\r\n13,3x,RA57,16384,RA57,\r\n"
          "14,33,RA58,16384,RA58,\r\n");
    std::vector<AmplifierRow> rows;
    ReadAmplifierTable(context(), rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].amtNumber, 14);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].prompt.contains("ws.cfg"));
    EXPECT_TRUE(ui.messages[0].prompt.contains("line 3: field 2 \"3x\" is not a number"));

    QByteArray text;
    for (int i = 0; i < 40; ++i) text += "KX" + QByteArray::number(i) + ",-,-,T\r\n";
    write("kx.cfg", text);
    std::vector<ProcessorRow> processors;
    ReadProcessorTable(context(), processors);
    ASSERT_EQ(processors.size(), ConfigTables::kProcessorRows);
    EXPECT_EQ(processors.back().model, "KX30");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].prompt.contains("line 32: the table holds only 31 rows"));

    write("kx.cfg", "KX43,-,-,KX43\r\nKX33,-\r\n");
    ReadProcessorTable(context(), processors);
    ASSERT_EQ(processors.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_TRUE(ui.messages[2].prompt.contains("kx.cfg"));
    EXPECT_TRUE(ui.messages[2].prompt.contains("line 2: the record has 2 of 4 fields"));
}

// V2 has six columns; V1 warns in a normal start only; no header or an unknown version is refused.
TEST_F(ConfigFilesTest, NodePodVersions) {
    write("NodePod.cfg", "QTX,V2\r\n1,\"NP01\",4096,0,8192,12288\r\n");
    std::vector<NodePodRow> rows;
    ReadNodePodTable(context(), rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].datName, "NP01");
    EXPECT_EQ(rows[0].adrL2Rev3, 12288);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(log.pending().endsWith("NodePod.cfg configuration file V2 found."));

    write("NodePod.cfg", "QTX,V1\r\n1,NP01,4096,0,8192\r\n2,NP02,4096,0,8192\r\n");
    ReadNodePodTable(context("S"), rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].adrL2Rev3, 65536);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(log.pending().endsWith("NodePod.cfg configuration file V1 found (old version)."));

    ReadNodePodTable(context(), rows);
    EXPECT_EQ(rows.size(), 2u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].prompt.startsWith("Old NODEPOD configuration file NodePod.cfg"));

    write("NodePod.cfg", "1,NP01,4096,0,8192,65536\r\n");
    ReadNodePodTable(context(), rows);
    EXPECT_TRUE(rows.empty());
    write("NodePod.cfg", "QTX,V3\r\n1,NP01,4096,0,8192,65536\r\n");
    ReadNodePodTable(context(), rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(prompts().mid(1), QStringList({"NODEPOD configuration file NodePod.cfg not valid!\r"
                                             "Please check setup of Quorlink!",
                                             "NODEPOD configuration file NodePod.cfg version not "
                                             "supported!\rPlease check setup of Quorlink or update "
                                             "Quorlink!"}));
}

}  // namespace
}  // namespace operator_tests
