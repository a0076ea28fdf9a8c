# The Debian package, made by CPack's DEB generator from the install rules:
#   cmake --build build-deb --target package      (./dev.sh package does it all)
# The version is the project's; the shared-library dependencies are computed
# by dpkg-shlibdeps; the checker's packages are added by name.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "norvale")
set(CPACK_PACKAGE_VENDOR "Norvale developers")
set(CPACK_PACKAGE_CONTACT "Norvale developers <dev@norvale.app>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/deb")

set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT") # norvale_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "mail")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The checker and its daemon pair; the window cannot show without Qt's
# platform plugins, which Qt itself only recommends.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "spamassassin, spamc, spamd, qt6-qpa-plugins")
# The synopsis is the project's description; CPack indents these lines of the
# long description and turns the empty one into " .".
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Norvale tells a newsletter sender, before the send, how likely a message is
to be taken for spam, why, and what to change. It runs SpamAssassin on the
complete message, lists the rules that fired with their points, and shows
the total score and a verdict of six levels chosen by five thresholds the
user can edit. Rule scores can be overridden.

The package holds the desktop program and the command-line checker
norvale-check, for scripts and continuous integration.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
