#pragma once

#include "addins/frame/KeyRules.h"
#include "common/ui/FilteredLineEdit.h"

// A text field held to a budget of code page 932 bytes, with an optional key filter of KeyRules.h.
// Typed keys, pastes (shortcut, context menu, middle button) and committed input-method text all go
// through the filter and the budget character by character; refused characters beep. Text set by
// the program is cut to the budget at a character boundary. Drops are refused. Enter never reaches
// the dialog's default button: it is given to the filter and then signalled as EnterPressed.
class TByteEdit : public FilteredLineEdit {
    Q_OBJECT

public:
    explicit TByteEdit(QWidget *parent = nullptr);

    // 0 or less: no budget.
    void setMaxBytes(int maxBytes);
    int maxBytes() const { return maxBytes_; }
    void setKeyFilter(addins::KeyFilter filter) { filter_ = std::move(filter); }
    // The program's own fill: cut to the budget, no filter, no textEdited.
    void setBoundedText(const QString &text);

signals:
    // Enter was pressed in the field (the next field of the page takes the focus, where a program
    // has such a chain).
    void EnterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void typeText(const QString &text) override;

private:
    addins::KeyFilter filter_;
    int maxBytes_ = 0;
};
