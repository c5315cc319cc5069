#include "app/volumecontrol.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Tried in this order: the wave output's own control first, the card's
// master volume when the card has none.
constexpr std::array<const char*, 2> ElementNames = {"PCM", "Master"};

int ClampPercent(int percent) {
    return std::clamp(percent, 0, 100);
}

QString AlsaError(const char* what, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(snd_strerror(code)));
}

} // namespace

long VolumePercentToRaw(int percent, long min, long max) {
    if (max <= min)
        return min;
    const double range = double(max) - double(min);
    const double raw = double(min) + range * ClampPercent(percent) / 100.0;
    return std::clamp(std::lround(raw), min, max);
}

int VolumeRawToPercent(double raw, long min, long max) {
    if (max <= min || !std::isfinite(raw))
        return 0;
    const double range = double(max) - double(min);
    const double percent = (raw - double(min)) * 100.0 / range;
    return ClampPercent(int(std::lround(std::clamp(percent, -1.0, 101.0))));
}

TMixerHandle::~TMixerHandle() {
    if (m_handle)
        snd_mixer_close(m_handle);
}

TMixerHandle& TMixerHandle::operator=(TMixerHandle&& other) noexcept {
    if (this != &other) {
        if (m_handle)
            snd_mixer_close(m_handle);
        m_handle = other.release();
    }
    return *this;
}

TAlsaVolumeControl::TAlsaVolumeControl(const QString& card) {
    snd_mixer_t* raw = nullptr;
    int rc = snd_mixer_open(&raw, 0);
    if (rc < 0) {
        m_error = AlsaError("snd_mixer_open", rc);
        return;
    }
    TMixerHandle mixer(raw);
    const QByteArray cardName = card.toLocal8Bit();
    if ((rc = snd_mixer_attach(raw, cardName.constData())) < 0) {
        m_error = AlsaError("snd_mixer_attach", rc);
        return;
    }
    if ((rc = snd_mixer_selem_register(raw, nullptr, nullptr)) < 0) {
        m_error = AlsaError("snd_mixer_selem_register", rc);
        return;
    }
    if ((rc = snd_mixer_load(raw)) < 0) {
        m_error = AlsaError("snd_mixer_load", rc);
        return;
    }
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    for (const char* name : ElementNames) {
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, name);
        snd_mixer_elem_t* element = snd_mixer_find_selem(raw, id);
        if (!element || !snd_mixer_selem_has_playback_volume(element))
            continue;
        long min = 0;
        long max = 0;
        if (snd_mixer_selem_get_playback_volume_range(element, &min, &max) < 0 || max <= min)
            continue;
        m_element = element;
        m_elementName = QString::fromLatin1(name);
        m_min = min;
        m_max = max;
        m_mixer = std::move(mixer);
        return;
    }
    m_error = QStringLiteral("no \"PCM\" or \"Master\" playback volume on %1").arg(card);
}

TAlsaVolumeControl::~TAlsaVolumeControl() = default;

int TAlsaVolumeControl::Volume() const {
    if (!m_element)
        return 0;
    // Picks up changes that other programs made since the last call.
    snd_mixer_handle_events(m_mixer.get());
    double sum = 0;
    int channels = 0;
    bool allLastRaw = true;
    for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
        const auto channel = snd_mixer_selem_channel_id_t(ch);
        if (!snd_mixer_selem_has_playback_channel(m_element, channel))
            continue;
        long value = 0;
        if (snd_mixer_selem_get_playback_volume(m_element, channel, &value) < 0)
            continue;
        sum += double(value);
        ++channels;
        allLastRaw = allLastRaw && value == m_lastRaw;
    }
    if (channels == 0)
        return 0;
    if (m_lastPercent >= 0 && allLastRaw)
        return m_lastPercent;
    return VolumeRawToPercent(sum / channels, m_min, m_max);
}

void TAlsaVolumeControl::SetVolume(int percent) {
    if (!m_element)
        return;
    percent = ClampPercent(percent);
    const long raw = VolumePercentToRaw(percent, m_min, m_max);
    if (snd_mixer_selem_set_playback_volume_all(m_element, raw) < 0)
        return;
    m_lastPercent = percent;
    m_lastRaw = raw;
}

std::unique_ptr<IVolumeControl> CreateSystemVolumeControl() {
    return std::make_unique<TAlsaVolumeControl>();
}
