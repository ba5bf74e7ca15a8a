#include "UiService.h"

#include <array>
#include <atomic>

namespace platform {
namespace {

struct ButtonSet {
    int count;
    std::array<MsgResult, 3> results;
};

ButtonSet buttonSet(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return {1, {MsgResult::Ok, MsgResult::Ok, MsgResult::Ok}};
    case MsgButtons::OkCancel:
        return {2, {MsgResult::Ok, MsgResult::Cancel, MsgResult::Ok}};
    case MsgButtons::YesNo:
        return {2, {MsgResult::Yes, MsgResult::No, MsgResult::Yes}};
    case MsgButtons::YesNoCancel:
        return {3, {MsgResult::Yes, MsgResult::No, MsgResult::Cancel}};
    case MsgButtons::RetryCancel:
        return {2, {MsgResult::Retry, MsgResult::Cancel, MsgResult::Retry}};
    case MsgButtons::AbortRetryIgnore:
        return {3, {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore}};
    }
    return {1, {MsgResult::Ok, MsgResult::Ok, MsgResult::Ok}};
}

class SilentUiService final : public UiService {
public:
    MsgResult messageBox(const QString &, const QString &, const MsgStyle &style) override
    {
        return defaultAnswer(style);
    }
    void beep() override {}
};

SilentUiService silentService;
std::atomic<UiService *> current{&silentService};

} // namespace

MsgResult buttonResult(MsgButtons buttons, int button)
{
    const ButtonSet set = buttonSet(buttons);
    if (button < 1 || button > set.count)
        button = 1;
    return set.results[static_cast<std::size_t>(button - 1)];
}

MsgResult defaultAnswer(const MsgStyle &style)
{
    return buttonResult(style.buttons, style.defaultButton);
}

QString UiService::saveFileName(const QString &, const QString &, const QString &)
{
    return {};
}

QString UiService::openFileName(const QString &, const QString &, const QString &)
{
    return {};
}

bool UiService::openDocument(const QString &)
{
    return false;
}

int UiService::showModal(QDialog &)
{
    return 0;
}

UiService &ui()
{
    return *current.load();
}

UiService *setUi(UiService *service)
{
    return current.exchange(service ? service : &silentService);
}

} // namespace platform
