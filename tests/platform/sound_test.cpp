#include "platform/sound.h"
#include "tests/platform/platform_test_environment.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cstdint>

namespace orbita {
namespace {

using Sound = test::PlatformTest;

// A valid 8 kHz mono 16-bit WAV of `samples` samples of a square wave.
QByteArray wav(std::uint32_t samples)
{
    QByteArray data;
    const auto u32 = [&data](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&data](std::uint16_t v) {
        data.append(static_cast<char>(v & 0xFF));
        data.append(static_cast<char>(v >> 8));
    };
    data.append("RIFF");
    u32(36 + samples * 2);
    data.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    data.append("data");
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16((i / 8) % 2 ? 0x2000 : 0xE000);
    return data;
}

// Whatever the machine's audio, playing, looping and stopping never fail and
// never wait: the call returns without running a nested message loop (a timer
// due at once has not fired yet), and a looped sound, which never ends,
// returns too. A missing or broken file is silence.
TEST_F(Sound, PlayingNeverFailsOrWaits)
{
    QFile good(path("OTWORZ.WAV"));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write(wav(4000));
    good.close();
    QFile broken(path("ZEPSUTY.WAV"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("RIFF\x01\x00\x00\x00WAVEjunk");
    broken.close();

    const struct {
        std::string file;
        bool loop;
    } cases[] = {
        { stdPath("OTWORZ.WAV"), false },
        { stdPath("OTWORZ.WAV"), true },
        { stdPath("ZEPSUTY.WAV"), false },
        { stdPath("BRAK.WAV"), true },
        { stdPath(""), false },
        { "", false },
    };
    for (const auto& c : cases) {
        bool fired = false;
        QObject context;
        QTimer::singleShot(0, &context, [&fired] { fired = true; });
        PlaySoundFile(c.file, c.loop);
        EXPECT_FALSE(fired) << c.file << ": playing ran the message loop";
        QCoreApplication::processEvents();
        StopSound();
        EXPECT_TRUE(fired);
        QCoreApplication::processEvents();
    }
    StopSound();
}

} // namespace
} // namespace orbita
