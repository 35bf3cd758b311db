# zefiran_subsystem(NAME LINKS...): the library of one subsystem folder under src/, made of
# every source file in that folder. Headers are included as "folder/File.h".
#
# A subsystem sees only its own folder and the folders of the subsystems it links, directly or
# through them: each gets an include folder of its own in the build tree that holds links to
# just those folders, so an include that points the wrong way fails to build. Subsystems are
# declared in dependency order (src/CMakeLists.txt), so what a dependency sees is known.
# Ninja runs a target's moc step again only when a file it read last time changed, so a header
# added later (by a rebase or a branch switch) is never moc'ed and the link fails. When the
# target's list of sources changes, the step's stamp is removed, which makes it run again.
function(zefiran_autogen_follows_sources target sources)
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
    string(JOIN "\n" content ${sources})
    set(old_content "")
    if(EXISTS ${list_file})
        file(READ ${list_file} old_content)
    endif()
    if(NOT old_content STREQUAL content)
        file(WRITE ${list_file} "${content}")
        file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    endif()
endfunction()

function(zefiran_subsystem name)
    set(view ${name})
    foreach(link ${ARGN})
        if(link MATCHES "^zefiran_(.+)$" AND TARGET ${link})
            get_property(used GLOBAL PROPERTY zefiran_view_${CMAKE_MATCH_1})
            list(APPEND view ${used})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES view)
    set_property(GLOBAL PROPERTY zefiran_view_${name} ${view})

    set(include_dir ${PROJECT_BINARY_DIR}/include-views/${name})
    if(WIN32)
        # Folder links need extra rights on Windows; there every subsystem sees all of src/.
        set(include_dir ${PROJECT_SOURCE_DIR}/src)
    else()
        file(REMOVE_RECURSE ${include_dir})
        file(MAKE_DIRECTORY ${include_dir})
        foreach(folder ${view})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${include_dir}/${folder} SYMBOLIC)
        endforeach()
    endif()

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
    zefiran_autogen_follows_sources(zefiran_${name} "${sources}")
    # Whatever links the library (a dependent subsystem, its tests, a tool) sees at least
    # what the library sees; a dependent's own view already holds all of it.
    target_include_directories(zefiran_${name} ${scope} ${include_dir})
    target_link_libraries(zefiran_${name} ${scope} zefiran_settings ${ARGN})
endfunction()
