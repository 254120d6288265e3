#include "stream.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace qorconvert {

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 16;       // bytes per read
constexpr std::size_t kBlockLines = 4096;                  // a block ends after this many lines
constexpr std::size_t kBlockBytes = std::size_t(1) << 18;  // or this many bytes
const char kTooLong[] = "the line is longer than 67108864 bytes";

}  // namespace

bool LineReader::fill()
{
    if (myEnd)
        return false;
    if (myPos > 0) {   // keep only the unread part
        myPending.erase(0, myPos);
        myScan -= myPos;
        myPos = 0;
    }
    const std::size_t old = myPending.size();
    myPending.resize(old + kChunk);
    const std::size_t got = std::fread(&myPending[old], 1, kChunk, myIn);
    myPending.resize(old + got);
    if (got == 0) {
        myEnd = true;
        myFailed = std::ferror(myIn) != 0;
        return false;
    }
    return true;
}

bool LineReader::next(Block& block)
{
    block.text.clear();
    block.starts.clear();
    block.tooLong.clear();
    block.firstLine = myLine + 1;
    while (block.starts.size() < kBlockLines && block.text.size() < kBlockBytes) {
        std::size_t stop = myPending.find('\n', myScan);
        if (stop == std::string::npos) {
            myScan = myPending.size();
            if (myScan - myPos > LineReader::kMaxLine) {
                // Too long to hold: drop what came so far and what follows up to the line end.
                myPos = myScan;
                if (!mySkipping) {
                    mySkipping = true;
                    block.tooLong.push_back(block.starts.size());
                    block.starts.push_back(block.text.size());
                    block.text += '\n';
                    ++myLine;
                }
            }
            if (fill())
                continue;
            if (myPos == myPending.size() || mySkipping)
                break;
            myPending += '\n';   // a last line without its line end
            stop = myPending.size() - 1;
        }
        if (mySkipping) {
            mySkipping = false;
        } else {
            block.starts.push_back(block.text.size());
            block.text.append(myPending, myPos, stop - myPos + 1);
            ++myLine;
        }
        myPos = myScan = stop + 1;
    }
    return !block.starts.empty();
}

void convertBlock(Converter& converter, Block& block)
{
    block.output.clear();
    block.errors.clear();
    std::string why;
    std::size_t tooLong = 0;
    for (std::size_t i = 0; i < block.starts.size(); ++i) {
        const char* line = block.text.data() + block.starts[i];
        const std::size_t size = (i + 1 < block.starts.size() ? block.starts[i + 1] : block.text.size()) - block.starts[i] - 1;
        if (tooLong < block.tooLong.size() && block.tooLong[tooLong] == i) {
            ++tooLong;
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
        block.errors.emplace_back(block.firstLine + long(i), why);
    }
}

namespace {

// Writes a block's output, then its messages; false (with errno) when the output cannot be written.
bool writeBlock(const Block& block, std::FILE* out, StreamResult& result)
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
        std::fprintf(stderr, "qorconvert: line %ld: %s\n", e.first, e.second.c_str());
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
    std::condition_variable changed;
    long read = 0, written = 0;
    bool readDone = false, stop = false;

    std::thread readerThread([&] {
        for (;;) {
            std::size_t slot;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return stop || std::find(sequence.begin(), sequence.end(), -1) != sequence.end(); });
                if (stop)
                    break;
                slot = std::size_t(std::find(sequence.begin(), sequence.end(), -1) - sequence.begin());
                sequence[slot] = -2;   // being filled
            }
            const bool got = reader.next(blocks[slot]);
            std::lock_guard<std::mutex> lock(mutex);
            if (!got) {
                sequence[slot] = -1;
                readDone = true;
                changed.notify_all();
                break;
            }
            sequence[slot] = read++;
            todo.push_back(slot);
            changed.notify_all();
        }
    });
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            for (;;) {
                std::size_t slot;
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    changed.wait(lock, [&] { return stop || !todo.empty() || readDone; });
                    if (stop || todo.empty())
                        break;
                    slot = todo.front();
                    todo.erase(todo.begin());
                }
                convertBlock(*converters[t], blocks[slot]);
                std::lock_guard<std::mutex> lock(mutex);
                converted[slot] = true;
                changed.notify_all();
            }
        });
    for (;;) {
        std::size_t slot = slots;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] {
                for (std::size_t s = 0; s < slots; ++s)
                    if (sequence[s] == written && converted[s])
                        slot = s;
                return slot != slots || (readDone && written == read);
            });
            if (slot == slots)
                break;
        }
        const bool ok = writeBlock(blocks[slot], out, result);
        std::lock_guard<std::mutex> lock(mutex);
        converted[slot] = false;
        sequence[slot] = -1;
        ++written;
        stop = !ok;
        changed.notify_all();
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
        while (reader.next(block)) {
            convertBlock(converter, block);
            if (!writeBlock(block, out, result))
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
