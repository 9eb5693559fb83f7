# The Debian package: `cpack -G DEB` in the build folder (scripts/package).
# Dependencies on shared libraries come from dpkg-shlibdeps; what the
# program loads at run time without linking it is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvero)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Talvero developers")
set(CPACK_PACKAGE_CONTACT "The Talvero developers <developers@talvero.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live chat console for support operators")
set(CPACK_PACKAGE_DESCRIPTION
    "Talvero is the desktop console of a support operator of a hosted live-chat
service. It shows the visitors of a web site as they browse, lets the operator
take their chat requests and chat with several of them at once, each in a
window of its own with emoticons, canned responses and a spell checker, and
talk to the other operators of the site. New requests ring, show a notice and
a desktop notification, and make the tray icon blink.
.
The package also holds talvero-service, a stand-in chat service for trying
the console out, and talvero-dict, which builds the spell checker's files.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://talvero.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
