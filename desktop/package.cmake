# The Debian package: `cpack -G DEB` in the build folder writes
# mavrel_<version>_<architecture>.deb from the install rules.
set(CPACK_PACKAGE_NAME mavrel)
set(CPACK_PACKAGE_VENDOR "The Mavrel developers")
set(CPACK_PACKAGE_CONTACT "The Mavrel developers <mavrel@users.noreply.github.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/mavrel/mavrel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for chord charts")
set(CPACK_PACKAGE_DESCRIPTION
"Mavrel writes chord charts: a page holding a grid of bars, each bar showing
one to four chord symbols laid out along its diagonals, with repeat signs,
double bar lines and free text labels anywhere on the page. It transposes a
whole chart, prints one, two, four or eight charts on one sheet, and plays
it with a band of bass, piano and drums, or writes that band as a MIDI file
or its sound as WAV or FLAC. Its
interface is in French, or in English where the locale asks for it.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries come from dpkg-shlibdeps, but FluidSynth, which the program
# opens only to play; the page is drawn in DejaVu Sans; the band plays with
# a General MIDI SoundFont.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core, libfluidsynth3, timgm6mb-soundfont | musescore-general-soundfont-small | fluid-soundfont-gm")
# Qt's own texts (the buttons of its dialogs) in the interface's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
