#include "operator/forms/window_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>

#include "operator/forms/choice_list_dialog.h"
#include "operator/forms/function_dialog.h"
#include "operator/forms/line_ends.h"
#include "operator/forms/message_box.h"
#include "operator/forms/show_box.h"

namespace quorvel::forms {

QWidget* WindowUi::owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return &window_;
}

int WindowUi::showMessageBox(const QString& prompt, int style, const QString& title) {
    const QString named = operation_.isEmpty() ? title : title + " – " + operation_;
    return ShowMessageBox(owner(), prompt, style, named);
}

int WindowUi::message(const QString& prompt, int style) {
    if (showMessage_) return showMessage_(prompt, style);
    return ShowMessageBox(owner(), prompt, style, window_.windowTitle());
}

std::optional<QString> WindowUi::askInput(const QString& prompt, const QString& title,
                                          const QString& defaultValue) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, NormalizedLineEnds(prompt),
                                               QLineEdit::Normal, defaultValue, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<int> WindowUi::chooseOne(const QString& title, const QStringList& choices) {
    if (choices.isEmpty()) return std::nullopt;
    FunctionDialog dialog(title, choices, owner());
    return dialog.choose();
}

std::optional<int> WindowUi::chooseFromList(const ChoiceList& list) {
    ChoiceListBehaviour behaviour;
    behaviour.showMessage = [this](const QString& prompt, int style) {
        return message(prompt, style);
    };
    ChoiceListDialog dialog(list, behaviour, owner());
    return dialog.choose();
}

std::optional<QString> WindowUi::chooseSaveFile(const QString& title, const QString& filter,
                                                const QString& proposedPath) {
    const QString file =
        QFileDialog::getSaveFileName(owner(), title, proposedPath, QtFileFilter(filter));
    if (file.isEmpty()) return std::nullopt;
    return file;
}

bool WindowUi::showReport(const ReportView& view) {
    ShowBoxContent content;
    content.caption = view.title;
    content.text = view.report;
    content.optionalText = NormalizedLineEnds(view.message);
    content.okCaption = view.firstButton;
    content.cancelCaption = view.secondButton;
    content.icon = view.icon == ReportView::kExclamation ? ShowBoxContent::Icon::Exclamation
                   : view.icon == ReportView::kQuestion  ? ShowBoxContent::Icon::Query
                                                         : ShowBoxContent::Icon::None;
    return MyShowBox(owner(), content);
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        const QString name = parts[i].section('(', 0, 0).trimmed();
        filters << name + " (" + patterns + ")";
    }
    return filters.join(";;");
}

void WindowUi::setInterfaceEnabled(bool enabled) {
    if (enabled && waits_) {
        // Clicks and keys held back during the library's waits reach the still locked window,
        // which drops them, instead of an unlocked one that would start something new.
        waits_.reset();
        processEvents();
    } else if (!enabled && !waits_) {
        waits_.emplace([this](const QString& text) { window_.setWaitNotice(text); });
    }
    window_.setLocked(!enabled);
    processEvents();
}

void WindowUi::processEvents() {
    // Repaint and keep the window responsive; input reaches only what is not locked.
    QApplication::processEvents(QEventLoop::AllEvents);
}

void WindowUi::setMenuEntryVisible(const QString& entry, bool visible) {
    if (QAction* action = window_.entry(entry)) action->setVisible(visible);
}

void WindowUi::setMenuEntryChecked(const QString& entry, bool checked) {
    if (QAction* action = window_.entry(entry)) action->setChecked(checked);
}

void WindowUi::setMenuEntryEnabled(const QString& entry, bool enabled) {
    if (QAction* action = window_.entry(entry)) action->setEnabled(enabled);
}

void WindowUi::setDeviceBox(DeviceBox box, int slot, const DeviceBoxState& state) {
    window_.deviceTree()->setBox({box, slot}, state);
}

void WindowUi::setNodePodPicture(int slot, NodePodPicture picture) {
    window_.deviceTree()->setNodePodPicture(slot, picture);
}

std::optional<std::pair<int, int>> WindowUi::mainWindowPosition() const {
    return std::make_pair(window_.x(), window_.y());
}

void WindowUi::showProtocolViewer(const QString& caption, const QString& text, bool found) {
    ShowBoxContent content;
    content.caption = caption;
    content.text = text;
    content.icon = found ? ShowBoxContent::Icon::None : ShowBoxContent::Icon::Exclamation;
    content.atEnd = true;
    MyShowBox(owner(), content);
}

}  // namespace quorvel::forms
