#include "shell/linux/qt/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "shell/linux/qt/qt_text.h"
#include "shell/platform.h"

namespace velmora::linux_platform {

namespace {

constexpr int kButtonSetMask = 0x0F;
constexpr int kIconMask = 0xF0;
constexpr int kDefaultButtonMask = 0xF00;

QMessageBox::Icon IconOf(int style)
{
    switch (style & kIconMask) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& prompt, int style, const std::string& title)
{
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(ToQString(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(PromptToQString(prompt));
    box->setIcon(IconOf(style));
    if ((style & kButtonSetMask) == message_style::kYesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        const bool noIsDefault = (style & kDefaultButtonMask) == message_style::kSecondButtonDefault;
        box->setDefaultButton(noIsDefault ? QMessageBox::No : QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
    }
    return box;
}

int ShowMessageBox(const std::string& prompt, int style, const std::string& title)
{
    const auto box = BuildMessageBox(prompt, style, title);
    switch (box->exec()) {
    case QMessageBox::Yes: return message_answer::kYes;
    case QMessageBox::No: return message_answer::kNo;
    default: return (style & kButtonSetMask) == message_style::kYesNo ? message_answer::kNo : message_answer::kOk;
    }
}

std::unique_ptr<QInputDialog> BuildInputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText)
{
    auto dialog = std::make_unique<QInputDialog>();
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(ToQString(title));
    dialog->setLabelText(PromptToQString(prompt));
    dialog->setTextValue(ToQString(defaultText));
    return dialog;
}

std::string ShowInputBox(const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    const auto dialog = BuildInputBox(prompt, title, defaultText);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return FromQString(dialog->textValue());
}

}  // namespace velmora::linux_platform
