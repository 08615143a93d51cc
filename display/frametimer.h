// The frame timer: ticks from the GUI thread's idle processing.
// In: a 32-bit millisecond clock (injectable), the application's active state, Enabled.
// Out: OnTimer(sender, LagCount) at most once per Interval millisecond, and the measured
//      frame rate (ticks per second of the last closed one-second window).
#pragma once

#include "display/ratemeter.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace vantrel {

class TDXTimer : public QObject {
  public:
    using Clock = std::function<std::uint32_t()>;
    using TimerEvent = std::function<void(QObject* sender, int lagCount)>;

    explicit TDXTimer(QObject* parent = nullptr);

    static std::uint32_t systemClock(); // milliseconds of the monotonic clock, wrapping

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool ActiveOnly() const { return activeOnly_; }
    void setActiveOnly(bool activeOnly);
    int Interval() const { return 1; } // milliseconds
    int FrameRate() const { return meter_.frameRate(); }

    TimerEvent OnTimer;

    void setClock(Clock clock); // for tests
    // One round of idle processing: a tick when one is due. Returns whether it ticked.
    bool DoIdle();

  private:
    bool running() const;
    void updateRunning();
    void schedule(std::uint32_t delayMs);

    bool enabled_ = false;
    bool activeOnly_ = true;
    bool wasRunning_ = false;
    Clock clock_;
    TickMeter meter_{1};
    QTimer idle_;
};

} // namespace vantrel
