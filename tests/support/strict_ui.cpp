#include "strict_ui.h"

#include <gtest/gtest.h>

#include "linkpad/linkpad.h"

namespace testing_support {
namespace {

const char* kindName(int kind) {
    static const char* names[] = {"message", "input", "list", "save-file", "report", "choice"};
    return names[kind];
}

}  // namespace

QStringList StepsOfTheRun(const std::vector<std::optional<quorvel::RunPosition>>& positions,
                          const std::vector<qint64>& timesMs) {
    QStringList steps;
    if (positions.empty() || positions.back().has_value()) {
        ADD_FAILURE() << "the run did not end its position";
        return steps;
    }
    std::string durations;  // planned against taken, to tune the plan
    for (size_t i = 0; i + 1 < positions.size(); ++i) {
        const quorvel::RunPosition& at = *positions[i];
        const qint64 tookMs = timesMs[i + 1] - timesMs[i];
        steps << RunPositionText(at);
        durations += "\n  " + at.stepName.toStdString() + ": planned " +
                     std::to_string(at.stepMs) + " ms, took " + std::to_string(tookMs) + " ms";
        if (i > 0) {
            EXPECT_LE(RunRemainingMs(at, 0), RunRemainingMs(*positions[i - 1], timesMs[i] - timesMs[i - 1]))
                << "the estimate grew at " << steps.last().toStdString();
        }
    }
    const qint64 runMs = timesMs.back() - timesMs.front();
    const qint64 plannedMs = RunRemainingMs(*positions.front(), 0);
    EXPECT_NEAR(static_cast<double>(plannedMs), static_cast<double>(runMs), static_cast<double>(runMs) / 4)
        << "the plan's estimate against the run on the rack's clock:" << durations;
    return steps;
}

void StrictUi::setRunPosition(const std::optional<quorvel::RunPosition>& position) {
    positions.push_back(position);
    positionTimesMs.push_back(QTX_GetTickCount());
}

StrictUi::~StrictUi() { verify(); }

void StrictUi::verify() {
    for (const auto& e : expected_) {
        ADD_FAILURE() << "expected " << kindName(static_cast<int>(e.kind))
                      << " never came: " << e.prompt.toStdString();
    }
    expected_.clear();
}

StrictUi& StrictUi::expectMessage(const QString& prompt, int answer) {
    expected_.push_back({Kind::Message, prompt, answer, {}, {}});
    return *this;
}

StrictUi& StrictUi::expectInput(const QString& prompt, std::optional<QString> answer) {
    expected_.push_back({Kind::Input, prompt, 0, std::move(answer), {}});
    return *this;
}

StrictUi& StrictUi::expectList(std::optional<int> answer) {
    expected_.push_back({Kind::List, {}, 0, {}, answer});
    return *this;
}

StrictUi& StrictUi::expectSaveFile(std::optional<QString> path) {
    expected_.push_back({Kind::SaveFile, {}, 0, std::move(path), {}});
    return *this;
}

StrictUi& StrictUi::expectReport(bool firstButton) {
    expected_.push_back({Kind::Report, {}, firstButton ? 1 : 0, {}, {}});
    return *this;
}

StrictUi& StrictUi::expectChoice(std::optional<int> answer) {
    expected_.push_back({Kind::Choice, {}, 0, {}, answer});
    return *this;
}

std::optional<StrictUi::Expectation> StrictUi::next(Kind kind, const QString& what) {
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(static_cast<int>(kind)) << ": "
                      << what.toStdString();
        return std::nullopt;
    }
    Expectation e = expected_.front();
    if (e.kind != kind) {
        ADD_FAILURE() << "expected " << kindName(static_cast<int>(e.kind)) << " \""
                      << e.prompt.toStdString() << "\", got " << kindName(static_cast<int>(kind))
                      << ": " << what.toStdString();
        return std::nullopt;
    }
    expected_.pop_front();
    return e;
}

int StrictUi::showMessageBox(const QString& prompt, int style, const QString& title) {
    messages.push_back({prompt, style, title});
    if (improvising()) return improviser->message(prompt, style);
    const auto e = next(Kind::Message, prompt);
    if (!e) return quorvel::kAnswerCancel;
    EXPECT_EQ(e->prompt.toStdString(), prompt.toStdString());
    return e->answer;
}

std::optional<QString> StrictUi::askInput(const QString& prompt, const QString&,
                                          const QString& defaultValue) {
    inputDefaults.push_back(defaultValue);
    if (improvising()) return improviser->input(prompt, defaultValue);
    const auto e = next(Kind::Input, prompt);
    if (!e) return std::nullopt;
    EXPECT_EQ(e->prompt.toStdString(), prompt.toStdString());
    return e->text;
}

std::optional<int> StrictUi::chooseOne(const QString& title, const QStringList&) {
    const auto e = next(Kind::Choice, title);
    return e ? e->index : std::nullopt;
}

std::optional<int> StrictUi::chooseFromList(const quorvel::ChoiceList& list) {
    lists.push_back(list);
    if (list.autoConfirm) {
        return list.messagesOnly || list.defaultRow < 0 ? std::nullopt
                                                        : std::optional<int>(list.defaultRow);
    }
    if (improvising()) return improviser->list(list);
    const auto e = next(Kind::List, list.title);
    return e ? e->index : std::nullopt;
}

std::optional<QString> StrictUi::chooseSaveFile(const QString& title, const QString&,
                                                const QString& proposedPath) {
    proposedPaths.push_back(proposedPath);
    if (improvising()) return improviser->saveFile(proposedPath);
    const auto e = next(Kind::SaveFile, title);
    return e ? e->text : std::nullopt;
}

bool StrictUi::showReport(const quorvel::ReportView& view) {
    reports.push_back(view);
    if (improvising()) return improviser->report(view);
    const auto e = next(Kind::Report, view.title);
    return e && e->answer != 0;
}

}  // namespace testing_support
