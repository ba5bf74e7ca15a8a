#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// INT and TERM as the operator's stop, delivered on the user-interface thread between its events.
// block() must run before any thread starts, so that no thread takes them the default way.
class StopSignals final : public QObject {
public:
    static void block();

    // onStop gets how many stops have come so far, 1 for the first.
    explicit StopSignals(std::function<void(int)> onStop);
    ~StopSignals() override;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

private:
    void take();

    int fd_ = -1;
    int count_ = 0;
    QSocketNotifier *notifier_ = nullptr;
    std::function<void(int)> onStop_;
};
