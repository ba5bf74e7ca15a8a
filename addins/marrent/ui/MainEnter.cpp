// Where Enter moves the focus on the data kind, voucher kind and result sheets.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>

using formkit::named;
using marrent::MarrentSettings;

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *control = qobject_cast<QWidget *>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && control && enterChain_.contains(control)) {
            // Enter never reaches the field itself: it only moves on, or does nothing.
            if (QWidget *next = EnterNext(control))
                next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return TAddInMainForm::eventFilter(watched, event);
}

QWidget *TMainForm::EnterNext(QWidget *control) const
{
    // A control that cannot take the focus (disabled for a date type, or hidden) ends the chain
    // there rather than passing the focus somewhere the operator did not expect.
    const auto ready = [](QWidget *next) { return next->isVisible() && next->isEnabled() ? next : nullptr; };
    if (control == DKNameSE)
        return DKNameSE->text().isEmpty() ? nullptr : ready(DKTypeCB);
    if (control == DKTypeCB)
        return ready(DKFontCB);
    if (control == DKFontCB)
        return ready(DKMaxNE);
    if (control == DKMaxNE)
        return ready(DKMinNE);
    if (control == DKMinNE)
        return ready(DKBarChk);
    if (control == DKBarChk)
        return ready(DKBarBtn) ? DKBarBtn : ready(DKMstChk);
    if (control == DKMstChk)
        return DKMstPanel->isVisible() ? ready(DKMstFileSE) : nullptr;
    if (control == DKMstFileSE)
        return ready(DKMstFieldSE);
    if (control == DpBarChk)
        return ready(DpBarBtn);
    if (control == SendFileSE)
        return SendFileSE->text().isEmpty() ? nullptr : ready(SendFieldsCB);
    if (control == SendFieldsCB)
        return ready(SendFTypeCB);
    return nullptr;
}
