"""Builds qormatrix._core and the two C++ libraries with CMake from this
checkout and puts all three into the package, which finds the libraries
through $ORIGIN (no LD_LIBRARY_PATH). Offline with Debian's packages:

    pip install --no-build-isolation ./python
"""
import os
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        package = os.path.dirname(os.path.abspath(self.get_ext_fullpath(ext.name)))
        build = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        options = ["QORMATRIX_BUILD_PYTHON=ON", "QORMATRIX_BUILD_TESTS=OFF", "QORMATRIX_BUILD_BENCH=OFF",
                   "QORMATRIX_BUILD_EXAMPLES=OFF", "QORMATRIX_BUILD_CONVERTER=OFF", "CMAKE_BUILD_TYPE=Release",
                   f"Python3_EXECUTABLE={sys.executable}"]
        subprocess.check_call(["cmake", "-S", SOURCE, "-B", build] + ["-D" + o for o in options])
        subprocess.check_call(["cmake", "--build", build, "--target", "qormatrix_python", "-j",
                               str(os.cpu_count() or 2)])
        built = os.path.join(build, "python", "qormatrix")
        os.makedirs(package, exist_ok=True)
        for name in os.listdir(built):
            if name.endswith(".so") or ".so." in name:
                shutil.copy2(os.path.join(built, name), package)


setup(ext_modules=[Extension("qormatrix._core", sources=[])], cmdclass={"build_ext": CMakeBuild})
