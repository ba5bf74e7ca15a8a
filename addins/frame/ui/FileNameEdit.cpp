#include "FileNameEdit.h"

#include "platform/UiService.h"

TFileNameEdit::TFileNameEdit(bool keepsLastGood, QWidget *parent)
    : TByteEdit(parent), keepsLastGood_(keepsLastGood)
{
    setMaxBytes(12);
    setKeyFilter(addins::FileNameKey);
    connect(this, &QLineEdit::textEdited, this, &TFileNameEdit::FileSEChange);
}

void TFileNameEdit::setFileName(const QString &text)
{
    setBoundedText(text);
    lastGood_ = this->text();
}

void TFileNameEdit::FileSEChange()
{
    if (keepsLastGood_) {
        const addins::ChangeCheck check = addins::FileNameChange(text(), lastGood_, cursorPosition());
        if (check.accepted) {
            lastGood_ = check.text;
        } else {
            setBoundedText(check.text);
            setCursorPosition(check.caret);
            platform::ui().beep();
        }
    }
    emit Changed();
}
