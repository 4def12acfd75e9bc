// The resolve window's end-of-list tones: a sine tone of a given pitch and length, the same on every
// platform that has a sound device (Windows' Beep, a short sound file elsewhere).
#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <utility>

class QSoundEffect;

class TonePlayer {
  public:
    TonePlayer();
    ~TonePlayer();
    TonePlayer(const TonePlayer&) = delete;
    TonePlayer& operator=(const TonePlayer&) = delete;

    void play(unsigned frequency, unsigned milliseconds);

    // A mono 16-bit PCM WAV file of a sine tone, faded in and out so that it does not click.
    [[nodiscard]] static QByteArray wave(unsigned frequency, unsigned milliseconds,
                                         unsigned sampleRate = 22050);

  private:
    QTemporaryDir folder_;
    std::map<std::pair<unsigned, unsigned>, std::unique_ptr<QSoundEffect>> sounds_;
};
