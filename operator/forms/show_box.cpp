#include "operator/forms/show_box.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "operator/forms/line_ends.h"

namespace quorvel::forms {
namespace {

constexpr int kShowBoxMinimumColumns = 60;
constexpr int kMinimumLines = 8;
constexpr double kScreenShare = 0.85;

QIcon iconFor(ShowBoxContent::Icon icon, const QStyle* style) {
    switch (icon) {
        case ShowBoxContent::Icon::Query:
            return style->standardIcon(QStyle::SP_MessageBoxQuestion);
        case ShowBoxContent::Icon::Exclamation:
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case ShowBoxContent::Icon::None:
            break;
    }
    return {};
}

}  // namespace

ShowBox::ShowBox(const ShowBoxContent& content, QWidget* parent) : QDialog(parent) {
    setObjectName("frmShowProt");
    setWindowTitle(content.caption.isEmpty() ? QString("Quorvel") : content.caption);
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    const QIcon icon = iconFor(content.icon, style());
    if (!icon.isNull()) {
        auto* picture = new QLabel;
        picture->setPixmap(icon.pixmap(32, 32));
        picture->setAlignment(Qt::AlignTop);
        row->addWidget(picture);
    }
    text_ = new QPlainTextEdit;
    text_->setObjectName("txtProt");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    row->addWidget(text_, 1);
    column->addLayout(row, 1);
    optional_ = new QLabel(content.optionalText);
    optional_->setObjectName("labOpt");
    optional_->setWordWrap(true);
    optional_->setVisible(!content.optionalText.isEmpty());
    column->addWidget(optional_);
    auto* buttons = new QDialogButtonBox;
    ok_ = buttons->addButton(content.okCaption.isEmpty() ? QString("OK") : content.okCaption,
                             QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(content.cancelCaption, QDialogButtonBox::RejectRole);
    cancel_->setVisible(!content.cancelCaption.isEmpty());
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    setText(content.text);
    if (content.atEnd) text_->moveCursor(QTextCursor::End);
}

QString ShowBox::shownText() const { return text_->toPlainText(); }

void ShowBox::setText(const QString& text) {
    text_->setPlainText(NormalizedLineEnds(text));
    fitToText();
}

void ShowBox::fitToText() {
    const QFontMetrics metrics(text_->font());
    const QStringList lines = shownText().split('\n');
    int widest = metrics.horizontalAdvance(QString(kShowBoxMinimumColumns, 'x'));
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int lineCount = std::max(kMinimumLines, static_cast<int>(lines.size()));
    const QSize wanted(widest + 4 * metrics.averageCharWidth(),
                       lineCount * metrics.lineSpacing() + 2 * metrics.lineSpacing());
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize limit = screen ? screen->availableSize() * kScreenShare : wanted;
    text_->setMinimumSize(wanted.boundedTo(limit - QSize(40, 120)));
    adjustSize();
}

bool MyShowBox(QWidget* parent, const ShowBoxContent& content) {
    ShowBox box(content, parent);
    return box.exec() == QDialog::Accepted;
}

}  // namespace quorvel::forms
