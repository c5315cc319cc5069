# Self-contained pieces of the main window: the wave-output volume (ALSA),
# the tray icon's quarters and pictures, the owner-drawn menus and the
# about box. Linked into lorimel_app.
find_package(PkgConfig REQUIRED)
if(NOT TARGET PkgConfig::ALSA)
  pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
endif()
lorimel_library(lorimel_appparts
  SOURCES volumecontrol.cpp volumecontrol.h trayquarters.cpp trayquarters.h glyphs.cpp glyphs.h
          menustyle.cpp menustyle.h aboutbox.cpp aboutbox.h
  PUBLIC_LINK lorimel_scheme lorimel_toolkit PkgConfig::ALSA)
