#pragma once
// The operator's UI for tests: records everything shown and answers questions from a queue.
#include <QString>
#include <deque>
#include <map>
#include <vector>

#include "operator/shell/operator_ui.h"

namespace operator_tests {

struct ShownMessage {
    QString prompt;
    int style = 0;
    QString title;
};

class ScriptedUi : public quorvel::OperatorUi {
public:
    int showMessageBox(const QString& prompt, int style, const QString& boxTitle) override {
        messages.push_back({prompt, style, boxTitle});
        if (answers.empty()) return quorvel::kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> askInput(const QString& prompt, const QString&,
                                    const QString& = {}) override {
        inputPrompts.push_back(prompt);
        return inputAnswer;
    }
    std::optional<int> chooseOne(const QString&, const QStringList&) override { return 0; }
    std::optional<int> chooseFromList(const quorvel::ChoiceList& list) override {
        return list.messagesOnly ? std::nullopt : std::optional<int>(list.defaultRow);
    }
    std::optional<QString> chooseSaveFile(const QString&, const QString&,
                                          const QString& proposed) override {
        return proposed;
    }
    bool showReport(const quorvel::ReportView&) override { return true; }
    void setProgress(int percent) override { progress.push_back(percent); }
    void setStatus(const QString& text) override { statuses.push_back(text); }
    void setPortSummary(const QString& text) override { portSummary = text; }
    void setInterfaceEnabled(bool enabled) override { lockChanges.push_back(enabled); }
    void processEvents() override {}
    void setTitle(const QString& text) override { title = text; }
    void setMenuEntryVisible(const QString& entry, bool visible) override {
        visibleEntries[entry] = visible;
    }
    void setMenuEntryChecked(const QString& entry, bool checked) override {
        checkedEntries[entry] = checked;
    }
    void setMenuEntryEnabled(const QString& entry, bool enabled) override {
        enabledEntries[entry] = enabled;
    }
    void setDeviceTreeVisible(bool visible) override { deviceTreeVisible = visible; }
    void setDeviceBox(quorvel::DeviceBox box, int slot,
                      const quorvel::DeviceBoxState& state) override {
        if (box == quorvel::DeviceBox::Processor) processorBox = state;
        if (box == quorvel::DeviceBox::Panel) panelBox = state;
        if (box == quorvel::DeviceBox::Slot) slotBoxes[slot] = state;
    }
    void setNodePodPicture(int, quorvel::NodePodPicture) override {}
    void moveMainWindow(int left, int top) override { movedTo = {left, top}; }
    std::optional<std::pair<int, int>> mainWindowPosition() const override { return position; }
    void showProtocolViewer(const QString& caption, const QString& text, bool found) override {
        viewerCaption = caption;
        viewerText = text;
        viewerFound = found;
    }

    std::deque<int> answers;
    std::optional<QString> inputAnswer;
    std::optional<std::pair<int, int>> position;

    std::vector<ShownMessage> messages;
    std::vector<QString> inputPrompts;
    std::vector<int> progress;
    std::vector<QString> statuses;
    std::vector<bool> lockChanges;
    QString portSummary, title, viewerCaption, viewerText;
    bool viewerFound = false;
    bool deviceTreeVisible = true;
    std::map<QString, bool> visibleEntries, checkedEntries, enabledEntries;
    std::optional<std::pair<int, int>> movedTo;
    std::optional<quorvel::DeviceBoxState> processorBox, panelBox;
    std::map<int, quorvel::DeviceBoxState> slotBoxes;
};

}  // namespace operator_tests
