#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraTimer.h>
#include <tesravideo/TheoraVideoManager.h>

#include "TheoraVideoClip_Theora.h"

namespace
{
    const int chunkSize = 4096;
    const int maxDurationScan = 204800;
} // namespace

TheoraVideoClip_Theora::TheoraVideoClip_Theora(std::unique_ptr<TheoraDataSource> source, int outputMode,
                                               int numPrecachedFrames, bool usePower2Stride)
    : TheoraVideoClip(std::move(source), outputMode, numPrecachedFrames, usePower2Stride)
{
    memset(&this->syncState, 0, sizeof(this->syncState));
    memset(&this->page, 0, sizeof(this->page));
    memset(&this->theoraStream, 0, sizeof(this->theoraStream));
    th_info_init(&this->info);
    th_comment_init(&this->comment);
}

TheoraVideoClip_Theora::~TheoraVideoClip_Theora()
{
    if (this->decoder != nullptr)
    {
        th_decode_free(this->decoder);
    }
    if (this->setup != nullptr)
    {
        th_setup_free(this->setup);
    }
    if (this->streamStarted)
    {
        ogg_stream_clear(&this->theoraStream);
    }
    th_info_clear(&this->info);
    th_comment_clear(&this->comment);
    if (this->syncStarted)
    {
        ogg_sync_clear(&this->syncState);
    }
}

bool TheoraVideoClip_Theora::_takePage()
{
    return ogg_sync_pageout(&this->syncState, &this->page) > 0;
}

void TheoraVideoClip_Theora::_addPage()
{
    if (this->headerCount > 0)
    {
        ogg_stream_pagein(&this->theoraStream, &this->page);
    }
}

void TheoraVideoClip_Theora::_readTheoraHeaders()
{
    ogg_sync_init(&this->syncState);
    this->syncStarted = true;
    bool beginning = true;
    while (beginning)
    {
        char* buffer = ogg_sync_buffer(&this->syncState, chunkSize);
        int bytes = this->stream->read(buffer, chunkSize);
        ogg_sync_wrote(&this->syncState, bytes);
        if (bytes == 0)
        {
            break;
        }
        while (this->_takePage())
        {
            if (!ogg_page_bos(&this->page))
            {
                this->_addPage();
                beginning = false;
                break;
            }
            ogg_stream_state test;
            ogg_stream_init(&test, ogg_page_serialno(&this->page));
            ogg_stream_pagein(&test, &this->page);
            ogg_packet packet;
            // A first page may hold no whole packet; then there is nothing to look at.
            if (this->headerCount == 0 && ogg_stream_packetout(&test, &packet) == 1 &&
                th_decode_headerin(&this->info, &this->comment, &this->setup, &packet) > 0)
            {
                memcpy(&this->theoraStream, &test, sizeof(test));
                this->streamStarted = true;
                this->headerCount = 1;
            }
            else
            {
                ogg_stream_clear(&test);
            }
        }
    }
    while (this->headerCount > 0 && this->headerCount < 3)
    {
        ogg_packet packet;
        while (this->headerCount < 3)
        {
            int result = ogg_stream_packetout(&this->theoraStream, &packet);
            if (result == 0)
            {
                break;
            }
            if (result < 0)
            {
                THEORA_THROW("Error parsing Theora stream headers.");
            }
            if (th_decode_headerin(&this->info, &this->comment, &this->setup, &packet) == 0)
            {
                THEORA_THROW("invalid theora stream");
            }
            ++this->headerCount;
        }
        if (this->headerCount >= 3)
        {
            break;
        }
        if (this->_takePage())
        {
            this->_addPage();
        }
        else
        {
            char* buffer = ogg_sync_buffer(&this->syncState, chunkSize);
            int bytes = this->stream->read(buffer, chunkSize);
            ogg_sync_wrote(&this->syncState, bytes);
            if (bytes == 0)
            {
                THEORA_THROW("End of file found prematurely");
            }
        }
    }
}

void TheoraVideoClip_Theora::load()
{
    this->_readTheoraHeaders();
    // Without a Theora stream no decoder can be made: say so instead of decoding with none.
    if (this->headerCount == 0 || this->setup == nullptr)
    {
        THEORA_THROW("invalid theora stream");
    }
    // Every converter reads one chroma sample per 2 x 2 pixels: other layouts would play in wrong colours.
    if (this->info.pixel_fmt != TH_PF_420)
    {
        THEORA_THROW(std::string("Theora pixel format ") +
                     (this->info.pixel_fmt == TH_PF_444 ? "4:4:4" : "4:2:2") +
                     " is not supported, only 4:2:0");
    }
    // The header alone decides how much the decoder and the frames take: refuse absurd sizes first.
    long long frameWidth = this->info.frame_width, frameHeight = this->info.frame_height;
    if (frameWidth > theoraMaxFrameSide || frameHeight > theoraMaxFrameSide)
    {
        THEORA_THROW("Video frame size " + std::to_string(frameWidth) + "x" + std::to_string(frameHeight) +
                     " is too large, at most " + std::to_string(theoraMaxFrameSide) + "x" +
                     std::to_string(theoraMaxFrameSide) + " is supported");
    }
    // Decoding, converting and uploading one frame costs in proportion to its pixels: past this the first
    // frame alone would hold the game for seconds.
    if (frameWidth * frameHeight > theoraMaxFramePixels)
    {
        THEORA_THROW("Video frame size " + std::to_string(frameWidth) + "x" + std::to_string(frameHeight) +
                     " is too large, at most " + std::to_string(theoraMaxFramePixels) +
                     " pixels (4096x4096) are supported");
    }
    this->decoder = th_decode_alloc(&this->info, this->setup);
    if (this->decoder == nullptr)
    {
        THEORA_THROW("invalid theora stream");
    }
    this->width = this->info.frame_width;
    this->height = this->info.frame_height;
    this->subFrameWidth = this->info.pic_width;
    this->subFrameHeight = this->info.pic_height;
    this->subFrameOffsetX = this->info.pic_x;
    this->subFrameOffsetY = this->info.pic_y;
    if (this->stride == 1)
    {
        int power = 1;
        while (power < this->getWidth())
        {
            power *= 2;
        }
        this->stride = power;
    }
    else
    {
        this->stride = this->getWidth();
    }
    this->fps = (float)this->info.fps_numerator / (float)this->info.fps_denominator;
    this->frameQueue = std::make_unique<TheoraFrameQueue>(this);
    this->frameQueue->setSize(this->_boundedPrecachedFrames());
    this->_readDuration();
    ogg_sync_reset(&this->syncState);
    this->stream->seek(0);
    this->frameDuration = 1.0f / this->fps;
}

int TheoraVideoClip_Theora::_boundedPrecachedFrames()
{
    // A header alone decides the frame size: an 18 KB file claiming huge frames must not have the player
    // hold gigabytes of frames ahead for packets that may never decode. Big frames get fewer of them.
    const long long frameBytes =
        (long long)this->stride * this->getHeight() * theoraBytesPerPixel(this->outputMode);
    const long long fitting = std::max(1LL, theoraMaxPrecachedBytes / std::max(frameBytes, 1LL));
    if (fitting >= this->numPrecachedFrames)
    {
        return this->numPrecachedFrames;
    }
    TheoraVideoManager::logMessage(this->name + ": frames of " + std::to_string(this->getWidth()) + "x" +
                                   std::to_string(this->getHeight()) + " take " +
                                   std::to_string(frameBytes / (1024 * 1024)) + " MB each, precaching " +
                                   std::to_string(fitting) + " instead of " +
                                   std::to_string(this->numPrecachedFrames));
    return (int)fitting;
}

void TheoraVideoClip_Theora::_readDuration()
{
    int offset = this->stream->size() - chunkSize;
    int chunk = chunkSize;
    long long frames = this->numFrames;
    while (true)
    {
        ogg_sync_reset(&this->syncState);
        this->stream->seek(std::max(offset, 0));
        char* buffer = ogg_sync_buffer(&this->syncState, chunk);
        int bytes = this->stream->read(buffer, chunk);
        ogg_sync_wrote(&this->syncState, bytes);
        ogg_sync_pageseek(&this->syncState, &this->page);
        while (this->_takePage())
        {
            if (ogg_page_serialno(&this->page) != this->theoraStream.serialno)
            {
                continue;
            }
            ogg_int64_t granule = ogg_page_granulepos(&this->page);
            if (granule >= 0)
            {
                frames = (long long)th_granule_frame(this->decoder, granule) + 1;
            }
            else if (frames > 0)
            {
                ++frames;
            }
        }
        // Every frame number the clip keeps is an int: a count past that is a damaged page, not a long clip.
        if (frames > INT_MAX)
        {
            THEORA_THROW("Video file is damaged: its last page names frame " + std::to_string(frames - 1) +
                         ", more than a clip can count");
        }
        this->numFrames = (int)frames;
        if (this->numFrames > 0 || offset < 0)
        {
            break;
        }
        chunk += chunkSize;
        offset -= chunkSize;
        if (chunk > maxDurationScan)
        {
            break;
        }
    }
    if (this->numFrames < 0)
    {
        TheoraVideoManager::logMessage("unable to determine file duration!");
    }
    else
    {
        this->duration = this->numFrames / this->fps;
    }
}

bool TheoraVideoClip_Theora::_readData()
{
    char* buffer = ogg_sync_buffer(&this->syncState, chunkSize);
    int bytes = this->stream->read(buffer, chunkSize);
    ogg_sync_wrote(&this->syncState, bytes);
    if (bytes == 0)
    {
        if (!this->autoRestart.load())
        {
            this->endOfFile = true;
        }
        return false;
    }
    while (this->_takePage())
    {
        if (ogg_page_serialno(&this->page) == this->theoraStream.serialno)
        {
            ogg_stream_pagein(&this->theoraStream, &this->page);
        }
    }
    return true;
}

bool TheoraVideoClip_Theora::decodeNextFrame()
{
    if (this->endOfFile.load())
    {
        return false;
    }
    TheoraVideoFrame* frame = this->frameQueue->requestEmptyFrame();
    if (frame == nullptr)
    {
        return false;
    }
    bool restart = false;
    ogg_packet packet;
    while (true)
    {
        int result = -1;
        for (int i = 0; i < 100 && result < 0; ++i)
        {
            result = ogg_stream_packetout(&this->theoraStream, &packet);
        }
        if (result <= 0)
        {
            if (this->_readData())
            {
                continue;
            }
            {
                std::lock_guard<TheoraFrameQueue> lock(*this->frameQueue);
                frame->inUse = false;
            }
            restart = this->autoRestart.load();
            break;
        }
        ogg_int64_t granule = 0;
        int decoded = th_decode_packetin(this->decoder, &packet, &granule);
        if (decoded != 0 && decoded != TH_DUPFRAME)
        {
            continue;
        }
        float time = (float)th_granule_time(this->decoder, granule);
        unsigned long number = (unsigned long)th_granule_frame(this->decoder, granule);
        if (this->timer.load()->getTime() > time && !this->restarted.load() && (number & 15) != 0)
        {
            ++this->droppedFrames;
            continue;
        }
        frame->timeToDisplay = time - this->frameDuration;
        frame->iteration = this->iteration.load();
        frame->frameNumber = number;
        th_ycbcr_buffer planes;
        th_decode_ycbcr_out(this->decoder, planes);
        TheoraPixelTransform transform;
        transform.y = planes[0].data;
        transform.u = planes[1].data;
        transform.v = planes[2].data;
        transform.yStride = planes[0].stride;
        transform.uStride = planes[1].stride;
        transform.vStride = planes[2].stride;
        frame->decode(&transform);
        break;
    }
    if (restart)
    {
        ++this->iteration;
        this->_restart();
    }
    return true;
}

void TheoraVideoClip_Theora::_restart()
{
    this->_hold(true);
    th_decode_free(this->decoder);
    this->decoder = th_decode_alloc(&this->info, this->setup);
    ogg_stream_reset(&this->theoraStream);
    ogg_sync_reset(&this->syncState);
    this->stream->seek(0);
    this->endOfFile = false;
    this->restarted = true;
    this->_hold(false);
}

void TheoraVideoClip_Theora::_executeSeek()
{
    int target = this->seekFrame.load();
    this->timer.load()->seek(target / this->fps);
    this->_hold(true);
    this->endOfFile = false;
    this->restarted = false;
    this->frameQueue->clear();
    this->iteration = 0;
    this->playbackIteration = 0;
    ogg_stream_reset(&this->theoraStream);
    th_decode_free(this->decoder);
    this->decoder = th_decode_alloc(&this->info, this->setup);
    long keyFrame = this->_seekPage(target, true);
    this->_seekPage(std::max(keyFrame - 1, 0L), false);
    bool granuleSet = false;
    if (keyFrame <= 1)
    {
        ogg_int64_t granule = (this->info.version_major == 3 && this->info.version_minor == 2 &&
                               this->info.version_subminor == 0)
                                  ? 0
                                  : 1;
        th_decode_ctl(this->decoder, TH_DECCTL_SET_GRANPOS, &granule, sizeof(granule));
        granuleSet = true;
    }
    if (target != 0)
    {
        ogg_packet packet;
        while (true)
        {
            int result = ogg_stream_packetout(&this->theoraStream, &packet);
            if (result == 0)
            {
                if (!this->_readData())
                {
                    // The target lies beyond what the file holds: give up on this seek rather than
                    // probing it again on every turn with the clock held.
                    TheoraVideoManager::logMessage(this->name +
                                                   " [seek]: fineseeking failed, _readData failed!");
                    break;
                }
                continue;
            }
            if (result < 0)
            {
                continue;
            }
            if (!granuleSet)
            {
                if (packet.granulepos < 0)
                {
                    continue;
                }
                th_decode_ctl(this->decoder, TH_DECCTL_SET_GRANPOS, &packet.granulepos,
                              sizeof(packet.granulepos));
                granuleSet = true;
            }
            ogg_int64_t granule = 0;
            int decoded = th_decode_packetin(this->decoder, &packet, &granule);
            if ((decoded == 0 || decoded == TH_DUPFRAME) &&
                th_granule_frame(this->decoder, granule) >= target - 1)
            {
                break;
            }
        }
    }
    this->_hold(false);
    // Only this seek is done: a newer one issued meanwhile stays pending for the next turn.
    this->seekFrame.compare_exchange_strong(target, -1);
}

long TheoraVideoClip_Theora::_seekPage(long targetFrame, bool returnKeyFrame)
{
    long low = 0;
    long high = this->stream->size();
    ogg_int64_t granule = 0;
    if (targetFrame == 0)
    {
        this->stream->seek(0);
    }
    else
    {
        bool found = false;
        for (int i = 0; i < 100 && !found; ++i)
        {
            ogg_sync_reset(&this->syncState);
            long middle = (low + high) / 2;
            this->stream->seek((int)middle);
            memset(&this->page, 0, sizeof(this->page));
            ogg_sync_pageseek(&this->syncState, &this->page);
            while (true)
            {
                if (!this->_takePage())
                {
                    char* buffer = ogg_sync_buffer(&this->syncState, chunkSize);
                    int bytes = this->stream->read(buffer, chunkSize);
                    ogg_sync_wrote(&this->syncState, bytes);
                    if (bytes == 0)
                    {
                        break;
                    }
                    continue;
                }
                if (ogg_page_serialno(&this->page) != this->theoraStream.serialno ||
                    ogg_page_granulepos(&this->page) < 0)
                {
                    continue;
                }
                granule = ogg_page_granulepos(&this->page);
                long frame = (long)th_granule_frame(this->decoder, granule);
                if (frame < targetFrame && targetFrame - frame < 10)
                {
                    found = true;
                }
                else if (targetFrame - 1 > frame)
                {
                    low = middle;
                }
                else
                {
                    high = middle;
                }
                break;
            }
        }
    }
    if (returnKeyFrame)
    {
        return (long)(granule >> this->info.keyframe_granule_shift);
    }
    ogg_sync_reset(&this->syncState);
    memset(&this->page, 0, sizeof(this->page));
    ogg_sync_pageseek(&this->syncState, &this->page);
    if (targetFrame != 0)
    {
        this->stream->seek((int)((low + high) / 2));
    }
    return -1;
}
