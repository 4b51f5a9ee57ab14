# The Debian package "quorvel": programs, libraries, headers, data and documentation in one
# package. dpkg-shlibdeps derives the dependencies (Qt 6, libserialport, the C++ runtime) from the
# binaries, so they follow whatever the build links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorvel developers <quorvel@invalid>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel keeps the communication processor, display panel, amplifier modules and CAN \
transducer heads of a Ventrix rack on current firmware, uploads flash and EEPROM contents and \
offers the rack's maintenance commands. The package holds the operator programs, the device-link \
library libquorlink with its C header and pkg-config file, the port library liblinkpad, and \
ventrix-sim, a simulated rack for trying everything without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries are found in the build tree while the dependencies are worked out.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
# The documents folder (log file) comes from xdg-user-dir; the manual opens with xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-user-dirs, xdg-utils")
# The Ansible collection under /usr/share/quorvel/ansible runs on the controller of a fleet.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ansible-core")
# The window program needs a platform plugin (X11, Wayland) besides the Qt libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
