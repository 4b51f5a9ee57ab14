#pragma once
// The operator's UI for driver tests, strict: every interaction (message box, input, list,
// save-file choice, report viewer) must be the next one the test expected, and every expected
// interaction must happen. Status texts, progress and locks are recorded for the test to check.
#include <QString>
#include <QStringList>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "operator/shell/operator_ui.h"

namespace testing_support {

// The run's positions against the run itself: the steps entered in order ("1 transfer files"),
// after checking that the estimate never grew and that the plan's first estimate is within a
// quarter of the time the run took on the clock.
QStringList StepsOfTheRun(const std::vector<std::optional<quorvel::RunPosition>>& positions,
                          const std::vector<qint64>& timesMs);

class StrictUi : public quorvel::OperatorUi {
  public:
    // Answers the interactions no expectation waits for (a random operator); without one they
    // fail the test.
    struct Improviser {
        virtual ~Improviser() = default;
        virtual int message(const QString& prompt, int style) = 0;
        virtual std::optional<QString> input(const QString& prompt,
                                             const QString& defaultValue) = 0;
        virtual std::optional<int> list(const quorvel::ChoiceList& list) = 0;
        virtual std::optional<QString> saveFile(const QString& proposedPath) = 0;
        virtual bool report(const quorvel::ReportView& view) = 0;
    };

    ~StrictUi() override;

    // Expectations, answered in the order they were added.
    StrictUi& expectMessage(const QString& prompt, int answer = quorvel::kAnswerOk);
    StrictUi& expectInput(const QString& prompt, std::optional<QString> answer);
    StrictUi& expectList(std::optional<int> answer);
    StrictUi& expectSaveFile(std::optional<QString> path);
    StrictUi& expectReport(bool firstButton);
    StrictUi& expectChoice(std::optional<int> answer);
    // Fails the test for every expectation not used yet, and forgets them.
    void verify();

    int showMessageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> askInput(const QString& prompt, const QString& title,
                                    const QString& defaultValue = {}) override;
    std::optional<int> chooseOne(const QString& title, const QStringList& choices) override;
    std::optional<int> chooseFromList(const quorvel::ChoiceList& list) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter,
                                          const QString& proposedPath) override;
    bool showReport(const quorvel::ReportView& view) override;
    void setProgress(int percent) override { progress.push_back(percent); }
    void setProgressVisible(bool visible) override { progressVisible = visible; }
    void setStatus(const QString& text) override { statuses.push_back(text); }
    void setRunPosition(const std::optional<quorvel::RunPosition>& position) override;
    void setPortSummary(const QString& text) override { portSummary = text; }
    void setInterfaceEnabled(bool enabled) override { lockChanges.push_back(enabled); }
    void processEvents() override {}
    void setMenuEntryChecked(const QString& entry, bool checked) override {
        checkedEntries[entry] = checked;
    }
    void showProtocolViewer(const QString& caption, const QString&, bool) override {
        viewerCaptions.push_back(caption);
    }

    struct Message {
        QString prompt;
        int style = 0;
        QString title;
    };
    std::vector<Message> messages;  // every box shown, expected or not
    std::vector<QString> inputDefaults;
    std::vector<quorvel::ChoiceList> lists;
    std::vector<QString> proposedPaths;
    std::vector<quorvel::ReportView> reports;
    std::vector<QString> statuses;
    std::vector<std::optional<quorvel::RunPosition>> positions;  // nullopt: the run ended
    std::vector<qint64> positionTimesMs;  // when each position came, on the port library's clock
    std::vector<int> progress;
    std::vector<bool> lockChanges;
    std::map<QString, bool> checkedEntries;
    std::vector<QString> viewerCaptions;
    QString portSummary;
    bool progressVisible = false;
    Improviser* improviser = nullptr;

  private:
    bool improvising() const { return improviser && expected_.empty(); }
    enum class Kind { Message, Input, List, SaveFile, Report, Choice };
    struct Expectation {
        Kind kind;
        QString prompt;
        int answer = 0;
        std::optional<QString> text;
        std::optional<int> index;
    };
    // The next expectation if it is of `kind`; else the test fails and nullopt is returned.
    std::optional<Expectation> next(Kind kind, const QString& what);

    std::deque<Expectation> expected_;
};

}  // namespace testing_support
