#include "operator/shell/message_service.h"

namespace quorvel {

int MessageService::ShowMessage(const QString& prompt, int buttons, const QString& title) {
    const QString shownTitle = title.isEmpty() ? QString(kProgramTitle) : title;
    log_.write("*** " + prompt + " ***");
    if (observer_) observer_(prompt, buttons);
    if (QuietMessages) {
        CollectedMessages += "*** " + prompt + " ***\r";
        return 0;
    }
    const int answer = ui_.showMessageBox(prompt, buttons + kSystemModal, shownTitle);
    log_.write("*** MessageBox() End ***");
    return answer;
}

}  // namespace quorvel
