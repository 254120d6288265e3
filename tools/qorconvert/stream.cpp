#include "stream.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace qorconvert {

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 16;       // bytes per read
constexpr std::size_t kBlockBytes = std::size_t(1) << 18;  // a block: the whole lines within this
const char kTooLong[] = "the line is longer than 67108864 bytes";

}  // namespace

bool LineReader::fill(std::string& buffer, std::size_t bytes)
{
    if (myEnd)
        return false;
    const std::size_t old = buffer.size();
    buffer.resize(old + bytes);
    const std::size_t got = std::fread(&buffer[old], 1, bytes, myIn);
    buffer.resize(old + got);
    if (got == 0) {
        myEnd = true;
        myFailed = std::ferror(myIn) != 0;
        return false;
    }
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
    while (stop == std::string::npos && block.text.size() <= kMaxLine) {   // one line longer than a block
        const std::size_t scanned = block.text.size();
        if (!fill(block.text, kBlockBytes))
            break;
        stop = block.text.find('\n', scanned);
    }
    if (stop == std::string::npos) {
        if (block.text.empty())
            return false;
        if (block.text.size() > kMaxLine) {
            block.text = "\n";
            block.tooLong = true;
            mySkipping = true;
            return true;
        }
        block.text += '\n';   // a last line without its line end
        return true;
    }
    myPending.assign(block.text, stop + 1, std::string::npos);
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
        block.errors.emplace_back(block.lines, why);
    }
}

namespace {

// Writes a block's output, then its messages (numbered from firstLine);
// false (with errno) when the output cannot be written.
bool writeBlock(const Block& block, long firstLine, std::FILE* out, StreamResult& result)
{
    if (!block.output.empty() && std::fwrite(block.output.data(), 1, block.output.size(), out) != block.output.size()) {
        result.writeError = errno != 0 ? errno : EIO;
        return false;
    }
    if (!block.errors.empty() && std::fflush(out) != 0) {
        result.writeError = errno != 0 ? errno : EIO;
        return false;
    }
    for (const auto& e : block.errors)
        std::fprintf(stderr, "qorconvert: line %ld: %s\n", firstLine + long(e.first), e.second.c_str());
    result.failures += long(block.errors.size());
    return true;
}

// One reader, `threads` workers with a converter each, and the calling
// thread as the writer; at most 2 * threads + 2 blocks are in flight.
void convertThreaded(const Options& options, LineReader& reader, std::FILE* out, unsigned threads,
                     StreamResult& result)
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
    // convert) and the writer (the next block converted), so that an event
    // wakes only who can act on it.
    std::condition_variable freed, queued, converted_;
    long read = 0, written = 0, line = 1;
    bool readDone = false, stop = false;

    std::thread readerThread([&] {
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
                converted_.notify_one();
                break;
            }
            sequence[slot] = read++;
            todo.push_back(slot);
            queued.notify_one();
        }
    });
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
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
        });
    for (;;) {
        std::size_t slot = slots;
        {
            std::unique_lock<std::mutex> lock(mutex);
            converted_.wait(lock, [&] {
                for (std::size_t s = 0; s < slots; ++s)
                    if (sequence[s] == written && converted[s])
                        slot = s;
                return slot != slots || (readDone && written == read);
            });
            if (slot == slots)
                break;
        }
        const bool ok = writeBlock(blocks[slot], line, out, result);
        line += long(blocks[slot].lines);
        std::lock_guard<std::mutex> lock(mutex);
        converted[slot] = false;
        sequence[slot] = -1;
        ++written;
        stop = !ok;
        freed.notify_one();
        if (stop) {
            freed.notify_all();
            queued.notify_all();
        }
        if (stop)
            break;
    }
    readerThread.join();
    for (std::thread& w : workers)
        w.join();
}

}  // namespace

StreamResult convertStream(const Options& options, std::FILE* in, std::FILE* out, unsigned threads)
{
    StreamResult result;
    LineReader reader(in);
    if (threads <= 1) {
        Converter converter(options);
        Block block;
        for (long line = 1; reader.next(block); line += long(block.lines)) {
            convertBlock(converter, block);
            if (!writeBlock(block, line, out, result))
                return result;
        }
    } else {
        convertThreaded(options, reader, out, threads, result);
        if (result.writeError != 0)
            return result;
    }
    if (reader.failed())
        result.readError = errno != 0 ? errno : EIO;
    if (std::fflush(out) != 0 || std::ferror(out))
        result.writeError = errno != 0 ? errno : EIO;
    return result;
}

}  // namespace qorconvert
