#include "display/frametimer.h"

#include <QGuiApplication>

#include <ctime>

namespace vantrel {

TDXTimer::TDXTimer(QObject* parent) : QObject(parent), clock_(&TDXTimer::systemClock) {
    idle_.setSingleShot(true);
    idle_.setTimerType(Qt::PreciseTimer);
    connect(&idle_, &QTimer::timeout, this, [this] { DoIdle(); });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState) { updateRunning(); });
}

std::uint32_t TDXTimer::systemClock() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

void TDXTimer::setClock(Clock clock) {
    clock_ = std::move(clock);
}

void TDXTimer::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    updateRunning();
}

void TDXTimer::setActiveOnly(bool activeOnly) {
    activeOnly_ = activeOnly;
    updateRunning();
}

bool TDXTimer::running() const {
    if (!enabled_)
        return false;
    return !activeOnly_ || QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void TDXTimer::updateRunning() {
    const bool run = running();
    if (run && !wasRunning_) {
        // Arming or resuming: measure from now, so the pause does not count as lag.
        meter_.restart(clock_());
        schedule(0);
    } else if (!run) {
        idle_.stop();
    }
    wasRunning_ = run;
}

void TDXTimer::schedule(std::uint32_t delayMs) {
    idle_.start(static_cast<int>(delayMs));
}

bool TDXTimer::DoIdle() {
    if (!running()) {
        updateRunning();
        return false;
    }
    const std::uint32_t now = clock_();
    const auto lag = meter_.poll(now);
    if (lag && OnTimer)
        OnTimer(this, *lag);
    if (enabled_ && running()) {
        // Without a tick due there is nothing to wait on but the clock: sleep to the next
        // millisecond rather than spin. After a tick go round again at once; the present
        // has already paced the loop to the display.
        schedule(lag ? 0 : meter_.msUntilDue(clock_()));
    }
    return lag.has_value();
}

} // namespace vantrel
