// Client layer, movie toolbox, memory handles and graphics worlds.

#include "export/quicktime/QTInternal.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdlib>
#include <cstring>

namespace {
int qtmlCount = 0;
int moviesCount = 0;
CGrafPtr currentPort = nullptr;
GDHandle currentDevice = nullptr;

// A handle points at the first member of its block, the master pointer.
struct HandleBlock
{
    char *data;
    Size size;
};

HandleBlock *blockOf(Handle h)
{
    return reinterpret_cast<HandleBlock *>(h);
}
}

OSErr InitializeQTML(long flags)
{
    ++qtmlCount;
    return noErr;
}

void TerminateQTML()
{
    if (qtmlCount > 0)
        --qtmlCount;
}

OSErr EnterMovies()
{
    if (qtmlCount == 0)
        return qtmlUninitialized;
    // Failures reach the user as error results; keep FFmpeg's chatter off the console.
    av_log_set_level(AV_LOG_ERROR);
    ++moviesCount;
    return noErr;
}

void ExitMovies()
{
    if (moviesCount > 0)
        --moviesCount;
}

Handle NewHandle(Size size)
{
    if (size < 0)
        return nullptr;
    auto *block = static_cast<HandleBlock *>(std::malloc(sizeof(HandleBlock)));
    if (!block)
        return nullptr;
    block->data = static_cast<char *>(std::calloc(size_t(size ? size : 1), 1));
    if (!block->data) {
        std::free(block);
        return nullptr;
    }
    block->size = size;
    return &block->data;
}

void DisposeHandle(Handle h)
{
    if (!h)
        return;
    std::free(blockOf(h)->data);
    std::free(blockOf(h));
}

OSErr SetHandleSize(Handle h, Size size)
{
    if (!h || size < 0)
        return paramErr;
    HandleBlock *block = blockOf(h);
    char *data = static_cast<char *>(std::realloc(block->data, size_t(size ? size : 1)));
    if (!data)
        return memFullErr;
    if (size > block->size)
        std::memset(data + block->size, 0, size_t(size - block->size));
    block->data = data;
    block->size = size;
    return noErr;
}

Size GetHandleSize(Handle h)
{
    return h ? blockOf(h)->size : 0;
}

// Handles never move here, so they are always high and locked.
void MoveHHi(Handle)
{
}

void HLock(Handle)
{
}

Fixed FixRatio(int16_t numerator, int16_t denominator)
{
    if (denominator == 0)
        return numerator < 0 ? INT32_MIN : INT32_MAX;
    return Fixed(int64_t(numerator) * 0x10000 / denominator);
}

OSErr QTNewGWorldFromPtr(GWorldPtr *world, OSType pixelFormat, const Rect *bounds, void *colorTable,
                         GDHandle device, long flags, void *baseAddr, long rowBytes)
{
    if (!world || !bounds || !baseAddr)
        return paramErr;
    const int width = bounds->right - bounds->left;
    const int height = bounds->bottom - bounds->top;
    if (pixelFormat != k32BGRAPixelFormat || width <= 0 || height <= 0 || rowBytes < long(width) * 4)
        return paramErr;
    auto *gworld = new GWorld;
    gworld->pixMap.baseAddr = static_cast<uint8_t *>(baseAddr);
    gworld->pixMap.rowBytes = rowBytes;
    gworld->pixMap.bounds = *bounds;
    *world = gworld;
    return noErr;
}

void DisposeGWorld(GWorldPtr world)
{
    if (world == currentPort)
        currentPort = nullptr;
    delete world;
}

void GetGWorld(CGrafPtr *port, GDHandle *device)
{
    *port = currentPort;
    *device = currentDevice;
}

void SetGWorld(CGrafPtr port, GDHandle device)
{
    currentPort = port;
    currentDevice = device;
}

PixMapHandle GetGWorldPixMap(GWorldPtr world)
{
    return world ? &world->pixMap : nullptr;
}
