#pragma once
// Shared by the tests that build whole windows: a volume control that needs
// no sound card, and a bounded wait for a condition.
#include "app/volumecontrol.h"

#include <QtTest>

inline constexpr int kWaitMs = 15000;

// Keeps the volume it is given, as a mixer would.
class TFakeVolume : public IVolumeControl {
public:
    explicit TFakeVolume(int volume = 0) : m_volume(volume) {}
    int Volume() const override { return m_volume; }
    void SetVolume(int percent) override { m_volume = percent; }

private:
    int m_volume;
};

// Processes events until the condition holds or kWaitMs pass.
template <class F> bool WaitFor(F condition) {
    for (int i = 0; i < kWaitMs / 20 && !condition(); ++i)
        QTest::qWait(20);
    return condition();
}
