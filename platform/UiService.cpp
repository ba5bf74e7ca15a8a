#include "UiService.h"

#include <atomic>

namespace platform {
namespace {

class SilentUiService final : public UiService {
public:
    MsgResult messageBox(const QString &, const QString &, const MsgStyle &style) override
    {
        static constexpr MsgResult firstButton[] = {MsgResult::Ok,    MsgResult::Ok,    MsgResult::Yes,
                                                    MsgResult::Yes,   MsgResult::Retry, MsgResult::Abort};
        static constexpr MsgResult secondButton[] = {MsgResult::Ok,  MsgResult::Cancel, MsgResult::No,
                                                     MsgResult::No,  MsgResult::Cancel, MsgResult::Retry};
        const int index = static_cast<int>(style.buttons);
        return style.defaultButton == 2 ? secondButton[index] : firstButton[index];
    }
    void beep() override {}
};

SilentUiService silentService;
std::atomic<UiService *> current{&silentService};

} // namespace

UiService &ui() { return *current.load(); }

UiService *setUi(UiService *service)
{
    return current.exchange(service ? service : &silentService);
}

} // namespace platform
