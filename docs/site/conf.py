# The documentation site: the guides (from README.md, split by the staging
# script into pages), the accuracy report and the Python reference from the
# module's docstrings; the C++ reference is Doxygen's, under cpp/.
import os

project = "qormatrix"
version = release = os.environ.get("QORMATRIX_VERSION", "")
extensions = ["myst_parser", "sphinx.ext.autodoc", "sphinx.ext.napoleon"]
source_suffix = {".rst": "restructuredtext", ".md": "markdown"}
napoleon_google_docstring = False
napoleon_numpy_docstring = True
autodoc_typehints = "none"
myst_heading_anchors = 3
html_theme = "alabaster"
html_title = f"qormatrix {release}"
html_theme_options = {"description": "Three-dimensional mathematics and geodesy for simulations",
                      "extra_nav_links": {"C++ reference": "cpp/index.html"}}
html_sidebars = {"**": ["about.html", "navigation.html", "searchbox.html"]}
html_show_sourcelink = False
html_copy_source = False
