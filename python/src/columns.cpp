#include "columns.h"

#include <cmath>

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

}  // namespace

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

unsigned threadCount(const py::object& threads, std::size_t elements)
{
    if (threads.is_none())
        return elements >= 65536 ? std::max(1u, std::thread::hardware_concurrency()) : 1u;
    if (!PyLong_Check(threads.ptr()) || PyBool_Check(threads.ptr()))
        throw py::type_error("threads: expected None or an int, got " + reprText(threads));
    const long long n = PyLong_AsLongLong(threads.ptr());
    if (n < 1 || n > 1024) {
        PyErr_Clear();
        throw py::value_error("threads: expected None or an int from 1 to 1024, got " + reprText(threads));
    }
    return static_cast<unsigned>(n);
}

py::array_t<double> asFloat64(py::handle value, const char* name)
{
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
        if (!py::isinstance<py::array>(h))
            throw py::type_error("out: expected float64 arrays, got " + reprText(h));
        py::array array = py::reinterpret_borrow<py::array>(h);
        const std::vector<py::ssize_t> own(array.shape(), array.shape() + array.ndim());
        if (!array.dtype().is(py::dtype::of<double>()) || !(array.flags() & py::array::c_style) || !array.writeable())
            throw py::type_error("out: expected writeable C-contiguous float64 arrays, got one of dtype " +
                                 reprText(array.dtype()));
        if (own != c.shape)
            throw py::value_error("out: expected arrays of shape " + shapeText(c.shape) + ", got " + shapeText(own));
        c.out[b++] = static_cast<double*>(array.mutable_data());
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
        what += "a latitude beyond +/-90 degrees";
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
