# The Debian package, made by CPack's DEB generator from this build tree's install rules.
#
# CPack rather than a debian/ directory with dpkg-buildpackage: the package then takes its version,
# maker and files from this CMake project alone (a debian/changelog would hold a second copy of the
# version), and it is made from the tree the tests have just built and run instead of from a
# second, clean build, which keeps CI quick. dpkg-shlibdeps still computes the library dependencies.
set(QUOREL_PACKAGE_RELEASE 1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorel)
set(CPACK_PACKAGE_VERSION ${QUOREL_VERSION})
set(CPACK_PACKAGE_VENDOR ${QUOREL_COMPANY})
set(CPACK_PACKAGE_CONTACT "${QUOREL_COMPANY} <${QUOREL_CONTACT}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write an HTML page showing a run of numbered images")
# CPack puts the summary first and indents the rest; an empty line becomes the "." between paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Give quorel a run of image addresses that differ only in a zero-padded
number, and it writes an HTML page that shows the images one after another,
each with links to the previous and the next, or a table of thumbnails, or
the list of addresses; it can also fetch every listed image into a folder.

The window is in Japanese; pages and settings are written in Windows-31J
with CR LF, so they move to and from Japanese Windows systems unchanged.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUOREL_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# No Homepage field: the project has no home on the web yet, and a field that leads nowhere is
# worse than none.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's fonts name IPA Gothic (fixed and proportional) after the Windows faces; without it
# the Japanese captions fall back to whatever font the system has, or to boxes. Qt's own texts in
# the window (the buttons of its dialogs and message boxes, the edit menus) come from qtbase_ja;
# without it they stay English in a Japanese window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
# View hands the saved page to xdg-open; without it View cannot open the page, while everything
# else works.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)

include(CPack)
