# zefiran_subsystem(NAME LINKS...): the library of one subsystem folder under src/, made of
# every source file in that folder. Headers are included as "folder/File.h".
function(zefiran_subsystem name)
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    list(FILTER sources INCLUDE REGEX "\\.(cpp|qrc)$")
    if(sources)
        file(GLOB sources CONFIGURE_DEPENDS
            ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
            ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
        add_library(zefiran_${name} STATIC ${sources})
        set(scope PUBLIC)
    else()
        # A subsystem without code yet.
        add_library(zefiran_${name} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_include_directories(zefiran_${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zefiran_${name} ${scope} zefiran_settings ${ARGN})
endfunction()
