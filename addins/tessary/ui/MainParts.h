// The small control makers and value helpers the main form's page files share.

#pragma once

#include "addins/frame/KeyRules.h"
#include "addins/frame/ui/ByteEdit.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessary::mainparts {

inline TListCombo *list(const char *name, const QStringList &items, QWidget *parent)
{
    auto *combo = formkit::named(new TListCombo(parent), name);
    combo->addItems(items);
    return combo;
}

inline TNEdit *numberEdit(const char *name, int max, QWidget *parent)
{
    auto *edit = formkit::named(new TNEdit(parent), name);
    edit->SetMaxDegits(4);
    edit->SetMinValue(0);
    edit->SetMaxValue(max);
    edit->SetAutoSelect(false);
    edit->setFixedWidth(56);
    return edit;
}

inline TByteEdit *textEdit(const char *name, int maxBytes, const addins::KeyFilter &filter, QWidget *parent)
{
    auto *edit = formkit::named(new TByteEdit(parent), name);
    edit->setMaxBytes(maxBytes);
    if (filter)
        edit->setKeyFilter(filter);
    return edit;
}

inline std::optional<int> valueOf(const QLineEdit *edit)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

inline QString textOf(const std::optional<int> &value)
{
    return value && *value > 0 ? QString::number(*value) : QString();
}

} // namespace tessary::mainparts
