#include "synthesizer.h"

#include "soundfont.h"

#include <QFile>
#include <QFileInfo>

#include <fluidsynth.h>

#include <algorithm>
#include <mutex>

namespace mavrel::sound {

namespace {

fluid_synth_t* synthOf(void* p) { return static_cast<fluid_synth_t*>(p); }

// FluidSynth writes its warnings and errors to standard error by itself;
// whatever the user must know comes as a message from here instead.
void quietLogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

} // namespace

Synthesizer::Synthesizer(const QString& soundFont) : m_soundFont(soundFontOr(soundFont))
{
    quietLogs();
    if (m_soundFont.isEmpty()) {
        m_error = Message(QT_TRANSLATE_NOOP("Message",
            "Aucune banque de sons General MIDI n'est installée : installez le paquet timgm6mb-soundfont ou "
            "choisissez un fichier .sf2 ou .sf3."));
        return;
    }
    const QFileInfo file(m_soundFont);
    if (!file.isFile() || !file.isReadable()) {
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Banque de sons introuvable ou illisible."));
        return;
    }
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings) {
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour le synthétiseur."));
        return;
    }
    fluid_settings_setnum(settings, "synth.sample-rate", SampleRate);
    // Three instruments, a click and the reverb's tail stay far below full
    // scale at this gain.
    fluid_settings_setnum(settings, "synth.gain", 0.8);
    fluid_settings_setint(settings, "synth.reverb.active", 1);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    // Our own lock guards every call: FluidSynth's would be taken twice.
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth) {
        delete_fluid_settings(settings);
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour le synthétiseur."));
        return;
    }
    if (fluid_synth_sfload(synth, QFile::encodeName(m_soundFont).constData(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Ce fichier n'est pas une banque de sons SoundFont lisible."));
        return;
    }
    fluid_synth_set_reverb_group_roomsize(synth, -1, 0.4);
    fluid_synth_set_reverb_group_level(synth, -1, 0.5);
    m_settings = settings;
    m_synth = synth;
}

Synthesizer::~Synthesizer()
{
    if (m_synth)
        delete_fluid_synth(synthOf(m_synth));
    if (m_settings)
        delete_fluid_settings(static_cast<fluid_settings_t*>(m_settings));
}

void Synthesizer::noteOn(int channel, int pitch, int velocity)
{
    if (m_synth)
        fluid_synth_noteon(synthOf(m_synth), channel, pitch, velocity);
}

void Synthesizer::noteOff(int channel, int pitch)
{
    if (m_synth)
        fluid_synth_noteoff(synthOf(m_synth), channel, pitch);
}

void Synthesizer::controlChange(int channel, int controller, int value)
{
    if (m_synth)
        fluid_synth_cc(synthOf(m_synth), channel, controller, value);
}

void Synthesizer::programChange(int channel, int program)
{
    if (m_synth)
        fluid_synth_program_change(synthOf(m_synth), channel, program);
}

void Synthesizer::setDrumChannel(int channel)
{
    if (m_synth) {
        fluid_synth_set_channel_type(synthOf(m_synth), channel, CHANNEL_TYPE_DRUM);
        fluid_synth_program_change(synthOf(m_synth), channel, 0);
    }
}

void Synthesizer::silence(int channel)
{
    if (m_synth)
        fluid_synth_all_sounds_off(synthOf(m_synth), channel);
}

void Synthesizer::render(std::int16_t* samples, int frames)
{
    if (m_synth)
        fluid_synth_write_s16(synthOf(m_synth), frames, samples, 0, 2, samples, 1, 2);
    else
        std::fill(samples, samples + 2 * frames, std::int16_t{0});
}

} // namespace mavrel::sound
