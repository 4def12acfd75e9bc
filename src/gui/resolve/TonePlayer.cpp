// Making and playing the tones.
#include "gui/resolve/TonePlayer.h"

#include <QApplication>
#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>
#include <cmath>
#include <numbers>

#include "gui/common/QtWindowsApi.h"

namespace {

void append16(QByteArray& bytes, quint16 value) {
    const quint16 little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), 2);
}

void append32(QByteArray& bytes, quint32 value) {
    const quint32 little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), 4);
}

}  // namespace

TonePlayer::TonePlayer() = default;
TonePlayer::~TonePlayer() = default;

QByteArray TonePlayer::wave(unsigned frequency, unsigned milliseconds, unsigned sampleRate) {
    const quint32 samples = sampleRate * milliseconds / 1000;
    QByteArray bytes("RIFF");
    append32(bytes, 36 + samples * 2);
    bytes.append("WAVEfmt ");
    append32(bytes, 16);
    append16(bytes, 1);  // PCM
    append16(bytes, 1);  // mono
    append32(bytes, sampleRate);
    append32(bytes, sampleRate * 2);
    append16(bytes, 2);
    append16(bytes, 16);
    bytes.append("data");
    append32(bytes, samples * 2);
    const quint32 fade = sampleRate / 200;  // 5 ms
    for (quint32 i = 0; i < samples; ++i) {
        const double edge =
            std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(samples - i) / fade});
        const double value = std::sin(2 * std::numbers::pi * frequency * i / sampleRate) * edge * 0.5;
        append16(bytes, static_cast<quint16>(static_cast<qint16>(std::lround(value * 32767))));
    }
    return bytes;
}

void TonePlayer::play(unsigned frequency, unsigned milliseconds) {
#ifdef Q_OS_WIN
    Beep(frequency, milliseconds);
#else
    std::unique_ptr<QSoundEffect>& sound = sounds_[{frequency, milliseconds}];
    if (!sound) {
        const QString path =
            folder_.filePath(QStringLiteral("tone-%1-%2.wav").arg(frequency).arg(milliseconds));
        QFile file(path);
        if (!folder_.isValid() || !file.open(QIODevice::WriteOnly) ||
            file.write(wave(frequency, milliseconds)) < 0) {
            QApplication::beep();  // no sound file to be had: the plain beep at least
            return;
        }
        file.close();
        sound = std::make_unique<QSoundEffect>();
        sound->setSource(QUrl::fromLocalFile(path));
    }
    sound->play();
#endif
}
