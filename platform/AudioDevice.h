#pragma once
#include <cstdint>
#include <memory>
#include <string>

// What the device asks for each period: interleaved float stereo.
class AudioRenderer {
public:
    virtual ~AudioRenderer() = default;
    virtual void Render(float* stereo, int frames) = 0;
};

// The one audio output of the process, over SDL. The device is opened paused
// at the rate it prefers (often 48000) and runs once a renderer is given.
class AudioDevice {
public:
    // The frames asked for each period. The device's thread wakes once a
    // period, and a sound started meanwhile goes out in the next one: 2048
    // frames is at most 46 ms late at 44.1 kHz (43 at 48 kHz), 23 on average,
    // with half the wakes of 1024 frames while music plays.
    static constexpr int kPeriodFrames = 2048;

    // Null, with the reason in *error, when there is no usable device; the
    // program then runs without sound.
    static std::unique_ptr<AudioDevice> Open(std::string* error);
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    int Rate() const { return mRate; }
    int PeriodFrames() const { return mPeriod; }
    // Starts the callback on the renderer; null pauses the device.
    void Start(AudioRenderer* renderer);
    // A paused SDL device still wakes its thread every period; closing it is
    // what lets the process rest. Reopen asks for the same rate and period
    // (SDL converts if the hardware now prefers another) and runs the
    // renderer again; false, with the reason, when it cannot.
    void Close();
    bool Reopen(std::string* error);
    bool IsOpen() const { return mId != 0; }

private:
    AudioDevice() = default;
    bool OpenDevice(int rate, bool allowRateChange, std::string* error);
    static void Callback(void* self, uint8_t* stream, int bytes);

    uint32_t mId = 0;
    int mRate = 0;
    int mPeriod = 0;
    AudioRenderer* mRenderer = nullptr;
};
