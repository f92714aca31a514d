# SPDX-License-Identifier: GPL-3.0-or-later
# `make package`: a Debian package of both programs, with what the desktop
# needs (see data/ and tools/docs/). dpkg-shlibdeps finds the libraries the
# programs link to; the Qt platform plugins are loaded at run time, so they
# are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME solandre)
set(CPACK_PACKAGE_VENDOR "Solandre")
set(CPACK_PACKAGE_CONTACT "Solandre <maintainers@solandre.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "parallel concordancer: a text and its translation, sentence by sentence")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Solandre numbers the sentences of a text and of its translation, searches the text for a word\n"
       "form, lists every occurrence with its sentence and shows it in context beside the translated\n"
       "sentence of the same number. Its windows are in Spanish. solandre-cli does the same work from\n"
       "the command line: numbering, searching, saving, aligning, and translation memories (TMX).")
set(CPACK_PACKAGE_HOMEPAGE_URL "${SOLANDRE_HOMEPAGE}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, qt6-qpa-plugins, libicu72, libxlsxwriter4, libc6, libstdc++6")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
