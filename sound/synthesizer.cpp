#include "synthesizer.h"

#include "soundfont.h"

#include <QFile>
#include <QFileInfo>

#include <fluidsynth.h>

#include <dlfcn.h>

#include <algorithm>
#include <mutex>

static_assert(FLUIDSYNTH_VERSION_MAJOR == 2, "the library opened below is FluidSynth 2's");

namespace mavrel::sound {

namespace {

// FluidSynth and the forty libraries it brings along are opened the first
// time a synthesizer is made: every other command, and the editor until it
// plays, starts without them.
struct FluidSynth {
#define MAVREL_FLUID(name) decltype(&::name) name = nullptr
    MAVREL_FLUID(new_fluid_settings);
    MAVREL_FLUID(delete_fluid_settings);
    MAVREL_FLUID(fluid_settings_setnum);
    MAVREL_FLUID(fluid_settings_setint);
    MAVREL_FLUID(new_fluid_synth);
    MAVREL_FLUID(delete_fluid_synth);
    MAVREL_FLUID(fluid_synth_sfload);
    MAVREL_FLUID(fluid_synth_set_reverb_group_roomsize);
    MAVREL_FLUID(fluid_synth_set_reverb_group_level);
    MAVREL_FLUID(fluid_synth_noteon);
    MAVREL_FLUID(fluid_synth_noteoff);
    MAVREL_FLUID(fluid_synth_cc);
    MAVREL_FLUID(fluid_synth_program_change);
    MAVREL_FLUID(fluid_synth_set_channel_type);
    MAVREL_FLUID(fluid_synth_all_sounds_off);
    MAVREL_FLUID(fluid_synth_write_s16);
    MAVREL_FLUID(fluid_set_log_function);
#undef MAVREL_FLUID
    bool loaded = false;
};

const FluidSynth& fluid()
{
    static const FluidSynth library = [] {
        FluidSynth f;
        void* handle = dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return f;
        bool all = true;
        auto find = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
            all = all && function;
        };
#define MAVREL_FIND(name) find(f.name, #name)
        MAVREL_FIND(new_fluid_settings);
        MAVREL_FIND(delete_fluid_settings);
        MAVREL_FIND(fluid_settings_setnum);
        MAVREL_FIND(fluid_settings_setint);
        MAVREL_FIND(new_fluid_synth);
        MAVREL_FIND(delete_fluid_synth);
        MAVREL_FIND(fluid_synth_sfload);
        MAVREL_FIND(fluid_synth_set_reverb_group_roomsize);
        MAVREL_FIND(fluid_synth_set_reverb_group_level);
        MAVREL_FIND(fluid_synth_noteon);
        MAVREL_FIND(fluid_synth_noteoff);
        MAVREL_FIND(fluid_synth_cc);
        MAVREL_FIND(fluid_synth_program_change);
        MAVREL_FIND(fluid_synth_set_channel_type);
        MAVREL_FIND(fluid_synth_all_sounds_off);
        MAVREL_FIND(fluid_synth_write_s16);
        MAVREL_FIND(fluid_set_log_function);
#undef MAVREL_FIND
        f.loaded = all;
        // FluidSynth writes its warnings and errors to standard error by
        // itself; whatever the user must know comes as a message from here.
        if (all)
            for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
                f.fluid_set_log_function(level, nullptr, nullptr);
        return f;
    }();
    return library;
}

fluid_synth_t* synthOf(void* p) { return static_cast<fluid_synth_t*>(p); }

} // namespace

Synthesizer::Synthesizer(const QString& soundFont) : m_soundFont(soundFontOr(soundFont))
{
    const FluidSynth& f = fluid();
    if (!f.loaded) {
        m_error = Message(QT_TRANSLATE_NOOP("Message",
            "Le synthétiseur FluidSynth n'est pas installé : installez le paquet libfluidsynth3."));
        return;
    }
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
    fluid_settings_t* settings = fluid().new_fluid_settings();
    if (!settings) {
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour le synthétiseur."));
        return;
    }
    fluid().fluid_settings_setnum(settings, "synth.sample-rate", SampleRate);
    // Three instruments, a click and the reverb's tail stay far below full
    // scale at this gain.
    fluid().fluid_settings_setnum(settings, "synth.gain", 0.8);
    fluid().fluid_settings_setint(settings, "synth.reverb.active", 1);
    fluid().fluid_settings_setint(settings, "synth.chorus.active", 0);
    // Our own lock guards every call: FluidSynth's would be taken twice.
    fluid().fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_synth_t* synth = fluid().new_fluid_synth(settings);
    if (!synth) {
        fluid().delete_fluid_settings(settings);
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour le synthétiseur."));
        return;
    }
    if (fluid().fluid_synth_sfload(synth, QFile::encodeName(m_soundFont).constData(), 1) == FLUID_FAILED) {
        fluid().delete_fluid_synth(synth);
        fluid().delete_fluid_settings(settings);
        m_error = Message(QT_TRANSLATE_NOOP("Message", "Ce fichier n'est pas une banque de sons SoundFont lisible."));
        return;
    }
    fluid().fluid_synth_set_reverb_group_roomsize(synth, -1, 0.4);
    fluid().fluid_synth_set_reverb_group_level(synth, -1, 0.5);
    m_settings = settings;
    m_synth = synth;
}

Synthesizer::~Synthesizer()
{
    if (m_synth)
        fluid().delete_fluid_synth(synthOf(m_synth));
    if (m_settings)
        fluid().delete_fluid_settings(static_cast<fluid_settings_t*>(m_settings));
}

void Synthesizer::noteOn(int channel, int pitch, int velocity)
{
    if (m_synth)
        fluid().fluid_synth_noteon(synthOf(m_synth), channel, pitch, velocity);
}

void Synthesizer::noteOff(int channel, int pitch)
{
    if (m_synth)
        fluid().fluid_synth_noteoff(synthOf(m_synth), channel, pitch);
}

void Synthesizer::controlChange(int channel, int controller, int value)
{
    if (m_synth)
        fluid().fluid_synth_cc(synthOf(m_synth), channel, controller, value);
}

void Synthesizer::programChange(int channel, int program)
{
    if (m_synth)
        fluid().fluid_synth_program_change(synthOf(m_synth), channel, program);
}

void Synthesizer::setDrumChannel(int channel)
{
    if (m_synth) {
        fluid().fluid_synth_set_channel_type(synthOf(m_synth), channel, CHANNEL_TYPE_DRUM);
        fluid().fluid_synth_program_change(synthOf(m_synth), channel, 0);
    }
}

void Synthesizer::silence(int channel)
{
    if (m_synth)
        fluid().fluid_synth_all_sounds_off(synthOf(m_synth), channel);
}

void Synthesizer::render(std::int16_t* samples, int frames)
{
    if (m_synth)
        fluid().fluid_synth_write_s16(synthOf(m_synth), frames, samples, 0, 2, samples, 1, 2);
    else
        std::fill(samples, samples + 2 * frames, std::int16_t{0});
}

} // namespace mavrel::sound
