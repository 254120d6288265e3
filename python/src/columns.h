// Element-wise conversions over NumPy arrays: argument checks, broadcasting,
// results (new or out=), the error policy and worker threads. A conversion is
// a kernel that reads one element's inputs and writes its outputs; whatever
// the path (Python floats, arrays, any number of threads), an element gets
// exactly the kernel's bits.
#ifndef QORMATRIX_PYTHON_COLUMNS_H
#define QORMATRIX_PYTHON_COLUMNS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <qvScalar.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstddef>
#include <exception>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qmpy {

namespace py = pybind11;

// Why an element failed (Ok when it did not) and which input it is about.
enum class Verdict
{
    Ok,
    NotFinite,       // NaN or infinite
    LatitudeRange,   // a latitude beyond +/-90 degrees
    NotAZone,        // a UTM zone other than 1 to 61
    Failed           // the library refused it; the reason is its message
};

struct Outcome
{
    Verdict verdict = Verdict::Ok;
    int argument = 0;
};

inline Outcome bad(Verdict v, int argument)
{
    return Outcome{v, argument};
}

// Degrees or radians in and out; radians for the library.
struct Angles
{
    bool deg;
    double in(double v) const { return deg ? Vorant::DtDeg2Rad(v) : v; }
    double out(double v) const { return deg ? Vorant::DtRad2Deg(v) : v; }
    double quarter() const { return deg ? 90.0 : 1.5707963267948966; }
};

enum class ErrorPolicy
{
    Raise,
    Nan
};

// errors="raise" or "nan".
ErrorPolicy errorPolicy(const py::object& errors);
// threads=None: every core from 65,536 elements on, else one; an int >= 1: that many.
unsigned threadCount(const py::object& threads, std::size_t elements);

// The arguments of a call once checked: each input as float64 with a stride of
// 1 or 0 (one value broadcast), the broadcast shape and the outputs. Fixed
// arrays, so that a call on Python floats allocates nothing.
constexpr std::size_t kMaxInputs = 8, kMaxOutputs = 4;
struct Columns
{
    const char* const* names = nullptr;
    std::size_t inCount = 0, outCount = 0;
    std::vector<py::ssize_t> shape;
    std::size_t size = 1;
    bool scalars = true;   // only Python or NumPy scalars came in: floats go out
    std::array<const double*, kMaxInputs> in{};
    std::array<std::size_t, kMaxInputs> stride{};
    std::array<double, kMaxInputs> scalarIn{};
    std::array<double*, kMaxOutputs> out{};
    std::array<double, kMaxOutputs> scalarOut{};
    std::vector<py::object> keep;      // owners of converted inputs
    std::vector<py::object> results;   // the output arrays
};

// A float64 array of the argument's values, or TypeError naming it.
py::array_t<double> asFloat64(py::handle value, const char* name);

// Checks and broadcasts the inputs and prepares `outputs` results, taken from
// out= when it is given (a tuple of float64 C-contiguous arrays of the
// broadcast shape).
Columns prepare(std::initializer_list<py::handle> inputs, const char* const* names, int outputs,
                const py::object& out);

// The results: one value or a tuple, floats for an all-scalar call.
py::object finish(Columns& c);

// Raises ValueError for a bad element: "lat[3] = 91.0: latitude beyond +/-90 degrees".
[[noreturn]] void raiseBad(const char* const* names, const std::vector<py::ssize_t>& shape,
                           std::size_t element, double value, Outcome o, const std::string& reason);

struct FirstBad
{
    std::size_t element = std::numeric_limits<std::size_t>::max();
    Outcome outcome;
    std::string reason;
};

// Runs the kernels over every element, on `threads` threads without the GIL.
// makeKernel() is called once per thread (a kernel may keep state, such as a
// UTM reference point); kernel(const double* in, double* out) returns an
// Outcome. A bad element gets NaN outputs; the first one is returned.
template <class MakeKernel>
FirstBad runColumns(Columns& c, unsigned threads, const MakeKernel& makeKernel)
{
    const std::size_t inCount = c.inCount, outCount = c.outCount, n = c.size;
    // Each worker copies what it reads into its own frame: nothing it touches
    // per element shares a cache line with another thread's writes.
    const auto work = [&c, inCount, outCount, &makeKernel](std::size_t from, std::size_t to, FirstBad& first) {
        auto kernel = makeKernel();
        const std::array<const double*, kMaxInputs> source = c.in;
        const std::array<std::size_t, kMaxInputs> stride = c.stride;
        const std::array<double*, kMaxOutputs> target = c.out;
        FirstBad mine;
        double in[kMaxInputs], out[kMaxOutputs];
        for (std::size_t i = from; i < to; ++i) {
            for (std::size_t a = 0; a < inCount; ++a)
                in[a] = source[a][i * stride[a]];
            Outcome o;
            try {
                o = kernel(in, out);
            } catch (const std::exception& e) {
                o = bad(Verdict::Failed, 0);
                if (mine.element > i)
                    mine.reason = e.what();
            }
            if (o.verdict != Verdict::Ok) {
                for (std::size_t b = 0; b < outCount; ++b)
                    out[b] = std::numeric_limits<double>::quiet_NaN();
                if (mine.element > i) {
                    mine.element = i;
                    mine.outcome = o;
                }
            }
            for (std::size_t b = 0; b < outCount; ++b)
                target[b][i] = out[b];
        }
        first = std::move(mine);
    };
    threads = static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(threads, n / 1024)));
    if (threads == 1) {   // no pool, and no release for Python floats
        FirstBad first;
        std::optional<py::gil_scoped_release> release;
        if (!c.scalars)
            release.emplace();
        work(0, n, first);
        return first;
    }
    std::vector<FirstBad> firsts(threads);
    {
        py::gil_scoped_release release;
        std::vector<std::thread> pool;
        const std::size_t chunk = n / threads;
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back([&, t] { work(t * chunk, t + 1 == threads ? n : (t + 1) * chunk, firsts[t]); });
        work(0, threads == 1 ? n : chunk, firsts[0]);
        for (auto& thread : pool)
            thread.join();
    }
    FirstBad first;
    for (const FirstBad& f : firsts)
        if (f.element < first.element)
            first = f;
    return first;
}

// prepare + runColumns + the error policy + finish, for one call.
template <class MakeKernel>
py::object convert(std::initializer_list<py::handle> inputs, const char* const* names, int outputs,
                   const py::object& out, const py::object& errors, const py::object& threads,
                   const MakeKernel& makeKernel)
{
    const ErrorPolicy policy = errorPolicy(errors);
    Columns c = prepare(inputs, names, outputs, out);
    const FirstBad first = runColumns(c, threadCount(threads, c.size), makeKernel);
    if (first.element < c.size && policy == ErrorPolicy::Raise) {
        const int a = first.outcome.argument;
        raiseBad(c.names, c.shape, first.element, c.in[a][first.element * c.stride[a]], first.outcome, first.reason);
    }
    return finish(c);
}

}  // namespace qmpy

#endif
