// qorconvert's streaming: whole lines read in blocks, converted (on worker
// threads when asked) and written in input order, with the number of every
// line that fails.
#ifndef QORCONVERT_STREAM_H
#define QORCONVERT_STREAM_H

#include "converter.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace qorconvert {

// A run of whole input lines and, once converted, their output. The reader
// only finds where the run ends; the lines are split where they are converted.
struct Block
{
    std::string text;                                         // whole lines, each ended by '\n'
    bool tooLong = false;                                     // one line, dropped for its length
    std::size_t lines = 0;                                    // counted when converted
    std::string output;                                       // one line out per line in
    struct Error
    {
        std::size_t line;        // index in the block
        std::size_t outputEnd;   // where the line's output ends, so the message can follow it
        std::string why;
    };
    std::vector<Error> errors;
};

// Reads a stream into blocks of whole lines. A line may hold up to kMaxLine
// bytes before its line end; the rest of a longer one is read and dropped,
// and the line fails with that reason. A last line without its line end
// counts as a line.
class LineReader
{
public:
    static constexpr std::size_t kMaxLine = std::size_t(1) << 26;
    // With `cancel`, reading ends (quietly) once it is set.
    explicit LineReader(std::FILE* in, const std::atomic<bool>* cancel = nullptr) : myIn(in), myCancel(cancel) {}
    // Fills the block with the next lines; false when the input has ended
    // (or cannot be read: see error()).
    bool next(Block& block);
    // The errno of a failed read (taken on the reading thread), or 0.
    int error() const { return myError; }

private:
    bool fill(std::string& buffer, std::size_t bytes);   // appends a read; false at the end of the input
    bool tooLong(Block& block);                          // the block becomes one failing line

    std::FILE* myIn;
    const std::atomic<bool>* myCancel;
    std::string myPending;    // the part of a line read beyond the last block
    bool myEnd = false;
    int myError = 0;
    bool mySkipping = false;  // dropping the rest of a line that is too long
};

// Converts every line of the block into its output and errors.
void convertBlock(Converter& converter, Block& block);

struct StreamResult
{
    long failures = 0;     // lines that could not be converted
    int readError = 0;     // errno of a failed read, or 0
    int writeError = 0;    // errno of a failed write, or 0
};

// Converts `in` to `out` with `threads` workers (1: all on the calling
// thread); each worker has a converter of its own built from the options.
StreamResult convertStream(const Options& options, std::FILE* in, std::FILE* out, unsigned threads);

}  // namespace qorconvert

#endif
