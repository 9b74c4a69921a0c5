// Movie files, movies, tracks and media, written through libavformat's
// QuickTime muxer. New samples stream straight into a temporary file beside
// the movie file; storing the movie flushes it to disk and renames it over
// the original, so that a crash or a failure at any point leaves the
// original as it was.
//
// Reading the sample times of a movie opened from a file, copying its
// samples into the new file or coding them anew, and storing the movie can
// take long with a long movie: each runs on a thread of its own while the
// calling thread reports to the movie's progress procedure, when it has
// one. That thread touches nothing but the movie it works on and its
// files; the table of open movie files is the calling thread's alone.
//
// A movie file named through symbolic links is written where the links
// lead: the links stay links. The temporary file of a movie is named after
// it and locked while its writer lives; one left by a writer that died is
// removed the next time that movie is written, and one still locked tells
// that another writer is at work on the movie, which is then busy.

#include "export/quicktime/QTInternal.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

struct MovieFile
{
    QByteArray name;     // as the caller named it
    QByteArray path;     // the file written: name with its links followed
    QByteArray tempPath;
    int tempLock = -1;   // the temporary file, open and locked
    mode_t mode = 0644;
    bool stored = false;
};

std::map<short, MovieFile> movieFiles;
short lastRefNum = 0;
thread_local OSErr moviesError = noErr;

const AVRational movieTimeBase = {1, 600};

OSErr errnoToOSErr(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return permErr;
    case ENOENT:
    case ENOTDIR:
        return fnfErr;
    case ENOMEM:
        return memFullErr;
    default:
        return ioErr;
    }
}

mode_t defaultMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

QByteArray folderOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file a path leads to: its symbolic links followed, one after the
// other, to a file that is not a link or does not exist (yet).
OSErr followLinks(const QByteArray &path, QByteArray *target)
{
    QByteArray current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(current.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = current;
            return noErr;
        }
        char link[PATH_MAX];
        const ssize_t length = readlink(current.constData(), link, sizeof link);
        if (length <= 0 || size_t(length) >= sizeof link)
            return length < 0 ? errnoToOSErr(errno) : OSErr(ioErr);
        const QByteArray next(link, int(length));
        current = next.startsWith('/') ? next : folderOf(current) + '/' + next;
    }
    return ioErr; // a loop of links
}

// Temporary files of a movie are ".vorrel-movie-", a digest of the movie's
// file name, "-" and six random characters, in the movie's folder (so that
// the final rename never crosses file systems). The name stays short
// whatever the movie's name, which may already be as long as a name can be.
QByteArray tempPrefix(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    const QByteArray digest = QCryptographicHash::hash(path.mid(slash + 1), QCryptographicHash::Sha1);
    return ".vorrel-movie-" + digest.left(8).toHex() + '-';
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat held, named;
    return fstat(fd, &held) == 0 && lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev
           && held.st_ino == named.st_ino;
}

// Removes the temporary files of this movie that no living writer holds:
// those left by a writer that was killed or crashed. fBsyErr when a living
// writer holds one: a lock dies with its process.
OSErr removeStaleTemps(const QByteArray &folder, const QByteArray &prefix)
{
    DIR *dir = opendir(folder.constData());
    if (!dir)
        return noErr;
    OSErr err = noErr;
    while (const dirent *entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        const QByteArray path = folder + '/' + entry->d_name;
        const int fd = open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && sameFile(fd, path)) {
            if (flock(fd, LOCK_EX | LOCK_NB) == 0)
                unlink(path.constData());
            else if (errno == EWOULDBLOCK)
                err = fBsyErr;
        }
        close(fd);
    }
    closedir(dir);
    return err;
}

// Creates the movie's temporary file and locks it for the writer's life.
// A file removed as stale by another writer between its creation and its
// lock is given up and made again.
OSErr createTemp(const QByteArray &folder, const QByteArray &prefix, QByteArray *tempPath, int *lock)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        QByteArray pattern = folder + '/' + prefix + "XXXXXX";
        const int fd = mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            return errnoToOSErr(errno);
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, pattern)) {
            *tempPath = pattern;
            *lock = fd;
            return noErr;
        }
        close(fd);
    }
    return ioErr;
}

// Registers a movie file whose new contents go to a fresh temporary file
// beside the file it names; fBsyErr while another writer holds the file.
OSErr registerMovieFile(const QByteArray &name, mode_t mode, short *resRefNum)
{
    QByteArray path;
    OSErr err = followLinks(name, &path);
    if (err != noErr)
        return err;
    const QByteArray folder = folderOf(path);
    const QByteArray prefix = tempPrefix(path);
    // Looking for a living writer of the movie and making this writer's
    // locked temporary file are one step under the folder's lock: of two
    // writers starting at once, the later one sees the earlier one's file.
    const int folderLock = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (folderLock >= 0 && flock(folderLock, LOCK_EX) != 0 && errno == EINTR) {
    }
    err = removeStaleTemps(folder, prefix);
    QByteArray tempPath;
    int lock = -1;
    if (err == noErr)
        err = createTemp(folder, prefix, &tempPath, &lock);
    if (folderLock >= 0)
        close(folderLock);
    if (err != noErr)
        return err;
    short refNum = lastRefNum;
    do
        refNum = refNum == SHRT_MAX ? 1 : short(refNum + 1);
    while (movieFiles.count(refNum));
    lastRefNum = refNum;
    MovieFile &file = movieFiles[refNum];
    file.name = name;
    file.path = path;
    file.tempPath = tempPath;
    file.tempLock = lock;
    file.mode = mode;
    *resRefNum = refNum;
    return noErr;
}

// Makes a rename in the folder last through a crash.
void syncFolder(const QByteArray &folder)
{
    const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

MovieFile *movieFile(short resRefNum)
{
    auto it = movieFiles.find(resRefNum);
    return it == movieFiles.end() ? nullptr : &it->second;
}

struct InputCloser
{
    void operator()(AVFormatContext *input) const { avformat_close_input(&input); }
};
typedef std::unique_ptr<AVFormatContext, InputCloser> Input;

struct PacketDeleter
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
typedef std::unique_ptr<AVPacket, PacketDeleter> Packet;

// A movie file opened for reading; probed, its streams' codec parameters
// are complete (a few samples are decoded for that).
Input openInput(const QByteArray &path, bool probe = true)
{
    AVFormatContext *input = nullptr;
    if (avformat_open_input(&input, path.constData(), nullptr, nullptr) < 0)
        return nullptr;
    Input owned(input);
    if (probe && avformat_find_stream_info(input, nullptr) < 0)
        return nullptr;
    return owned;
}

// A long operation as its worker and the calling thread share it: how far
// the worker has got, and whether it is to stop.
class LongTask
{
public:
    // Progress through a file being read.
    void follow(AVFormatContext *input)
    {
        m_total.store(qMax<int64_t>(0, avio_size(input->pb)), std::memory_order_relaxed);
        m_input = input;
    }
    void advance()
    {
        if (m_input)
            m_done.store(avio_tell(m_input->pb), std::memory_order_relaxed);
    }
    void reach(int64_t done, int64_t total)
    {
        m_total.store(total, std::memory_order_relaxed);
        m_done.store(done, std::memory_order_relaxed);
    }
    Fixed share() const
    {
        const int64_t total = m_total.load(std::memory_order_relaxed);
        const int64_t done = m_done.load(std::memory_order_relaxed);
        return total > 0 ? Fixed(qBound<int64_t>(0, done, total) * fixed1 / total) : 0;
    }
    void cancel() { m_cancelled.store(true); }
    bool cancelled() const { return m_cancelled.load(); }

private:
    std::atomic<int64_t> m_total{0};
    std::atomic<int64_t> m_done{0};
    std::atomic<bool> m_cancelled{false};
    AVFormatContext *m_input = nullptr; // the worker's
};

// Runs work on a thread of its own while the calling thread tells the
// movie's progress procedure how far it has got, and passes a cancel on
// to the work when the operation may be cancelled. Without a procedure
// the work runs on the calling thread. A cancelled operation fails with
// userCanceledErr even where the work finished first.
OSErr runLong(MovieRecord *movie, short operation, bool cancellable, const std::function<OSErr(LongTask &)> &work)
{
    LongTask task;
    const MovieProgressProcPtr proc = movie->progressProc;
    if (!proc)
        return work(task);
    const long refcon = movie->progressRefCon;
    const auto tell = [&](short message) {
        if (proc(movie, message, operation, task.share(), refcon) != noErr && cancellable)
            task.cancel();
    };
    OSErr result = noErr;
    tell(movieProgressOpen);
    if (!task.cancelled()) {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::thread worker([&] {
            const OSErr err = work(task);
            const std::lock_guard<std::mutex> hold(mutex);
            result = err;
            finished = true;
            done.notify_one();
        });
        std::unique_lock<std::mutex> hold(mutex);
        while (!done.wait_for(hold, std::chrono::milliseconds(25), [&] { return finished; })) {
            hold.unlock();
            tell(movieProgressUpdatePercent);
            hold.lock();
        }
        hold.unlock();
        worker.join();
    }
    proc(movie, movieProgressClose, operation, task.cancelled() ? task.share() : fixed1, refcon);
    return task.cancelled() ? OSErr(userCanceledErr) : result;
}

// A track header ('tkhd') of a QuickTime file: the ID of its track and
// where its width and height lie (the last 8 bytes of the atom).
struct TrackHeader
{
    uint32_t trackId;
    off_t size;
};

// Walks the atoms in [begin, end) of a QuickTime file, looking into those
// on the path to the track headers ('moov', 'trak', 'tkhd'), and adds each
// header found. False when an atom does not fit where it lies.
bool findTrackHeaders(int fd, off_t begin, off_t end, int depth, std::vector<TrackHeader> *found)
{
    static const char *const path[] = {"moov", "trak", "tkhd"};
    off_t pos = begin;
    while (pos + 8 <= end) {
        uint8_t header[16];
        if (pread(fd, header, 8, pos) != 8)
            return false;
        uint64_t size = qFromBigEndian<quint32>(header);
        off_t body = pos + 8;
        if (size == 1) {
            if (pread(fd, header + 8, 8, pos + 8) != 8)
                return false;
            size = qFromBigEndian<quint64>(header + 8);
            body += 8;
        } else if (size == 0) {
            size = uint64_t(end - pos);
        }
        if (size < uint64_t(body - pos) || size > uint64_t(end - pos))
            return false;
        const off_t next = pos + off_t(size);
        if (std::memcmp(header + 4, path[depth], 4) == 0) {
            if (depth == 2) {
                // Version and flags, then (version 1: 64-bit times) creation
                // and modification times, the track ID, ... width, height.
                uint8_t version = 0;
                if (pread(fd, &version, 1, body) != 1)
                    return false;
                const off_t idAt = version == 1 ? 20 : 12;
                uint8_t id[4];
                if (next - body < (version == 1 ? 96 : 84) || pread(fd, id, 4, body + idAt) != 4)
                    return false;
                found->push_back({qFromBigEndian<quint32>(id), next - 8});
            } else if (!findTrackHeaders(fd, body, next, depth + 1, found)) {
                return false;
            }
        }
        pos = next;
    }
    return true;
}

// The track headers of a QuickTime file, track after track; none when its
// atoms cannot be walked.
std::vector<TrackHeader> trackHeaders(int fd)
{
    struct stat info;
    std::vector<TrackHeader> found;
    if (fstat(fd, &info) != 0 || !findTrackHeaders(fd, 0, info.st_size, 0, &found))
        return {};
    return found;
}

typedef std::map<uint32_t, std::pair<Fixed, Fixed>> TrackSizes; // by track ID, 16.16 numbers

// The width and height each track header gives.
TrackSizes trackDimensions(const QByteArray &path)
{
    TrackSizes sizes;
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return sizes;
    for (const TrackHeader &header : trackHeaders(fd)) {
        uint8_t size[8];
        if (pread(fd, size, 8, header.size) != 8)
            break;
        sizes[header.trackId] = {Fixed(qFromBigEndian<quint32>(size)), Fixed(qFromBigEndian<quint32>(size + 4))};
    }
    close(fd);
    return sizes;
}

// Gives the tracks of the written file whose frame differs from their
// sample description's size that frame in their headers (the muxer writes
// the sample description's). Each of them holds samples, so the muxer
// wrote its track.
OSErr writeTrackDimensions(int fd, const TrackSizes &sizes)
{
    if (sizes.empty())
        return noErr;
    size_t written = 0;
    for (const TrackHeader &header : trackHeaders(fd)) {
        const auto it = sizes.find(header.trackId);
        if (it == sizes.end())
            continue;
        uint8_t size[8];
        qToBigEndian<quint32>(quint32(it->second.first), size);
        qToBigEndian<quint32>(quint32(it->second.second), size + 4);
        if (pwrite(fd, size, 8, header.size) != 8)
            return errnoToOSErr(errno);
        ++written;
    }
    return written == sizes.size() ? OSErr(noErr) : OSErr(ioErr);
}

void closeOutput(MovieRecord *movie)
{
    if (!movie->output)
        return;
    avio_closep(&movie->output->pb);
    avformat_free_context(movie->output);
    movie->output = nullptr;
}

// The end of each stream's last sample in movie time units.
OSErr streamDurations(AVFormatContext *input, LongTask &task, std::vector<TimeValue> *durations)
{
    std::vector<int64_t> ends(input->nb_streams, 0);
    Packet packet(av_packet_alloc());
    if (!packet)
        return memFullErr;
    task.follow(input);
    int read = 0;
    while ((read = av_read_frame(input, packet.get())) >= 0) {
        const AVStream *stream = input->streams[packet->stream_index];
        if (packet->dts != AV_NOPTS_VALUE) {
            int64_t &end = ends[size_t(packet->stream_index)];
            end = qMax(end, av_rescale_q(packet->dts + packet->duration, stream->time_base, movieTimeBase));
        }
        av_packet_unref(packet.get());
        if (task.cancelled())
            return userCanceledErr;
        task.advance();
    }
    // A sample that cannot be read ends no reading as the file's end does:
    // the samples from it on would be lost from the movie written in its
    // place. FFmpeg reads none of 512 MiB or more, which other players show.
    if (read != AVERROR_EOF)
        return ioErr;
    durations->clear();
    for (int64_t end : ends)
        durations->push_back(TimeValue(qMin<int64_t>(end, INT32_MAX)));
    return noErr;
}

// Reads, the first time, how long the samples already in the movie's file
// last.
OSErr readSampleTimes(MovieRecord *movie)
{
    if (movie->timesRead)
        return noErr;
    const QByteArray path = movie->sourcePath;
    std::vector<TimeValue> durations;
    const OSErr err = runLong(movie, progressOpLoadMovieIntoRam, true, [&](LongTask &task) {
        const Input input = openInput(path, false);
        return input ? streamDurations(input.get(), task, &durations) : OSErr(noMovieFound);
    });
    if (err != noErr)
        return err;
    for (const auto &track : movie->tracks)
        if (track->sourceStream >= 0 && size_t(track->sourceStream) < durations.size())
            track->media->duration = durations[size_t(track->sourceStream)];
    movie->timesRead = true;
    return noErr;
}

AVStream *addOutputStream(AVFormatContext *output, const AVCodecParameters *par, AVRational timeBase)
{
    AVStream *stream = avformat_new_stream(output, nullptr);
    if (!stream || avcodec_parameters_copy(stream->codecpar, par) < 0)
        return nullptr;
    stream->codecpar->codec_tag = 0;
    stream->time_base = timeBase;
    // Its track's ID in the file (use_stream_ids_as_track_ids), which the
    // track headers are told apart by.
    stream->id = stream->index + 1;
    return stream;
}

TrackRecord *trackOfSource(MovieRecord *movie, int stream)
{
    for (const auto &track : movie->tracks)
        if (track->sourceStream == stream)
            return track.get();
    return nullptr;
}

// Decodes the samples of a stream in the source file and codes them anew
// for the track that holds them. The thread that reads the source has the
// decoding half, the one that writes the new file the coding half.
struct Recoder
{
    ~Recoder()
    {
        av_frame_free(&picture);
        avcodec_free_context(&decoder);
    }

    AVCodecContext *decoder = nullptr;
    AVFrame *picture = nullptr;
    AVRational timeBase = movieTimeBase; // the source stream's
    int64_t next = 0;                    // the earliest time the next picture may take

    CompressorPtr compressor;
    MediaRecord *media = nullptr;
    std::deque<std::pair<int64_t, int64_t>> held; // time and duration of the pictures the compressor holds
};

// Whether samples of this codec data continue a stream of these parameters.
bool sameCodecData(const AVCodecParameters *par, const QByteArray &extension)
{
    const QByteArray existing(reinterpret_cast<const char *>(par->extradata), par->extradata_size);
    if (par->codec_id == AV_CODEC_ID_H264)
        return sameParameterSets(extension, existing);
    return extension == existing;
}

OSErr openRecoder(const AVStream *in, MediaRecord *media, std::unique_ptr<Recoder> *result)
{
    auto recoder = std::make_unique<Recoder>();
    const AVCodec *codec = avcodec_find_decoder(in->codecpar->codec_id);
    if (!codec)
        return noCodecErr;
    recoder->decoder = avcodec_alloc_context3(codec);
    recoder->picture = av_frame_alloc();
    if (!recoder->decoder || !recoder->picture)
        return memFullErr;
    if (avcodec_parameters_to_context(recoder->decoder, in->codecpar) < 0)
        return memFullErr;
    recoder->decoder->pkt_timebase = in->time_base;
    recoder->decoder->thread_count = 0;
    if (avcodec_open2(recoder->decoder, codec, nullptr) < 0)
        return noCodecErr;
    // On every thread the encoder can use, unless its samples would then
    // need other codec data than the track's.
    const TrackRecord *track = media->track;
    const int width = track->width >> 16;
    const int height = track->height >> 16;
    OSErr err = openCompressor(media->cType, media->quality, width, height, &recoder->compressor, true);
    if (err == noErr && !sameCodecData(media->format.get(), compressorCodecData(recoder->compressor.get())))
        err = openCompressor(media->cType, media->quality, width, height, &recoder->compressor);
    if (err != noErr)
        return err;
    recoder->timeBase = in->time_base;
    recoder->media = media;
    *result = std::move(recoder);
    return noErr;
}

struct FrameDeleter
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
typedef std::unique_ptr<AVFrame, FrameDeleter> Frame;

// What the thread that reads and decodes the source file hands the one
// that writes the new file, a few items ahead.
class SourceQueue
{
public:
    struct Item
    {
        int source = -1; // the source stream; -1: the end of the source (err: why)
        Packet packet;   // a sample to copy,
        Frame picture;   // or a picture to code anew, shown at pts for duration
        int64_t pts = 0;
        int64_t duration = 0;
        OSErr err = noErr;
    };

    // Waits for room; false once the writer has stopped.
    bool push(Item item)
    {
        std::unique_lock<std::mutex> hold(m_mutex);
        m_room.wait(hold, [this] { return m_stopped || m_items.size() < capacity; });
        if (m_stopped)
            return false;
        m_items.push_back(std::move(item));
        m_ready.notify_one();
        return true;
    }
    Item pop()
    {
        std::unique_lock<std::mutex> hold(m_mutex);
        m_ready.wait(hold, [this] { return !m_items.empty(); });
        Item item = std::move(m_items.front());
        m_items.pop_front();
        m_room.notify_one();
        return item;
    }
    // The writer takes nothing more.
    void stop()
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        m_stopped = true;
        m_room.notify_all();
    }

private:
    static constexpr size_t capacity = 8;
    std::mutex m_mutex;
    std::condition_variable m_room;
    std::condition_variable m_ready;
    std::deque<Item> m_items;
    bool m_stopped = false;
};

// Sends a sample of the source (null: the end) to the stream's decoder and
// hands on every picture it gives back, with the time it is shown at and
// how long. False once the writer takes nothing more.
bool decodeSample(Recoder *r, int source, const AVPacket *sample, SourceQueue &queue, OSErr *err)
{
    if (avcodec_send_packet(r->decoder, sample) < 0) {
        *err = codecErr;
        return true;
    }
    for (;;) {
        const int received = avcodec_receive_frame(r->decoder, r->picture);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0) {
            *err = codecErr;
            return true;
        }
        SourceQueue::Item item;
        item.source = source;
        const int64_t shown = r->picture->best_effort_timestamp;
        item.pts = shown == AV_NOPTS_VALUE ? r->next : qMax(r->next, av_rescale_q(shown, r->timeBase, movieTimeBase));
        item.duration = r->picture->pkt_duration > 0
                            ? qMax<int64_t>(1, av_rescale_q(r->picture->pkt_duration, r->timeBase, movieTimeBase))
                            : 20;
        r->next = item.pts + 1;
        item.picture.reset(av_frame_alloc());
        if (!item.picture) {
            *err = memFullErr;
            return true;
        }
        av_frame_move_ref(item.picture.get(), r->picture);
        if (!queue.push(std::move(item)))
            return false;
    }
}

// The reading side: every sample of the source file, decoded where its
// stream has a recoder, then the end.
void readSource(AVFormatContext *input, const std::vector<int> &map,
                const std::vector<std::unique_ptr<Recoder>> &recoders, LongTask &task, SourceQueue &queue)
{
    OSErr err = noErr;
    Packet packet(av_packet_alloc());
    task.follow(input);
    int read = 0;
    while (err == noErr && packet && (read = av_read_frame(input, packet.get())) >= 0) {
        const int source = packet->stream_index;
        if (task.cancelled()) {
            err = userCanceledErr;
        } else if (map[size_t(source)] >= 0 && recoders[size_t(source)]) {
            if (!decodeSample(recoders[size_t(source)].get(), source, packet.get(), queue, &err))
                return;
        } else if (map[size_t(source)] >= 0) {
            SourceQueue::Item item;
            item.source = source;
            item.packet = std::move(packet);
            packet.reset(av_packet_alloc());
            if (!queue.push(std::move(item)))
                return;
        }
        if (packet)
            av_packet_unref(packet.get());
        task.advance();
    }
    if (!packet)
        err = memFullErr;
    else if (err == noErr && read != AVERROR_EOF)
        err = ioErr; // a sample that cannot be read, as the times found
    for (size_t source = 0; err == noErr && source < recoders.size(); ++source)
        if (recoders[source] && !decodeSample(recoders[source].get(), int(source), nullptr, queue, &err))
            return;
    SourceQueue::Item end;
    end.err = err;
    queue.push(std::move(end));
}

// Writes the samples the recoder's compressor has ready into the new file.
OSErr writeRecoded(Recoder *r, AVFormatContext *output, int target)
{
    const AVRational timeBase = output->streams[target]->time_base;
    for (;;) {
        QByteArray sample;
        bool key = false;
        bool got = false;
        const OSErr err = nextSample(r->compressor.get(), &sample, &key, &got);
        if (err != noErr || !got)
            return err;
        if (r->held.empty())
            return codecErr;
        const int64_t pts = r->held.front().first;
        const int64_t duration = r->held.front().second;
        r->held.pop_front();
        Packet packet(av_packet_alloc());
        if (!packet || av_new_packet(packet.get(), sample.size()) < 0)
            return memFullErr;
        std::memcpy(packet->data, sample.constData(), size_t(sample.size()));
        packet->stream_index = target;
        packet->pts = packet->dts = av_rescale_q(pts, movieTimeBase, timeBase);
        packet->duration = av_rescale_q(duration, movieTimeBase, timeBase);
        if (key)
            packet->flags |= AV_PKT_FLAG_KEY;
        if (av_write_frame(output, packet.get()) < 0)
            return ioErr;
        r->media->duration = TimeValue(qMin<int64_t>(qMax<int64_t>(r->media->duration, pts + duration), INT32_MAX));
    }
}

// Copies the samples already in the source file into the new file, or
// codes them anew where a stream has a recoder. One thread reads and
// decodes, this one codes and writes: decoding and coding go side by side,
// each on the threads its codec can use.
OSErr copySourcePackets(AVFormatContext *input, AVFormatContext *output, const std::vector<int> &map,
                        const std::vector<std::unique_ptr<Recoder>> &recoders, LongTask &task)
{
    SourceQueue queue;
    std::thread reader([&] { readSource(input, map, recoders, task, queue); });
    OSErr err = noErr;
    for (;;) {
        SourceQueue::Item item = queue.pop();
        if (item.source < 0) {
            err = item.err;
            break;
        }
        const int target = map[size_t(item.source)];
        if (item.picture) {
            Recoder *r = recoders[size_t(item.source)].get();
            err = compressPicture(r->compressor.get(), item.picture.get(), item.pts);
            if (err == noErr) {
                r->held.emplace_back(item.pts, item.duration);
                err = writeRecoded(r, output, target);
            }
        } else {
            AVPacket *packet = item.packet.get();
            av_packet_rescale_ts(packet, input->streams[item.source]->time_base, output->streams[target]->time_base);
            packet->stream_index = target;
            packet->pos = -1;
            if (av_write_frame(output, packet) < 0)
                err = ioErr;
        }
        if (err == noErr && task.cancelled())
            err = userCanceledErr;
        if (err != noErr)
            break;
    }
    queue.stop();
    reader.join();
    // What the compressors still hold.
    for (size_t source = 0; err == noErr && source < recoders.size(); ++source) {
        Recoder *r = recoders[source].get();
        if (!r)
            continue;
        err = compressPicture(r->compressor.get(), nullptr, 0);
        if (err == noErr)
            err = writeRecoded(r, output, map[source]);
    }
    return err;
}

// Opens the temporary file for writing: every stream of the source file
// (copied sample for sample), then the new tracks that hold samples.
OSErr writeOutputStart(MovieRecord *movie, const QByteArray &tempPath, LongTask &task)
{
    AVFormatContext *output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, "mov", tempPath.constData()) < 0)
        return memFullErr;
    movie->output = output;

    Input input;
    std::vector<int> map;
    std::vector<std::unique_ptr<Recoder>> recoders;
    if (!movie->sourcePath.isEmpty()) {
        // The tracks have their parameters from the movie's reading, and
        // the decoders of those coded anew find theirs in the samples: only
        // streams copied as they are need the file probed.
        input = openInput(movie->sourcePath, false);
        if (!input)
            return noMovieFound;
        bool others = false;
        for (unsigned i = 0; i < input->nb_streams; ++i)
            others = others || !trackOfSource(movie, int(i));
        if (others && avformat_find_stream_info(input.get(), nullptr) < 0)
            return noMovieFound;
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            const AVStream *in = input->streams[i];
            TrackRecord *track = trackOfSource(movie, int(i));
            const AVCodecParameters *par = track ? track->media->format.get() : in->codecpar;
            AVStream *out = addOutputStream(output, par, track ? movieTimeBase : in->time_base);
            if (!out)
                return memFullErr;
            if (track)
                track->outputStream = out->index;
            map.push_back(out->index);
            recoders.emplace_back();
            if (track && track->media->recode) {
                const OSErr err = openRecoder(in, track->media.get(), &recoders.back());
                if (err != noErr)
                    return err;
            }
        }
    }
    for (const auto &track : movie->tracks) {
        if (track->sourceStream >= 0 || !track->media || !track->media->format)
            continue;
        AVStream *out = addOutputStream(output, track->media->format.get(), movieTimeBase);
        if (!out)
            return memFullErr;
        track->outputStream = out->index;
    }
    if (output->nb_streams == 0)
        return invalidMovie;

    AVDictionary *options = nullptr;
    av_dict_set(&options, "video_track_timescale", "600", 0);
    av_dict_set(&options, "movie_timescale", "600", 0);
    av_dict_set(&options, "use_stream_ids_as_track_ids", "1", 0);
    int result = avio_open(&output->pb, tempPath.constData(), AVIO_FLAG_WRITE);
    if (result >= 0)
        result = avformat_write_header(output, &options);
    av_dict_free(&options);
    if (result < 0)
        return ioErr;
    return input ? copySourcePackets(input.get(), output, map, recoders, task) : OSErr(noErr);
}

// Starts writing the temporary file unless it is being written already:
// off the calling thread when there are samples of a source file to copy
// or code anew.
OSErr startOutput(MovieRecord *movie)
{
    if (movie->output)
        return noErr;
    const MovieFile *file = movieFile(movie->refNum);
    if (!file || file->stored)
        return invalidMovie;
    const QByteArray tempPath = file->tempPath;
    const auto write = [movie, &tempPath](LongTask &task) { return writeOutputStart(movie, tempPath, task); };
    short operation = progressOpCopy;
    for (const auto &track : movie->tracks)
        if (track->media && track->media->recode)
            operation = progressOpExportMovie;
    LongTask quick;
    const OSErr err = movie->sourcePath.isEmpty() ? write(quick) : runLong(movie, operation, true, write);
    if (err != noErr)
        closeOutput(movie);
    return err;
}

CodecParameters formatFrom(const ImageDescription &desc, const char *extension, int extensionSize)
{
    CodecParameters par(avcodec_parameters_alloc());
    if (!par)
        return nullptr;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = codecIdFor(desc.cType);
    sampleDescriptionSize(desc, &par->width, &par->height);
    par->bits_per_coded_sample = desc.depth;
    par->format = desc.pixelFormat;
    describeColour(desc.pixelFormat, &par->color_space, &par->color_range, &par->color_primaries, &par->color_trc);
    if (extensionSize > 0) {
        par->extradata = static_cast<uint8_t *>(av_mallocz(size_t(extensionSize) + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!par->extradata)
            return nullptr;
        std::memcpy(par->extradata, extension, size_t(extensionSize));
        par->extradata_size = extensionSize;
    }
    return par;
}

// Whether samples so described can follow the track's samples in one
// coded stream.
bool continuesMedia(const TrackRecord &track, const ImageDescription &desc, const QByteArray &extension)
{
    const MediaRecord &media = *track.media;
    const AVCodecParameters *par = media.format.get();
    int width = 0;
    int height = 0;
    sampleDescriptionSize(desc, &width, &height);
    if (desc.cType != media.cType || FixRatio(desc.width, 1) != track.width || FixRatio(desc.height, 1) != track.height
        || width != par->width || height != par->height)
        return false;
    if (par->bits_per_coded_sample > 0 && par->bits_per_coded_sample != desc.depth)
        return false;
    return sameCodecData(par, extension);
}

} // namespace

MovieRecord::~MovieRecord()
{
    closeOutput(this);
}

OSErr FSMakeFSSpec(short vRefNum, long dirID, const StrFileName &fileName, FSSpec *spec)
{
    if (!spec || fileName.isEmpty())
        return paramErr;
    spec->name = fileName;
    return noErr;
}

OSErr OpenMovieFile(const FSSpec *spec, short *resRefNum, short permission)
{
    if (!spec || !resRefNum || spec->name.isEmpty())
        return paramErr;
    struct stat info;
    if (stat(spec->name.constData(), &info) != 0)
        return errnoToOSErr(errno);
    if (!S_ISREG(info.st_mode))
        return fnfErr;
    if (access(spec->name.constData(), permission == fsRdWrPerm ? R_OK | W_OK : R_OK) != 0)
        return errnoToOSErr(errno);
    return registerMovieFile(spec->name, info.st_mode & 07777, resRefNum);
}

OSErr CreateMovieFile(const FSSpec *spec, OSType creator, short scriptTag, long flags, short *resRefNum,
                      Movie *movie)
{
    if (!spec || !resRefNum || !movie || spec->name.isEmpty())
        return paramErr;
    struct stat info;
    mode_t mode = defaultMode();
    if (stat(spec->name.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return permErr;
        if (access(spec->name.constData(), W_OK) != 0)
            return errnoToOSErr(errno);
        mode = info.st_mode & 07777;
    }
    short refNum = 0;
    const OSErr err = registerMovieFile(spec->name, mode, &refNum);
    if (err != noErr)
        return err;
    auto *created = new MovieRecord;
    created->refNum = refNum;
    *resRefNum = refNum;
    *movie = created;
    return noErr;
}

OSErr NewMovieFromFile(Movie *movie, short resRefNum, short *resId, StrFileName *resName, short flags,
                       bool *dataRefWasChanged)
{
    const MovieFile *file = movieFile(resRefNum);
    if (!movie || !file)
        return paramErr;
    Input input = openInput(file->path);
    if (!input)
        return noMovieFound;
    std::unique_ptr<MovieRecord> read(new MovieRecord);
    read->refNum = resRefNum;
    read->sourcePath = file->path;
    // A track shows its header's frame; the sample description's is that
    // of the coded frames.
    const TrackSizes headers = trackDimensions(file->path);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVCodecParameters *par = input->streams[i]->codecpar;
        if (par->codec_type != AVMEDIA_TYPE_VIDEO || par->width <= 0 || par->height <= 0)
            continue;
        int width = par->width;
        int height = par->height;
        // The demuxer gives a stream its track's ID.
        const auto header = headers.find(uint32_t(input->streams[i]->id));
        if (header != headers.end() && header->second.first >= 0x8000 && header->second.second >= 0x8000) {
            width = (header->second.first + 0x8000) >> 16;
            height = (header->second.second + 0x8000) >> 16;
        }
        auto track = std::make_unique<TrackRecord>();
        track->movie = read.get();
        track->width = FixRatio(int16_t(qMin(width, 32767)), 1);
        track->height = FixRatio(int16_t(qMin(height, 32767)), 1);
        track->sourceStream = int(i);
        track->media = std::make_unique<MediaRecord>();
        track->media->track = track.get();
        track->media->cType = codecTypeFor(par);
        track->media->format.reset(avcodec_parameters_alloc());
        if (!track->media->format || avcodec_parameters_copy(track->media->format.get(), par) < 0)
            return memFullErr;
        track->media->format->codec_tag = 0;
        read->tracks.push_back(std::move(track));
    }
    // How long the samples last takes reading them all: it waits for the
    // first call that needs it, when a progress procedure can be set.
    read->timesRead = false;
    *movie = read.release();
    return noErr;
}

void CloseMovieFile(short resRefNum)
{
    auto it = movieFiles.find(resRefNum);
    if (it == movieFiles.end())
        return;
    if (!it->second.stored)
        unlink(it->second.tempPath.constData());
    if (it->second.tempLock >= 0)
        close(it->second.tempLock);
    movieFiles.erase(it);
}

void DisposeMovie(Movie movie)
{
    delete movie;
}

Track GetMovieIndTrack(Movie movie, long index)
{
    if (!movie || index < 1 || size_t(index) > movie->tracks.size())
        return nullptr;
    return movie->tracks[size_t(index - 1)].get();
}

Track NewMovieTrack(Movie movie, Fixed width, Fixed height, int16_t volume)
{
    if (!movie || width <= 0 || height <= 0 || movie->output)
        return nullptr;
    auto track = std::make_unique<TrackRecord>();
    track->movie = movie;
    track->width = width;
    track->height = height;
    movie->tracks.push_back(std::move(track));
    return movie->tracks.back().get();
}

Media GetTrackMedia(Track track)
{
    return track ? track->media.get() : nullptr;
}

void GetTrackDimensions(Track track, Fixed *width, Fixed *height)
{
    *width = track ? track->width : 0;
    *height = track ? track->height : 0;
}

Media NewTrackMedia(Track track, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType)
{
    if (!track || track->media || mediaType != VideoMediaType || timeScale != movieTimeBase.den)
        return nullptr;
    track->media = std::make_unique<MediaRecord>();
    track->media->track = track;
    return track->media.get();
}

TimeValue GetMediaDuration(Media media)
{
    moviesError = media ? readSampleTimes(media->track->movie) : OSErr(invalidMedia);
    return moviesError == noErr ? media->duration : 0;
}

OSErr GetMoviesError()
{
    return moviesError;
}

void SetMovieProgressProc(Movie movie, MovieProgressProcPtr proc, long refcon)
{
    if (!movie)
        return;
    movie->progressProc = proc;
    movie->progressRefCon = refcon;
}

OSErr BeginMediaEdits(Media media)
{
    if (!media)
        return invalidMedia;
    media->editing = true;
    return noErr;
}

OSErr EndMediaEdits(Media media)
{
    if (!media || !media->editing)
        return invalidMedia;
    media->editing = false;
    return noErr;
}

OSErr AppendToTrack(Track track, TimeValue start, TimeValue duration, CodecType cType, CodecQ quality,
                    const Rect *frame)
{
    if (!track)
        return invalidTrack;
    MediaRecord *media = track->media.get();
    if (!media || !media->format)
        return invalidMedia;
    MovieRecord *movie = track->movie;
    const OSErr read = readSampleTimes(movie);
    if (read != noErr)
        return read;
    if (!frame || start != 0 || duration != media->duration)
        return badEditList;
    const int width = frame->right - frame->left;
    const int height = frame->bottom - frame->top;
    if (width <= 0 || height <= 0 || FixRatio(int16_t(width), 1) != track->width
        || FixRatio(int16_t(height), 1) != track->height)
        return badEditList;
    ImageDescription desc;
    QByteArray extension;
    const OSErr err = probeCompression(cType, quality, width, height, &desc, &extension);
    if (err != noErr)
        return err;
    // The samples go into the file being written, which starts now, copied
    // or coded anew: a failure comes here, not with the first new sample.
    if (continuesMedia(*track, desc, extension))
        return startOutput(movie);
    if (movie->output || track->sourceStream < 0)
        return badEditList;
    if (!avcodec_find_decoder(media->format->codec_id))
        return noCodecErr;
    CodecParameters format = formatFrom(desc, extension.constData(), extension.size());
    if (!format)
        return memFullErr;
    media->format = std::move(format);
    media->cType = cType;
    media->quality = quality;
    media->recode = true;
    return startOutput(movie);
}

OSErr AddMediaSample(Media media, Handle data, long offset, unsigned long size, TimeValue duration,
                     SampleDescriptionHandle descHandle, long numberOfSamples, short sampleFlags,
                     TimeValue *sampleTime)
{
    if (!media || !media->editing)
        return invalidMedia;
    if (!data || !descHandle || numberOfSamples != 1 || duration <= 0 || offset < 0
        || offset + long(size) > GetHandleSize(data) || size == 0 || int64_t(size) > largestSample)
        return paramErr;
    const Size descSize = GetHandleSize(descHandle);
    const auto *desc = reinterpret_cast<const ImageDescription *>(*descHandle);
    if (descSize < Size(sizeof(ImageDescription)) || desc->idSize != descSize)
        return paramErr;
    const char *extension = *descHandle + sizeof(ImageDescription);
    const int extensionSize = int(descSize - Size(sizeof(ImageDescription)));

    MovieRecord *movie = media->track->movie;
    const OSErr read = readSampleTimes(movie);
    if (read != noErr)
        return read;
    if (!media->format) {
        if (codecIdFor(desc->cType) == AV_CODEC_ID_NONE || movie->output)
            return noCodecErr;
        if (FixRatio(desc->width, 1) != media->track->width || FixRatio(desc->height, 1) != media->track->height)
            return badEditList;
        media->format = formatFrom(*desc, extension, extensionSize);
        if (!media->format)
            return memFullErr;
        media->cType = desc->cType;
    } else if (!continuesMedia(*media->track, *desc, QByteArray(extension, extensionSize))) {
        return badEditList;
    }
    const OSErr started = startOutput(movie);
    if (started != noErr)
        return started;
    // A file that could not be written takes no more samples.
    if (movie->output->pb->error < 0)
        return ioErr;

    Packet packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), int(size)) < 0)
        return memFullErr;
    std::memcpy(packet->data, *data + offset, size);
    const AVRational timeBase = movie->output->streams[media->track->outputStream]->time_base;
    packet->stream_index = media->track->outputStream;
    packet->pts = packet->dts = av_rescale_q(media->duration, movieTimeBase, timeBase);
    packet->duration = av_rescale_q(duration, movieTimeBase, timeBase);
    if (!((sampleFlags | desc->sampleFlags) & mediaSampleNotSync))
        packet->flags |= AV_PKT_FLAG_KEY;
    if (av_write_frame(movie->output, packet.get()) < 0)
        return ioErr;
    if (sampleTime)
        *sampleTime = media->duration;
    media->duration += duration;
    return noErr;
}

OSErr InsertMediaIntoTrack(Track track, TimeValue trackStart, TimeValue mediaTime, TimeValue mediaDuration,
                           Fixed mediaRate)
{
    if (!track)
        return invalidTrack;
    if (!track->media)
        return invalidMedia;
    const OSErr read = readSampleTimes(track->movie);
    if (read != noErr)
        return read;
    // The file holds each track as its whole media from time 0.
    if (trackStart != 0 || mediaTime != 0 || mediaDuration != track->media->duration || mediaRate != fixed1)
        return badEditList;
    return noErr;
}

OSErr AddMovieToDataFork(Movie movie, short resRefNum, short resId, const StrFileName &fileName)
{
    const MovieFile *file = movieFile(resRefNum);
    if (!movie || !file || movie->refNum != resRefNum || resId != movieInDataForkResID || file->name != fileName)
        return paramErr;
    if (file->stored)
        return invalidMovie;
    OSErr err = readSampleTimes(movie);
    if (err == noErr)
        err = startOutput(movie);
    if (err != noErr)
        return err;
    // The tracks with samples whose frame is not their sample description's
    // size (the muxer writes no track without samples).
    TrackSizes headers;
    for (const auto &track : movie->tracks) {
        if (track->outputStream < 0 || !track->media || track->media->duration <= 0)
            continue;
        const AVStream *stream = movie->output->streams[track->outputStream];
        if (track->width >> 16 != stream->codecpar->width || track->height >> 16 != stream->codecpar->height)
            headers[uint32_t(stream->id)] = {track->width, track->height};
    }
    const int lock = file->tempLock;
    const mode_t mode = file->mode;
    const QByteArray tempPath = file->tempPath;
    const QByteArray path = file->path;
    err = runLong(movie, progressOpFlatten, false, [&](LongTask &task) {
        const int trailer = av_write_trailer(movie->output);
        const int closed = avio_closep(&movie->output->pb);
        closeOutput(movie);
        if (trailer < 0 || closed < 0)
            return OSErr(ioErr);
        task.reach(1, 3);
        const OSErr sized = writeTrackDimensions(lock, headers);
        if (sized != noErr)
            return sized;
        // The new contents reach the disk before they take the movie's name.
        if (fchmod(lock, mode) != 0 || fsync(lock) != 0)
            return errnoToOSErr(errno);
        task.reach(2, 3);
        if (rename(tempPath.constData(), path.constData()) != 0)
            return errnoToOSErr(errno);
        syncFolder(folderOf(path));
        return OSErr(noErr);
    });
    if (err != noErr)
        return err;
    if (MovieFile *stored = movieFile(resRefNum))
        stored->stored = true;
    return noErr;
}
