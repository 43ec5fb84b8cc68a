# The sources of the core library: every folder is one subsystem. Shared by
# the top-level build and the sanitizer build of the fuzz targets.
set(SW_CORE_DIRS app device pedal monitor curve presets upgrade update)

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
