#include "window/qt_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <string>
#include <vector>

#include "platform/qt_text.h"
#include "platform/system_audio_output.h"

namespace sweepwav {

namespace {

// Two seconds of audio queued; a device that takes nothing for five
// seconds has stopped.
constexpr int kQueuedMs = 2000;
constexpr qint64 kStalledMs = 5000;
// What a device has taken it plays within this time.
constexpr unsigned long kSinkMs = 200;

// Qt's audio output reports through the event loop: waiting lets it.
void Pause(unsigned long milliseconds) {
    QCoreApplication::processEvents();
    QThread::msleep(milliseconds);
}

std::string SampleFormatText(QAudioFormat::SampleFormat f) {
    switch (f) {
        case QAudioFormat::UInt8: return "8 bit";
        case QAudioFormat::Int16: return "16 bit";
        case QAudioFormat::Int32: return "32 bit";
        case QAudioFormat::Float: return "32 bit float";
        default: return "no known";
    }
}

// "44100 to 48000 Hz, 16 bit or 32 bit, 1 to 2 channels".
std::string WhatItTakes(const QAudioDevice& d) {
    std::string formats;
    for (QAudioFormat::SampleFormat f : d.supportedSampleFormats()) {
        formats += (formats.empty() ? "" : " or ") + SampleFormatText(f);
    }
    return std::to_string(d.minimumSampleRate()) + " to " + std::to_string(d.maximumSampleRate()) + " Hz, " +
           (formats.empty() ? "no sample format" : formats) + ", " + std::to_string(d.minimumChannelCount()) +
           " to " + std::to_string(d.maximumChannelCount()) + " channels";
}

std::string ErrorText(QAudio::Error e) {
    switch (e) {
        case QAudio::OpenError: return "it could not be opened";
        case QAudio::IOError: return "it could not be written to";
        case QAudio::FatalError: return "it is gone";
        default: return "it failed";
    }
}

class QtStream : public AudioStream {
public:
    QtStream(std::unique_ptr<QAudioSink> sink, QIODevice* io, int fileSampleBytes)
        : sink_(std::move(sink)), io_(io), wide_(fileSampleBytes == 3) {}
    ~QtStream() override { sink_->reset(); }

    Status write(std::span<const std::uint8_t> frames) override {
        const QByteArray data = device_bytes(frames);
        QElapsedTimer stalled;
        stalled.start();
        for (qsizetype at = 0; at < data.size();) {
            if (Status working = check(); !working) return working;
            const qint64 n = io_->write(data.constData() + at, data.size() - at);
            written_ += std::max<qint64>(n, 0);
            if (n < 0) return Status::Failure("the output device was lost while playing (" + ErrorText(sink_->error()) + ")");
            if (n > 0) stalled.restart();
            at += n;
            if (at < data.size()) {
                if (stalled.elapsed() > kStalledMs) return Status::Failure("the output device stopped playing");
                Pause(5);
            }
        }
        return {};
    }

    // What Qt has queued and the device has not taken yet, in the file's bytes.
    Result<std::uint64_t> unplayed_bytes() override {
        if (Status working = check(); !working) return working;
        return static_cast<std::uint64_t>(wide_ ? queued() / 4 * 3 : queued());
    }

    void wait(int milliseconds) override { Pause(static_cast<unsigned long>(milliseconds)); }

    // Qt has no drain of its own: silence behind the audio carries it out
    // (and starts a device that waits for a full buffer before it plays),
    // until the device has taken all of the audio.
    Status drain() override {
        const qint64 audio = written_;
        const QByteArray silence(sink_->bufferSize(), '\0');
        QElapsedTimer stalled;
        stalled.start();
        for (qint64 taken = 0, before = 0; taken < audio; before = taken) {
            if (Status working = check(); !working) return working;
            const qint64 n = io_->write(silence.constData(), std::min<qint64>(sink_->bytesFree(), silence.size()));
            written_ += std::max<qint64>(n, 0);
            taken = written_ - queued();
            if (taken > before) stalled.restart();
            if (stalled.elapsed() > kStalledMs) return Status::Failure("the output device stopped playing");
            Pause(10);
        }
        Pause(kSinkMs);
        sink_->reset();
        return check();
    }

    void discard() override { sink_->reset(); }

private:
    qint64 queued() const { return std::max<qint64>(0, sink_->bufferSize() - sink_->bytesFree()); }

    Status check() const {
        const QAudio::Error e = sink_->error();
        if (e == QAudio::NoError || e == QAudio::UnderrunError) return {};
        return Status::Failure("the output device was lost while playing (" + ErrorText(e) + ")");
    }

    // 3-byte samples as 32-bit ones, the same value above a zero byte.
    QByteArray device_bytes(std::span<const std::uint8_t> frames) const {
        if (!wide_) return QByteArray(reinterpret_cast<const char*>(frames.data()), static_cast<qsizetype>(frames.size()));
        QByteArray data(static_cast<qsizetype>(frames.size() / 3 * 4), '\0');
        for (std::size_t i = 0, o = 0; i + 2 < frames.size(); i += 3, o += 4) {
            data[static_cast<qsizetype>(o + 1)] = static_cast<char>(frames[i]);
            data[static_cast<qsizetype>(o + 2)] = static_cast<char>(frames[i + 1]);
            data[static_cast<qsizetype>(o + 3)] = static_cast<char>(frames[i + 2]);
        }
        return data;
    }

    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_;
    bool wide_;
    qint64 written_ = 0;  // bytes given to Qt
};

// Qt's PulseAudio sink waits for ever on a stream the server refuses (a
// device that takes no plain samples, which Qt still counts as taking the
// format), so the server is asked first, through a stream of the command
// line's own output that is closed before anything is written: a refusal
// then says what the device takes, and nothing hangs.
Status ServerTakes(const AudioFormat& format) {
#if defined(__linux__)
    Result<std::unique_ptr<AudioStream>> asked = SystemAudioOutput()->open(format);
    if (!asked) return asked.status();
#else
    (void)format;
#endif
    return {};
}

class QtOutput : public AudioOutput {
public:
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat& format) override {
        if (Status taken = ServerTakes(format); !taken) return taken;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return Status::Failure(FailureKind::Missing, "there is no output device");
        QAudioFormat f;
        f.setSampleRate(format.rate);
        f.setChannelCount(format.channels);
        f.setSampleFormat(format.containerBits == 16 ? QAudioFormat::Int16 : QAudioFormat::Int32);
        std::string name(1, '"');
        name.append(ToUtf8(device.description())).push_back('"');
        if (!device.isFormatSupported(f)) {
            return Status::Failure(FailureKind::Unusable, "the output device " + name + " does not take " +
                                                              AudioFormatText(format) + "; it takes " +
                                                              WhatItTakes(device));
        }
        auto sink = std::make_unique<QAudioSink>(device, f);
        sink->setBufferSize(f.bytesForDuration(qint64(kQueuedMs) * 1000));
        QIODevice* io = sink->start();
        if (io == nullptr || (sink->error() != QAudio::NoError && sink->error() != QAudio::UnderrunError)) {
            return Status::Failure("the output device " + name + " could not be opened (" + ErrorText(sink->error()) + ")");
        }
        return std::unique_ptr<AudioStream>(std::make_unique<QtStream>(std::move(sink), io, format.containerBits / 8));
    }
};

}  // namespace

std::unique_ptr<AudioOutput> QtAudioOutput() { return std::make_unique<QtOutput>(); }

}  // namespace sweepwav
