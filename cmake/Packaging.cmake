# Installation and the Debian package (`make package`: cpack -G DEB in the
# build directory). The package holds the program, its desktop entry, the
# icon in the hicolor sizes, the AppStream metadata, the udev rule for the
# controllers, a manual page and the Debian copyright and changelog files.
include(GNUInstallDirs)

set(SW_LINUX ${SW_ROOT}/packaging/linux)
set(SW_DESKTOP_ID com.veltrano.stompwright)
set(SW_PACKAGE_OUT ${CMAKE_CURRENT_BINARY_DIR}/package)

# The icon in the hicolor sizes, scaled from the application's icon.
add_executable(stompwright-hicolor ${SW_ROOT}/tools/hicolor/main.cpp)
target_compile_options(stompwright-hicolor PRIVATE ${SW_WARNINGS})
target_link_libraries(stompwright-hicolor PRIVATE Qt5::Gui)
add_custom_command(
    OUTPUT ${SW_PACKAGE_OUT}/icons/hicolor/256x256/apps/stompwright.png
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${SW_PACKAGE_OUT}/icons
    COMMAND stompwright-hicolor ${SW_ROOT}/resources/IMG/icon.png ${SW_PACKAGE_OUT}/icons stompwright
    DEPENDS stompwright-hicolor ${SW_ROOT}/resources/IMG/icon.png
    COMMENT "Scaling the icon into the hicolor sizes"
    VERBATIM)

# Debian wants the changelog and the manual page compressed, without time stamps.
foreach(doc changelog stompwright.1)
    add_custom_command(
        OUTPUT ${SW_PACKAGE_OUT}/${doc}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${SW_PACKAGE_OUT}
        COMMAND sh -c "gzip -9n -c '${SW_LINUX}/${doc}' > '${SW_PACKAGE_OUT}/${doc}.gz'"
        DEPENDS ${SW_LINUX}/${doc}
        VERBATIM)
endforeach()

add_custom_target(stompwright-package-files ALL
    DEPENDS ${SW_PACKAGE_OUT}/icons/hicolor/256x256/apps/stompwright.png
            ${SW_PACKAGE_OUT}/changelog.gz ${SW_PACKAGE_OUT}/stompwright.1.gz)

install(TARGETS stompwright RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SW_LINUX}/${SW_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SW_LINUX}/${SW_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${SW_PACKAGE_OUT}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
# udev reads /usr/lib/udev/rules.d whatever the prefix of the rest.
install(FILES ${SW_LINUX}/60-stompwright.rules DESTINATION lib/udev/rules.d)
install(FILES ${SW_PACKAGE_OUT}/stompwright.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${SW_LINUX}/copyright ${SW_PACKAGE_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stompwright)
set(CPACK_PACKAGE_VENDOR "Veltrano Audio")
set(CPACK_PACKAGE_CONTACT "Veltrano Audio <support@veltrano.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure a USB MIDI foot-pedal controller")
set(CPACK_PACKAGE_DESCRIPTION
"Stompwright sets up Veltrano's USB MIDI foot-pedal controllers: for every
pedal and each of its sixteen message slots, the MIDI message it sends
(Control Change, Note, Program Change, Pitch Bend, Channel Pressure,
transport and tempo). It shows the pedals' live MIDI output, shapes the
response curves of expression pedals, keeps presets in files and upgrades
the controller's firmware.

A udev rule gives the user at the computer access to the controllers and
keeps ModemManager off their serial ports.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.veltrano.com/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
