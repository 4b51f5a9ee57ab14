#include "operator/forms/help_window.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "operator/forms/message_box.h"
#include "operator/shell/operator_ui.h"

#ifndef QUORVEL_SOURCE_MANUAL
#define QUORVEL_SOURCE_MANUAL ""
#endif
#ifndef QUORVEL_MANUAL_BELOW_PREFIX
#define QUORVEL_MANUAL_BELOW_PREFIX "share/doc/Quorvel/manual/index.md"
#endif

namespace quorvel::forms {

QString ManualFile(const QString& programDirectory) {
    const QStringList candidates = {
        QDir(programDirectory).filePath("../" QUORVEL_MANUAL_BELOW_PREFIX),
        QString(QUORVEL_SOURCE_MANUAL),
    };
    for (const QString& candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo::exists(candidate)) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return {};
}

void ShowManual(QWidget* parent, const QString& programDirectory) {
    const QString file = ManualFile(programDirectory);
    if (file.isEmpty()) {
        ShowMessageBox(parent,
                       "The manual was not found.\rIt belongs in " QUORVEL_MANUAL_BELOW_PREFIX
                       " beside the program's folder.",
                       kIconExclamation, "Quorvel Help");
        return;
    }
    QDialog window(parent);
    window.setObjectName("helpWindow");
    window.setWindowTitle("Quorvel Help");
    auto* column = new QVBoxLayout(&window);
    auto* browser = new QTextBrowser;
    browser->setOpenExternalLinks(true);
    browser->setSearchPaths({QFileInfo(file).absolutePath()});
    browser->setSource(QUrl::fromLocalFile(file), QTextDocument::MarkdownResource);
    column->addWidget(browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    column->addWidget(buttons);
    window.resize(720, 640);
    window.exec();
}

}  // namespace quorvel::forms
