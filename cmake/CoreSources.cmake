# The sources of the core library: every folder is one subsystem. Shared by
# the top-level build and the sanitizer build of the fuzz targets.
set(SW_CORE_DIRS core app device pedal monitor curve presets upgrade update backup midiout)

# sw_core_sources(<out-var> <root>): the core's .cpp, .h and .ui files under
# root, without the program entry, and with only this platform's units.
function(sw_core_sources out root)
    set(sources)
    foreach(dir IN LISTS SW_CORE_DIRS)
        file(GLOB dir_sources CONFIGURE_DEPENDS
            ${root}/${dir}/*.cpp ${root}/${dir}/*.h ${root}/${dir}/*.ui)
        list(APPEND sources ${dir_sources})
    endforeach()
    list(REMOVE_ITEM sources ${root}/app/main.cpp)
    # Windows-only units are compiled only on Windows (CI checks them with MinGW).
    if(NOT WIN32)
        list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "_linux\\.cpp$")
    endif()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# sw_core_library(<name> <root>): the core as a static library of that name,
# with the pictures, the generated form header (ui_widget.h) offered to
# everything that links it, and the Qt and QCustomPlot libraries. Callers add
# their own compile options.
function(sw_core_library name root)
    sw_core_sources(sources ${root})
    add_library(${name} STATIC ${sources} ${root}/resources/resources.qrc)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON
        AUTOUIC_SEARCH_PATHS "${root}/app;${root}/upgrade")
    target_include_directories(${name} PUBLIC ${root}
        ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/include)
    target_link_libraries(${name} PUBLIC
        Qt5::Core Qt5::Gui Qt5::Widgets Qt5::Network Qt5::SerialPort Qt5::PrintSupport)
    if(TARGET QCustomPlot::QCustomPlot)
        target_link_libraries(${name} PUBLIC QCustomPlot::QCustomPlot)
    endif()
    if(WIN32)
        target_link_libraries(${name} PUBLIC setupapi cfgmgr32)
    endif()
    # MIDI output: RtMidi, and the JACK client library to watch a JACK server.
    find_package(PkgConfig REQUIRED)
    # Standard MIDI Files of the live monitor's export: drumstick's file library.
    pkg_check_modules(DRUMSTICK_FILE REQUIRED IMPORTED_TARGET drumstick-file>=2.0)
    target_link_libraries(${name} PUBLIC PkgConfig::DRUMSTICK_FILE)
    pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
    if(NOT WIN32)
        pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
    endif()
    target_link_libraries(${name} PUBLIC PkgConfig::RTMIDI)
    if(JACK_FOUND)
        target_link_libraries(${name} PUBLIC PkgConfig::JACK)
        target_compile_definitions(${name} PUBLIC SW_HAVE_JACK=1)
    endif()
endfunction()
