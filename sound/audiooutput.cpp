#include "audiooutput.h"

#include "synthesizer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace mavrel::sound {

namespace {

// Lives on the output's thread with its sink.
class SinkWorker : public QObject {
    Q_OBJECT

public:
    std::atomic<qint64> played{0};

    void start(const QAudioDevice& device, QIODevice* source)
    {
        stop();
        QAudioFormat format;
        format.setSampleRate(SampleRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            emit failed(QCoreApplication::translate(
                "Sound", "La sortie audio « %1 » ne joue pas de son stéréo en 16 bits à 44,1 kHz.")
                            .arg(device.description()));
            return;
        }
        m_sink = new QAudioSink(device, format, this);
        // A little under a tenth of a second queued: enough against a busy
        // machine, short enough for a change of the mix to be heard at once.
        m_sink->setBufferSize(SampleRate / 12 * 4);
        connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State) { check(); });
        played = 0;
        m_sink->start(source);
        m_clock.start();
        if (!m_timer) {
            m_timer = new QTimer(this);
            m_timer->setInterval(10);
            connect(m_timer, &QTimer::timeout, this, &SinkWorker::follow);
        }
        m_timer->start();
        check();
    }
    void suspend()
    {
        if (m_sink)
            m_sink->suspend();
    }
    void resume()
    {
        if (m_sink) {
            m_sink->resume();
            m_clock.start();
        }
    }
    void stop()
    {
        if (m_timer)
            m_timer->stop();
        if (m_sink) {
            m_sink->stop();
            delete m_sink;
            m_sink = nullptr;
        }
    }

signals:
    void failed(const QString& message);

private:
    void follow()
    {
        if (!m_sink)
            return;
        const qint64 frames = m_sink->processedUSecs() * SampleRate / 1000000;
        played = frames;
        // A device that takes the sound but never plays it would hold the
        // player forever.
        if (frames == 0 && m_sink->state() == QAudio::ActiveState && m_clock.elapsed() > 3000) {
            stop();
            emit failed(QCoreApplication::translate("Sound", "La sortie audio ne joue pas le son."));
        }
    }
    void check()
    {
        if (m_sink && m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError) {
            const QAudio::Error error = m_sink->error();
            stop();
            emit failed(error == QAudio::OpenError
                            ? QCoreApplication::translate("Sound", "La sortie audio ne peut pas être ouverte.")
                            : QCoreApplication::translate("Sound", "La sortie audio a cessé de jouer."));
        }
    }

    QAudioSink* m_sink = nullptr;
    QTimer* m_timer = nullptr;
    QElapsedTimer m_clock;
};

class DeviceOutput : public AudioOutput {
    Q_OBJECT

public:
    DeviceOutput()
    {
        m_thread.setObjectName(QStringLiteral("Sound"));
        m_worker = new SinkWorker;
        m_worker->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        connect(m_worker, &SinkWorker::failed, this, &AudioOutput::failed);
        m_thread.start(QThread::TimeCriticalPriority);
    }
    ~DeviceOutput() override
    {
        QMetaObject::invokeMethod(m_worker, &SinkWorker::stop, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    void start(QIODevice* source) override
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    emit failed(QCoreApplication::translate(
                        "Sound", "Aucune sortie audio : le son ne peut pas être joué sur cette machine."));
                },
                Qt::QueuedConnection);
            return;
        }
        m_worker->played = 0;
        QMetaObject::invokeMethod(m_worker, [w = m_worker, device, source] { w->start(device, source); });
    }
    void suspend() override { QMetaObject::invokeMethod(m_worker, &SinkWorker::suspend); }
    void resume() override { QMetaObject::invokeMethod(m_worker, &SinkWorker::resume); }
    void stop() override
    {
        QMetaObject::invokeMethod(m_worker, &SinkWorker::stop, Qt::BlockingQueuedConnection);
        m_worker->played = 0;
    }
    qint64 playedFrames() const override { return m_worker->played; }

private:
    QThread m_thread;
    SinkWorker* m_worker;
};

} // namespace

std::unique_ptr<AudioOutput> makeDeviceOutput()
{
    return std::make_unique<DeviceOutput>();
}

} // namespace mavrel::sound

#include "audiooutput.moc"
