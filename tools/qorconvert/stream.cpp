#include "stream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <pthread.h>
#include <signal.h>

namespace qorconvert {

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 16;       // bytes per read
constexpr std::size_t kBlockBytes = std::size_t(1) << 18;  // a block: the whole lines within this
const char kTooLong[] = "the line is longer than 67108864 bytes";

}  // namespace

bool LineReader::fill(std::string& buffer, std::size_t bytes)
{
    if (myEnd || (myCancel && myCancel->load()))
        return false;
    const std::size_t old = buffer.size();
    buffer.resize(old + bytes);
    errno = 0;
    const std::size_t got = std::fread(&buffer[old], 1, bytes, myIn);
    const int why = errno;
    buffer.resize(old + got);
    if (myCancel && myCancel->load()) {
        myEnd = true;
        return false;
    }
    if (got == 0) {
        myEnd = true;
        if (std::ferror(myIn))
            myError = why != 0 ? why : EIO;
        return false;
    }
    return true;
}

bool LineReader::tooLong(Block& block)
{
    block.text = "\n";
    block.tooLong = true;
    return true;
}

bool LineReader::next(Block& block)
{
    block.tooLong = false;
    block.text.clear();
    while (mySkipping) {   // the rest of a line that was too long
        const std::size_t stop = myPending.find('\n');
        if (stop != std::string::npos) {
            myPending.erase(0, stop + 1);
            mySkipping = false;
        } else {
            myPending.clear();
            if (!fill(myPending, kChunk))
                return false;
        }
    }
    // The carried part of a line first (swapped, so the buffers are reused), then
    // reads up to a block's size; the block ends after its last line end.
    block.text.swap(myPending);
    myPending.clear();
    while (block.text.size() < kBlockBytes && fill(block.text, kBlockBytes - block.text.size())) {
    }
    std::size_t stop = block.text.rfind('\n');
    // One line longer than a block: read on until its end, or until it holds
    // more than kMaxLine bytes.
    while (stop == std::string::npos && block.text.size() <= kMaxLine) {
        const std::size_t scanned = block.text.size();
        if (!fill(block.text, kBlockBytes))
            break;
        stop = block.text.find('\n', scanned);
    }
    if (stop == std::string::npos) {
        if (block.text.empty())
            return false;
        if (block.text.size() > kMaxLine) {
            mySkipping = true;
            return tooLong(block);
        }
        block.text += '\n';   // a last line without its line end
        return true;
    }
    myPending.assign(block.text, stop + 1, std::string::npos);
    // Only a line read on past a block can be too long, and stop ends it.
    if (stop > kMaxLine)
        return tooLong(block);
    block.text.resize(stop + 1);
    return true;
}

void convertBlock(Converter& converter, Block& block)
{
    block.output.clear();
    block.errors.clear();
    block.lines = 0;
    std::string why;
    for (std::size_t start = 0; start < block.text.size(); ++block.lines) {
        const std::size_t end = block.text.find('\n', start);
        const char* line = block.text.data() + start;
        const std::size_t size = end - start;
        start = end + 1;
        if (block.tooLong) {
            why = kTooLong;
        } else if (Converter::passesThrough(line, size)) {
            block.output.append(line, size + 1);
            continue;
        } else if (converter.convert(line, size, block.output, why)) {
            block.output += '\n';
            continue;
        }
        block.output += "error: ";
        block.output += why;
        block.output += '\n';
        block.errors.push_back({block.lines, block.output.size(), why});
    }
}

namespace {

// Writes a block's output with each message right after its line (so that
// the two streams merged read in order); false (with errno) when the output
// cannot be written.
bool writeBlock(const Block& block, long firstLine, std::FILE* out, StreamResult& result)
{
    std::size_t written = 0;
    const auto writeUpTo = [&](std::size_t end) {
        if (end > written && std::fwrite(block.output.data() + written, 1, end - written, out) != end - written)
            return false;
        written = end;
        return true;
    };
    for (const Block::Error& e : block.errors) {
        if (!writeUpTo(e.outputEnd) || std::fflush(out) != 0) {
            result.writeError = errno != 0 ? errno : EIO;
            return false;
        }
        std::fprintf(stderr, "qorconvert: line %ld: %s\n", firstLine + long(e.line), e.why.c_str());
    }
    if (!writeUpTo(block.output.size())) {
        result.writeError = errno != 0 ? errno : EIO;
        return false;
    }
    result.failures += long(block.errors.size());
    return true;
}

void ignoreSignal(int) {}

// One reader, up to `threads` workers with a converter each, and the calling
// thread as the writer; at most 2 * threads + 2 blocks are in flight. Goes on
// with the threads that could be started; false (with nothing read) when
// not even a worker and the reader could, so the caller converts alone.
bool convertThreaded(const Options& options, std::FILE* in, std::FILE* out, unsigned threads, StreamResult& result)
{
    std::vector<std::unique_ptr<Converter>> converters;
    for (unsigned t = 0; t < threads; ++t)
        converters.push_back(std::make_unique<Converter>(options));
    const std::size_t slots = 2 * std::size_t(threads) + 2;
    std::vector<Block> blocks(slots);
    std::vector<long> sequence(slots, -1);   // -1: free
    std::vector<bool> converted(slots, false);
    std::vector<std::size_t> todo;
    std::mutex mutex;
    // One condition each for the reader (a free slot), the workers (a block to
    // convert) and the writer (the next block converted, or the reader gone),
    // so that an event wakes only who can act on it.
    std::condition_variable freed, queued, converted_;
    long read = 0, written = 0, line = 1;
    bool readDone = false, readerGone = false, stop = false;
    std::atomic<bool> cancel(false);
    std::exception_ptr failure;   // what ended a thread early (memory running out, say)
    LineReader reader(in, &cancel);

    const auto stopAll = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
        freed.notify_all();
        queued.notify_all();
        converted_.notify_all();
    };
    // A thread's body; what it throws stops every thread and is thrown again
    // by the caller.
    const auto guarded = [&](auto body) {
        try {
            body();
        } catch (...) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (!failure)
                    failure = std::current_exception();
            }
            stopAll();
        }
    };
    const auto work = [&](unsigned t) {
        for (;;) {
            std::size_t slot;
            {
                std::unique_lock<std::mutex> lock(mutex);
                queued.wait(lock, [&] { return stop || !todo.empty() || readDone; });
                if (stop || todo.empty())
                    break;
                slot = todo.front();
                todo.erase(todo.begin());
            }
            convertBlock(*converters[t], blocks[slot]);
            std::lock_guard<std::mutex> lock(mutex);
            converted[slot] = true;
            converted_.notify_one();
        }
    };
    const auto readAll = [&] {
        for (;;) {
            std::size_t slot;
            {
                std::unique_lock<std::mutex> lock(mutex);
                const auto firstFree = [&] { return std::find(sequence.begin(), sequence.end(), -1); };
                freed.wait(lock, [&] { return stop || firstFree() != sequence.end(); });
                if (stop)
                    break;
                slot = std::size_t(firstFree() - sequence.begin());
                sequence[slot] = -2;   // being filled
            }
            const bool got = reader.next(blocks[slot]);
            std::lock_guard<std::mutex> lock(mutex);
            if (!got) {
                sequence[slot] = -1;
                readDone = true;
                queued.notify_all();
                break;
            }
            sequence[slot] = read++;
            todo.push_back(slot);
            queued.notify_one();
        }
    };
    std::vector<std::thread> workers;
    std::thread readerThread;
    try {   // out of threads: go on with the workers that started
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([&, t] { guarded([&] { work(t); }); });
    } catch (const std::system_error&) {
    }
    try {
        if (!workers.empty())
            readerThread = std::thread([&] {
                guarded(readAll);
                std::lock_guard<std::mutex> lock(mutex);
                readerGone = true;
                converted_.notify_one();
            });
    } catch (const std::system_error&) {
    }
    if (!readerThread.joinable()) {
        stopAll();
        for (std::thread& w : workers)
            w.join();
        return false;
    }

    bool ok = true;
    for (;;) {
        std::size_t slot = slots;
        {
            std::unique_lock<std::mutex> lock(mutex);
            converted_.wait(lock, [&] {
                for (std::size_t s = 0; s < slots; ++s)
                    if (sequence[s] == written && converted[s])
                        slot = s;
                return slot != slots || (readDone && written == read) || failure;
            });
            if (slot == slots || failure)
                break;
        }
        ok = writeBlock(blocks[slot], line, out, result);
        line += long(blocks[slot].lines);
        std::lock_guard<std::mutex> lock(mutex);
        converted[slot] = false;
        sequence[slot] = -1;
        ++written;
        freed.notify_one();
        if (!ok)
            break;
    }
    bool abandon;
    {
        std::lock_guard<std::mutex> lock(mutex);
        abandon = !ok || failure;
    }
    if (abandon) {
        // The output is gone (or a thread failed): end the run now, even with
        // the reader waiting for input. A signal without SA_RESTART makes its read return; it is
        // sent until the reader has noticed, since it may arrive just before
        // the read starts.
        cancel = true;
        stopAll();
        struct sigaction wake = {}, previous = {};
        wake.sa_handler = ignoreSignal;
        sigemptyset(&wake.sa_mask);
        sigaction(SIGUSR1, &wake, &previous);
        std::unique_lock<std::mutex> lock(mutex);
        while (!readerGone) {
            pthread_kill(readerThread.native_handle(), SIGUSR1);
            converted_.wait_for(lock, std::chrono::milliseconds(10));
        }
        lock.unlock();
        sigaction(SIGUSR1, &previous, nullptr);
    }
    readerThread.join();
    for (std::thread& w : workers)
        w.join();
    if (failure)
        std::rethrow_exception(failure);
    if (ok)
        result.readError = reader.error();
    return true;
}

}  // namespace

StreamResult convertStream(const Options& options, std::FILE* in, std::FILE* out, unsigned threads)
{
    StreamResult result;
    if (threads > 1 && convertThreaded(options, in, out, threads, result)) {
        if (result.writeError != 0)
            return result;
    } else {
        LineReader reader(in);
        Converter converter(options);
        Block block;
        for (long line = 1; reader.next(block); line += long(block.lines)) {
            convertBlock(converter, block);
            if (!writeBlock(block, line, out, result))
                return result;
        }
        result.readError = reader.error();
    }
    if (std::fflush(out) != 0 || std::ferror(out))
        result.writeError = errno != 0 ? errno : EIO;
    return result;
}

}  // namespace qorconvert
