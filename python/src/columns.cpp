#include "columns.h"

#include <modper.h>
#include <qvutil/dtOutput.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <streambuf>

namespace qmpy {

namespace {

std::string shapeText(const std::vector<py::ssize_t>& shape)
{
    std::string text = "(";
    for (std::size_t i = 0; i < shape.size(); ++i)
        text += std::to_string(shape[i]) + (shape.size() == 1 ? "," : i + 1 < shape.size() ? ", " : "");
    return text + ")";
}

py::tuple shapeTuple(const std::vector<py::ssize_t>& shape)
{
    py::tuple t(shape.size());
    for (std::size_t d = 0; d < shape.size(); ++d)
        t[d] = py::int_(shape[d]);
    return t;
}

std::string reprText(py::handle value)
{
    std::string text = py::repr(value).cast<std::string>();
    return text.size() > 60 ? text.substr(0, 57) + "..." : text;
}

// Kept for the life of the process: never released after the interpreter.
py::module_& numpy()
{
    static auto* np = new py::module_(py::module_::import("numpy"));
    return *np;
}

bool isNumpyScalar(py::handle value)
{
    static auto* generic = new py::object(numpy().attr("generic"));
    return py::isinstance(value, *generic);
}

thread_local Notices* theNotices = nullptr;

// In front of a notification stream's own buffer while calls run: text from a
// thread in a call goes to its Notices, any other thread's where it went before.
class NoticeBuf : public std::streambuf
{
public:
    std::streambuf* saved = nullptr;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        if (theNotices) {
            theNotices->add(&ch, 1);
            return c;
        }
        return saved ? saved->sputc(ch) : c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (theNotices) {
            theNotices->add(s, static_cast<std::size_t>(n));
            return n;
        }
        return saved ? saved->sputn(s, n) : n;
    }
    int sync() override { return theNotices || !saved ? 0 : saved->pubsync(); }
};

struct Redirect
{
    Vorant::DtOutputStream* stream;
    NoticeBuf buffer;
};
Redirect theRedirects[] = {{&Vorant::DtInfo, {}}, {&Vorant::DtWarn, {}}, {&Vorant::DtDebug, {}}, {&Vorant::DtFatal, {}}};
int theCaptures = 0;   // calls under way; changed only with the GIL held

}  // namespace

// Away from its central meridian the library's transverse Mercator series
// drift: measured against GeographicLib's (exact to nanometres there), at
// most 0.07 m forward and 0.31 m inverse within 8 degrees of longitude,
// 0.35 m and 1.5 m within 10, 6 m and 28 m within 15; past the pole the
// inverse gives latitudes beyond 90 degrees.
const char* const kFarFromMeridian =
    "more than 8 degrees of longitude from the zone's central meridian (or past the pole), where the "
    "library's transverse Mercator series are off by more than 0.3 m; the result cannot be trusted";

bool nearMeridian(double latRad, double lonDeg, long zone)
{
    const double off = lonDeg - (6.0 * static_cast<double>(zone) - 183.0);
    return std::fabs(off) <= 8.0 && std::fabs(Vorant::DtRad2Deg(latRad)) <= 90.0;
}

py::array_t<double> outArray(py::handle out, const std::vector<py::ssize_t>& shape)
{
    if (!py::isinstance<py::array>(out))
        throw py::type_error("out: expected a float64 NumPy array, got " + reprText(out));
    py::array array = py::reinterpret_borrow<py::array>(out);
    if (!array.dtype().is(py::dtype::of<double>()))
        throw py::type_error("out: expected float64 arrays, got one of dtype " + reprText(array.dtype()));
    if (!(array.flags() & py::array::c_style))
        throw py::value_error("out: expected C-contiguous arrays (a view with strides cannot be written in place), "
                              "got a non-contiguous one");
    if (!array.writeable())
        throw py::value_error("out: expected writeable arrays, got a read-only one");
    const std::vector<py::ssize_t> own(array.shape(), array.shape() + array.ndim());
    if (own != shape)
        throw py::value_error("out: expected arrays of shape " + shapeText(shape) + ", got " + shapeText(own));
    return py::reinterpret_borrow<py::array_t<double>>(out);
}

const char* withSignature(const char* name, const char* head, const char* tail, const char* doc)
{
    static auto* texts = new std::vector<std::unique_ptr<std::string>>();
    const char* rest = std::strstr(doc, "\n\n");
    texts->push_back(std::make_unique<std::string>(std::string(name) + head + tail + "\n--\n\n" +
                                                   (rest ? rest + 2 : doc)));
    return texts->back()->c_str();
}

void Notices::add(const char* s, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] == '\n') {
            count += open ? 1 : 0;
            open = false;
            continue;
        }
        open = true;
        if (count == 0 && first.size() < 300)
            first += s[i];
    }
}

void Notices::merge(const Notices& other)
{
    if (count + (open ? 1 : 0) == 0)
        first = other.first;
    count += other.count + (other.open ? 1 : 0);
}

NoticeCapture::NoticeCapture()
{
    if (theCaptures++ == 0)
        for (Redirect& r : theRedirects)
            r.buffer.saved = r.stream->rdbuf(&r.buffer);
}

NoticeCapture::~NoticeCapture()
{
    if (--theCaptures == 0)
        for (Redirect& r : theRedirects)
            if (r.stream->rdbuf() == &r.buffer)   // (unless someone swapped it meanwhile)
                r.stream->rdbuf(r.buffer.saved);
}

NoticeScope::NoticeScope(Notices& notices) : mySaved(theNotices)
{
    theNotices = &notices;
}

NoticeScope::~NoticeScope()
{
    theNotices = mySaved;
}

void warnAbout(const Notices& notices)
{
    const std::size_t count = notices.count + (notices.open ? 1 : 0);
    if (count == 0)
        return;
    static PyObject* category = py::module_::import("qormatrix._core").attr("LibraryWarning").ptr();
    const std::string text = "the library reported " + std::to_string(count) +
                             (count == 1 ? " notice" : " notices") + " during this call; the first: " + notices.first;
    if (PyErr_WarnEx(category, text.c_str(), 1) != 0)
        throw py::error_already_set();
}

ErrorPolicy errorPolicy(const py::object& errors)
{
    if (PyUnicode_Check(errors.ptr())) {
        if (PyUnicode_CompareWithASCIIString(errors.ptr(), "raise") == 0)
            return ErrorPolicy::Raise;
        if (PyUnicode_CompareWithASCIIString(errors.ptr(), "nan") == 0)
            return ErrorPolicy::Nan;
    }
    throw py::value_error("errors: expected 'raise' or 'nan', got " + reprText(errors));
}

// Measured on two cores (1,000 to 65,536 elements, one thread against two):
// two threads are 1.1 to 1.6 times as fast from 4,096 elements, 1.5 to 1.9
// from 8,192, for the lightest conversion (geodetic to geocentric) and the
// heaviest (geocentric to geodetic) alike.
constexpr std::size_t kThreadsFrom = 8192;

unsigned threadCount(const py::object& threads, std::size_t elements)
{
    if (threads.is_none())
        return elements >= kThreadsFrom ? std::max(1u, std::thread::hardware_concurrency()) : 1u;
    if (!PyLong_Check(threads.ptr()) || PyBool_Check(threads.ptr()))
        throw py::type_error("threads: expected None or an int, got " + reprText(threads));
    const long long n = PyLong_AsLongLong(threads.ptr());
    if (n < 1 || n > 1024) {
        PyErr_Clear();
        throw py::value_error("threads: expected None or an int from 1 to 1024, got " + reprText(threads));
    }
    return static_cast<unsigned>(n);
}

bool isForeign(py::handle value)
{
    if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr()) || isNumpyScalar(value))
        return false;
    static auto* masked = new py::object(numpy().attr("ma").attr("MaskedArray"));
    if (py::isinstance<py::array>(value))
        return py::isinstance(value, *masked);
    return py::hasattr(value, "__array_ufunc__") || py::hasattr(value, "__dask_graph__");
}

py::object foreign(const char* name, const py::tuple& args)
{
    static auto* apply = new py::object(py::module_::import("qormatrix._arrays").attr("apply"));
    return (*apply)(name, args);
}

py::array_t<double> asFloat64(py::handle value, const char* name)
{
    if (isForeign(value))
        throw ForeignArrays();
    if (py::isinstance<py::str>(value) || py::isinstance<py::bytes>(value) || value.is_none())
        throw py::type_error(std::string(name) + ": expected real numbers (float or int, or an array of them), got " +
                             reprText(value));
    py::array array;
    try {
        array = numpy().attr("asarray")(value);
    } catch (py::error_already_set& e) {
        throw py::value_error(std::string(name) + ": cannot be read as an array of numbers: " +
                              py::str(e.value()).cast<std::string>());
    }
    const char kind = array.dtype().kind();
    if (kind != 'f' && kind != 'i' && kind != 'u')
        throw py::type_error(std::string(name) + ": expected real numbers (float or int, or an array of them), got " +
                             (array.ndim() == 0 ? reprText(value) : "an array of dtype " + reprText(array.dtype())));
    return py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(array);
}

Columns prepare(std::initializer_list<py::handle> inputList, const char* const* names, int outputs,
                const py::object& out)
{
    Columns c;
    c.names = names;
    const py::handle* inputs = inputList.begin();
    const std::size_t k = inputList.size();
    c.inCount = k;
    c.outCount = static_cast<std::size_t>(outputs);
    std::array<py::object, kMaxInputs> held;   // the converted arrays (no empty arrays made for floats)
    std::array<bool, kMaxInputs> isArray{};
    for (std::size_t a = 0; a < k; ++a) {
        PyObject* v = inputs[a].ptr();
        if (PyFloat_Check(v)) {
            c.scalarIn[a] = PyFloat_AS_DOUBLE(v);
        } else if (PyLong_Check(v) && !PyBool_Check(v)) {
            c.scalarIn[a] = PyLong_AsDouble(v);
            if (c.scalarIn[a] == -1.0 && PyErr_Occurred()) {
                PyErr_Clear();
                throw py::value_error(std::string(names[a]) + ": " + reprText(inputs[a]) + " is too large for a float");
            }
        } else {
            const py::array_t<double> array = asFloat64(inputs[a], names[a]);
            held[a] = array;
            if (array.ndim() == 0 && isNumpyScalar(inputs[a])) {
                c.scalarIn[a] = *array.data();   // a NumPy scalar counts as a scalar
            } else {
                c.scalars = false;
                isArray[a] = true;
            }
        }
        c.in[a] = &c.scalarIn[a];
    }

    const auto arrays = [&](std::size_t a) { return py::reinterpret_borrow<py::array_t<double>>(held[a]); };
    // Broadcasting, NumPy's rules: shapes aligned at the right, sizes equal or 1.
    std::size_t ndim = 0;
    for (std::size_t a = 0; a < k; ++a)
        if (isArray[a])
            ndim = std::max(ndim, static_cast<std::size_t>(arrays(a).ndim()));
    c.shape.assign(ndim, 1);
    for (std::size_t a = 0; a < k; ++a) {
        if (!isArray[a])
            continue;
        const std::size_t offset = ndim - static_cast<std::size_t>(arrays(a).ndim());
        for (py::ssize_t d = 0; d < arrays(a).ndim(); ++d) {
            const py::ssize_t size = arrays(a).shape(d);
            py::ssize_t& target = c.shape[offset + static_cast<std::size_t>(d)];
            if (size != 1 && target != 1 && size != target) {
                std::string given;
                for (std::size_t b = 0; b < k; ++b)
                    if (isArray[b])
                        given += std::string(given.empty() ? "" : ", ") + names[b] + " " +
                                 shapeText(std::vector<py::ssize_t>(arrays(b).shape(), arrays(b).shape() + arrays(b).ndim()));
                throw py::value_error("the shapes of the inputs cannot be broadcast together: " + given);
            }
            if (size != 1)
                target = size;
        }
    }
    for (py::ssize_t s : c.shape)
        c.size *= static_cast<std::size_t>(s);
    for (std::size_t a = 0; a < k; ++a) {
        if (!isArray[a])
            continue;
        py::array_t<double> array = arrays(a);
        const std::vector<py::ssize_t> own(array.shape(), array.shape() + array.ndim());
        if (array.size() == 1) {
            c.stride[a] = 0;
        } else {
            if (own != c.shape)   // a copy at the full shape: plain strides in the loop
                array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(
                    numpy().attr("ascontiguousarray")(numpy().attr("broadcast_to")(array, shapeTuple(c.shape))));
            c.stride[a] = 1;
        }
        c.in[a] = array.data();
        c.keep.push_back(array);
    }

    // Results: new arrays, or the caller's through out=.
    if (out.is_none()) {
        for (std::size_t b = 0; b < c.outCount; ++b) {
            if (c.scalars) {
                c.out[b] = &c.scalarOut[b];
                continue;
            }
            py::array_t<double> result(c.shape);
            c.out[b] = result.mutable_data();
            c.results.push_back(result);
        }
        return c;
    }
    std::vector<py::handle> given;
    if (outputs == 1 && py::isinstance<py::array>(out))
        given.push_back(out);
    else if (py::isinstance<py::tuple>(out) || py::isinstance<py::list>(out))
        for (py::handle h : out)
            given.push_back(h);
    if (static_cast<int>(given.size()) != outputs)
        throw py::type_error("out: expected a tuple of " + std::to_string(outputs) + " float64 arrays, got " + reprText(out));
    c.scalars = false;
    std::size_t b = 0;
    for (py::handle h : given) {
        py::array_t<double> array = outArray(h, c.shape);
        c.out[b++] = array.mutable_data();
        c.results.push_back(py::reinterpret_borrow<py::object>(h));
    }
    return c;
}

py::object finish(Columns& c)
{
    const auto value = [&](std::size_t b) -> py::object {
        return c.scalars ? py::float_(c.scalarOut[b]) : c.results[b];
    };
    if (c.outCount == 1)
        return value(0);
    py::tuple t(c.outCount);
    for (std::size_t b = 0; b < c.outCount; ++b)
        t[b] = value(b);
    return std::move(t);
}

void raiseBad(const char* const* names, const std::vector<py::ssize_t>& shape, std::size_t element,
              double value, Outcome o, const std::string& reason)
{
    std::string index;
    for (std::size_t d = shape.size(), rest = element; d-- > 0;) {
        const auto size = static_cast<std::size_t>(shape[d]);
        index = std::to_string(rest % size) + (index.empty() ? "" : ", ") + index;
        rest /= size;
    }
    std::string what = names[o.argument] + (shape.empty() ? std::string() : "[" + index + "]") + " = " +
                       reprText(py::float_(value)) + ": ";
    switch (o.verdict) {
    case Verdict::NotFinite:
        what += "not a finite number";
        break;
    case Verdict::LatitudeRange:
    case Verdict::Untrusted:
    case Verdict::Domain:
        what += o.why;
        break;
    case Verdict::NotAZone:
        what += "not a UTM zone (1 to 60, or 61 for the meridian 180)";
        break;
    default:
        what += reason.empty() ? "cannot be converted" : reason;
    }
    throw py::value_error(what + " (errors='nan' gives NaN for such elements instead)");
}

}  // namespace qmpy
