// Element-wise conversions over NumPy arrays: argument checks, broadcasting,
// results (new or out=), the error policy and worker threads. A conversion is
// a kernel that reads one element's inputs and writes its outputs; whatever
// the path (Python floats, arrays, any number of threads), an element gets
// exactly the kernel's bits.
#ifndef QORMATRIX_PYTHON_COLUMNS_H
#define QORMATRIX_PYTHON_COLUMNS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <modper.h>
#include <qvScalar.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <cstddef>
#include <exception>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace qmpy {

namespace py = pybind11;

// Why an element failed (Ok when it did not) and which input it is about.
enum class Verdict
{
    Ok,
    Missing,         // a NaN input: NaN out, not an error (missing data)
    NotFinite,       // infinite
    LatitudeRange,   // a latitude beyond +/-90 degrees (+/-pi/2 radians)
    NotAZone,        // a UTM zone other than 1 to 61
    Untrusted,       // the library's result cannot be trusted there; `why` says why
    Domain,          // outside the function's domain (a negative range, say); `why` says what
    Failed           // the library refused it; the reason is its message
};

struct Outcome
{
    Verdict verdict = Verdict::Ok;
    int argument = 0;
    const char* why = nullptr;   // for Untrusted
};

inline Outcome bad(Verdict v, int argument, const char* why = nullptr)
{
    return Outcome{v, argument, why};
}

// NaN is missing data, infinity out of the domain.
inline Outcome checkValue(double v, int argument)
{
    if (std::isnan(v))
        return bad(Verdict::Missing, argument);
    if (std::isinf(v))
        return bad(Verdict::NotFinite, argument);
    return {};
}

// Notices the library writes on its notification streams while a call runs,
// gathered per thread (never written to standard error) and turned into at
// most one Python warning by the call.
struct Notices
{
    std::size_t count = 0;   // messages, each ended by a line end (or by the call)
    std::string first;
    bool open = false;       // a message begun and not yet ended
    void add(const char* s, std::size_t n);
    void merge(const Notices& other);
};

// While one lives (on the calling thread, with the GIL), the library's
// notification streams write into the Notices of the thread that emits (set
// with NoticeScope) and, on threads without one, to where they wrote before.
// The first call in swaps the streams' buffers, the last one out restores them.
class NoticeCapture
{
public:
    NoticeCapture();
    ~NoticeCapture();
    NoticeCapture(const NoticeCapture&) = delete;
    NoticeCapture& operator=(const NoticeCapture&) = delete;
};

class NoticeScope
{
public:
    explicit NoticeScope(Notices& notices);
    ~NoticeScope();
    NoticeScope(const NoticeScope&) = delete;
    NoticeScope& operator=(const NoticeScope&) = delete;

private:
    Notices* mySaved;
};

// One qormatrix.LibraryWarning for what the notices hold, if anything.
void warnAbout(const Notices& notices);

// Degrees or radians in and out; radians for the library.
struct Angles
{
    bool deg;
    // The verdict of a latitude: Missing, NotFinite, LatitudeRange or Ok.
    Outcome latitude(double v, int argument) const
    {
        if (Outcome o = checkValue(v, argument); o.verdict != Verdict::Ok)
            return o;
        if (!(std::fabs(v) <= quarter()))
            return bad(Verdict::LatitudeRange, argument, deg ? "a latitude beyond +/-90 degrees"
                                                              : "a latitude beyond +/-pi/2 radians");
        return {};
    }
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
// threads=None: every core from 8,192 elements on, else one; an int >= 1: that many.
unsigned threadCount(const py::object& threads, std::size_t elements);

// The arguments of a call once checked: each input as float64 with a stride of
// 1 or 0 (one value broadcast), the broadcast shape and the outputs. Fixed
// arrays, so that a call on Python floats allocates nothing.
constexpr std::size_t kMaxInputs = 8, kMaxOutputs = 7;
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
    Notices notices;                   // what the library said during the call
};

// Thrown when an input is an array of another library (pandas, xarray, Dask,
// or a NumPy masked array): the call goes to qormatrix._arrays, which keeps
// the input's type (see dispatching).
struct ForeignArrays
{
};

// Whether a value is another library's array (see ForeignArrays).
bool isForeign(py::handle value);

// A float64 array of the argument's values, or TypeError naming it;
// ForeignArrays for another library's array.
py::array_t<double> asFloat64(py::handle value, const char* name);

// Hands a call with another library's arrays to qormatrix._arrays.apply(name,
// args), args in the binding's parameter order.
py::object foreign(const char* name, const py::tuple& args);

// A binding that hands calls with other libraries' arrays to foreign().
template <class Result, class... Args>
auto dispatching(const char* name, Result (*f)(Args...))
{
    return [name, f](Args... args) -> py::object {
        try {
            return f(args...);
        } catch (const ForeignArrays&) {
            return foreign(name, py::make_tuple(args...));
        }
    };
}

// Checks and broadcasts the inputs and prepares `outputs` results, taken from
// out= when it is given (a tuple of float64 C-contiguous arrays of the
// broadcast shape).
Columns prepare(std::initializer_list<py::handle> inputs, const char* const* names, int outputs,
                const py::object& out);

// A docstring for pybind11 that starts with a text signature, name + head +
// tail + "\n--\n\n", so that inspect.signature sees the real parameters; the
// docstring's own first paragraph (its signature line) gives way to it. The
// text lives as long as the process.
const char* withSignature(const char* name, const char* head, const char* tail, const char* doc);

// The caller's out= array for a result of `shape`: TypeError or ValueError
// saying exactly what is wrong (the type, the dtype, the layout, the shape).
py::array_t<double> outArray(py::handle out, const std::vector<py::ssize_t>& shape);

// UTM: whether the library's series are trusted at a latitude (radians) and
// longitude (degrees, as the library takes it: reduced into (-180, 180] going
// forward, as it comes out going back) of a zone, and why not.
bool nearMeridian(double latRad, double lonDeg, long zone);
// A longitude (radians) in degrees as the library's forward UTM reduces it.
inline double utmLongitude(double lonRad)
{
    return Vorant::DtModPerHi(Vorant::DtRad2Deg(lonRad), -180.0, 180.0);
}
extern const char* const kFarFromMeridian;

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

// Kernels that can also take a block of elements at once (to hand them to
// one of the library's many-element calls) have
// block(const double (*in)[kMaxInputs], double (*out)[kMaxOutputs], Outcome* o, std::size_t m):
// the same outcome and the same bits for each element as one call each.
constexpr std::size_t kBlock = 64;
template <class K, class = void>
struct TakesBlocks : std::false_type
{
};
template <class K>
struct TakesBlocks<K, std::void_t<decltype(&K::block)>> : std::true_type
{
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
    const auto work = [&c, inCount, outCount, &makeKernel](std::size_t from, std::size_t to, FirstBad& first,
                                                           Notices& notices) {
        const NoticeScope scope(notices);
        auto kernel = makeKernel();
        const std::array<const double*, kMaxInputs> source = c.in;
        const std::array<std::size_t, kMaxInputs> stride = c.stride;
        const std::array<double*, kMaxOutputs> target = c.out;
        FirstBad mine;
        // One element's outcome: NaN outputs for a bad one, the first one kept.
        const auto settle = [&mine, outCount](std::size_t i, Outcome o, double* out) {
            if (o.verdict == Verdict::Ok)
                return;
            for (std::size_t b = 0; b < outCount; ++b)
                out[b] = std::numeric_limits<double>::quiet_NaN();
            if (o.verdict != Verdict::Missing && mine.element > i) {
                mine.element = i;
                mine.outcome = o;
            }
        };
        const auto one = [&kernel, &mine](std::size_t i, const double* in, double* out) {
            try {
                return kernel(in, out);
            } catch (const std::exception& e) {
                if (mine.element > i)
                    mine.reason = e.what();
                return bad(Verdict::Failed, 0);
            }
        };
        // A single element goes on its own: a block costs more to set up than it saves.
        if constexpr (TakesBlocks<decltype(kernel)>::value) {
            if (to - from > 1) {
                double in[kBlock][kMaxInputs], out[kBlock][kMaxOutputs];
                Outcome outcomes[kBlock];
                for (std::size_t i = from; i < to; i += kBlock) {
                    const std::size_t m = std::min(kBlock, to - i);
                    // Column by column: a broadcast value once, a column as a run (strides are 0 or 1).
                    for (std::size_t a = 0; a < inCount; ++a) {
                        if (stride[a] == 0) {
                            const double value = source[a][0];
                            for (std::size_t k = 0; k < m; ++k)
                                in[k][a] = value;
                        } else {
                            const double* column = source[a] + i;
                            for (std::size_t k = 0; k < m; ++k)
                                in[k][a] = column[k];
                        }
                    }
                    try {
                        kernel.block(in, out, outcomes, m);
                    } catch (const std::exception&) {   // each element on its own, with its own reason
                        for (std::size_t k = 0; k < m; ++k)
                            outcomes[k] = one(i + k, in[k], out[k]);
                    }
                    for (std::size_t k = 0; k < m; ++k)
                        settle(i + k, outcomes[k], out[k]);
                    for (std::size_t b = 0; b < outCount; ++b) {
                        double* column = target[b] + i;
                        for (std::size_t k = 0; k < m; ++k)
                            column[k] = out[k][b];
                    }
                }
                first = std::move(mine);
                return;
            }
        }
        double in[kMaxInputs], out[kMaxOutputs];
        for (std::size_t i = from; i < to; ++i) {
            for (std::size_t a = 0; a < inCount; ++a)
                in[a] = source[a][i * stride[a]];
            settle(i, one(i, in, out), out);
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
        work(0, n, first, c.notices);
        return first;
    }
    std::vector<FirstBad> firsts(threads);
    std::vector<Notices> notices(threads);
    {
        py::gil_scoped_release release;
        std::vector<std::thread> pool;
        const std::size_t chunk = n / threads;
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(
                [&, t] { work(t * chunk, t + 1 == threads ? n : (t + 1) * chunk, firsts[t], notices[t]); });
        work(0, threads == 1 ? n : chunk, firsts[0], notices[0]);
        for (auto& thread : pool)
            thread.join();
    }
    for (const Notices& each : notices)
        c.notices.merge(each);
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
    const NoticeCapture capture;
    const FirstBad first = runColumns(c, threadCount(threads, c.size), makeKernel);
    warnAbout(c.notices);
    if (first.element < c.size && policy == ErrorPolicy::Raise) {
        const int a = first.outcome.argument;
        raiseBad(c.names, c.shape, first.element, c.in[a][first.element * c.stride[a]], first.outcome, first.reason);
    }
    return finish(c);
}

}  // namespace qmpy

#endif
