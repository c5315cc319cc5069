#pragma once
// The wave-output volume that the main window's volume bar drives.
//
//     std::unique_ptr<IVolumeControl> volume = CreateSystemVolumeControl();
//     volumeBar->setPosition(volume->Volume());            // at start-up
//     connect(volumeBar, &TFlatScrollbar::scroll, [&](int p) { volume->SetVolume(p); });
//
// The system control is the ALSA simple mixer of the default card: its "PCM"
// element, else "Master". The bar's 0-100 covers the element's whole playback
// range. On a machine without a sound card (no mixer, no such element) the
// control is inert: Volume() is 0 and SetVolume does nothing; no message is
// shown, because a missing card is no reason to bother the user.
#include <QString>

#include <memory>

class IVolumeControl {
public:
    virtual ~IVolumeControl() = default;
    // The volume in percent, 0-100.
    virtual int Volume() const = 0;
    // Sets the volume; values outside 0-100 are clamped.
    virtual void SetVolume(int percent) = 0;
};

// Percent to a raw mixer value: 0-100 (clamped) spread linearly over
// [min, max], rounded to the nearest step.
long VolumePercentToRaw(int percent, long min, long max);
// The inverse: a raw value (possibly the fractional mean of several
// channels) back to the nearest percent, clamped to 0-100. An empty range
// (max <= min) reads as 0. For ranges of at least 100 steps, reading back
// what VolumePercentToRaw gave yields the same percent.
int VolumeRawToPercent(double raw, long min, long max);

// Owns an open ALSA mixer handle (snd_mixer_t); closes it when destroyed.
struct _snd_mixer;
class TMixerHandle {
public:
    TMixerHandle() = default;
    explicit TMixerHandle(_snd_mixer* handle) : m_handle(handle) {}
    ~TMixerHandle();
    TMixerHandle(TMixerHandle&& other) noexcept : m_handle(other.release()) {}
    TMixerHandle& operator=(TMixerHandle&& other) noexcept;
    TMixerHandle(const TMixerHandle&) = delete;
    TMixerHandle& operator=(const TMixerHandle&) = delete;

    _snd_mixer* get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    _snd_mixer* release() {
        _snd_mixer* h = m_handle;
        m_handle = nullptr;
        return h;
    }

private:
    _snd_mixer* m_handle = nullptr;
};

struct _snd_mixer_elem;
class TAlsaVolumeControl : public IVolumeControl {
public:
    // Opens the mixer of the given card ("default" for the default card)
    // and looks for "PCM", then "Master". Never throws: when either step
    // fails the control stays inert and Error() says why.
    explicit TAlsaVolumeControl(const QString& card = QStringLiteral("default"));
    ~TAlsaVolumeControl() override;
    // The element pointer belongs to the mixer handle, so the pair stays put.
    TAlsaVolumeControl(const TAlsaVolumeControl&) = delete;
    TAlsaVolumeControl& operator=(const TAlsaVolumeControl&) = delete;

    int Volume() const override;
    void SetVolume(int percent) override;

    // True when a mixer element was found and the control acts on it.
    bool Available() const { return m_element != nullptr; }
    // The element in use ("PCM" or "Master"), empty when none.
    QString ElementName() const { return m_elementName; }
    // Why the control is inert; empty when it is available.
    QString Error() const { return m_error; }

private:
    TMixerHandle m_mixer;
    _snd_mixer_elem* m_element = nullptr;
    QString m_elementName;
    QString m_error;
    long m_min = 0;
    long m_max = 0;
    // The last volume set and the raw value it wrote, so that a coarse
    // element (fewer than 100 steps) still reads back what was set.
    int m_lastPercent = -1;
    long m_lastRaw = 0;
};

// The program's volume control: the ALSA default card's.
std::unique_ptr<IVolumeControl> CreateSystemVolumeControl();
