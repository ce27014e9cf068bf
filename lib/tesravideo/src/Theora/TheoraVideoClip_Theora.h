#pragma once

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <tesravideo/TheoraVideoClip.h>

// Ogg files with a Theora stream. Other streams in the file (sound included) are skipped.
class TheoraVideoClip_Theora : public TheoraVideoClip
{
public:
    TheoraVideoClip_Theora(std::unique_ptr<TheoraDataSource> source, int outputMode, int numPrecachedFrames,
                           bool usePower2Stride);
    ~TheoraVideoClip_Theora() override;

    void _executeSeek() override;
    bool _readData() override;
    void load() override;
    void _restart() override;
    std::string getDecoderName() override { return "Theora"; }
    bool decodeNextFrame() override;

    long _seekPage(long targetFrame, bool returnKeyFrame);

protected:
    ogg_sync_state syncState;
    ogg_page page;
    ogg_stream_state theoraStream;
    th_info info;
    th_comment comment;
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    int headerCount = 0;
    bool streamStarted = false;
    bool syncStarted = false;

    void _readTheoraHeaders();
    void _readDuration();
    // The precached frame count the frame size allows; says so when it is fewer than asked.
    int _boundedPrecachedFrames();
    bool _takePage();
    void _addPage();
    // Pauses the clock for a restart or seek without touching the timer's own pause flag.
    void _hold(bool value) { this->workerHold = value; }
};
