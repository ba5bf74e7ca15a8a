// Enter and the caret: where Enter moves the focus on the main form's pages.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/tessary/SaveLayout.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>

namespace tessary {

QWidget *TMainForm::nextOnEnter(QWidget *control) const
{
    const auto filled = [](const QLineEdit *edit, QWidget *next) {
        return edit->text().isEmpty() ? nullptr : next;
    };
    if (control == DKNameSE)
        return filled(DKNameSE, DKTypeCB);
    if (control == DKTypeCB)
        return DKMaxNE;
    if (control == DKMaxNE)
        return DKMinNE;
    if (control == DKMinNE)
        return DKBarChk;
    if (control == DKMstFileSE)
        return filled(DKMstFileSE, DKMstFieldSE);
    if (control == DousaCB || control == CmpDatCntCB)
        return MKNameSE;
    if (control == MKNameSE)
        return filled(MKNameSE, MKBarBtn);
    if (control == MKMstFileSE)
        return filled(MKMstFileSE, MKMstFieldSE);
    if (control == SK1NameSE)
        return filled(SK1NameSE, SK1BarBtn);
    if (control == SaveFileSE)
        return SaveFieldsCB;
    if (control == TStampCB)
        return pSField[0];
    const int used = std::max(0, SaveFieldsCB->currentIndex()) + 1;
    const auto nextRow = [&](int i) { return pSField[std::size_t((i + 1) % used)]; };
    for (int i = 0; i < SaveFieldMax; ++i) {
        const std::size_t k = std::size_t(i);
        if (control == pSField[k])
            return PanelOf(SaveDat[k].code) == RowPanel::StartAndLength ? static_cast<QWidget *>(pSFTopNE[k])
                                                                        : nextRow(i);
        if (control == pSFTopNE[k])
            return pSFLenNE[k];
        if (control == pSFLenNE[k])
            return nextRow(i);
    }
    return nullptr;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<QWidget *>(watched);
    if (control != nullptr && PageControl1->isAncestorOf(control)) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                QWidget *next = nextOnEnter(control);
                // A button no chain leaves from takes its Enter itself: it is pressed.
                if (next == nullptr && qobject_cast<QPushButton *>(control))
                    return false;
                if (next)
                    formkit::requestFocus(next);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            // NEditEnter, EditEnter: the caret goes to the end of the text.
            if (auto *edit = qobject_cast<QLineEdit *>(control))
                QMetaObject::invokeMethod(
                    edit,
                    [edit] {
                        edit->deselect();
                        edit->end(false);
                    },
                    Qt::QueuedConnection);
        }
    }
    return TAddInMainForm::eventFilter(watched, event);
}

} // namespace tessary
