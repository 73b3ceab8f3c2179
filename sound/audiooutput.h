// Where the player's sound goes: the audio device, or in tests a fake that
// pulls frames when told to.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QIODevice;

namespace mavrel::sound {

class AudioOutput : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Pulls 16-bit stereo frames at SampleRate from the open `source` until
    // stop(). The source is read on the output's own thread, never on the
    // thread that calls these functions.
    virtual void start(QIODevice* source) = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    // The frames heard since start(), from any thread.
    virtual qint64 playedFrames() const = 0;

signals:
    // Nothing can be heard: no device, or the device refuses or stops.
    void failed(const QString& message);
};

// The system's default audio device through Qt Multimedia, fed from a
// thread of its own so that neither the windows nor the synthesizer wait
// for each other.
std::unique_ptr<AudioOutput> makeDeviceOutput();

} // namespace mavrel::sound
