"""The package's own build backend (PEP 517): CMake builds qormatrix._core and
the two C++ libraries in a temporary directory outside the source tree, and the
wheel is written here with zipfile. It needs nothing from an index (no
setuptools, no wheel), so `pip install ./python` works offline, in a plain
virtual environment, with or without build isolation, and leaves the source
tree as it was.

The C++ sources are the checkout around this directory, or in an unpacked
source distribution its `cpp/` folder.
"""
import base64
import hashlib
import io
import os
import shutil
import subprocess
import sys
import sysconfig
import tarfile
import tempfile
import zipfile

NAME = "qormatrix"
VERSION = "22.0.0"
HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))   # python/
METADATA = f"""Metadata-Version: 2.1
Name: {NAME}
Version: {VERSION}
Summary: Geodesy and rotations of the qormatrix C++ library on NumPy arrays
Requires-Python: >=3.9
Requires-Dist: numpy>=1.21
"""


def _sources():
    inside = os.path.join(HERE, "cpp")
    return inside if os.path.isfile(os.path.join(inside, "CMakeLists.txt")) else os.path.dirname(HERE)


def _tag():
    # Honest about what the wheel needs: this interpreter's ABI and this platform
    # (the libraries link against this system's C++ runtime).
    version = f"{sys.version_info.major}{sys.version_info.minor}"
    platform = sysconfig.get_platform().replace("-", "_").replace(".", "_")
    return f"cp{version}-cp{version}{getattr(sys, 'abiflags', '')}-{platform}"


def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def _wheel_file(tag):
    return f"Wheel-Version: 1.0\nGenerator: qormatrix {VERSION}\nRoot-Is-Purelib: false\nTag: {tag}\n"


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    """The wheel's .dist-info without building it (else pip builds twice)."""
    info = f"{NAME}-{VERSION}.dist-info"
    os.makedirs(os.path.join(metadata_directory, info), exist_ok=True)
    for name, text in (("METADATA", METADATA), ("WHEEL", _wheel_file(_tag())), ("top_level.txt", f"{NAME}\n")):
        with open(os.path.join(metadata_directory, info, name), "w", encoding="utf-8") as f:
            f.write(text)
    return info


def _build(work):
    # The libraries and the module find each other through $ORIGIN alone (no
    # path of the temporary build in them), and the build's own paths are
    # mapped away: the same sources give the same bytes wherever they are
    # built, from a checkout or from the source distribution.
    sources = os.path.realpath(_sources())
    prefix_map = f"-ffile-prefix-map={sources}=qormatrix -ffile-prefix-map={os.path.realpath(work)}=build"
    options = ["QORMATRIX_BUILD_PYTHON=ON", "QORMATRIX_BUILD_TESTS=OFF", "QORMATRIX_BUILD_BENCH=OFF",
               "QORMATRIX_BUILD_EXAMPLES=OFF", "QORMATRIX_BUILD_CONVERTER=OFF", "CMAKE_BUILD_TYPE=Release",
               "CMAKE_BUILD_WITH_INSTALL_RPATH=ON", f"CMAKE_CXX_FLAGS={os.environ.get('CXXFLAGS', '')} {prefix_map}".strip(),
               f"Python3_EXECUTABLE={sys.executable}"]
    subprocess.check_call(["cmake", "-S", sources, "-B", work] + ["-D" + o for o in options],
                          stdout=sys.stderr)
    subprocess.check_call(["cmake", "--build", work, "--target", "qormatrix_python", "-j", str(os.cpu_count() or 2)],
                          stdout=sys.stderr)
    return os.path.join(work, "python", NAME)


def _record_line(path, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    tag = _tag()
    wheel = f"{NAME}-{VERSION}-{tag}.whl"
    work = tempfile.mkdtemp(prefix="qormatrix-build-")
    try:
        built = _build(work)
        files = {}
        for name in sorted(os.listdir(built)):
            if name.endswith((".py", ".pyi", ".so")) or ".so." in name or name == "py.typed":
                with open(os.path.join(built, name), "rb") as f:
                    files[f"{NAME}/{name}"] = f.read()
        info = f"{NAME}-{VERSION}.dist-info"
        files[f"{info}/METADATA"] = METADATA.encode()
        files[f"{info}/WHEEL"] = _wheel_file(tag).encode()
        files[f"{info}/top_level.txt"] = f"{NAME}\n".encode()
        record = [_record_line(path, data) for path, data in files.items()] + [f"{info}/RECORD,,"]
        files[f"{info}/RECORD"] = ("\n".join(record) + "\n").encode()
        with zipfile.ZipFile(os.path.join(wheel_directory, wheel), "w", zipfile.ZIP_DEFLATED) as z:
            for path, data in files.items():
                entry = zipfile.ZipInfo(path, date_time=(2026, 1, 1, 0, 0, 0))
                entry.external_attr = (0o755 if path.endswith(".so") or ".so." in path else 0o644) << 16
                z.writestr(entry, data, zipfile.ZIP_DEFLATED)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return wheel


def build_sdist(sdist_directory, config_settings=None):
    """The package directory and, under cpp/, the C++ sources it builds from."""
    root = f"{NAME}-{VERSION}"
    sources = _sources()
    name = f"{root}.tar.gz"

    def skip(info):
        parts = info.name.split("/")
        return None if any(p in ("build", "__pycache__", ".git", ".venv") or p.startswith("build-")
                           for p in parts[1:]) else info

    with tarfile.open(os.path.join(sdist_directory, name), "w:gz") as tar:
        for entry in sorted(os.listdir(HERE)):
            if entry not in ("build", "cpp", "__pycache__", ".venv") and not entry.endswith(".egg-info"):
                tar.add(os.path.join(HERE, entry), f"{root}/{entry}", filter=skip)
        for entry in ("CMakeLists.txt", "cmake", "data", "include", "libsrc", "python"):
            if os.path.exists(os.path.join(sources, entry)):
                tar.add(os.path.join(sources, entry), f"{root}/cpp/{entry}", filter=skip)
        info = tarfile.TarInfo(f"{root}/PKG-INFO")
        info.size = len(METADATA.encode())
        tar.addfile(info, io.BytesIO(METADATA.encode()))
    return name
